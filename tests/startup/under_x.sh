#!/usr/bin/env bash
# Odd starts and ends on a private X server with a window manager: standard descriptors closed,
# a second start while the first game is minimised, still starting or stopped, fifty starts at
# once, scale factors that leave no window, a window destroyed by another client, and the
# game's own runtime folder at every kind of end.
# Usage: under_x.sh <path to kovelint>
set -u
game=$1
work=$(mktemp -d)
. "$(dirname "$0")/../lib/private_x.sh"
. "$(dirname "$0")/../lib/games.sh"
trap games_cleanup EXIT

private_x "$work" openbox || { echo "FAIL: Xvfb did not start"; exit 1; }
export TMPDIR=$work

# Each case has its own runtime folder, so its games find only each other.
runtime() {
    mkdir -m 700 "$work/$1"
    echo "$work/$1"
}
# A second start run to its end: $status, $took (ms), and its standard error in $work/second.
second() {
    local t0
    t0=$(now_ms)
    XDG_RUNTIME_DIR=$1 "$game" 2>"$work/second" </dev/null
    status=$?
    took=$(($(now_ms) - t0))
}

# 0, 1 and 2 closed, and a runtime folder that is a plain file: the game shows its window,
# with all three on /dev/null rather than on whatever it opened first.
touch "$work/plain-file"
start bash -c 'exec 0<&- 1>&- 2>&-; XDG_RUNTIME_DIR=$1 exec "$2"' - "$work/plain-file" "$game"
w=$(window_of "$pid")
fds=$(for fd in 0 1 2; do readlink "/proc/$pid/fd/$fd"; done | sort -u)
if [ -n "$w" ] && [ "$fds" = /dev/null ]; then
    pass "standard descriptors closed: a window, 0, 1 and 2 on /dev/null"
else
    fail "standard descriptors closed: window '$w', descriptors: $fds"
fi
kill -TERM "$pid"

# A second start brings a minimised game back, on top and focused, and ends silently. What it
# hands on for an activation token here is no token at all (too long, and not printable), which
# changes nothing on X.
dir=$(runtime raise)
start env XDG_RUNTIME_DIR="$dir" "$game"
first=$pid
w=$(window_of "$first")
xdotool windowminimize --sync "$w" 2>/dev/null
shown() { xdotool search --onlyvisible --pid "$1" >/dev/null; }
eventually eval '! shown "$first"' || fail "the first game would not minimise"
XDG_ACTIVATION_TOKEN=$(printf 'x\001%.0s' $(seq 300)) second "$dir"
is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
eventually is_active "$w"
active=$(xdotool getactivewindow 2>/dev/null)
if [ -n "$w" ] && [ "$status" -eq 0 ] && [ ! -s "$work/second" ] && [ "$active" = "$w" ] &&
    xdotool search --onlyvisible --pid "$first" >/dev/null; then
    pass "second start: the minimised game is back and active; status 0, silent, ${took} ms"
else
    fail "second start: window '$w', active '$active', status $status, ${took} ms: $(cat "$work/second")"
fi

