# Sourced by the tests that start real games under X and watch them from outside: their
# results, and a clean-up that ends every game and helper they started and removes $work.
games=()
others=()
failures=0
passed=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; passed=$((passed + 1)); }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
games_cleanup() {
    for p in "${games[@]}" "${others[@]}" "${private_x_pids[@]}"; do kill -KILL "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}

# The game's first visible window within 10 s, or nothing once the game has ended.
window_of() {
    for _ in $(seq 100); do
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
