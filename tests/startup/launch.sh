#!/usr/bin/env bash
# How the game starts where it cannot run as usual: no display at all, a display platform
# that cannot open, a runtime folder that is no folder, links planted at every name the game
# might use, and another user holding the name of its lock.
# Usage: launch.sh <path to kovelint>
set -u
game=$1
failures=0
passed=0
work=$(mktemp -d)
holder=
cleanup() {
    [ -n "$holder" ] && kill -KILL "$holder" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# Every fallback folder the game makes goes here, never into the machine's /tmp.
mkdir -m 700 "$work/tmp"

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

# A runtime folder that is a plain file: the game makes a private one of its own, says so once
# and runs. The offscreen platform's notes about window hints are its own and are left out.
touch "$work/not-a-folder"
run QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/not-a-folder" TMPDIR="$work/tmp"
grep -v '^This plugin does not support' "$work/err" >"$work/err.own"
mv "$work/err.own" "$work/err"
if [ "$status" = running ] && one_line && grep -q 'runtime folder' "$work/err"; then
    pass "unusable runtime folder: the game runs, one warning"
else
    fail "unusable runtime folder: status $status, standard error:"
    cat "$work/err"
fi
rm -rf "$work/tmp"/runtime-*

# Starts the game on the offscreen platform; $outcome says whether it made its window and
# was still running a moment later, $work/err keeps only the game's own lines.
run_offscreen() {
    env -u QT_SCALE_FACTOR "$@" QT_QPA_PLATFORM=offscreen TMPDIR="$work/tmp" \
        QT_LOGGING_RULES='*.debug=false;qt.qpa.backingstore.debug=true' \
        "$game" >/dev/null 2>"$work/err.all" </dev/null &
    local pid=$!
    outcome="no window"
    for _ in $(seq 50); do
        grep -q 'qt.qpa.backingstore' "$work/err.all" && outcome=window && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    sleep 0.5
    if kill -0 "$pid" 2>/dev/null; then kill -TERM "$pid"; else outcome="ended ($outcome)"; fi
    wait "$pid" 2>/dev/null
    grep -v -e 'qt.qpa.backingstore' -e '^This plugin does not support' "$work/err.all" >"$work/err"
}

# Links planted where the game's runtime folder and the old lock file would be, pointing at
# a folder and files of the player's: nothing there may change, and the game still starts.
user=$(id -un)
mkdir -m 700 "$work/players"
echo "the player's own notes" >"$work/players/notes"
ln -s "$work/players/notes" "$work/players/kovelint.lock"
ln -s "$work/players/notes" "$work/runtime/kovelint.lock"
ln -s "$work/players" "$work/tmp/runtime-$user"
snapshot() { (cd "$work/players" && find . -printf '%p %y %m %s %T@ %l\n' | sort && cat notes); }
before=$(snapshot)
run_offscreen -u XDG_RUNTIME_DIR
made=$(find "$work/tmp" -mindepth 1 -maxdepth 1 -name "runtime-$user-*" -type d -perm 700)
if [ "$outcome" = window ] && one_line && grep -q "runtime-$user is not a private folder" \
    "$work/err" && [ -n "$made" ] && [ "$(snapshot)" = "$before" ]; then
    pass "link at <tmp>/runtime-$user: the player's folder untouched, a fresh one used"
else
    fail "link at <tmp>/runtime-$user: $outcome, made '${made}', standard error:"
    cat "$work/err"
fi
run_offscreen XDG_RUNTIME_DIR="$work/runtime"
if [ "$outcome" = window ] && [ ! -s "$work/err" ] && [ "$(snapshot)" = "$before" ] &&
    [ "$(readlink "$work/runtime/kovelint.lock")" = "$work/players/notes" ]; then
    pass "link at <runtime>/kovelint.lock: left alone, the game runs"
else
    fail "link at <runtime>/kovelint.lock: $outcome, standard error:"
    cat "$work/err"
fi

# Another user holds the name the game's lock would take (the same rule: our uid and the
# start of the runtime folder's SHA-256): the game starts anyway and says so once.
if [ "$(id -u)" -eq 0 ]; then
    name="kovelint-$(id -u)-$(printf %s "$work/runtime" | sha256sum | cut -c1-16)"
    (cd / && exec setpriv --reuid=nobody --regid=nogroup --clear-groups perl -MSocket -e \
        'socket(S, AF_UNIX, SOCK_STREAM, 0) && bind(S, pack_sockaddr_un("\0" . $ARGV[0]))
         && listen(S, 5) or die "holder: $!\n"; sleep 60' "$name") &
    holder=$!
    for _ in $(seq 50); do grep -q "@$name\$" /proc/net/unix && break; sleep 0.1; done
    run_offscreen XDG_RUNTIME_DIR="$work/runtime"
    if [ "$outcome" = window ] && one_line && grep -q 'another user holds' "$work/err"; then
        pass "another user holds the lock's name: the game runs, one line"
    else
        fail "another user holds the lock's name: $outcome, standard error:"
        cat "$work/err"
    fi
else
    echo "skipped: another user holding the lock's name (needs root to run as nobody)"
fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
