# Sourced by the tests and benchmarks that run the real game under X: a private Xvfb, and
# openbox when asked.
# private_x WORK [openbox]: exports DISPLAY and QT_QPA_PLATFORM=xcb, clears the scale factors,
# and adds the servers' PIDs to private_x_pids for the caller's clean-up. Returns 1, with
# Xvfb's log on standard error, when no server could be had. The screen is 1024 x 768 unless
# private_x_screen says otherwise (as WIDTHxHEIGHTxDEPTH).
private_x_pids=()
private_x() {
    local work=$1 wm=${2:-}
    # Xvfb picks a free display itself and writes its number once it accepts clients. Without
    # -noreset it would reset whenever its last client leaves, refusing the next for a moment.
    # Two servers starting at once can reach for the same display; the loser is started again.
    local attempt pid
    for attempt in 1 2 3; do
        Xvfb -displayfd 3 -screen 0 "${private_x_screen:-1024x768x24}" -nolisten tcp -noreset 3>"$work/display" \
            2>"$work/xvfb.log" &
        pid=$!
        for _ in $(seq 100); do
            [ -s "$work/display" ] || ! kill -0 "$pid" 2>/dev/null && break
            sleep 0.1
        done
        [ -s "$work/display" ] && break
        kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
    done
    private_x_pids+=("$pid")
    [ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; return 1; }
    export DISPLAY=:$(head -n1 "$work/display") QT_QPA_PLATFORM=xcb
    unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
    [ -n "$wm" ] || return 0
    openbox --sm-disable >/dev/null 2>&1 &
    private_x_pids+=($!)
    # The current desktop is set once the window manager runs.
    for _ in $(seq 100); do xdotool get_desktop >/dev/null 2>&1 && return 0; sleep 0.1; done
}
