#!/usr/bin/env bash
# Packs a release from the build folders make test builds and tests (build/release, build/web,
# build/windows) into one folder: the Debian package, the Windows zip, the page as a zip for any
# static host, with a gzip and a brotli copy beside each text file for servers that send those as
# they are, and SHA256SUMS. Every name carries the version. Dates come from SOURCE_DATE_EPOCH.
# With --same-as-tested, the package made here must be the same bytes as the one the package
# tests checked (build/release/tests/desktop/package).
# Usage: packaging/dist.sh <repository> <out folder> [--same-as-tested]
set -euo pipefail
root=$(cd "$1" && pwd)
out=$2
same_as_tested=${3:-}
fail() { echo "dist: $*" >&2; exit 1; }
[ -n "${SOURCE_DATE_EPOCH:-}" ] || fail "SOURCE_DATE_EPOCH is not set (make dist sets it from git)"
export LC_ALL=C TZ=UTC
# cpack gives the package's members the modes its files got on disk.
umask 022

version=$(sed -n 's/^project(kovelint VERSION \([0-9][0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || fail "no version on the project line of $root/CMakeLists.txt"
work=$root/build/dist
rm -rf "$work"
mkdir -p "$work"

# The Debian package, by the package tests' own command from the same build tree.
cpack -G DEB -B "$work/deb" --config "$root/build/release/CPackConfig.cmake" >/dev/null
debs=("$work"/deb/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made ${debs[*]}"
deb=${debs[0]}
case ${deb##*/} in kovelint_"$version"-*.deb) ;; *) fail "package ${deb##*/} lacks $version" ;; esac
if [ "$same_as_tested" = --same-as-tested ]; then
    tested=("$root"/build/release/tests/desktop/package/*.deb)
    [ -f "${tested[0]}" ] || fail "no tested package in build/release/tests/desktop/package"
    if ! cmp -s "$deb" "${tested[0]}"; then
        command -v diffoscope >/dev/null && diffoscope --text - "${tested[0]}" "$deb" | head -80 >&2
        fail "${deb##*/} differs from the package the tests checked"
    fi
fi

# The Windows zip, as make windows packed it around the programs its tests ran.
zip=$root/build/windows/kovelint-$version-windows.zip
[ -f "$zip" ] || fail "no $zip: make windows makes it"

# The page: the files it is served as, nothing of the build tree around them.
page=$work/kovelint-$version-web
mkdir -p "$page/icons"
for f in index.html manifest.webmanifest sw.js; do
    install -m 644 "$root/build/web/$f" "$page/$f"
done
install -m 644 "$root/build/web/icons/"*.png "$page/icons/"
grep -q "\"version\": \"$version\"" "$page/manifest.webmanifest" || fail "the manifest is not $version"
grep -q "kovelint-$version-" "$page/sw.js" || fail "the service worker's cache is not named $version"
# Compressed copies of the text and the WebAssembly; pictures are compressed already.
find "$page" -type f \( -name '*.html' -o -name '*.js' -o -name '*.css' -o -name '*.webmanifest' \
    -o -name '*.json' -o -name '*.svg' -o -name '*.wasm' \) | sort | while read -r f; do
    gzip -9n -c "$f" >"$f.gz"
    brotli -q 11 -c "$f" >"$f.br"
done
python3 "$root/packaging/zip.py" "$work/${page##*/}.zip" "$page"

rm -rf "$out"
mkdir -p "$out"
install -m 644 "$deb" "$zip" "$work/${page##*/}.zip" "$out/"
(cd "$out" && sha256sum -- * >SHA256SUMS)
echo "dist: $(cd "$out" && echo *) in $out"
