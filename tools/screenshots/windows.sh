#!/usr/bin/env bash
# The Windows program's window at screen scales of 100 %, 150 % and 200 % (Wine's LogPixels 96,
# 144 and 192), each grabbed from a private Xvfb once the window holds still:
# docs/screenshot-windows-100.png, -150.png and -200.png. Each time it also checks that the
# client area is the 10 x 9 board at the whole-pixel scale (1, 2, 2), so that a grab never shows
# a window that does not fit its board.
#   tools/screenshots/windows.sh [KOVELINT.EXE] [OUTDIR]   (defaults build/windows/kovelint.exe, docs)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=${1:-$root/build/windows/kovelint.exe}
out=${2:-$root/docs}
[ -e "$exe" ] || { echo "windows.sh: no $exe (make windows)" >&2; exit 1; }
wine=("$root/tests/win/wine.sh")
prefix=$(realpath -m "$(dirname "$exe")/wine-screenshots")
img() { python3 "$root/tests/win/xwd.py" "$@"; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kovelint-winshots.XXXXXX")
. "$root/tests/lib/private_x.sh"
game=
cleanup() {
    [ -z "$game" ] || kill "$game" 2>/dev/null || true
    WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
    for p in "${private_x_pids[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT
private_x_screen=1600x1000x24
private_x "$WORK" || exit 1

# Grabs into NAME until two grabs in a row are alike; 30 s at most.
still() {
    for _ in $(seq 150); do
        sleep 0.2
        xwd -root -silent >"$WORK/$1.xwd"
        sleep 0.2
        xwd -root -silent >"$WORK/$1.again.xwd"
        cmp -s "$WORK/$1.xwd" "$WORK/$1.again.xwd" && return 0
    done
    return 1
}

for percent in 100 150 200; do
    dpi=$((96 * percent / 100))
    scale=$(((dpi + 48) / 96))
    "${wine[@]}" "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$dpi" /f >/dev/null
    "${wine[@]}" "$prefix" "$exe" >"$WORK/game.log" 2>&1 &
    game=$!
    win=
    for _ in $(seq 300); do
        win=$(xdotool search --name '^Ковелинт ' 2>/dev/null | head -n1 || true)
        [ -n "$win" ] && break
        sleep 0.1
    done
    [ -n "$win" ] || { echo "windows.sh: no window at $percent % within 30 s" >&2; exit 1; }
    still "s$percent" || { echo "windows.sh: the screen never held still at $percent %" >&2; exit 1; }
    eval "$(xdotool getwindowgeometry --shell "$win")"
    bw=$((360 * scale)) bh=$((325 * scale))
    at=$(img board "$WORK/s$percent.xwd" "$X" "$Y" "$WIDTH" "$HEIGHT" "$bw" "$bh")
    [ "$at" != none ] || { echo "windows.sh: at $percent % the client area is not the $bw x $bh board" >&2; exit 1; }
    img png "$WORK/s$percent.xwd" "$out/screenshot-windows-$percent.png" "$X" "$Y" "$WIDTH" "$HEIGHT"
    echo "$percent %: a ${WIDTH} x ${HEIGHT} window around the $bw x $bh board -> $out/screenshot-windows-$percent.png"
    kill "$game" 2>/dev/null || true
    wait "$game" 2>/dev/null || true
    game=
    WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
    WINEPREFIX=$prefix /usr/lib/wine/wineserver -w 2>/dev/null || true
done
