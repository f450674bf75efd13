# Sourced by the scripts that need a display. start_private_display starts
# a private Xvfb when DISPLAY is unset and exports DISPLAY, and fails, saying
# why, when none can be had; stop_private_display stops it and waits for it to
# exit, so that it leaves no lock behind.
#
# A display number counts as taken only while the server named in its lock
# file still runs: a lock left by a server killed from outside is stale, and
# Xvfb replaces it, so stale locks never use up the display numbers.
#
# Two runs on one machine may try the same free number at once: only one of
# their servers gets its lock, and the other gives up. A number is a run's
# own only once its lock names the run's own server; until then the server
# that holds it may be another run's, which that run stops when it ends.

private_xvfb_pid=""

lock_holder() {
    tr -dc '0-9' 2>/dev/null <"/tmp/.X$1-lock" || true
}

display_in_use() {
    local pid
    pid="$(lock_holder "$1")"
    [ -n "$pid" ] && [ -d "/proc/$pid" ]
}

# Starts Xvfb on the first number from $1 to $2 that it gets for itself,
# writing its output to $3 (by default nowhere). Sets started_display (":N")
# and started_xvfb_pid; fails when no number was had.
start_xvfb_between() {
    local first="$1" last="$2" log="${3:-/dev/null}" n pid
    started_display="" started_xvfb_pid=""
    for n in $(seq "$first" "$last"); do
        display_in_use "$n" && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$log" 2>&1 &
        pid=$!
        for _ in $(seq 1 600); do
            [ -e "/tmp/.X11-unix/X$n" ] && [ "$(lock_holder "$n")" = "$pid" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null && [ "$(lock_holder "$n")" = "$pid" ]; then
            started_display=":$n" started_xvfb_pid="$pid"
            return 0
        fi
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    return 1
}

start_private_display() {
    [ -z "${DISPLAY:-}" ] || return 0
    if ! command -v Xvfb >/dev/null 2>&1; then
        echo "No display for the tests that open windows: DISPLAY is not set and Xvfb is not installed (scripts/setup.sh installs it)." >&2
        return 1
    fi
    if start_xvfb_between 90 140; then
        private_xvfb_pid="$started_xvfb_pid"
        export DISPLAY="$started_display"
        return 0
    fi
    echo "No display for the tests that open windows: DISPLAY is not set and no Xvfb could be started between :90 and :140." >&2
    return 1
}

stop_private_display() {
    [ -n "$private_xvfb_pid" ] || return 0
    kill "$private_xvfb_pid" 2>/dev/null || true
    wait "$private_xvfb_pid" 2>/dev/null || true
    private_xvfb_pid=""
}
