#!/usr/bin/env bash
# The program's boxes under a window manager that reparents and places
# windows (openbox), on a display of its own: the window tests that check
# where boxes stand run there, and each box must stand centred over the
# window or dialog it belongs to, where the screen shows it. Skipped, saying
# so, only when openbox or Xvfb is not installed (scripts/setup.sh installs both).
#     BoxesUnderWindowManagerTest.sh <app_gui_tests> <librarian_gui_tests> <work folder>
set -uo pipefail
app_tests="$1" librarian_tests="$2" work="$3/boxes-under-window-manager-test"
skipped=77

for tool in openbox Xvfb; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed (scripts/setup.sh installs it): the boxes were not checked under a window manager."
        exit $skipped
    fi
done
rm -rf "$work" && mkdir -p "$work" || exit 2

# The tests that show the program's boxes and check where they stand.
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

# A display number of its own: one whose lock names no running server, above
# those the test scripts' own servers take.
display_in_use() {
    local lock="/tmp/.X$1-lock" pid
    [ -e "$lock" ] || return 1
    pid="$(tr -dc '0-9' <"$lock" 2>/dev/null || true)"
    [ -n "$pid" ] && [ -d "/proc/$pid" ]
}
server="" manager=""
stop() {
    [ -n "$manager" ] && kill "$manager" 2>/dev/null && wait "$manager" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
}
trap stop EXIT
for n in $(seq 200 299); do
    display_in_use "$n" && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    server=$!
    for _ in $(seq 1 600); do
        [ -e "/tmp/.X11-unix/X$n" ] && display_in_use "$n" && break
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$server" 2>/dev/null && display_in_use "$n"; then
        display=":$n"
        break
    fi
    wait "$server" 2>/dev/null
    server=""
done
if [ -z "${display:-}" ]; then
    echo "No display of its own could be started for the window manager (:200 to :299)."
    exit 1
fi

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
        grep -E 'Failure|FAILED|Actual|Value of|Expected' "$work/$(basename "$program").log" | head -40
        failed=1
    fi
}
run_cases "$app_tests" "${app_cases[@]}"
run_cases "$librarian_tests" "${librarian_cases[@]}"
exit $failed
