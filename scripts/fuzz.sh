#!/usr/bin/env bash
# Builds the fuzz harnesses of tests/fuzz with clang and libFuzzer (plus
# AddressSanitizer and UndefinedBehaviorSanitizer) in ./build-fuzz, then runs
# each harness for the given number of seconds, one after another.
#
#   bash scripts/fuzz.sh [seconds] [harness...]     (default: 60 s, every harness)
#
# Each harness keeps its corpus in build-fuzz/corpus/<harness>, seeded from
# tests/data/hostile. An input that crashes, hangs or trips a sanitizer is
# saved as build-fuzz/findings/<harness>-<kind>-<hash> and ends the run with
# failure; replay it with build-fuzz/tests/fuzz/<harness> <file>.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KESTREL_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-60}"
[ $# -gt 0 ] && shift

if ! command -v clang++ >/dev/null 2>&1; then
    echo "Fuzzing needs clang and libFuzzer: apt-get install clang libclang-rt-14-dev" >&2
    exit 2
fi

generator=()
[ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTREL_BUILD_TESTS=OFF -DKESTREL_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target kestrel_fuzzers

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
    for program in "$build"/tests/fuzz/Fuzz*; do
        [ -f "$program" ] && [ -x "$program" ] && harnesses+=("$(basename "$program")")
    done
fi

mkdir -p "$build/findings"
for harness in "${harnesses[@]}"; do
    corpus="$build/corpus/$harness"
    mkdir -p "$corpus"
    for seed in "$root"/tests/data/hostile/*; do
        [ "$(basename "$seed")" = README.md ] || cp -n "$seed" "$corpus/"
    done
    echo "== $harness: $seconds s"
    "$build/tests/fuzz/$harness" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix="$build/findings/$harness-" -print_final_stats=1 "$corpus"
done
