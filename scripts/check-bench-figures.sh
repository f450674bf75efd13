#!/usr/bin/env bash
# Checks that program-figures.sh still reads what the benchmarks print: runs
# its readings against kestrel_bench (the path given) with the least work
# (KESTREL_BENCH_SMOKE=1, figures meaningless) and expects every figure line,
# each once and with its numbers. The test run starts it (ctest
# Benchmarks.FiguresAreRead); it needs a display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench="$1"
source "$root/scripts/bench-figures.sh"
export KESTREL_BENCH_SMOKE=1

printed="$(at_rest_figures "$bench" --benchmark_min_time=0
           start_up_figures "$bench" --benchmark_min_time=0 --benchmark_repetitions=2
           link_stack_figures "$bench" --benchmark_min_time=0)"
printf '%s\n' "$printed"

number='[0-9]+(\.[0-9]+)?'
rest="$number % of a core, $number wake-ups/s"
expected=(
    "^Bare framework window \(reference\), at rest: $rest \("
    "^Kestrel-Edit, not connected, at rest: $rest \("
    "^Kestrel-Edit, connected to an idle simulated unit, at rest: $rest \("
    "^Preset chosen on the unit to the window showing it loaded: $number ms \("
    "^Start to first painted window: $number [a-z]+ \(median of 5\)$"
    "^Bare window to first paint \(reference\): $number [a-z]+ \(median of 5\)$"
    "^Link stack, connected to the simulated unit: $rest \("
    "^Link stack, not connected: $rest \("
)

failed=0
for line in "${expected[@]}"; do
    found="$(printf '%s\n' "$printed" | grep -cE "$line" || true)"
    if [ "$found" != 1 ]; then
        echo "FAILED: $found lines match: $line" >&2
        failed=1
    fi
done
lines="$(printf '%s\n' "$printed" | grep -c . || true)"
if [ "$lines" != "${#expected[@]}" ]; then
    echo "FAILED: $lines lines printed, ${#expected[@]} expected" >&2
    failed=1
fi
exit "$failed"
