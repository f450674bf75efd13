#!/usr/bin/env bash
# The test command (scripts/test.sh) where no display can be had: it fails
# and says why, and runs no test, unless KESTREL_SKIP_WINDOW_TESTS=1 asks to
# run without the tests that open windows. It runs here from a copy of the
# scripts whose build step does nothing, with a ctest that only notes that it
# ran, with which display and which arguments, and an Xvfb that cannot start.
#     TestCommandWithoutDisplayTest.sh <work folder>
set -uo pipefail
scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)"
work="$1/test-command-without-display-test"
rm -rf "$work" && mkdir -p "$work/root/scripts" "$work/bin" "$work/root/build" || exit 2
cp "$scripts/test.sh" "$scripts/xvfb.sh" "$work/root/scripts/" || exit 2
printf '#!/usr/bin/env bash\nexit 0\n' >"$work/root/scripts/setup.sh"
printf '#!/usr/bin/env bash\necho "display=${DISPLAY:-} $*" >>"%s"\n' "$work/ctest-ran" >"$work/bin/ctest"
printf '#!/usr/bin/env bash\necho "Xvfb cannot start here" >&2\nexit 1\n' >"$work/bin/Xvfb"
chmod +x "$work/root/scripts/setup.sh" "$work/bin/ctest" "$work/bin/Xvfb"
failed=0

run() { # name, then the environment's settings
    local name="$1"
    shift
    rm -f "$work/ctest-ran"
    env -u DISPLAY -u KESTREL_SKIP_WINDOW_TESTS PATH="$work/bin:$PATH" KESTREL_SANITIZE=0 \
        KESTREL_BUILD_DIR="$work/root/build" "$@" \
        timeout 300 bash "$work/root/scripts/test.sh" >"$work/$name.out" 2>"$work/$name.err" </dev/null
}

run without-display
status=$? said=$(cat "$work/without-display.err")
if ((status == 0)) || [[ -e "$work/ctest-ran" ]]; then
    echo "without a display: the test command ended with status $status$([[ -e "$work/ctest-ran" ]] && echo " and ran the tests"), saying: $said"
    failed=1
fi
if [[ "$said" != *"No display for the tests that open windows"*"no Xvfb could be started"* \
    || "$said" != *"KESTREL_SKIP_WINDOW_TESTS=1"* ]]; then
    echo "without a display: the test command did not say why it failed and how to run without window tests: $said"
    failed=1
fi

# Asked in so many words, it runs the other tests without the window tests,
# and without a display, even where one is set.
run skipped KESTREL_SKIP_WINDOW_TESTS=1 DISPLAY=":1"
status=$? said=$(cat "$work/skipped.err")
if ((status != 0)) || [[ "$(cat "$work/ctest-ran" 2>/dev/null)" != "display= "*"-LE gui"* ]]; then
    echo "asked to skip window tests: status $status, the tests ran $(cat "$work/ctest-ran" 2>/dev/null || echo "not at all"): $said"
    failed=1
fi
if [[ "$said" != *"KESTREL_SKIP_WINDOW_TESTS=1: the tests that open windows are skipped."* ]]; then
    echo "asked to skip window tests: the test command did not say that they are skipped: $said"
    failed=1
fi
exit $failed
