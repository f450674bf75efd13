// Runs of writes to the unit: the guard every one of them goes by, what the
// user is told when the unit refuses a write or plays another preset before
// the last write went out, and what a save the unit moved under stored.

#include "device/engines/PresetManager.h"

#include "device/engines/CommStep.h"
#include "device/wire/SysExLayouts.h"
#include "device/wire/SysExParsers.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"

#include <algorithm>

namespace
{
// The requests that write to the preset the unit plays, and the exports that
// read it into a file under the name the window shows.
bool writesToPreset (const PresetStateMachine& machine, int which)
{
    switch (which)
    {
        case importPresetCabBundle:
        case savePreset:
        case savePresetCabBundle:
        case pastePreset:
        case clearPreset:
        case initializePreset:
        case setName:
        case deleteBlock:
        case insertBlock:
        case blockPaste:
        case initializeBlock:
        case blockConnect:
        case blockSwap:
        case moveBlock:
        case insertAndConnect:
        case setParamDirect:
        case setParam:
        case setMultipleParams:
        case setXY:
        case scenePaste:
        case scenePasteAll:
        case sceneSwap:
        case sceneBlockBypass:
        case sceneBlockSetXY:
        case setModifier:
        case setModifierDirect:
        case setTempo:
        case setTempoToUse:
        case setFootswitchGrid:
        case bypassBlock:
        case bypassAllBlocks:
        case ploverSetLayout:
        case managePreset:
        case fileSnapshot:
        case fileExportToSysex:
        case fileExportToTemplates:
        case fileExportCsv:
        case exportPresetCabBundle: return true;

        // Its copy to the clipboard only reads.
        case xyClipboard: return machine.beginCode == PresetManager::xyWriteCode;

        default: return false;
    }
}

// The requests that store or read the edit buffer as it stands: the edit
// the window shows is gone once the unit reloads the preset.
bool keepsEdit (int which)
{
    switch (which)
    {
        case savePreset:
        case savePresetCabBundle:
        case fileSnapshot:
        case fileExportToSysex:
        case fileExportToTemplates:
        case fileExportCsv:
        case exportPresetCabBundle: return true;
        default: return false;
    }
}

// The requests that address a scene: they set the scenes they write, or
// write the one the window shows (a bypass is kept per scene).
bool addressesScene (int which)
{
    switch (which)
    {
        case scenePaste:
        case scenePasteAll:
        case sceneSwap:
        case sceneBlockBypass:
        case sceneBlockSetXY:
        case bypassAllBlocks: return true;
        default: return false;
    }
}

// The steps that take the unit back to the scene the run started on: the
// return step, and the swap's change to its source (its scene set follows).
bool isWayBack (juce::int32 step)
{
    return step == stepScenePasteReturn || step == stepSceneSwapChangeToSource;
}

template <typename Entry, typename Test>
bool anyOf (const juce::Array<Entry>& entries, Test test)
{
    return std::any_of (entries.begin(), entries.end(), test);
}

// Whether the step writes to the preset when it runs: it sends a write, or
// fills a list that a later step sends (its entries as they stand now). The
// current step that waits for a transfer writes while the transfer runs.
// The return to the scene a run started on writes into no scene: the run's
// writes are over before it.
bool stepWrites (const PresetStateMachine& m, juce::int32 step, bool current, bool transferUnderWay)
{
    switch (step)
    {
        case stepPresetPasteCheck:
        case stepBlockPasteCheck:
        case stepCabirImportCheck: return ! current || transferUnderWay;

        case stepSetParams: return anyOf (m.paramWrites, [] (const ParamWrite& w) { return w.mode != 0; });
        case stepSetModifier: return anyOf (m.modifierWrites, [] (const ModifierWrite& w) { return w.mode != 0; });
        case stepEffectSetXy: return anyOf (m.xyWrites, [] (const XYWrite& w) { return w.select != 0; });
        case stepEffectInsert: return ! m.inserts.isEmpty();
        case stepBlockConnect: return ! m.connections.isEmpty();
        case stepBlockPasteModifier: return ! m.modifierRecords.isEmpty();
        case stepScenePasteXy: return ! m.sceneRecord.xyStates.isEmpty();
        case stepScenePasteBypass: return ! m.sceneRecord.bypassStates.isEmpty();
        case stepSetModifierParamDirect: return ! m.modifierDirectWrites.isEmpty();
        case stepSetParam: return m.writeMode != 0 && m.writeMode != PresetStateMachine::writeModeNothing;
        case stepSetFsgrid: return m.footswitchGrid.first == 1;

        case stepPresetRename:
        case stepPresetPasteInit:
        case stepPresetSave:
        case stepPresetBundleImportCab:
        case stepPresetBundleSaveCab:
        case stepEffectDelete:
        case stepEffectDeleteAll:
        case stepEffectInitialize:
        case stepEffectInitializeAll:
        case stepEffectInitializeInput:
        case stepEffectInitializeOutput:
        case stepEffectInsertShunt:
        case stepEffectMove:
        case stepEffectBypass:
        case stepSceneSetXy:
        case stepPresetSetToX:
        case stepPresetSetToY:
        case stepBlockPasteInit:
        case stepBlockPasteSetX:
        case stepBlockPasteSetY:
        case stepSetParamDirect:
        case stepSceneChange:
        case stepSceneSetParameters:
        case stepScenePasteRepeat:
        case stepSceneSwapSetDataClipboardA:
        case stepSceneSwapSetDataClipboardB:
        case stepXyPasteFromClipboard:
        case stepXyPasteFromState:
        case stepXySetToX:
        case stepXySetToY:
        case stepSetTempo:
        case stepSetTempoToUse:
        case stepPresetCsvXyRestore:
        case stepCabirImportInit:
        case stepSetEditFlag:
        case stepDeleteCab:
        case stepRawPresetGetXParams:
        case stepRawPresetGetYParams:
        case stepRawPresetGetSceneStates:
        case stepLayoutSet: return true;

        default: return false;
    }
}

// Whether the run writes again from its cursor on: the current step and
// those after it, and a loop's body once more while the loop repeats.
bool writesAhead (const PresetStateMachine& m, bool transferUnderWay)
{
    const auto& steps = m.getSteps();
    const auto from = juce::jmax (0, m.getStepIndex());

    for (int i = from; i < steps.size(); ++i)
    {
        if (stepWrites (m, steps[i], i == from, transferUnderWay))
            return true;

        if (steps[i] == stepLoopEnd && m.loopCounter + 1 < m.loopCount)
            for (int j = i; --j >= 0 && steps[j] != stepLoopStart;)
                if (stepWrites (m, steps[j], false, transferUnderWay))
                    return true;
    }

    return false;
}

// The requests that keep their guard to their end: the saves and exports,
// which store or read the edit as it stands, and the bundle import, whose
// end tells the user the bundle's preset is there to audition.
bool keepsGuardToEnd (int which)
{
    return keepsEdit (which) || which == importPresetCabBundle;
}

// The messages of a multi-message transfer.
bool isTransferFunction (juce::uint8 function)
{
    return (function >= SYSEX_EFFECT_START && function <= SYSEX_EFFECT_END)
           || (function >= SYSEX_PATCH_START && function <= SYSEX_PATCH_END)
           || (function >= SYSEX_CABIR_START && function <= SYSEX_CABIR_END);
}

juce::String stepName (juce::int32 step)
{
    const auto name = getNameForId (CommStepNames, step);
    return name.isNotEmpty() ? name : juce::String (step);
}

// What the user is told of a request the unit refused at the run's step.
juce::String refusedText (const PresetStateMachine& m, juce::uint8 refusal, const char* outcome)
{
    return "The Kestrel refused " + m.name + " at " + stepName (m.getCurrentState()) + " (error "
           + juce::String (refusal) + "): " + outcome;
}
} // namespace

