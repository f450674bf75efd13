#!/usr/bin/env bash
# Sets up and builds Kestrel-Edit, then runs every test; then builds it again
# with AddressSanitizer and UndefinedBehaviorSanitizer in ./build-asan and runs
# every test there (KESTREL_SANITIZE=0 skips that second run). Tests that open
# real windows need a display: when none is set, a private Xvfb is started for
# the run and stopped afterwards; when none can be had, the run fails, saying
# why, unless KESTREL_SKIP_WINDOW_TESTS=1 asks to run without those tests.
# Arguments go to ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KESTREL_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"

source "$root/scripts/xvfb.sh"
trap stop_private_display EXIT
# Interrupted or terminated, the run still stops its Xvfb on the way out.
trap 'exit 130' INT
trap 'exit 143' TERM HUP
# Asked to, it runs without a display and leaves out the tests labelled as
# opening windows; the others that would open one skip themselves.
without_windows=()
if [ "${KESTREL_SKIP_WINDOW_TESTS:-}" = 1 ]; then
    unset DISPLAY
    without_windows=(-LE gui)
    echo "KESTREL_SKIP_WINDOW_TESTS=1: the tests that open windows are skipped." >&2
elif ! start_private_display; then
    echo "The tests were not run. Set KESTREL_SKIP_WINDOW_TESTS=1 to run them without the tests that open windows." >&2
    exit 1
fi

(cd "$build" && ctest --output-on-failure -j "${KESTREL_JOBS:-$(nproc)}" "${without_windows[@]+"${without_windows[@]}"}" "$@")

# The sanitizer run comes back here with its own build folder; it must not
# start a third.
if [ "${KESTREL_SANITIZE:-1}" != 0 ] && [ -z "${KESTREL_IN_SANITIZER_RUN:-}" ]; then
    bash "$root/scripts/sanitize.sh" "$@"
fi
