# Sourced by the scripts that need a display. start_private_display starts
# a private Xvfb when DISPLAY is unset and exports DISPLAY; stop_private_display
# stops it and waits for it to exit, so that it leaves no lock behind.
#
# A display number counts as taken only while the server named in its lock
# file still runs: a lock left by a server killed from outside is stale, and
# Xvfb replaces it, so stale locks never use up the display numbers.

private_xvfb_pid=""

display_in_use() {
    local lock="/tmp/.X$1-lock" pid
    [ -e "$lock" ] || return 1
    pid="$(tr -dc '0-9' < "$lock" 2>/dev/null || true)"
    [ -n "$pid" ] && [ -d "/proc/$pid" ]
}

start_private_display() {
    [ -z "${DISPLAY:-}" ] || return 0
    local n
    for n in $(seq 90 140); do
        display_in_use "$n" && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        private_xvfb_pid=$!
        for _ in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && display_in_use "$n" && break
            kill -0 "$private_xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$private_xvfb_pid" 2>/dev/null; then
            export DISPLAY=":$n"
            return 0
        fi
        wait "$private_xvfb_pid" 2>/dev/null || true
        private_xvfb_pid=""
    done
    echo "No free display for Xvfb between :90 and :140; tests that open windows are skipped." >&2
}

stop_private_display() {
    [ -n "$private_xvfb_pid" ] || return 0
    kill "$private_xvfb_pid" 2>/dev/null || true
    wait "$private_xvfb_pid" 2>/dev/null || true
    private_xvfb_pid=""
}