//==============================================================================
// The guard

void PresetManager::armGuard (PresetStateMachine& machine)
{
    machine.guard = nullptr;
    auto* unitLink = getLink();

    if (unitLink == nullptr || ! writesToPreset (machine, machines.indexOf (&machine)))
        return;

    // Reports the window has not followed stand between the unit and the
    // preset shown: they are judged too.
    const auto reports = unitLink->getPresetReports();
    const auto seen = reportsFollowed >= 0 ? (juce::uint32) reportsFollowed : reports.taken;
    const auto which = machines.indexOf (&machine);
    machine.guard = std::make_shared<WriteGuard> (getCurrentPresetNumber(), seen, keepsEdit (which));
    machine.meantName = getCurrentPresetName();

    // "Manage Preset" writes to the slot it recalls, once the unit has taken the recall.
    if (which == managePreset)
        machine.guard->awaitRecall();

    // The scene the window shows, as the unit last told it.
    if (addressesScene (which))
    {
        machine.statesSeenAtStart = getStatesReportsFollowed();
        takeSceneShown (machine);
    }
}

void PresetManager::takeSceneShown (PresetStateMachine& m)
{
    if (m.guard == nullptr || m.guard->isStopped() || ! addressesScene (machines.indexOf (&m)))
        return;

    // The unit's states reports since the start are judged still: the scene
    // may have changed on the unit, not only by the window's own requests.
    const auto shown = getCurrentScene();
    m.guard->addressScene (shown, m.statesSeenAtStart);
    m.sceneShown = shown;

    // The scene runs go back to it at their end.
    if (m.getSteps().contains (stepScenePasteReturn))
        sceneClipboard.startingScene = m.sceneRecord.startingScene = shown;

    if (&m == &getRequest (sceneSwap))
        swapA.sceneNumber = shown;
}

