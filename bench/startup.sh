#!/usr/bin/env bash
# Start-up and exit of the game against the floor, a bare Qt window with a menu bar and 90
# picture cells (bench/startup/Floor.cpp), in interleaved runs on a private Xvfb without a
# window manager. Each run is timed by bench/startup/MapTimer.cpp: exec to the window mapped,
# peak memory (VmHWM) after a settle time, and the close request a window manager sends
# (WM_DELETE_WINDOW) to the process gone. Prints every run and the medians; the targets are the
# game within 1.1 x the floor on all three.
#
#   bench/startup.sh [-n RUNS] [-w WARMUPS] [-s SETTLE] [-c LABEL=COMMAND]...
#
#   -n RUNS      measured runs of each command (default 20)
#   -w WARMUPS   runs of each before those, not counted (default 2)
#   -s SETTLE    seconds from the map to the memory reading (default 0.5)
#   -c L=CMD     a command to measure, split at spaces; the first -c replaces the defaults, and
#                the first command is the one the others are compared with
#
# The defaults are floor=BUILD/bench/startup/kovelint_floor and game=BUILD/app/kovelint, where
# BUILD is build/release or KOVELINT_BUILD; KOVELINT names another game binary. Every program
# runs with QT_QPA_PLATFORM=xcb and a private XDG_RUNTIME_DIR, so a game the developer has open
# does not make ours a second one.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KOVELINT_BUILD:-$ROOT/build/release}
TIMER=$BUILD/bench/startup/kovelint_maptimer
RUNS=20
WARMUPS=2
SETTLE=0.5
labels=()
commands=()

usage() {
    sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit "${1:-2}"
}
while getopts "n:w:s:c:h" opt; do
    case $opt in
        n) RUNS=$OPTARG ;;
        w) WARMUPS=$OPTARG ;;
        s) SETTLE=$OPTARG ;;
        c)
            [[ $OPTARG == ?*=?* ]] || usage
            labels+=("${OPTARG%%=*}")
            commands+=("${OPTARG#*=}")
            ;;
        h) usage 0 ;;
        *) usage ;;
    esac
done
[[ $RUNS =~ ^[1-9][0-9]{0,3}$ && $WARMUPS =~ ^[0-9]{1,3}$ ]] || usage
if [ ${#commands[@]} -eq 0 ]; then
    labels=(floor game)
    commands=("$BUILD/bench/startup/kovelint_floor" "${KOVELINT:-$BUILD/app/kovelint}")
fi
for c in "$TIMER" "${commands[@]}"; do
    read -r -a words <<<"$c"
    [ -x "${words[0]}" ] || { echo "startup.sh: no program at ${words[0]} (make build?)" >&2; exit 1; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kovelint-startup.XXXXXX")
. "$ROOT/tests/lib/private_x.sh"
cleanup() {
    for p in "${private_x_pids[@]}"; do
        kill "$p" 2>/dev/null && wait "$p" 2>/dev/null || true
    done
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

private_x_screen=1920x1080x24
private_x "$WORK" || exit 1
mkdir -m 700 "$WORK/run"
export XDG_RUNTIME_DIR=$WORK/run

for i in "${!labels[@]}"; do printf '%-8s %s\n' "${labels[$i]}:" "${commands[$i]}"; done
echo "machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n1)," \
    "$(sed -n 's/^PRETTY_NAME="\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' /etc/os-release)"
echo
printf 'label\trun\tmap_ms\tVmRSS_at_map_kB\tVmRSS_kB\tVmHWM_kB\texit_ms\tended\n' |
    tee "$WORK/runs.tsv"
for ((run = 1 - WARMUPS; run <= RUNS; run++)); do
    for i in "${!labels[@]}"; do
        read -r -a words <<<"${commands[$i]}"
        # A run that failed still prints its line, with NA where a figure is missing.
        figures=$("$TIMER" --settle "$SETTLE" --log "$WORK/${labels[$i]}.log" -- "${words[@]}") || true
        [ -n "$figures" ] || figures=$'NA\tNA\tNA\tNA\tNA\tfailed'
        tag=$run
        [ "$run" -ge 1 ] || tag=w$((run + WARMUPS))
        printf '%s\t%s\t%s\n' "${labels[$i]}" "$tag" "$figures" | tee -a "$WORK/runs.tsv"
        sleep 0.2
    done
done

# Medians of the measured runs, each command against the first.
echo
echo "== medians of $RUNS runs each, after $WARMUPS warm-ups =="
awk -F'\t' -v order="${labels[*]}" '
    function median(label, column,    n, v, i, j, t) {
        n = 0
        for (i = 1; i <= rows; i++)
            if (lab[i] == label && val[i, column] != "NA") v[++n] = val[i, column] + 0
        if (n == 0) return "NA"
        for (i = 2; i <= n; i++)
            for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
        return (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    function ratio(a, b) { return (a == "NA" || b == "NA" || b == 0) ? "NA" : sprintf("%.2f", a / b) }
    function shown(x, format) { return x == "NA" ? x : sprintf(format, x) }
    NR > 1 && $2 !~ /^w/ { rows++; lab[rows] = $1; val[rows, 3] = $3; val[rows, 6] = $6; val[rows, 7] = $7 }
    END {
        printf "%-8s %12s %12s %12s\n", "", "map, ms", "VmHWM, kB", "exit, ms"
        count = split(order, names, " ")
        for (k = 1; k <= count; k++) {
            m[k] = median(names[k], 3); h[k] = median(names[k], 6); e[k] = median(names[k], 7)
            printf "%-8s %12s %12s %12s\n", names[k], shown(m[k], "%.1f"), shown(h[k], "%d"),
                shown(e[k], "%.1f")
        }
        for (k = 2; k <= count; k++)
            printf "%-8s %12s %12s %12s   (%s / %s; target <= 1.10)\n", "ratio", ratio(m[k], m[1]),
                ratio(h[k], h[1]), ratio(e[k], e[1]), names[k], names[1]
    }' "$WORK/runs.tsv"
