#!/usr/bin/env bash
# Another user of the machine (nobody) against the player's game, on a private X server: a
# squatter holding the name of the game's lock with a full queue, a flood of calls that hang
# up at once, and a TMPDIR that is a link planted to a folder of the player's.
# Usage: other_users.sh <path to kovelint>
set -u
game=$1
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: needs root to run as another user"
    exit 0
fi
work=$(mktemp -d)
chmod 711 "$work"  # nobody may pass through, to the folder it may write in
. "$(dirname "$0")/../lib/private_x.sh"
. "$(dirname "$0")/../lib/games.sh"
trap games_cleanup EXIT
as_nobody() { (cd / && exec setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"); }
# The same in the background; its PID, the command's own, joins the others.
nobody_runs() {
    (cd / && exec setpriv --reuid=nobody --regid=nogroup --clear-groups "$@") &
    others+=($!)
}

private_x "$work" openbox || { echo "FAIL: Xvfb did not start"; exit 1; }
mkdir -m 700 "$work/tmp"
export TMPDIR=$work/tmp
user=$(id -un)

# Names another user would aim at, in the abstract namespace: our uid and the start of a
# SHA-256, of the runtime folder as given (the name games took until they kept their lock in
# that folder), or of that and the folder for temporary files (the name a game with no
# runtime folder takes).
old_name() { echo "kovelint-$(id -u)-$(printf %s "$1" | sha256sum | cut -c1-16)"; }
fallback_name() { echo "kovelint-$(id -u)-$(printf '%s\0%s' "$1" "$TMPDIR" | sha256sum | cut -c1-16)"; }
# No runtime folder of the player's to be had: the given one is a plain file, and
# <tmp>/runtime-<user> belongs to nobody.
touch "$work/not-a-folder"
mkdir -m 700 "$work/tmp/runtime-$user"
chown nobody "$work/tmp/runtime-$user"

# Squatters: the name taken, one call queued, and a queue of none, so every further call is
# refused as busy.
squat() {
    nobody_runs perl -MSocket -e '
        my $a = pack_sockaddr_un("\0" . $ARGV[0]);
        socket(S, AF_UNIX, SOCK_STREAM, 0) && bind(S, $a) && listen(S, 0) or die "squat: $!\n";
        socket(C, AF_UNIX, SOCK_STREAM, 0) && connect(C, $a) or die "squat call: $!\n";
        sleep 60' "$1"
    for _ in $(seq 50); do grep -q "@$1\$" /proc/net/unix && break; sleep 0.1; done
}
mkdir -m 700 "$work/runtime"
squat "$(old_name "$work/runtime")"
start env XDG_RUNTIME_DIR="$work/runtime" "$game" 2>"$work/err"
w=$(window_of "$pid")
if [ -n "$w" ] && [ ! -s "$work/err" ]; then
    pass "full-queue squat with a private runtime folder: a window, nothing said"
else
    fail "full-queue squat with a private runtime folder: window '$w', standard error: $(cat "$work/err")"
fi
kill -TERM "$pid" 2>/dev/null
squat "$(fallback_name "$work/not-a-folder")"
start env XDG_RUNTIME_DIR="$work/not-a-folder" "$game" 2>"$work/err"
w=$(window_of "$pid")
if [ -n "$w" ] && grep -q 'not checking for another running game' "$work/err"; then
    pass "full-queue squat without a runtime folder: a window, and a line saying so"
else
    fail "full-queue squat without a runtime folder: window '$w', standard error: $(cat "$work/err")"
fi
kill -TERM "$pid" 2>/dev/null
stop_others() {
    { for p in "${others[@]}"; do kill -KILL "$p" && wait "$p"; done; } 2>/dev/null
    others=()
}
stop_others

# Callers that hang up at once, four of them on the game's own core, against the name a game
# without a runtime folder has to take where anyone can call: the game still answers the player,
# turning F3 into a new caption (when the count drawn differs; an equal one changes nothing).
# A game the flood holds up answers no press at all; how fast a live one answers is for the
# benchmarks, not for a test on a shared machine.
start taskset -c 0 env XDG_RUNTIME_DIR="$work/not-a-folder" "$game" 2>/dev/null
flooded=$pid
w=$(window_of "$flooded")
name=$(listening_on "$flooded" | head -n1)
for _ in 1 2 3 4; do
    nobody_runs taskset -c 0 perl -MSocket -e '
        my $n = $ARGV[0]; $n =~ s/^@/\0/;
        my $a = pack_sockaddr_un($n);
        while (1) { socket(my $s, AF_UNIX, SOCK_STREAM, 0) or die; connect($s, $a); close($s) }' \
        "$name"
done
sleep 1
xdotool windowactivate --sync "$w" 2>/dev/null
# Each press is given five seconds: a live game needs a fraction of one, a frozen one never
# answers.
changed=0
times=
for press in $(seq 10); do
    before=$(xdotool getwindowname "$w")
    t0=$(now_ms)
    deadline=$((SECONDS + 5))
    xdotool key F3
    after=$before
    while [ "$after" = "$before" ] && [ "$SECONDS" -lt "$deadline" ]; do
        sleep 0.01
        after=$(xdotool getwindowname "$w")
    done
    [ "$after" = "$before" ] && continue
    changed=$((changed + 1))
    times="$times $(($(now_ms) - t0))"
done
stop_others
if [ -n "$name" ] && [ "$changed" -ge 4 ]; then
    pass "flood of calls on $name: $changed of 10 presses changed the caption (ms:$times)"
else
    fail "flood of calls on '$name': $changed of 10 presses changed the caption (ms:$times)"
fi
kill -TERM "$flooded"

# TMPDIR a link another user planted, to a folder of the player's: nothing is made there. The
# game falls back to /tmp, as Qt itself would, for its runtime folder.
mkdir -m 1777 "$work/open"
mkdir -m 700 "$work/players"
echo "the player's own notes" >"$work/players/notes"
as_nobody ln -s "$work/players" "$work/open/tmp"
snapshot() { (cd "$work/players" && find . -printf '%p %y %m %s %T@ %l\n' | sort && cat notes); }
before=$(snapshot)
start env -u XDG_RUNTIME_DIR TMPDIR="$work/open/tmp" "$game" 2>"$work/err"
w=$(window_of "$pid")
if [ -n "$w" ] && [ "$(snapshot)" = "$before" ]; then
    pass "TMPDIR a link planted by another user: the player's folder untouched, a window"
else
    fail "TMPDIR a link planted by another user: window '$w', the folder now: $(snapshot)"
fi
kill -TERM "$pid" 2>/dev/null

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
