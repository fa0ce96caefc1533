#!/usr/bin/env bash
# How the game starts where it cannot run as usual: no display at all, a display platform
# that cannot open, a runtime folder that is no folder, and links planted at every name the
# game might use.
# Usage: launch.sh <path to kovelint>
set -u
game=$1
work=$(mktemp -d)
. "$(dirname "$0")/../lib/games.sh"
cleanup() {
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# Every fallback folder the game makes goes here, never into the machine's /tmp.
mkdir -m 700 "$work/tmp"

# Runs a game that cannot start with the given environment changes; leaves its status in
# $status ("running" if it has not ended after $patience seconds) and its standard error in
# $work/err.
run() {
    env "$@" "$game" >"$work/out" 2>"$work/err" </dev/null &
    local pid=$!
    if ! ended "$pid"; then
        kill -TERM "$pid"
        wait "$pid" 2>/dev/null
        status=running
    else
        wait "$pid"
        status=$?
    fi
}

# Exactly one line of our own on standard error, and nothing else.
one_line() {
    local lines
    lines=$(grep -c . "$work/err")
    [ "$lines" -eq 1 ] && grep -q '^kovelint: ' "$work/err"
}

expect_refusal() {
    local what=$1
    shift
    run "$@"
    if [ "$status" = 1 ] && one_line; then
        pass "$what: exit 1 with one line: $(cat "$work/err")"
    else
        fail "$what: status $status, standard error:"
        cat "$work/err"
    fi
}

mkdir -m 700 "$work/runtime"
expect_refusal "no display" -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    XDG_RUNTIME_DIR="$work/runtime"
expect_refusal "display that is not there" -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:239 \
    XDG_RUNTIME_DIR="$work/runtime"
expect_refusal "unknown platform" QT_QPA_PLATFORM=no-such-platform XDG_RUNTIME_DIR="$work/runtime"
# A Wayland display alone: the line names it (and says so when Qt's Wayland plugin is missing).
expect_refusal "Wayland display that is not there" -u DISPLAY -u QT_QPA_PLATFORM \
    WAYLAND_DISPLAY=no-such-wayland XDG_RUNTIME_DIR="$work/runtime"
grep -q 'Wayland display no-such-wayland\|display no-such-wayland$' "$work/err" ||
    fail "the Wayland display is not named: $(cat "$work/err")"
# No core file was left behind by any of them.
if compgen -G "core*" >/dev/null; then fail "a core file was written"; fi

# Starts the game on the offscreen platform; $outcome says whether it made its window and
# was still running a moment later, $work/err keeps only the game's own lines.
run_offscreen() {
    env -u QT_SCALE_FACTOR "$@" QT_QPA_PLATFORM=offscreen TMPDIR="$work/tmp" \
        QT_LOGGING_RULES='*.debug=false;qt.qpa.backingstore.debug=true' \
        "$game" >/dev/null 2>"$work/err.all" </dev/null &
    local pid=$!
    outcome="no window"
    window_shown() { grep -q 'qt.qpa.backingstore' "$work/err.all" || gone "$pid"; }
    eventually window_shown
    grep -q 'qt.qpa.backingstore' "$work/err.all" && outcome=window
    sleep 0.5
    if kill -0 "$pid" 2>/dev/null; then kill -TERM "$pid"; else outcome="ended ($outcome)"; fi
    wait "$pid" 2>/dev/null
    grep -v -e 'qt.qpa.backingstore' -e '^This plugin does not support' "$work/err.all" >"$work/err"
}

# A runtime folder that is a plain file: the game makes a private one of its own, says so once
# and runs.
touch "$work/not-a-folder"
run_offscreen XDG_RUNTIME_DIR="$work/not-a-folder"
if [ "$outcome" = window ] && one_line && grep -q 'runtime folder' "$work/err"; then
    pass "unusable runtime folder: the game runs, one warning"
else
    fail "unusable runtime folder: $outcome, standard error:"
    cat "$work/err"
fi
rm -rf "$work/tmp"/runtime-*

# Links planted where the game's runtime folder and its lock file would be, pointing at a
# folder and files of the player's: nothing there may change, and the game still starts.
user=$(id -un)
mkdir -m 700 "$work/players" "$work/planted"
echo "the player's own notes" >"$work/players/notes"
ln -s "$work/players/notes" "$work/players/kovelint.lock"
ln -s "$work/players/notes" "$work/planted/kovelint.instance"
ln -s "$work/players" "$work/tmp/runtime-$user"
snapshot() { (cd "$work/players" && find . -printf '%p %y %m %s %T@ %l\n' | sort && cat notes); }
before=$(snapshot)
run_offscreen -u XDG_RUNTIME_DIR
# The fresh folder goes with the game.
left=$(find "$work/tmp" -mindepth 1 -maxdepth 1 -name "runtime-$user-*")
if [ "$outcome" = window ] && one_line && grep -q "runtime-$user is not a private folder of ours; using $work/tmp/runtime-$user-" \
    "$work/err" && [ -z "$left" ] && [ "$(snapshot)" = "$before" ]; then
    pass "link at <tmp>/runtime-$user: the player's folder untouched, a fresh one used and removed"
else
    fail "link at <tmp>/runtime-$user: $outcome, left '${left}', standard error:"
    cat "$work/err"
fi
run_offscreen XDG_RUNTIME_DIR="$work/planted"
if [ "$outcome" = window ] && one_line && [ "$(snapshot)" = "$before" ] &&
    [ "$(readlink "$work/planted/kovelint.instance")" = "$work/players/notes" ]; then
    pass "link at the lock's name in the runtime folder: left alone, the game runs and says so"
else
    fail "link at the lock's name in the runtime folder: $outcome, standard error:"
    cat "$work/err"
fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