void PresetManager::finishGuardAfterLastWrite (PresetStateMachine& m)
{
    // A write answered after the unit's states report may have met another
    // scene: the run's next request settles that first.
    if (m.guard == nullptr || m.guard->isStopped() || m.guard->isFinished() || m.guard->isSceneInDoubt()
        || keepsGuardToEnd (machines.indexOf (&m)) || writesAhead (m, ownsSender (m) && waitForSender()))
        return;

    // Written and answered: the window follows the unit wherever it goes now.
    m.guard->finish();
}

std::shared_ptr<WriteGuard> PresetManager::guardForStep (const PresetStateMachine& machine) const
{
    // The unmute, and the way back to the scene shown of a run ending
    // early, go out whatever happened.
    if (machine.guard == nullptr || machine.guard->isStopped() || machine.getCurrentState() == stepMuteDisable
        || machine.earlyEnd != PresetStateMachine::EarlyEnd::none)
        return nullptr;

    return machine.guard;
}

bool PresetManager::takesUnitBackToSceneShown (PresetStateMachine& m)
{
    using SceneReturn = PresetStateMachine::SceneReturn;

    // Only a run that addresses a scene, once, and not after the unit moved
    // by itself: the window follows the unit then.
    if (m.sceneShown < 0 || m.sceneReturn != SceneReturn::none || m.writeStop.stop == WriteGuard::Stop::moved
        || m.writeStop.stop == WriteGuard::Stop::sceneMoved || getCurrentScene() == (juce::uint16) m.sceneShown)
        return false;

    // Its own way back, still ahead (a way back that failed is not tried again).
    const auto& steps = m.getSteps();
    const auto from = juce::jmax (0, m.getStepIndex());

    if (from < steps.size() && isWayBack (steps[from]))
        return false;

    for (int i = from; i < steps.size(); ++i)
    {
        if (isWayBack (steps[i]))
        {
            m.sceneReturn = SceneReturn::due;
            return true;
        }
    }

    return false;
}

bool PresetManager::leadsBackToSceneShown (PresetStateMachine& m)
{
    using SceneReturn = PresetStateMachine::SceneReturn;

    if (m.sceneReturn == SceneReturn::due)
    {
        m.sceneReturn = SceneReturn::underWay;

        for (int i = juce::jmax (0, m.getStepIndex()); i < m.getSteps().size(); ++i)
            if (isWayBack (m.getSteps()[i]))
                return m.skipTo (m.getSteps()[i]);
    }

    if (m.sceneReturn != SceneReturn::underWay)
        return false;

    // On the way back until its scene set is answered: the swap's change to
    // its source is followed by that scene set.
    const auto index = m.getStepIndex();
    const auto step = m.getCurrentState();

    if (isWayBack (step)
        || (step == stepSceneChange && index > 0 && m.getSteps()[index - 1] == stepSceneSwapChangeToSource))
        return true;

    m.sceneReturn = SceneReturn::done;
    return false;
}

