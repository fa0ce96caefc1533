#!/usr/bin/env bash
# How the game starts where it cannot run as usual: no display at all, a display platform
# that cannot open, and a runtime folder that cannot hold the lock file.
# Usage: launch.sh <path to kovelint>
set -u
game=$1
failures=0
passed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; passed=$((passed + 1)); }

# Runs the game with the given environment changes; leaves its status in $status and its
# standard error in $work/err.
run() {
    env "$@" "$game" >"$work/out" 2>"$work/err" </dev/null &
    local pid=$!
    # A game that cannot start ends at once; one that starts is still running later.
    for _ in $(seq 1 30); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
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
# No core file was left behind by any of them.
if compgen -G "core*" >/dev/null; then fail "a core file was written"; fi

# A runtime folder that is a plain file: the game runs unchecked and says so once. The
# offscreen platform's notes about window hints are its own and are left out of the count.
touch "$work/not-a-folder"
run QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/not-a-folder"
grep -v '^This plugin does not support' "$work/err" >"$work/err.own"
mv "$work/err.own" "$work/err"
if [ "$status" = running ] && one_line && grep -q 'runtime folder' "$work/err"; then
    pass "unusable runtime folder: the game runs, one warning"
else
    fail "unusable runtime folder: status $status, standard error:"
    cat "$work/err"
fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