# A second start while the first is still starting, held up by a display that does not answer
# yet: the first answers as soon as it holds the lock, so the second ends while the display
# still stands still, silently with status 0, and the first has its window once the display
# answers. A first game that answered only once its window was up would keep the second waiting
# until the display is let go, after $patience seconds.
listening() { [ -n "$(listening_on "$1")" ]; }
held() { [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" = T ]; }
slow=$(runtime starting)
xvfb=${private_x_pids[0]}
kill -STOP "$xvfb"
start env XDG_RUNTIME_DIR="$slow" "$game"
starting=$pid
eventually listening "$starting"
(sleep "$patience" && kill -CONT "$xvfb") >/dev/null 2>&1 &
others+=($!)
second "$slow"
still=no
held "$xvfb" && still=yes
kill -CONT "$xvfb"
w=$(window_of "$starting")
if [ "$status" -eq 0 ] && [ ! -s "$work/second" ] && [ "$still" = yes ] && [ -n "$w" ]; then
    pass "second start while the first starts: answered before the display moved (${took} ms), status 0, silent; one window"
else
    fail "second start while the first starts: status $status, ended with the display still held: $still (${took} ms), window '$w': $(cat "$work/second")"
fi
kill -TERM "$starting"

# The same game stopped: the second start names it and fails, rather than wait for it.
kill -STOP "$first"
second "$dir"
kill -CONT "$first"
if [ "$status" -ne 0 ] && [ "$took" -lt $((patience * 1000)) ] && [ "$(grep -c . "$work/second")" -eq 1 ] &&
    grep -q "^kovelint: .*(PID $first) does not answer" "$work/second"; then
    pass "stopped game: status $status, one line naming PID $first, ${took} ms"
else
    fail "stopped game: status $status, ${took} ms: $(cat "$work/second")"
fi
kill -TERM "$first"

# Scale factors Qt would show no window at: ignored with one line, and the game has its window.
for setting in QT_SCALE_FACTOR=0 QT_SCALE_FACTOR=1e9 QT_SCREEN_SCALE_FACTORS=1e-9; do
    dir=$(runtime "$setting")
    start env "$setting" XDG_RUNTIME_DIR="$dir" "$game" 2>"$work/scale.err"
    w=$(window_of "$pid")
    if [ -n "$w" ] && [ "$(grep -c . "$work/scale.err")" -eq 1 ] &&
        grep -q "^kovelint: ignoring $setting" "$work/scale.err"; then
        pass "$setting: one line, and a window"
    else
        fail "$setting: window '$w', standard error: $(cat "$work/scale.err")"
    fi
    kill -TERM "$pid"
done

# Fifty starts in a row while the first game is still starting, its display held still: every
# later one is answered before the display moves again, silently and with status 0, and the
# first game then has its window.
dir=$(runtime many)
kill -STOP "$xvfb"
start env XDG_RUNTIME_DIR="$dir" "$game"
running=$pid
eventually listening "$running"
later=()
for i in $(seq 49); do
    (XDG_RUNTIME_DIR=$dir exec "$game" 2>"$work/many.$i") &
    later+=($!)
    games+=($!)
done
ended=0 statuses=
for p in "${later[@]}"; do
    ended "$p" || continue
    wait "$p"
    statuses="$statuses$? "
    ended=$((ended + 1))
done
kill -CONT "$xvfb"
said=$(cat "$work"/many.* | sort | uniq -c)
if [ "$ended" -eq 49 ] && [ -z "$(tr -d '0 ' <<<"$statuses")" ] && [ -z "$said" ] &&
    [ -n "$(window_of "$running")" ]; then
    pass "fifty starts while the first starts: 49 answered at once, silently with status 0; one window"
else
    fail "fifty starts while the first starts: $ended ended, statuses $statuses; they said: $said"
fi
kill -TERM "$running" 2>/dev/null

# A window destroyed by another X client ends the game with status 0, and frees the lock.
dir=$(runtime destroyed)
start env XDG_RUNTIME_DIR="$dir" "$game"
w=$(window_of "$pid")
xdotool windowclose "$w" 2>/dev/null
if ! ended "$pid"; then
    fail "destroyed window: the game still runs"
else
    wait "$pid"
    status=$?
    start env XDG_RUNTIME_DIR="$dir" "$game"
    if [ -n "$w" ] && [ "$status" -eq 0 ] && [ -n "$(window_of "$pid")" ]; then
        pass "destroyed window: the game ended with status 0, and the next start has a window"
    else
        fail "destroyed window: window '$w', status $status, the next start made no window"
    fi
    kill -TERM "$pid"
fi

# No runtime folder of the player's to be had (the usual one belongs to another user), so each
# game makes its own: it goes at every end the game sees, and one a killed game left is
# cleared by the next start. The lost display comes last: it ends this X server.
user=$(id -un)
mkdir -m 700 "$work/tmp" "$work/tmp/runtime-$user"
chown nobody "$work/tmp/runtime-$user"
left() { find "$work/tmp" -mindepth 1 -maxdepth 1 -name "runtime-$user-*" | wc -l; }
# A background job of a script starts with SIGINT ignored; a game started from a terminal has it.
fresh_game() {
    start env --default-signal=INT -u XDG_RUNTIME_DIR TMPDIR="$work/tmp" "$game" 2>/dev/null
    window_of "$pid" >/dev/null
}
{
    for signal in TERM HUP INT KILL; do
        fresh_game
        kill -"$signal" "$pid"
        ended "$pid"
        { kill -KILL "$pid" && wait "$pid"; } 2>/dev/null
        [ "$(left)" -eq 0 ] || [ "$signal" = KILL ] || fail "SIG$signal: $(left) folders left" 2>&1
    done
} 2>/dev/null  # not the shell's notes on how each game ended
[ "$(left)" -eq 1 ] || fail "SIGKILL: $(left) folders left, where one was expected"
fresh_game
n=$(left)
kill -TERM "${private_x_pids[@]}"
ended "$pid"
if [ "$n" -eq 1 ] && [ "$(left)" -eq 0 ]; then
    pass "a game's own runtime folder: gone after SIGTERM, SIGHUP, SIGINT and a lost display; a killed game's cleared by the next start"
else
    fail "a game's own runtime folder: $n beside the running game, $(left) after its display went"
fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