bool PresetManager::endsWaitOfActiveRequest (PresetStateMachine& active, juce::int32 number) const
{
    auto* unitLink = getLink();

    // The report just taken is the last one the link filed.
    return active.guard == nullptr || unitLink == nullptr
           || active.guard->allows (number, unitLink->getPresetReports().taken);
}

bool PresetManager::endsAfterGuardStop (PresetStateMachine& m)
{
    if (m.guard == nullptr)
        return false;

    // What the unit reported since the last step is judged before the next
    // one, as the link judges it before each message.
    if (auto* unitLink = getLink(); unitLink != nullptr && ! m.guard->isStopped())
        unitLink->admits (*m.guard);

    if (! m.guard->isStopped())
        return false;

    const auto state = m.guard->getState();

    if (state.stop == WriteGuard::Stop::refused)
    {
        // A transfer the unit refused is told by its own check, with how far it came.
        if (isTransferFunction (state.function) && ownsSender (m))
            return false;

        // A refused save names its location as the unit holds it, read back first.
        if (state.function == SYSEX_SAVE_PATCH && ! startersTellRefusals (m) && saveWatch.machine == &m
            && saveWatch.run == m.getRunCount() && ! saveWatch.nameAsked)
        {
            saveWatch.nameAsked = true;
            setStepRequest (m, DeviceManager::requestPresetNames (m.bank, m.program));

            if (currentStepRequest != nullptr)
                return true;
        }

        tellRefusal (m, state);
        return ! m.isRunning();
    }

    if (m.writeStop.stop == WriteGuard::Stop::none)
    {
        m.writeStop = state;

        if (! m.saveSent)
            tellMove (m, state);

        // A bundle the unit moved away from is no longer there to be saved.
        if (&m == &getRequest (importPresetCabBundle) || &m == &getRequest (savePresetCabBundle))
            clearPendingData();
    }

    // A save that went out may have stored the preset moved to: that is found out and told.
    if (m.saveSent)
    {
        if (saveWatch.machine != &m || saveWatch.run != m.getRunCount())
            watchSave (m);

        if (saveWatch.movedTo < 0)
            saveWatch.movedTo = state.movedTo;

        return endsSaveAfterMove (m);
    }

    // Nothing more goes out but the unmute of outputs the run muted.
    if (leadToUnmute (m))
        return false;

    failureReported = true;
    m.stop (ZolStateMachine::resultTimedOut);
    return true;
}

void PresetManager::tellRefusal (PresetStateMachine& m, const WriteGuard::State& state)
{
    juce::String message;

    if (state.function == SYSEX_SAVE_PATCH)
    {
        // The location by the name the unit answered for it; unanswered, as
        // the lists name it, or the preset shown by its name when that is
        // the location's own (a bundle's preset is not).
        const auto location = m.bank * 128 + m.program;
        juce::String stored;

        if ((! getPresetName (location, stored) || stored.trim().isEmpty()) && location == getCurrentPresetNumber()
            && &m != &getRequest (savePresetCabBundle))
            stored = getCurrentPresetName();

        message = "The Kestrel refused to save " + presetNumberAndName (location, stored)
                  + " (error " + juce::String (state.refusal) + "): nothing was stored.";
    }
    else
    {
        message = refusedText (m, state.refusal, "nothing more was sent.");
    }

    m.writeStop = state;
    failRequest (m, m.name, startersTellRefusals (m) ? juce::String() : message);
}

bool PresetManager::startersTellRefusals (const PresetStateMachine& machine) const
{
    // The librarian tells its transfers' refusals, naming slots as it does;
    // a quiet check of the preset number is told by the action waiting for it.
    return &machine == &getRequest (managePreset)
           || (&machine == &getRequest (queryCurrentPresetNumber) && quietPresetNumberCheck);
}

