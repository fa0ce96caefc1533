# Sourced by the tests that start real games under X and watch them from outside: their
# results, and a clean-up that ends every game and helper they started and removes $work.
games=()
others=()
failures=0
passed=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; passed=$((passed + 1)); }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# How long, in seconds, a test waits for what must happen: long enough that only a hung game
# misses it, even on a busy machine. No test holds the game to a speed; the benchmarks do that.
patience=20
# True once the command succeeds, tried every tenth of a second for at most $patience seconds.
eventually() {
    local deadline=$((SECONDS + patience))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}
# True once process $1 has ended, after at most $patience seconds.
gone() { ! kill -0 "$1" 2>/dev/null; }
ended() { eventually gone "$1"; }
games_cleanup() {
    for p in "${games[@]}" "${others[@]}" "${private_x_pids[@]}"; do kill -KILL "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}

# The game's first visible window, or nothing once the game has ended or after $patience
# seconds.
window_of() {
    local deadline=$((SECONDS + patience))
    while [ "$SECONDS" -lt "$deadline" ]; do
        xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n1 | grep . && return
        kill -0 "$1" 2>/dev/null || return
        sleep 0.1
    done
}
# Starts a game in the background: $pid is the game itself (env and taskset exec it).
start() {
    "$@" &
    pid=$!
    games+=("$pid")
}
# Whatever game $1 listens on, as /proc/net/unix shows it to anyone: a path, or @name.
listening_on() {
    local inode
    for inode in $(ls -l "/proc/$1/fd" 2>/dev/null | grep -o 'socket:\[[0-9]*\]' | tr -dc '0-9\n'); do
        awk -v i="$inode" '$7 == i && $4 == "00010000" { print $8 }' /proc/net/unix
    done
}
