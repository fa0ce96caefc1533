#!/usr/bin/env bash
# The packaged game, unpacked into a scratch root and found as a desktop's menu finds it (the
# desktop entry's Exec on Debian's default PATH), starts on the offscreen platform against the
# system's Qt: it makes its window, holds the one-game lock, keeps running, and ends on SIGTERM.
# Usage: package_runs.sh <folder holding the .deb>
set -euo pipefail
debs=("$1"/*.deb)
fail() { echo "FAIL: $*" >&2; exit 1; }

scratch=$(mktemp -d)
runtime=$(mktemp -d)  # mktemp makes it 0700, as a runtime folder must be
chmod 0700 "$runtime"
pid=
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
    rm -rf "$scratch" "$runtime"
}
trap cleanup EXIT

dpkg -x "${debs[0]}" "$scratch"
# The command of the entry's Exec, looked up in the PATH that Debian gives its users and their
# desktop sessions (/etc/login.defs, /etc/profile), which holds /usr/games.
command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$scratch/usr/share/applications/io.github.kovelint.Kovelint.desktop")
folders=(/usr/local/bin /usr/bin /bin /usr/local/games /usr/games)
[[ $command == /* ]] && folders=("")
game=
for folder in "${folders[@]}"; do
    [ -x "$scratch$folder/$command" ] && game=$scratch$folder/$command && break
done
[ "$game" = "$scratch/usr/games/kovelint" ] ||
    fail "the desktop entry's Exec=$command does not find the packaged /usr/games/kovelint"
# Every library it links comes from the system.
if ldd "$game" | grep -q 'not found'; then ldd "$game" >&2; fail "unresolved libraries"; fi

# exec, so that $! is the game itself.
run() {
    exec env -u LD_LIBRARY_PATH -u QT_PLUGIN_PATH -u QT_SCALE_FACTOR -u DISPLAY -u WAYLAND_DISPLAY \
        XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen \
        QT_LOGGING_RULES='*.debug=false;qt.qpa.backingstore.debug=true' "$game" "$@"
}

# Qt reports on this category when a top-level window gets its backing store, that is when
# the window is actually created and shown; nothing else is allowed on stderr.
run 2>"$scratch/first.err" &
pid=$!
for _ in $(seq 300); do  # thirty seconds, for a busy machine
    grep -q 'qt.qpa.backingstore' "$scratch/first.err" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
grep -q 'qt.qpa.backingstore' "$scratch/first.err" || {
    cat "$scratch/first.err" >&2
    fail "no window was created"
}
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the game ended by itself: $(cat "$scratch/first.err")"

# It holds the one-game lock: it listens on the socket in the runtime folder.
inode=$(awk -v n="$runtime/kovelint.socket" '$8 == n {print $7}' /proc/net/unix)
[ -n "$inode" ] && ls -l "/proc/$pid/fd" | grep -q "socket:\[$inode\]" ||
    fail "the lock is not held by $pid"

# The platform plugin came from the system's qt6-qpa-plugins.
grep -q '/qt6/plugins/platforms/libqoffscreen.so' "/proc/$pid/maps" ||
    fail "the offscreen plugin was not loaded from the system"

# The offscreen plugin says which window calls it cannot honour; X can.
unexpected=$(grep -v -e 'qt.qpa.backingstore' \
    -e '^This plugin does not support \(propagateSizeHints\|raise\)()$' "$scratch/first.err" || true)
[ -z "$unexpected" ] || fail "the game printed: $unexpected"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq $((128 + 15)) ] || fail "after SIGTERM the game ended with status $status"
echo "package runs: window made, lock held, ended by SIGTERM"
