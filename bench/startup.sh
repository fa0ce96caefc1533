#!/usr/bin/env bash
# Start-up of the game against the Qt floor (a bare window with a menu bar and 90 picture
# cells): median time from exec to the window being mapped, and peak memory (VmHWM), measured
# interleaved on a private Xvfb. Targets: the game within 1.1 x the floor on both.
#
#   bench/startup.sh [RUNS]            default 20 runs of each, after 2 warm-up runs
#   KOVELINT=path/to/kovelint bench/startup.sh
#
# The game is taken from build/release unless KOVELINT names another (release) binary.
set -euo pipefail

RUNS=${1:-20}
ROOT=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
SHARED=$(cd "$ROOT/../shared" && pwd)
GAME=$(realpath "${KOVELINT:-$ROOT/build/release/app/kovelint}")
FLOOR_BUILD=$ROOT/build/qt-floor
TOOL=$SHARED/tools/startup-to-map/startup-to-map.sh

[ -x "$GAME" ] || { echo "no game binary at $GAME (make build, or set KOVELINT)" >&2; exit 1; }

cmake -S "$SHARED/tools/qt-floor" -B "$FLOOR_BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$FLOOR_BUILD" -j2 >/dev/null

WORK=$(mktemp -d /tmp/kovelint-startup.XXXXXX)
XVFB=""
cleanup() {
    if [ -n "$XVFB" ] && kill -0 "$XVFB" 2>/dev/null; then
        kill "$XVFB"
        wait "$XVFB" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

# Xvfb picks a free display and reports it once it takes clients.
exec {dispfd}>"$WORK/display"
Xvfb -displayfd "$dispfd" -screen 0 1920x1080x24 -nolisten tcp -noreset 2>"$WORK/xvfb.log" &
XVFB=$!
exec {dispfd}>&-
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
DISPLAY_NUM=:$(head -n1 "$WORK/display")

# A private runtime folder: a game the developer has open must not make ours a second one.
mkdir -m 700 "$WORK/run"
ENV="QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$WORK/run"

echo "game:    $GAME"
echo "floor:   $FLOOR_BUILD/qtfloor --cells 90"
echo "machine: $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $(uname -r)"
echo
# The tool's own exit status reflects its clean-up; the runs it recorded are what counts.
"$TOOL" -d "$DISPLAY_NUM" -n "$RUNS" -w 2 -o "$WORK/runs.tsv" \
    -c "floor=$ENV $FLOOR_BUILD/qtfloor --cells 90" \
    -c "game=$ENV $GAME" || true

median() {  # label column
    awk -F'\t' -v l="$1" -v c="$2" '$1==l && $2 !~ /^w/ && $c!="NA" {print $c}' "$WORK/runs.tsv" |
        sort -g | awk '{v[NR]=$1} END {if (NR==0) {print "NA"; exit}
                      print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'
}
FT=$(median floor 3); GT=$(median game 3)
FM=$(median floor 6); GM=$(median game 6)
echo
echo "== start-up, medians of $RUNS runs =="
awk -v ft="$FT" -v gt="$GT" -v fm="$FM" -v gm="$GM" 'BEGIN {
    rt = gt / ft; rm = gm / fm
    printf "%-16s %10s %10s %8s %8s\n", "", "floor", "game", "ratio", "target"
    printf "%-16s %10.1f %10.1f %8.2f %8s %s\n", "time to map, ms", ft, gt, rt, "<= 1.10", (rt <= 1.10 ? "met" : "MISSED")
    printf "%-16s %10d %10d %8.2f %8s %s\n", "VmHWM, kB", fm, gm, rm, "<= 1.10", (rm <= 1.10 ? "met" : "MISSED")
}'
