#!/usr/bin/env bash
# Measures what Kestrel-Edit costs: CPU time of the whole process while nobody
# uses it, as a share of one core, the wake-ups of all its threads per second
# (voluntary context switches) and its resident memory; and the time from
# nothing to its first painted window beside a bare window's.
#
# - The program at rest, beside a bare framework window measured the same way
#   in the same run (the benchmark BM_AtRest of kestrel_bench: the whole
#   program in one process, MIDI devices virtual): not connected, and
#   connected to an idle simulated unit; after 5 s of rest, twenty
#   one-second figures and their medians. Then the time from a preset chosen
#   on the unit to the window showing it loaded (median of 10).
# - The program itself, not connected (no MIDI device here): started under a
#   private Xvfb with its settings in a scratch folder, left to rest 5 s, then
#   measured for $KESTREL_IDLE_SECONDS seconds (default 20), one second at a
#   time (medians).
# - The link stack with and without a unit, connected to the simulated unit
#   over virtual MIDI devices (the benchmark BM_Idle of kestrel_bench).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KESTREL_BUILD_DIR:-$root/build}"
seconds="${KESTREL_IDLE_SECONDS:-20}"
"$root/scripts/setup.sh" >/dev/null

source "$root/scripts/xvfb.sh"
source "$root/scripts/bench-figures.sh"
bench="$build/tests/kestrel_bench"
scratch="$(mktemp -d)"
program_pid=""
finish() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    stop_private_display
    rm -rf "$scratch"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
start_private_display

# The time on a CPU of all a process's threads in ns, and their voluntary switches.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'; }
wake_ups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }'; }

at_rest_figures "$bench"

HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" "$build/Kestrel-Edit" >/dev/null 2>&1 &
program_pid=$!
sleep 5

if ! kill -0 "$program_pid" 2>/dev/null; then
    echo "Kestrel-Edit did not keep running; no figure for the program." >&2
else
    cpu_samples=(); wake_samples=()
    t0="$(cpu_ns "$program_pid")"; w0="$(wake_ups "$program_pid")"
    for ((i = 0; i < seconds; ++i)); do
        sleep 1
        t1="$(cpu_ns "$program_pid")"; w1="$(wake_ups "$program_pid")"
        cpu_samples+=("$((t1 - t0))"); wake_samples+=("$((w1 - w0))")
        t0="$t1"; w0="$w1"
    done
    median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
    awk -v t="$(median "${cpu_samples[@]}")" -v s="$seconds" -v w="$(median "${wake_samples[@]}")" \
        'BEGIN { printf "Kestrel-Edit program, not connected: %.2f %% of a core, %.1f wake-ups/s (medians of %d one-second figures after 5 s)\n", t / 1e7, w, s }'
    awk '/^VmRSS/ { printf "Kestrel-Edit program, not connected: %.1f MB resident\n", $2 / 1024 }' "/proc/$program_pid/status"
fi

start_up_figures "$bench"
link_stack_figures "$bench"
