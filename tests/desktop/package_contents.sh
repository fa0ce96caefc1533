#!/usr/bin/env bash
# The Debian package holds exactly the game, its desktop entry, metainfo, icons and licence,
# and depends on the Qt 6 runtime, never on a development package.
# Usage: package_contents.sh <folder holding the .deb> <version> <source root>
set -euo pipefail
dir=$1 version=$2 root=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

debs=("$dir"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb in $dir, found: ${debs[*]}"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kovelint ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version), expected $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture $(field Architecture)"
[ "$(field Section)" = games ] || fail "section $(field Section)"

# Files (not folders) with their modes and owners.
app=io.github.kovelint.Kovelint
expected=$(
    {
        echo "-rwxr-xr-x root/root ./usr/bin/kovelint"
        echo "-rw-r--r-- root/root ./usr/share/applications/$app.desktop"
        echo "-rw-r--r-- root/root ./usr/share/doc/kovelint/copyright"
        for s in 16 24 48 64 128 256; do
            echo "-rw-r--r-- root/root ./usr/share/icons/hicolor/${s}x$s/apps/$app.png"
        done
        echo "-rw-r--r-- root/root ./usr/share/metainfo/$app.metainfo.xml"
    } | sort)
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort)
if [ "$actual" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    fail "file list differs (< expected, > packaged)"
fi

# Dependencies: the Qt libraries the binary links, found by dpkg-shlibdeps, and the platform
# plugins that Qt loads at run time.
depends=$(field Depends)
names=$(echo "$depends" | tr ',' '\n' | sed -e 's/(.*)//' -e 's/|.*//' -e 's/ //g' | sort -u)
for need in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins libc6 libstdc++6; do
    grep -qx "$need" <<<"$names" || fail "Depends lacks $need: $depends"
done
for name in $names; do
    case $name in
        *-dev | *-dbg) fail "Depends names a development package $name: $depends" ;;
        qt6-qpa-plugins | lib*) ;;
        *) fail "unexpected dependency $name: $depends" ;;
    esac
done
# A shared-library dependency carries its minimum version.
grep -q 'libqt6widgets6 (>= 6' <<<"$depends" || fail "libqt6widgets6 without a version: $depends"

# The installed data are the committed files.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
for s in 16 24 48 64 128 256; do
    cmp -s "$root/assets/icons/kovelint-$s.png" "$scratch/usr/share/icons/hicolor/${s}x$s/apps/$app.png" ||
        fail "the ${s}x$s icon is not assets/icons/kovelint-$s.png"
done
cmp -s "$root/LICENSE" "$scratch/usr/share/doc/kovelint/copyright" || fail "copyright is not LICENSE"
desktop-file-validate "$scratch/usr/share/applications/$app.desktop" || fail "installed desktop entry"
appstreamcli validate --no-net "$scratch/usr/share/metainfo/$app.metainfo.xml" >/dev/null ||
    fail "installed metainfo"
echo "package ok: $(basename "$deb"), $(stat -c %s "$deb") bytes; Depends: $depends"
