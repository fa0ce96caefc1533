#!/usr/bin/env bash
# Whether Wine brings a covered window forward for a program the player just started, shown with
# plain Win32 and nothing of the game (RaiseProbe.cpp), on a private Xvfb with openbox: a Wine
# window, an X window (xlogo) over it, then a second program that asks for the Wine window
# in front, directly and by handing the right on. Prints what Windows answered and which window
# openbox has on top after each.
#   raise.sh build/windows/tests/raise_probe.exe [WINEPREFIX]    (built by make windows)
set -euo pipefail
probe=$(realpath "$1")
prefix=$(realpath -m "${2:-$(dirname "$probe")/wine-raise}")
root=$(cd "$(dirname "$0")/../.." && pwd)
WINE=/usr/lib/wine/wine64
WORK=$(mktemp -d "${TMPDIR:-/tmp}/kovelint-raise.XXXXXX")
. "$root/tests/lib/private_x.sh"
cover=
cleanup() {
    [ -z "$cover" ] || kill "$cover" 2>/dev/null || true
    WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
    for p in "${private_x_pids[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT
private_x "$WORK" openbox || exit 1
# A prefix of its own with windows managed, as on a player's desktop.
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree=;mshtml="
if [ ! -f "$prefix/.made" ]; then
    rm -rf "$prefix"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w
    touch "$prefix/.made"
fi
on_top() {
    local id
    id=$(xprop -root _NET_CLIENT_LIST_STACKING | awk -F'# ' '{ n = split($2, a, ", "); print a[n] }')
    xdotool getwindowname "$((id))"
}
wait_for() {  # wait_for WHAT COMMAND...: up to 30 s
    for _ in $(seq 300); do "${@:2}" && return 0; sleep 0.1; done
    echo "raise.sh: no $1 within 30 s" >&2
    exit 1
}
"$WINE" "$probe" window Probe >"$WORK/window.log" 2>&1 &
wait_for "probe window" eval '[ -n "$(xdotool search --name "^Probe$")" ]'
echo "$("$WINE" --version), openbox $(openbox --version | head -n1 | cut -d' ' -f2)"
xlogo -geometry 600x500+0+0 2>/dev/null &
cover=$!
for how in direct handed; do
    xdotool search --sync --class xlogo windowactivate --sync >/dev/null 2>&1
    wait_for "xlogo on top" eval '[ "$(on_top)" = xlogo ]'
    echo "== covered by xlogo; a second program asks for the probe's window in front ($how)"
    "$WINE" "$probe" "$how" Probe
    sleep 2  # what openbox does with any request it got; nothing here must happen
    echo "on top for openbox: $(on_top)"
done
cat "$WORK/window.log"
