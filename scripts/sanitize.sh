#!/usr/bin/env bash
# Builds Kestrel-Edit and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (JUCE included) in ./build-asan and runs every
# test there, through the test command and its virtual display. Any finding
# ends the test that made it with failure. Arguments go to ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KESTREL_ASAN_BUILD_DIR:-$root/build-asan}"

generator=()
[ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_SANITIZE=ON >/dev/null

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"

KESTREL_IN_SANITIZER_RUN=1 KESTREL_BUILD_DIR="$build" exec bash "$root/scripts/test.sh" "$@"
