#!/usr/bin/env bash
# Measures what Kestrel-Edit costs: CPU time of the whole process while nobody
# uses it, as a share of one core, the wake-ups of all its threads per second
# (voluntary context switches) and its resident memory; and the time from
# nothing to its first painted window beside a bare window's.
#
# - The program itself, not connected (no MIDI device here): started under a
#   private Xvfb with its settings in a scratch folder, left to settle, then
#   measured for $KESTREL_IDLE_SECONDS seconds (default 10).
# - The link stack with and without a unit, connected to the simulated unit
#   over virtual MIDI devices (the benchmark BM_Idle of kestrel_bench).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KESTREL_BUILD_DIR:-$root/build}"
seconds="${KESTREL_IDLE_SECONDS:-10}"
"$root/scripts/setup.sh" >/dev/null

source "$root/scripts/xvfb.sh"
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

# utime + stime of a process in clock ticks, and the voluntary switches of all its threads.
cpu_ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
wake_ups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }'; }

HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" "$build/Kestrel-Edit" >/dev/null 2>&1 &
program_pid=$!
sleep 3

if ! kill -0 "$program_pid" 2>/dev/null; then
    echo "Kestrel-Edit did not keep running; no figure for the program." >&2
else
    t0="$(cpu_ticks "$program_pid")"; w0="$(wake_ups "$program_pid")"
    sleep "$seconds"
    t1="$(cpu_ticks "$program_pid")"; w1="$(wake_ups "$program_pid")"
    awk -v t="$((t1 - t0))" -v hz="$(getconf CLK_TCK)" -v s="$seconds" -v w="$((w1 - w0))" \
        'BEGIN { printf "Kestrel-Edit, not connected: %.2f %% of a core, %.1f wake-ups/s over %d s\n", 100 * t / hz / s, w / s, s }'
    awk '/^VmRSS/ { printf "Kestrel-Edit, not connected: %.1f MB resident\n", $2 / 1024 }' "/proc/$program_pid/status"
fi

"$build/tests/kestrel_bench" --benchmark_filter='^BM_(ProgramStartToFirstPaintedWindow|BareWindowToFirstPaint)$' \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null |
    awk '/_median/ { name = ($1 ~ /Program/) ? "Start to first painted window" : "Bare window to first paint (reference)";
                     printf "%s: %s %s (median of 5)\n", name, $2, $3 }'

"$build/tests/kestrel_bench" --benchmark_filter='^BM_Idle/' 2>/dev/null |
    awk '/^BM_Idle/ {
        state = ($1 ~ /connected:1/) ? "connected to the simulated unit" : "not connected";
        cpu = ""; wake = "";
        for (i = 1; i <= NF; ++i) {
            if ($i ~ /^cpu_percent=/) { sub(/^cpu_percent=/, "", $i); cpu = $i }
            if ($i ~ /^wakeups_per_s=/) { sub(/^wakeups_per_s=/, "", $i); wake = $i }
        }
        printf "Link stack, %s: %s %% of a core, %s wake-ups/s over 10 s\n", state, cpu, wake
    }'