void PresetManager::endAfterRefusal (PresetStateMachine& m, const juce::MidiMessage& message, juce::uint8 refusal)
{
    using EarlyEnd = PresetStateMachine::EarlyEnd;
    const bool reading = ! WriteGuard::isWrite (message);

    if (reading && m.wrote)
        m.readAgainAfterEnd = true;

    if (m.earlyEnd == EarlyEnd::atClose)
    {
        m.stop (ZolStateMachine::resultCancelled);
        return;
    }

    // Told already (a failure, or the time-out the run unmutes after): what
    // it reads back goes no further.
    if (m.earlyEnd == EarlyEnd::afterTimeOut)
    {
        m.stop (ZolStateMachine::resultTimedOut, m.timedOutStep);
        return;
    }

    if (m.hasFailed() || m.earlyEnd != EarlyEnd::none)
    {
        failureReported = true;
        m.stop (ZolStateMachine::resultTimedOut);
        return;
    }

    WriteGuard::State state;
    state.stop = WriteGuard::Stop::refused;
    state.function = getSysExFunction (message);
    state.refusal = refusal;
    state.reachedUnit = true;

    if (! reading)
    {
        // A refused unmute is not sent again: the run ends once told.
        if (m.getCurrentState() == stepMuteDisable)
            m.earlyEnd = EarlyEnd::afterRefusedRead;

        tellRefusal (m, state);
        return;
    }

    // A reading after the last write only shows what the writes did: they
    // stay done, and the preset is read again instead.
    const bool writesDone = m.wrote && ! writesAhead (m, false);
    const auto text = refusedText (m, refusal,
                                   writesDone ? "what was written stays; the preset is read again."
                                   : m.wrote  ? "nothing more was sent; the preset is read again."
                                              : "nothing more was sent.");

    if (! startersTellRefusals (m))
        UserNotifier::warn (text, m.name);

    failureReported = true;
    m.guard = nullptr;
    takesUnitBackToSceneShown (m);

    if (writesDone)
    {
        m.earlyEnd = EarlyEnd::afterRefusedRefresh;
        return;
    }

    // Nothing more goes out but what puts the unit back as the run found it
    // (the scene shown, X/Y states, the outputs); then the run ends as
    // failed, its end code, which would act on what it read, never posted.
    m.writeStop = state;
    m.earlyEnd = EarlyEnd::afterRefusedRead;
    endsEarly (m);
}

bool PresetManager::writesToUnit (const juce::MidiMessage& message)
{
    return WriteGuard::isWrite (message) && ! isSysExOfFunction (message, SYSEX_MUTE);
}

std::function<void (PresetStateMachine&, juce::uint8)> PresetManager::noteRefusedBlockRead (const PresetStateMachine& m)
{
    if (&m != &getRequest (blockLibraryQuery) && &m != &getRequest (blockLibraryQueryAll))
        return {};

    return [block = m.blockId] (PresetStateMachine& mm, juce::uint8 refusal) { mm.noteBlockRead ({ block, false, refusal }); };
}

bool PresetManager::refusalAnswersStep (const PresetStateMachine& machine, const juce::MidiMessage& message)
{
    if (! machine.isCurrentStepRequired() || machine.getCurrentState() == stepQuerySysInfo)
        return true;

    // A question of a block's parameter or channel: the preset holds no
    // such block when the unit reports no state of it.
    int channel = 0;
    const bool asksBlock = ! WriteGuard::isWrite (message)
                           && (isSysExOfFunction (message, SYSEX_PARAM_SET) || isSysExOfFunction (message, SYSEX_XY));

    if (asksBlock)
        return ! getBlockXYState ((int) readSysExField (message, singleWordLayout, 0), channel);

    // The name of a cab slot the unit does not have (a preset's cab number
    // beyond its slots); the numbers above them ask for lists.
    const auto cab = (int) readSysExField (message, cabNameRequestLayout, 0);
    return isSysExOfFunction (message, SYSEX_CABNAME)
           && cab >= getFirstScratchpadCabIndex() + PresetStateMachine::scratchpadCabReads
           && cab < (int) cabNamesUser;
}

