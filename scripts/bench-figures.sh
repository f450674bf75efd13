# Sourced by program-figures.sh, and by check-bench-figures.sh, with which the
# test run makes sure that these readings still match what the benchmarks
# print. Each function runs kestrel_bench (its path first, then any further
# arguments for it) and prints its figures, one line each.
#
# The benchmarks report in JSON, one field a line, with plain numbers: their
# console report is coloured and writes small figures with SI prefixes.

# Reads the JSON report: each benchmark's figures when its object closes.
bench_figures_awk='
function field(line) { sub(/^[^:]*: */, "", line); sub(/,[ \t\r]*$/, "", line); gsub(/"/, "", line); return line }
/^ *"name": / { name = field($0); aggregate = ""; cpu = ""; wake = ""; median = ""; real = ""; unit = ""; failed = ""; why = "" }
/^ *"aggregate_name": / { aggregate = field($0) }
/^ *"cpu_percent": / { cpu = field($0) }
/^ *"wakeups_per_s": / { wake = field($0) }
/^ *"median_ms": / { median = field($0) }
/^ *"real_time": / { real = field($0) }
/^ *"time_unit": / { unit = field($0) }
/^ *"error_occurred": / { failed = field($0) }
/^ *"error_message": / { why = field($0) }
/^ *}/ && name != "" { report(); name = "" }

function unmeasured(label) { printf "%s: not measured (%s)\n", label, why }
function rest(label, span) {
    if (failed == "true") unmeasured(label)
    else printf "%s: %.2f %% of a core, %.1f wake-ups/s (%s)\n", label, cpu, wake, span
}
function report() {
    if (name ~ /^BM_AtRest\//) {
        if (name ~ /state:0/) state = "Bare framework window (reference)"
        else if (name ~ /state:1/) state = "Kestrel-Edit, not connected"
        else state = "Kestrel-Edit, connected to an idle simulated unit"
        rest(state ", at rest", "medians of 20 s after 5 s")
    } else if (name ~ /^BM_PresetChangeOnUnitToWindow/) {
        label = "Preset chosen on the unit to the window showing it loaded"
        if (failed == "true") unmeasured(label)
        else printf "%s: %.0f ms (median of 10)\n", label, median
    } else if (name ~ /^BM_(ProgramStartToFirstPaintedWindow|BareWindowToFirstPaint)/ && aggregate == "median") {
        label = (name ~ /Program/) ? "Start to first painted window" : "Bare window to first paint (reference)"
        printf "%s: %.0f %s (median of 5)\n", label, real, unit
    } else if (name ~ /^BM_Idle\//) {
        rest("Link stack, " ((name ~ /connected:1/) ? "connected to the simulated unit" : "not connected"), "over 10 s")
    }
}'

bench_figures() {
    local bench="$1"
    shift
    "$bench" --benchmark_format=json "$@" 2>/dev/null | awk "$bench_figures_awk"
}

# The program at rest beside a bare window, then a preset chosen on the unit.
at_rest_figures() {
    local bench="$1"
    shift
    bench_figures "$bench" --benchmark_filter='^BM_(AtRest/|PresetChangeOnUnitToWindow)' "$@"
}

# The start to the first painted window beside a bare window's (medians of 5).
start_up_figures() {
    local bench="$1"
    shift
    bench_figures "$bench" --benchmark_filter='^BM_(ProgramStartToFirstPaintedWindow|BareWindowToFirstPaint)$' \
        --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
}

# The link stack with and without a unit.
link_stack_figures() {
    local bench="$1"
    shift
    bench_figures "$bench" --benchmark_filter='^BM_Idle/' "$@"
}
