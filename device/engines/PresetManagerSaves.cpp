// The saves of presets on the unit: what the unit stores when it changes
// preset as a save reaches it, and the name the saved location is given.

#include "device/engines/PresetManager.h"

#include "device/engines/CommStep.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/FileUtils.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"

void PresetManager::watchSave (const PresetStateMachine& machine)
{
    saveWatch = {};
    saveWatch.machine = &machine;
    saveWatch.run = machine.getRunCount();
    saveWatch.location = machine.bank * 128 + machine.program;

    // A request that recalled the location saves the preset it recalled;
    // the others save the edit of the preset the window holds.
    const auto& steps = machine.getSteps();
    bool recalled = false;

    for (int i = 0; i < juce::jmin (machine.getStepIndex(), steps.size()); ++i)
        recalled = recalled || steps[i] == stepPresetRecall;

    saveWatch.saved = recalled ? saveWatch.location : getCurrentPresetNumber();

    // The count first: a report the link files after it is counted at the
    // answer; one filed before it and not taken yet waits in the mailbox.
    if (auto* unitLink = getLink())
    {
        saveWatch.linkReports = unitLink->getPresetReports().count;
        saveWatch.reportWaiting = unitLink->hasPresetChange();
    }

    saveWatch.reportsTaken = presetReports;
}

void PresetManager::noteSaveAnswer (const SysExRequest& request)
{
    if (saveWatch.request == nullptr || &request != saveWatch.request || &request != currentStepRequest)
        return;

    saveWatch.request = nullptr;

    // The unit reports a change before it answers a request sent after it:
    // a report filed before the answer came with the unit on another preset
    // when the save reached it.
    const bool reportedBefore =
        saveWatch.reportWaiting || request.getPresetReportCountAtAnswer() != saveWatch.linkReports;
    const auto reported = request.getLastPresetReportAtAnswer();

    if (reportedBefore && reported >= 0 && reported != saveWatch.saved)
        saveWatch.movedTo = reported;
}

bool PresetManager::endsSaveAfterMove (PresetStateMachine& machine)
{
    if (saveWatch.machine != &machine || saveWatch.run != machine.getRunCount() || saveWatch.movedTo < 0)
        return false;

    // The location's name as the unit stores it now, in place of the step
    // due; then the user is told.
    if (! saveWatch.told)
    {
        setStepRequest (machine, DeviceManager::requestPresetNames (machine.bank, machine.program),
                        [this] (PresetStateMachine&) { tellSaveAfterMove(); });
        return true;
    }

    // Whether the unit stays on the preset it changed to or plays the
    // location it saved into, it is asked, and the window follows its answer.
    if (! saveWatch.asked)
    {
        saveWatch.asked = true;
        setStepRequest (machine, DeviceManager::requestPresetNumber());
        return true;
    }

    // Nothing more goes out but the unmute of outputs the request muted.
    if (machine.isMutedBeforeCursor() && machine.skipTo (stepMuteDisable))
        return false;

    // Told already: the request fails without a second box, and without
    // its end code, which would tell a save.
    failureReported = true;
    setStatus (timeOutCode, 0, 0);
    machine.stop (ZolStateMachine::resultTimedOut);
    return true;
}

void PresetManager::tellSaveAfterMove()
{
    saveWatch.told = true;

    juce::String held;
    getPresetName (saveWatch.location, held);

    // The preset the unit changed to is named as the window shows it once
    // loaded, as the other boxes name it; the location holds it now, so
    // its name read back there stands for it when the window moved on.
    auto tell = [this, movedTo = saveWatch.movedTo, location = saveWatch.location, held] (bool loaded)
    {
        juce::String name;

        if (loaded && getCurrentPresetNumber() == movedTo)
            name = getCurrentPresetName();
        else if (! getPresetName (movedTo, name) || name.trim().isEmpty())
            name = held;

        UserNotifier::warn ("The Kestrel changed to " + presetNumberAndName (movedTo, name) +
                            " as the save went out: " + presetNumberAndName (location, {}) + " now holds " +
                            printableName (held.trim()).quoted() + "; the edit was not saved.");
    };

    if (getRequest (loadPreset).isRunning())
        whenLoadEnds (std::move (tell));
    else
        tell (! isPresetMoveUnderWay());
}

juce::int32 PresetManager::getPresetMovedToAsSaved (const PresetStateMachine& machine) const
{
    return saveWatch.machine == &machine && saveWatch.run == machine.getRunCount() ? saveWatch.movedTo : -1;
}

bool PresetManager::presetReportedSinceSave (const PresetStateMachine& machine) const
{
    if (saveWatch.machine != &machine || saveWatch.run != machine.getRunCount())
        return false;

    auto* unitLink = getLink();
    return saveWatch.movedTo >= 0 || presetReports != saveWatch.reportsTaken ||
           (unitLink != nullptr && unitLink->hasPresetChange());
}
