#!/usr/bin/env bash
# Two claims of a display (scripts/xvfb.sh, start_xvfb_between) started
# together over the same numbers: each gets a display of its own, whose lock
# names its own server, which runs. One claim's server is slow to start, as
# on a loaded machine: it comes up only once the other's server holds the
# first number, and a while after, so that its claim sees that number taken
# by the other's server while its own still runs. Skipped, saying so, only
# when Xvfb is not installed.
#     DisplayClaimTest.sh <work folder>
set -uo pipefail
scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)"
work="$1/display-claim-test"
real_xvfb="$(command -v Xvfb)" || {
    echo "Xvfb is not installed (scripts/setup.sh installs it): the display claim was not checked."
    exit 77
}
rm -rf "$work" && mkdir -p "$work/slow" || exit 2

# The slow server, on its first start only.
cat >"$work/slow/Xvfb" <<SLOW
#!/usr/bin/env bash
if [ ! -e "$work/slow-started" ]; then
    touch "$work/slow-started"
    for _ in \$(seq 1200); do [ -e "/tmp/.X\${1#:}-lock" ] && break; sleep 0.05; done
    sleep 2
fi
exec "$real_xvfb" "\$@"
SLOW
chmod +x "$work/slow/Xvfb" || exit 2

# Numbers no server holds, far above those the test command's servers take.
first=600
while [[ -e /tmp/.X11-unix/X$first || -e /tmp/.X$first-lock ]]; do first=$((first + 1)); done
last=$((first + 20))

# A claim in the background: its display and server, kept until told to stop.
claim() { # name, then PATH
    local name="$1"
    PATH="$2" bash -c '
        source "$1/xvfb.sh"
        if start_xvfb_between "$2" "$3" "$4/$5.log"; then
            echo "$started_display $started_xvfb_pid" >"$4/$5.claimed"
        else
            echo "none" >"$4/$5.claimed"
        fi
        while [ ! -e "$4/stop" ]; do sleep 0.1; done
        [ -n "$started_xvfb_pid" ] && kill "$started_xvfb_pid" 2>/dev/null && wait "$started_xvfb_pid" 2>/dev/null
        exit 0' claim "$scripts" "$first" "$last" "$work" "$name" &
}
claims=()
finish() {
    touch "$work/stop"
    for pid in "${claims[@]}"; do wait "$pid" 2>/dev/null; done
}
trap finish EXIT

claim slow "$work/slow:$PATH"
claims+=($!)
for _ in $(seq 1200); do [[ -e "$work/slow-started" ]] && break; sleep 0.05; done
claim quick "$PATH"
claims+=($!)
for _ in $(seq 1800); do [[ -s "$work/slow.claimed" && -s "$work/quick.claimed" ]] && break; sleep 0.1; done

failed=0
declare -A holder
for name in slow quick; do
    read -r display pid <"$work/$name.claimed" 2>/dev/null
    if [[ -z "${display:-}" || "$display" == none ]]; then
        echo "the $name claim got no display: $(cat "$work/$name.log" 2>/dev/null)"
        failed=1
        continue
    fi
    number="${display#:}"
    locked=$(tr -dc '0-9' <"/tmp/.X$number-lock" 2>/dev/null)
    if [[ "$locked" != "$pid" || ! -d /proc/$pid ]]; then
        echo "the $name claim took $display with server $pid, but the display's lock names server ${locked:-(none)}$([[ -d /proc/$pid ]] || echo ", and $pid no longer runs")"
        failed=1
    fi
    if [[ -n "${holder[$display]:-}" ]]; then
        echo "both claims took $display"
        failed=1
    fi
    holder[$display]=$name
done
exit $failed
