#!/usr/bin/env bash
# The program's boxes under a window manager that reparents and places
# windows (openbox), on a display of its own: the window tests that check
# where boxes stand run there, and each box must stand centred over the
# window or dialog it belongs to, where the screen shows it; so must the
# program's own file chooser. Skipped, saying so, only when openbox or Xvfb is
# not installed (scripts/setup.sh installs both), or when
# KESTREL_SKIP_WINDOW_TESTS=1 asks to skip the tests that open windows.
#     BoxesUnderWindowManagerTest.sh <app_gui_tests> <librarian_gui_tests> <work folder>
set -uo pipefail
app_tests="$1" librarian_tests="$2" work="$3/boxes-under-window-manager-test"
skipped=77

if [ "${KESTREL_SKIP_WINDOW_TESTS:-}" = 1 ]; then
    echo "KESTREL_SKIP_WINDOW_TESTS=1: the boxes were not checked under a window manager."
    exit $skipped
fi
for tool in openbox Xvfb; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed (scripts/setup.sh installs it): the boxes were not checked under a window manager."
        exit $skipped
    fi
done
rm -rf "$work" && mkdir -p "$work" || exit 2

# The tests that show the program's boxes (and its file chooser) and check
# where they stand.
app_cases=(
    MessageDialogs.AMessageToldAgainWhileItsBoxIsOpenShowsNoSecondBoxButAQuestionAlwaysShows
    CommandTarget.SaveToNewPresetNumberAsksBeforeReplacingAndSavesWhereAQuickClickPicks
    FrontPanelEndToEnd.ImportRefusesANameTheUnitCannotStoreAndTakesOnePaddedWithEmptyPlaces
    FrontPanelEndToEnd.SaveAndExportWriteNothingWhileTheUnitPlaysAnotherPreset
)
librarian_cases=(
    LibrarianDragAndDrop.AFileDraggedFromTheBrowserOntoASlotIsSentThereAfterTheQuestion
    LibrarianLoad.ALoadTheUnitNeverCarriesOutEndsWithItsFailure
    RawPresetJobsInProgram.AnImportAsksBeforeItReplacesSlots
    RawPresetJobsInProgram.TheQuestionToStopATransferStandsOverTheDialogAndGoesWhenTheTransferEnds
)

# A display number of its own, above those the test command's own server
# takes, even when another run (another checkout, a sanitizer run) starts
# its own at the same moment (scripts/xvfb.sh).
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/xvfb.sh"
server="" manager=""
stop() {
    [ -n "$manager" ] && kill "$manager" 2>/dev/null && wait "$manager" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
}
trap stop EXIT
if ! start_xvfb_between 200 299 "$work/xvfb.log"; then
    echo "No display of its own could be started for the window manager (:200 to :299)."
    exit 1
fi
server="$started_xvfb_pid" display="$started_display"

# openbox runs the command once it manages the display.
ready="$work/openbox-ready"
DISPLAY="$display" openbox --sm-disable --startup "touch '$ready'" >"$work/openbox.log" 2>&1 &
manager=$!
for _ in $(seq 1 600); do
    [ -e "$ready" ] && break
    kill -0 "$manager" 2>/dev/null || break
    sleep 0.1
done
if [ ! -e "$ready" ]; then
    echo "openbox did not start on $display: $(cat "$work/openbox.log")"
    exit 1
fi

failed=0
run_cases() { # test program, then its cases
    local program="$1" filter ran
    shift
    filter=$(IFS=:; echo "$*")
    DISPLAY="$display" KESTREL_WINDOW_MANAGER=openbox "$program" --gtest_filter="$filter" >"$work/$(basename "$program").log" 2>&1
    local status=$?
    ran=$(grep -c '^\[       OK \]' "$work/$(basename "$program").log")
    if ((status != 0 || ran != $#)); then
        echo "$(basename "$program"): $ran of $# cases passed under openbox (status $status):"
        grep -E 'Failure|FAILED|Actual|Value of|Expected|Skipped' "$work/$(basename "$program").log" | head -40
        failed=1
    fi
}
run_cases "$app_tests" "${app_cases[@]}"
run_cases "$librarian_tests" "${librarian_cases[@]}"
exit $failed
