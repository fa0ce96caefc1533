#!/usr/bin/env bash
# Two games started at the same instant, again and again, on a private X server: each time
# exactly one shows its window and the other ends at once with status 0.
# Usage: two_instances.sh <kovelint binary> [rounds]
set -euo pipefail
game=$1 rounds=${2:-50}
fail() { echo "FAIL (round ${round:-0}): $*" >&2; exit 1; }

work=$(mktemp -d)
runtime=$work/runtime  # the lock lives here, never in a real user's runtime folder
mkdir -m 0700 "$runtime"
started=()
. "$(dirname "$0")/../lib/private_x.sh"
cleanup() {
    for p in "${started[@]}" "${private_x_pids[@]}"; do kill -KILL "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

private_x "$work" || fail "Xvfb did not start"
export XDG_RUNTIME_DIR=$runtime

# Both games wait at the FIFO and are let go by one open of it, then exec the binary, so
# their PIDs are the games' own.
mkfifo "$work/go"
start() {
    {
        exec 4<"$work/go"
        exec 4<&-
        exec "$game"
    } 2>>"$work/games.err" &
    started+=($!)
}
visible() { xdotool search --onlyvisible --pid "$1" >/dev/null 2>&1; }

for round in $(seq "$rounds"); do
    started=()
    start
    start
    sleep 0.05
    exec 5<>"$work/go"  # read-write: never blocks, and releases both waiting games
    a=${started[0]} b=${started[1]}
    winner= loser= status=
    for _ in $(seq 400); do
        for p in "$a" "$b"; do
            if [ -z "$loser" ] && ! kill -0 "$p" 2>/dev/null; then
                loser=$p
                status=0
                wait "$p" || status=$?
            fi
        done
        if [ -n "$loser" ]; then
            [ "$status" -eq 0 ] || fail "a game ended with status $status: $(cat "$work/games.err")"
            other=$([ "$loser" = "$a" ] && echo "$b" || echo "$a")
            kill -0 "$other" 2>/dev/null || fail "both games ended: $(cat "$work/games.err")"
            if visible "$other"; then
                winner=$other
                break
            fi
        elif visible "$a" && visible "$b"; then
            fail "both games show a window"
        fi
        sleep 0.05
    done
    exec 5>&-
    [ -n "$winner" ] || fail "no single game with a window after 20 s (ended: ${loser:-none})"
    kill -TERM "$winner"
    wait "$winner" || true
done
[ ! -s "$work/games.err" ] || fail "the games printed: $(cat "$work/games.err")"
echo "two instances: $rounds rounds, each left exactly one game running"
