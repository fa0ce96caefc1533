#!/usr/bin/env bash
# The Debian package holds exactly the game (in /usr/games), its desktop entry, metainfo,
# icons, licence, Debian changelog, manual pages and lintian override, and depends on the Qt 6
# runtime, never on a development package.
# Usage: package_contents.sh <folder holding the .deb> <version> <source root>
set -euo pipefail
dir=$1 version=$2 root=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

debs=("$dir"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb in $dir, found: ${debs[*]}"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kovelint ] || fail "package name $(field Package)"
# The upstream version with a Debian revision, e.g. 0.1.0-1.
[[ "$(field Version)" =~ ^"$version"-[0-9]+$ ]] || fail "version $(field Version), expected $version-<n>"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture $(field Architecture)"
[ "$(field Section)" = games ] || fail "section $(field Section)"

# Files (not folders) with their modes and owners.
app=io.github.kovelint.Kovelint
expected=$(
    {
        echo "-rwxr-xr-x root/root ./usr/games/kovelint"
        echo "-rw-r--r-- root/root ./usr/share/applications/$app.desktop"
        echo "-rw-r--r-- root/root ./usr/share/doc/kovelint/changelog.Debian.gz"
        echo "-rw-r--r-- root/root ./usr/share/doc/kovelint/copyright"
        echo "-rw-r--r-- root/root ./usr/share/lintian/overrides/kovelint"
        echo "-rw-r--r-- root/root ./usr/share/man/man6/kovelint.6.gz"
        echo "-rw-r--r-- root/root ./usr/share/man/ru/man6/kovelint.6.gz"
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
for need in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins qt6-wayland libc6 libstdc++6; do
    grep -qx "$need" <<<"$names" || fail "Depends lacks $need: $depends"
done
for name in $names; do
    case $name in
        *-dev | *-dbg) fail "Depends names a development package $name: $depends" ;;
        qt6-qpa-plugins | qt6-wayland | lib*) ;;
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
# The changelog and the manual pages are their sources compressed as Debian wants: gzip -9n.
doc=$scratch/usr/share/doc/kovelint man=$scratch/usr/share/man
for pair in "changelog:$doc/changelog.Debian.gz" "kovelint.6:$man/man6/kovelint.6.gz" \
    "kovelint.ru.6:$man/ru/man6/kovelint.6.gz"; do
    cmp -s <(gzip -9n -c "$root/packaging/${pair%%:*}") "${pair#*:}" ||
        fail "${pair#"$scratch"} is not packaging/${pair%%:*} under gzip -9n"
done
# The changelog's latest entry is this package.
top=$(zcat "$doc/changelog.Debian.gz" | dpkg-parsechangelog -l - -S Version)
[ "$top" = "$(field Version)" ] || fail "the changelog's latest entry is $top, the package $(field Version)"
# Both manual pages name every menu caption as the game shows it, each key with its command
# ("Новая (F2)"), and the ends of the pipe-count range; the sizes are listed one by one.
captions=$(sed -n 's/^ *{[0-9], *"[A-Za-z0-9]*", *"\([^"-][^"]*\)".*"\(F[0-9]*\)\?", *\(true\|false\)},$/\1|\2/p' \
    "$root/game/Menu.cpp")
[ "$(wc -l <<<"$captions")" -ge 20 ] || fail "read only $(wc -l <<<"$captions") captions from game/Menu.cpp"
for page in "$man/man6/kovelint.6.gz" "$man/ru/man6/kovelint.6.gz"; do
    text=$(LC_ALL=C.UTF-8 MANWIDTH=250 man --nh --nj -l "$page" 2>&1)
    while IFS='|' read -r caption key; do
        [[ $caption =~ ^[2-9]\ труб ]] && continue
        want=$caption${key:+ ($key)}
        grep -qF -- "$want" <<<"$text" || fail "${page#"$scratch"} does not name \"$want\""
    done <<<"$captions"
done
desktop-file-validate "$scratch/usr/share/applications/$app.desktop" || fail "installed desktop entry"
appstreamcli validate --no-net "$scratch/usr/share/metainfo/$app.metainfo.xml" >/dev/null ||
    fail "installed metainfo"
echo "package ok: $(basename "$deb"), $(stat -c %s "$deb") bytes; Depends: $depends"