void PresetManager::tellMove (const PresetStateMachine& m, const WriteGuard::State& state)
{
    // A save or export the user gave is told by the command that gave it,
    // the librarian's transfers by the librarian.
    if (findAnsweredWrite (m) != answeredWrites.end() || &m == &getRequest (managePreset))
        return;

    if (state.stop == WriteGuard::Stop::sceneMoved)
    {
        const auto movedTo = "Scene " + juce::String (state.sceneMovedTo + 1);
        UserNotifier::warn ("The Kestrel changed from Scene " + juce::String (state.scene + 1) + " to " + movedTo
                            + " during " + m.name + ": "
                            + (state.reachedUnit ? "its last write may have reached " + movedTo + "; " : juce::String())
                            + "nothing more was sent.");
        return;
    }

    // The preset meant as the window showed it; the one moved to as the
    // window shows it once it has followed the unit there.
    const auto meant = presetNumberAndName (m.guard->getMeant(), m.meantName);
    auto tell = [this, meant, movedTo = state.movedTo, reloaded = state.movedTo == m.guard->getMeant(),
                 what = m.name] (bool loaded)
    {
        juce::String name;

        if (loaded && getCurrentPresetNumber() == movedTo)
            name = getCurrentPresetName();
        else
            getPresetName (movedTo, name);

        UserNotifier::warn ((reloaded ? "The Kestrel reloaded " + meant
                                      : "The Kestrel changed from " + meant + " to " + presetNumberAndName (movedTo, name))
                            + " during " + what + ": nothing more was sent.");
    };

    // No load coming, the window shows what it loaded last.
    if (isLoadComing())
        whenLoadEnds (std::move (tell));
    else
        tell (true);
}

juce::int32 PresetManager::getPresetMovedToBeforeSave (const PresetStateMachine& machine) const
{
    const bool moved = machine.writeStop.stop == WriteGuard::Stop::moved && ! machine.saveSent;
    return moved ? machine.writeStop.movedTo : -1;
}

//==============================================================================
// Saves

void PresetManager::watchSave (PresetStateMachine& machine)
{
    saveWatch = {};
    saveWatch.machine = &machine;
    saveWatch.run = machine.getRunCount();
    saveWatch.location = machine.bank * 128 + machine.program;

    if (auto* unitLink = getLink())
        saveWatch.reportsAtSave = unitLink->getPresetReports().count;

    // The unit may report the slot it saved into.
    if (machine.guard != nullptr)
        machine.guard->allow (saveWatch.location, saveWatch.reportsAtSave);
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
                        [this] (PresetStateMachine& m) { tellSaveAfterMove (m); });
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
    if (leadToUnmute (machine))
        return false;

    // Told already: the request fails without a second box, and without
    // its end code, which would tell a save.
    failureReported = true;
    setStatus (timeOutCode, 0, 0);
    machine.stop (ZolStateMachine::resultTimedOut);
    return true;
}

void PresetManager::tellSaveAfterMove (const PresetStateMachine& machine)
{
    saveWatch.told = true;

    juce::String held;
    getPresetName (saveWatch.location, held);

    // A save whose answer was lost went out before the unit moved: the
    // location holds the edit or what it held before, as its name says.
    const bool answered = machine.writeStop.function == SYSEX_SAVE_PATCH && machine.writeStop.reachedUnit;

    // The preset the unit changed to is named as the window shows it once
    // loaded, as the other boxes name it; the location holds it now, so
    // its name read back there stands for it when the window moved on.
    auto tell = [this, movedTo = saveWatch.movedTo, location = saveWatch.location, held, answered] (bool loaded)
    {
        juce::String name;

        if (loaded && getCurrentPresetNumber() == movedTo)
            name = getCurrentPresetName();
        else if (! getPresetName (movedTo, name) || name.trim().isEmpty())
            name = held;

        const auto holds = presetNumberAndName (location, {}) + " now holds " + printableName (held.trim()).quoted();

        if (answered)
            UserNotifier::warn ("The Kestrel changed to " + presetNumberAndName (movedTo, name)
                                + " as the save went out: " + holds + "; the edit was not saved.");
        else
            UserNotifier::warn ("The Kestrel did not answer the save and then changed to "
                                + presetNumberAndName (movedTo, name) + ": nothing more was sent; " + holds + ".");
    };

    if (isLoadComing())
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
    return saveWatch.movedTo >= 0
           || (unitLink != nullptr
               && unitLink->findPresetReportOutside (saveWatch.reportsAtSave, { saveWatch.location }) >= 0);
}
