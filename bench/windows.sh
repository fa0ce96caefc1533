#!/usr/bin/env bash
# The Windows program under Wine, measured on a private Xvfb (1920 x 1080, no window manager):
#  1. start-up against the floor, a bare Win32 window with a menu bar and 90 cells painted the
#     same way (bench/windows/Floor.cpp), in interleaved runs (floor, game, floor, game, ...) timed by
#     bench/startup/MapTimer.cpp from the exec to the window mapped. A Wine server and its
#     desktop are already running for the bench's own prefix, so each run is one program starting
#     and not Wine's services too. Target: the game within 1.1 x the floor;
#  2. the window's own timings (bench/windows/WindowBench.cpp): a click on 25 x 15 to the repainted
#     cell, and a board-size change 20 x 13 -> 25 x 15 to the painted window.
#
#   bench/windows.sh [-n RUNS] [-w WARMUPS]     (defaults 11 and 2)
#
# Needs make windows (build/windows, or KOVELINT_WIN_BUILD) and make build for the map timer
# (build/release, or KOVELINT_BUILD). The prefix is build/windows/wine-bench, made on first use;
# its windows are managed as on a desktop, which the map timer needs to see them (so each run
# also waits about 2 s at its end for a window manager that is not there: that is not timed).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
WIN=${KOVELINT_WIN_BUILD:-$ROOT/build/windows}
TIMER=${KOVELINT_BUILD:-$ROOT/build/release}/bench/startup/kovelint_maptimer
RUNS=11
WARMUPS=2
while getopts "n:w:h" opt; do
    case $opt in
        n) RUNS=$OPTARG ;;
        w) WARMUPS=$OPTARG ;;
        *) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
    esac
done
[[ $RUNS =~ ^[1-9][0-9]{0,3}$ && $WARMUPS =~ ^[0-9]{1,3}$ ]] || exit 2
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
for f in "$WINE" "$TIMER" "$WIN/kovelint.exe" "$WIN/bench/kovelint_floor.exe" \
    "$WIN/bench/kovelint_window_bench.exe"; do
    [ -e "$f" ] || { echo "windows.sh: no $f (make windows, make build?)" >&2; exit 1; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kovelint-winbench.XXXXXX")
. "$ROOT/tests/lib/private_x.sh"
cleanup() {
    "$WINESERVER" -k 2>/dev/null || true
    for p in "${private_x_pids[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
private_x_screen=1920x1080x24
private_x "$WORK" || exit 1

export WINEPREFIX=$WIN/wine-bench WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=;mshtml="
if [ ! -f "$WINEPREFIX/.made" ]; then
    rm -rf "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    "$WINESERVER" -w
    touch "$WINEPREFIX/.made"
fi
# The server stays up between runs, and its desktop starts now, on this display.
"$WINESERVER" -p || true  # one may be left from an earlier run
"$WINE" cmd /c exit >/dev/null 2>&1

echo "floor: $WIN/bench/kovelint_floor.exe"
echo "game:  $WIN/kovelint.exe"
echo "machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n1)," \
    "$(sed -n 's/^PRETTY_NAME="\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' /etc/os-release), $("$WINE" --version)"
echo
printf 'label\trun\tmap_ms\n' | tee "$WORK/runs.tsv"
for ((run = 1 - WARMUPS; run <= RUNS; run++)); do
    for label in floor game; do
        program=$WIN/kovelint.exe
        [ "$label" = game ] || program=$WIN/bench/kovelint_floor.exe
        figures=$("$TIMER" --settle 0.2 --log "$WORK/$label.log" -- "$WINE" "$program") || true
        tag=$run
        [ "$run" -ge 1 ] || tag=w$((run + WARMUPS))
        printf '%s\t%s\t%s\n' "$label" "$tag" "$(cut -f1 <<<"${figures:-NA}")" | tee -a "$WORK/runs.tsv"
        sleep 0.3  # Wine done with the last program before the next starts
    done
done
echo
echo "== medians of $RUNS runs each, after $WARMUPS warm-ups =="
awk -F'\t' '
    NR > 1 && $2 !~ /^w/ && $3 != "NA" { v[$1, ++n[$1]] = $3 + 0 }
    function median(label,    i, j, t, k) {
        k = n[label]
        if (k == 0) return "NA"
        for (i = 2; i <= k; i++)
            for (j = i; j > 1 && v[label, j - 1] > v[label, j]; j--) {
                t = v[label, j]; v[label, j] = v[label, j - 1]; v[label, j - 1] = t
            }
        return (k % 2) ? v[label, (k + 1) / 2] : (v[label, k / 2] + v[label, k / 2 + 1]) / 2
    }
    END {
        f = median("floor"); g = median("game")
        printf "floor %8s ms to map (%d runs)\ngame  %8s ms to map (%d runs)\n", f, n["floor"], g, n["game"]
        if (f != "NA" && g != "NA") printf "ratio %8.2f   (game / floor; target <= 1.10)\n", g / f
    }' "$WORK/runs.tsv"

echo
echo "== the window: a click and a new 25 x 15 game =="
for round in 1 2 3; do
    echo "round $round:"
    "$WINE" "$WIN/bench/kovelint_window_bench.exe"
done
