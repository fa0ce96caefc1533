#!/usr/bin/env bash
# What kovelint.exe carries inside it, read back from the program with windres:
#   resources.sh WINDRES KOVELINT.EXE VERSION
# the icon that Explorer and the caption show (the first icon group), the 96 pictures under
# their slot numbers, the manifest (per-monitor DPI, common controls 6) and the version.
set -euo pipefail
windres=$1 exe=$2 version=$3
rc=$(mktemp)
trap 'rm -f "$rc"' EXIT
"$windres" -i "$exe" -O rc -o "$rc"
failed=0
check() {
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failed=1; fi
}
# "ID TYPE /* RT_... */" opens each resource.
ids() { sed -n "s|^\([0-9]*\) $1 /\* RT_.*|\1|p" "$rc" | tr '\n' ' '; }

check "the first icon group is the game's icon, number 1" [ "$(ids 14 | cut -d' ' -f1)" = 1 ]
check "the icon holds the 24 and 16 pixel images" [ "$(ids 3 | wc -w)" = 2 ]
want=$(for s in 0 $(seq 2 96); do echo -n "$((100 + s)) "; done)
check "the 96 pictures are bitmaps 100 + their slot" [ "$(ids 2)" = "$want" ]
check "the manifest asks for per-monitor DPI v2" grep -q 'PerMonitorV2</dpiAwareness>' "$rc"
check "and for true/pm where v2 is not known" grep -q '>true/pm</dpiAware>' "$rc"
check "and for common controls 6" grep -q 'Microsoft.Windows.Common-Controls"" version=""6.0.0.0' "$rc"
# Ковелинт, as windres writes it back.
name='L"\x041a\x043e\x0432\x0435\x043b\x0438\x043d\x0442"'
check "the product name is Ковелинт" grep -qF "VALUE \"ProductName\", $name" "$rc"
check "the version is the project's, $version" grep -qF "VALUE \"FileVersion\", \"$version\"" "$rc"
exit $failed
