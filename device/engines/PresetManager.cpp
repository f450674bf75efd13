#include "device/engines/PresetManager.h"

#include "device/engines/CommStep.h"
#include "device/engines/EngineDetail.h"
#include "device/engines/WaitCursorFlag.h"
#include "device/engines/WaitIndicator.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/CabIrBlock.h"
#include "device/wire/ModelRules.h"
#include "device/wire/PatchDump.h"
#include "device/wire/SysExCodec.h"
#include "device/wire/SysExFiles.h"
#include "model/BlockLibraryManager.h"
#include "model/Clock.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"

#include <algorithm>

using namespace EngineDetail;

namespace
{
// The six scene parameters of scene s: (block, first parameter); the
// parameter is first + s.
constexpr int sceneParamBlocks[SceneRecord::numSceneParams][2] = {
    { blockIdGridOutput, 8 },   { 136, 8 },
    { blockIdControllers, 74 }, { blockIdControllers, 82 },
    { blockIdControllers, 92 }, { blockIdControllers, 100 }
};

// The first message of a buffer of SysEx messages, up to and including its F7.
bool getFirstMessage (const juce::MemoryBlock& data, juce::MidiMessage& message, size_t& length)
{
    auto* bytes = static_cast<const juce::uint8*> (data.getData());
    auto size = data.getSize();

    if (size < (size_t) sysExHeaderSize || bytes[0] != sysExStartByte)
        return false;

    for (size_t i = 1; i < size; ++i)
    {
        if (bytes[i] == sysExEndByte)
        {
            length = i + 1;
            setMidiMessageBytes (message, bytes, (int) length);
            return true;
        }
    }

    return false;
}

// Replaces the first message of the buffer by the one the function builds
// from it.
bool replaceFirstMessage (
    juce::MemoryBlock& data, juce::uint8 function,
    const std::function<bool (const juce::MidiMessage&, juce::uint8, juce::MidiMessage&)>& rebuild)
{
    juce::MidiMessage first, rebuilt;
    size_t length = 0;
    juce::uint8 model = 0;

    if (! getFirstMessage (data, first, length) || ! isSysExOfFunction (first, function) ||
        ! getSysExModel (first, model) || ! rebuild (first, model, rebuilt))
        return false;

    juce::MemoryBlock result (rebuilt.getRawData(), (size_t) rebuilt.getRawDataSize());
    result.append (static_cast<const char*> (data.getData()) + length, data.getSize() - length);
    data = std::move (result);
    return true;
}
} // namespace

//==============================================================================
// Construction

PresetManager::PresetManager()
    : PresetManager (
          ZOLMidiProcessing::getInstance(),
          ManagerRef<EffectManager>::lookedUpThrough ([]() -> EffectManager* { return KestrelEffectManager::getInstance(); }),
          KestrelGlobalConfiguration::getInstance(),
          ManagerRef<BlockLibraryManager>::lookedUpThrough (
              []() -> BlockLibraryManager* { return KestrelBlockLibraryManager::getInstance(); }))
{
}

PresetManager::PresetManager (ZOLMidiProcessing* linkToUse, ManagerRef<EffectManager> effectManager,
                              GlobalConfiguration* configurationToUse, ManagerRef<BlockLibraryManager> library)
    : DeviceManager (linkToUse, effectManager, configurationToUse)
    , blockLibrary (library)
    , sender (linkToUse)
{
    initRequests();
}

PresetManager::~PresetManager()
{
    clearPendingData();

    // A step's request still with the link is handed over; the link frees it
    // when it lets go.
    deleteStepRequest();

    requestList.clear();

    for (int i = machines.size(); --i >= 0;)
        machines.remove (i);
}

void PresetManager::initRequests()
{
    for (int i = 0; i < numNamedRequests; ++i)
    {
        auto* machine = machines.add (new PresetStateMachine());
        buildNamedRequest (*machine, namedRequestRows[i]);
    }

    for (auto* machine : machines)
    {
        requestList.add (machine);
        machine->setStartNotice (
            [this, machine]
            {
                armGuard (*machine);

                if (requestStarted)
                    requestStarted();
            });
    }
}

juce::uint8 PresetManager::getConnectedModel() const
{
    return isFirmwareValid() ? getFirmware().model : currentSysExModel.load();
}

//==============================================================================
// Status record

juce::int32 PresetManager::getStatus (juce::uint8* arg1, juce::uint8* arg2) const
{
    const juce::ScopedLock sl (statusLock);

    if (arg1 != nullptr)
        *arg1 = statusArg1;

    if (arg2 != nullptr)
        *arg2 = statusArg2;

    return eventCode;
}

void PresetManager::setStatus (juce::int32 code, juce::uint8 arg1, juce::uint8 arg2)
{
    const juce::ScopedLock sl (statusLock);
    eventCode = code;
    statusArg1 = arg1;
    statusArg2 = arg2;
    statusChanged = 1;
}

bool PresetManager::readAndClearStatusChanged()
{
    // The load's end is told now: the window shows the preset it moved to.
    if (! getRequest (loadPreset).isRunning())
        presetMovedFrom = -1;

    const juce::ScopedLock sl (statusLock);
    auto changed = statusChanged != 0;
    statusChanged = 0;
    return changed;
}

bool PresetManager::hasWork() const
{
    {
        const juce::ScopedLock sl (statusLock);

        if (statusChanged != 0)
            return true;
    }

    for (auto* machine : requestList)
        if (machine->isRunning())
            return true;

    return waitingPresetChoice >= 0 || getNumPendingRequests() > 0;
}

PresetStateMachine* PresetManager::getActiveRequest() const
{
    for (auto* machine : requestList)
        if (machine->isRunning() && machine->getCurrentState() != stepBeginCommunications)
            return machine;

    return nullptr;
}

//==============================================================================
// The processor

void PresetManager::processRequests (bool cancel)
{
    bool changed;
    {
        const juce::ScopedLock sl (statusLock);
        changed = statusChanged != 0;
    }

    auto* unitLink = getLink();
    auto held = unitLink != nullptr && unitLink->isHeld();

    dropStaleStepRequest();

    if (cancel)
    {
        waitingPresetChoice = -1;

        for (auto* machine : requestList)
        {
            if (! machine->isRunning())
                continue;

            // A step whose message is in flight ends normally (result 3 once
            // the message is done); everything else is cancelled.
            if (machine->getCurrentState() != stepBeginCommunications && ownsStepRequest (*machine))
            {
                executeStep (*machine);
            }
            else
            {
                machine->stop (ZolStateMachine::resultCancelled);
                finishStopped (*machine);
            }
        }
    }
    else
    {
        if (waitingPresetChoice >= 0 && requestChangePreset ((juce::uint16) waitingPresetChoice, false))
            waitingPresetChoice = -1;

        auto* chosen = getActiveRequest();

        if (chosen == nullptr)
            for (auto* machine : requestList)
                if (machine->isRunning())
                {
                    chosen = machine;
                    break;
                }

        if (chosen != nullptr)
        {
            auto underWay = chosen->getCurrentState() != stepBeginCommunications;
            auto mayRun = held ? underWay : ! changed;

            if (mayRun)
            {
                failureReported = false;
                const auto quiet = chosen == &getRequest (queryCurrentPresetNumber) && quietPresetNumberCheck;
                executeStep (*chosen);

                if (! chosen->isRunning() && chosen->getResult() == ZolStateMachine::resultTimedOut)
                {
                    if (chosen->alertOnTimeOut != 0 && ! quiet)
                    {
                        if (! failureReported)
                            showTimeOutAlert (*chosen);

                        setStatus (timeOutCode, 0, 0);
                    }

                    // The unit may have carried out a recall it never
                    // answered: ask it which preset it plays (the failure
                    // itself has been told).
                    if (recallAwaitingReport)
                    {
                        recallAwaitingReport = false;
                        presetNumberInDoubt = true;
                        startPresetNumberCheck (true);
                    }
                }
            }
        }
    }

    handleNextReply();
}

void PresetManager::showTimeOutAlert (const PresetStateMachine& machine)
{
    auto requestName = machine.name.isNotEmpty() ? machine.name : juce::String ("<no user-readable name>");
    auto stepName = getNameForId (CommStepNames, machine.getLastState());

    if (stepName.isEmpty())
        stepName = juce::String::formatted ("%d <no user-readable text>", (int) machine.getLastState());

    Notice notice;
    notice.icon = Notice::Icon::warning;
    notice.title = UserNotifier::defaultTitle();
    notice.message = juce::String ("Communication time-out:") + "\n\n" +
                     "Kestrel-Edit was unable to complete the following communication request: " + requestName + " : " +
                     stepName;
    notice.buttons = Notice::Buttons::ok;
    UserNotifier::show (std::move (notice));
}

void PresetManager::failRequest (PresetStateMachine& machine, const juce::String& title, const juce::String& message)
{
    // The rest of the script (a rename, a save, a model update) must not act
    // on data that never reached the unit. Outputs the script muted go on
    // again, and the script then reads back what the unit holds and ends
    // with its end code; one that muted nothing ends here as failed. Without
    // a message, the request's starter tells.
    if (message.isNotEmpty())
        UserNotifier::warn (message, title);

    failureReported = true;

    // What the run reads back afterwards goes whatever the unit plays.
    if (machine.guard != nullptr && machine.guard->isStopped() && machine.writeStop.stop == WriteGuard::Stop::none)
        machine.writeStop = machine.guard->getState();

    machine.guard = nullptr;

    if (machine.earlyEnd == PresetStateMachine::EarlyEnd::none
        && (takesUnitBackToSceneShown (machine) || canUnmute (machine)))
    {
        machine.earlyEnd = PresetStateMachine::EarlyEnd::afterFailure;
        return;
    }

    machine.stop (ZolStateMachine::resultTimedOut);
}

void PresetManager::endAfterTimeOut (PresetStateMachine& machine)
{
    const auto step = machine.getCurrentState();

    // The way back to the scene shown went unanswered: the run ends as the
    // early end it was in, after its unmute.
    if (machine.sceneReturn == PresetStateMachine::SceneReturn::underWay)
    {
        machine.sceneReturn = PresetStateMachine::SceneReturn::done;

        if (leadToUnmute (machine))
        {
            if (machine.earlyEnd == PresetStateMachine::EarlyEnd::afterFailure)
            {
                machine.earlyEnd = PresetStateMachine::EarlyEnd::afterTimeOut;
                machine.timedOutStep = step;
            }

            return;
        }
    }

    // Outputs the script muted (or may have: a mute the unit never
    // answered) go on again, and the unit goes back to the scene shown,
    // before the request ends as timed out.
    if (machine.earlyEnd == PresetStateMachine::EarlyEnd::none && step != stepMuteDisable)
    {
        if (step == stepMuteEnable)
            machine.advance();

        if (takesUnitBackToSceneShown (machine) || canUnmute (machine))
        {
            machine.earlyEnd = PresetStateMachine::EarlyEnd::afterTimeOut;
            machine.timedOutStep = step;
            return;
        }
    }

    // The unmute of a request timed out before is named by the step it timed out on.
    const bool unmuting = machine.earlyEnd == PresetStateMachine::EarlyEnd::afterTimeOut;
    machine.stop (ZolStateMachine::resultTimedOut, unmuting ? machine.timedOutStep : step);
}

bool PresetManager::canUnmute (const PresetStateMachine& machine)
{
    if (! machine.isMutedBeforeCursor())
        return false;

    const auto& steps = machine.getSteps();

    for (int i = juce::jmax (0, machine.getStepIndex()); i < steps.size(); ++i)
        if (steps.getUnchecked (i) == stepMuteDisable)
            return true;

    return false;
}

bool PresetManager::leadToXYRestore (PresetStateMachine& machine)
{
    const auto& steps = machine.getSteps();
    const auto saved = steps.indexOf (stepPresetCsvXySave);
    return saved >= 0 && saved < machine.getStepIndex() && machine.skipTo (stepPresetCsvXyRestore);
}

bool PresetManager::leadToUnmute (PresetStateMachine& machine)
{
    // A mute that went out and ended the run's writes may have muted: the
    // link's record says whether the outputs are off.
    auto* unitLink = getLink();
    const bool muteSent = machine.getCurrentState() == stepMuteEnable && unitLink != nullptr
                          && unitLink->areOutputsMuted();

    return (machine.isMutedBeforeCursor() || muteSent) && machine.skipTo (stepMuteDisable);
}

bool PresetManager::endsEarly (PresetStateMachine& machine)
{
    using EarlyEnd = PresetStateMachine::EarlyEnd;

    if (machine.earlyEnd == EarlyEnd::none)
        return false;

    // Back to the scene shown and the X/Y states changed to read both
    // channels first, then straight to the unmute while the outputs are muted.
    if (leadsBackToSceneShown (machine)
        || (machine.earlyEnd == EarlyEnd::afterRefusedRead && leadToXYRestore (machine)) || leadToUnmute (machine))
        return false;

    if (machine.earlyEnd == EarlyEnd::afterRefusedRefresh)
    {
        machine.skipTo (stepCompleteCommunications);
        return false;
    }

    if (machine.earlyEnd == EarlyEnd::afterRefusedRead)
    {
        failureReported = true;
        machine.stop (ZolStateMachine::resultTimedOut);
        return true;
    }

    if (machine.earlyEnd == EarlyEnd::afterTimeOut)
    {
        machine.stop (ZolStateMachine::resultTimedOut, machine.timedOutStep);
        return true;
    }

    if (machine.earlyEnd == EarlyEnd::atClose)
    {
        machine.stop (ZolStateMachine::resultCancelled);
        return true;
    }

    return false; // after a failure: what the script reads back, then its end code
}

void PresetManager::endForClose()
{
    waitingPresetChoice = -1;

    for (auto* machine : requestList)
    {
        if (! machine->isRunning())
            continue;

        // A message on its way is let end; then nothing more goes out but
        // the unmute of outputs the run muted.
        if (machine->getCurrentState() != stepBeginCommunications && ownsStepRequest (*machine))
        {
            machine->earlyEnd = PresetStateMachine::EarlyEnd::atClose;
            continue;
        }

        machine->stop (ZolStateMachine::resultCancelled);
        finishStopped (*machine);
    }
}

bool PresetManager::isAnyRequestRunningBut (std::initializer_list<NamedRequest> others) const
{
    for (int i = 0; i < numNamedRequests; ++i)
        if (machines.getUnchecked (i)->isRunning()
            && std::find (others.begin(), others.end(), (NamedRequest) i) == others.end())
            return true;

    return false;
}

bool PresetManager::isWholePresetDump (const juce::MemoryBlock& data)
{
    juce::uint8 model = 0;
    PatchDump dump;
    return getSysExModel (data, model) && dump.parse (data, model, PatchDump::EndRule::required);
}

bool PresetManager::acceptPresetData (const juce::MemoryBlock& data, const juce::String& title) const
{
    // A cut-off or damaged file is the file's fault, not the unit's: say so
    // before a single message goes out.
    if (! isWholePresetDump (data))
    {
        UserNotifier::warn (damagedPresetText, title);
        return false;
    }

    // Nor does a name reach the unit that it cannot store.
    const auto name = getPresetDumpName (data);

    if (! nameFieldKeepsCharacters (name))
    {
        UserNotifier::warn (unsentPresetText (name, unstorableNameText (name)), title);
        return false;
    }

    return true;
}

void PresetManager::setWaitCursor (bool on)
{
    if (waitCursor != nullptr)
        waitCursor->setWaitCursorFlag (on ? 1 : 0);
}

void PresetManager::finishStopped (PresetStateMachine& machine)
{
    // What the unit refused to read back after the run's writes is read again.
    if (std::exchange (machine.readAgainAfterEnd, false))
        requestResyncPreset();

    if (&machine == &getRequest (queryCurrentPresetNumber))
        endPresetNumberCheck (machine);

    endAnsweredWrite (machine);

    if (&machine == &getRequest (loadPreset))
        if (auto action = std::exchange (afterAnsweredLoad, {}))
            action (machine.getResult() == ZolStateMachine::resultCompleted);

    if (machine.showWaitIndicator != 0 && waitIndicator != nullptr)
        waitIndicator->hideWaitProgress();

    if (machine.showWaitCursor != 0)
        setWaitCursor (false);
}

namespace
{
// How far a request has come, for the wait indicator: the definitions are read
// in two passes over the effect types (values, then strings); other requests
// cannot tell and show a full bar.
double getShownProgress (const PresetStateMachine& machine)
{
    const auto index = machine.getStepIndex();
    const auto step = juce::isPositiveAndBelow (index, machine.getSteps().size()) ? machine.getSteps()[index] : -1;

    if (step != stepGetParamInfo && step != stepGetParamStrings)
        return 1.0;

    const auto typesDone = juce::jlimit (0, lastEffectType, machine.typeCounter - 1);
    return ((step == stepGetParamStrings ? 1.0 : 0.0) + typesDone / (double) lastEffectType) / 2.0;
}
} // namespace

void PresetManager::executeStep (PresetStateMachine& machine)
{
    if (! machine.isRunning())
        return;

    if (machine.showWaitIndicator != 0 && waitIndicator != nullptr &&
        Clock::elapsedSince (machine.getStartTime()) > waitIndicatorDelayMs)
        waitIndicator->showWaitProgress (getShownProgress (machine), machine.statusText);

    if (machine.showWaitCursor != 0)
        setWaitCursor (true);

    auto* unitLink = getLink();

    if (unitLink != nullptr && unitLink->isConnected())
    {
        auto ready = true;

        if (currentStepRequest == nullptr)
        {
            setRequestGuard (guardForStep (machine));
            ready = runStep (machine);
            setRequestGuard (nullptr);
        }

        if (! machine.isRunning())
        {
            // Ended by its own step (complete, or a failed transfer).
        }
        else if (currentStepRequest == nullptr)
        {
            if (ready)
                machine.advance();
        }
        else if (isRequestDone (currentStepRequest))
        {
            auto status = currentStepRequest->getStatus();
            // The save itself, not a question asked in its place.
            const bool saving = machine.getCurrentState() == stepPresetSave
                                && currentStepRequest->getFunctionCode() == SYSEX_SAVE_PATCH;

            if (saving && ! currentStepRequest->wasWithheld())
                machine.saveSent = true;

            if (machine.guard != nullptr && machine.guard->isStopped()
                && currentStepRequest->getGuard() == machine.guard)
            {
                // The run's writes were stopped: the next step says why.
                deleteStepRequest();
            }
            else if (status == SysExRequest::stateComplete && currentStepRequest->isRefused())
            {
                // The unit refused the step's request: nothing it holds is
                // the unit's data, and it is not sent again.
                const auto message = currentStepRequest->getMessage();
                const auto refusal = currentStepRequest->getRefusal();
                auto commit = std::move (stepCommit);
                auto onRefused = std::move (stepRefusal);
                deleteStepRequest();

                if (onRefused)
                {
                    onRefused (machine, refusal);
                    machine.resetAttempts();
                    machine.advance();
                }
                else if (refusalAnswersStep (machine, message))
                {
                    // Answered: a list moves on to its next entry.
                    if (commit)
                        commit (machine);

                    machine.resetAttempts();
                    machine.advance();
                }
                else
                {
                    endAfterRefusal (machine, message, refusal);
                }
            }
            else if (status == SysExRequest::stateComplete)
            {
                auto commit = std::move (stepCommit);
                machine.wrote = machine.wrote || writesToUnit (currentStepRequest->getMessage());
                deleteStepRequest();

                // The save was the run's last write: what the unit does
                // afterwards no longer touches what it stored.
                if (saving)
                    machine.guard = nullptr;

                if (commit)
                {
                    commit (machine);
                    machine.resetAttempts(); // the attempts count per entry of a list
                }

                machine.advance();
            }
            else if (status == SysExRequest::stateTimedOut)
            {
                deleteStepRequest();
                machine.addAttempt();

                if (machine.getAttempts() >= maxStepAttempts)
                {
                    if (machine.isCurrentStepRequired())
                        endAfterTimeOut (machine);
                    else
                        machine.advance();
                }
            }
        }
    }
    else
    {
        if (currentStepRequest == nullptr)
        {
            machine.stop (ZolStateMachine::resultLinkClosed);
        }
        else if (isRequestDone (currentStepRequest))
        {
            auto status = currentStepRequest->getStatus();

            if (status == SysExRequest::stateComplete || status == SysExRequest::stateTimedOut)
            {
                deleteStepRequest();
                machine.stop (ZolStateMachine::resultLinkClosed);
            }
        }
    }

    if (! machine.isRunning())
        finishStopped (machine);
}

//==============================================================================
// The step's request

void PresetManager::setStepRequest (PresetStateMachine& machine, SysExRequest* request,
                                    std::function<void (PresetStateMachine&)> commit,
                                    std::function<void (PresetStateMachine&, juce::uint8)> onRefused)
{
    if (request == nullptr)
    {
        // Nothing could be sent for this entry (no link, or values the
        // message cannot carry): it is passed over so the list cannot stall.
        if (commit)
            commit (machine);

        return;
    }

    currentStepRequest = request;
    stepOwner = &machine;
    stepOwnerRun = machine.getRunCount();
    stepCommit = std::move (commit);
    stepRefusal = std::move (onRefused);
}

void PresetManager::deleteStepRequest()
{
    auto* request = currentStepRequest;
    currentStepRequest = nullptr;
    stepOwner = nullptr;
    stepCommit = nullptr;
    stepRefusal = nullptr;

    if (request == nullptr)
        return;

    if (isRequestDone (request))
    {
        delete request; // dispatched: ours to free
        return;
    }

    abandonRequest (request);
}

bool PresetManager::ownsStepRequest (const PresetStateMachine& machine) const
{
    return currentStepRequest != nullptr && stepOwner == &machine && machine.getRunCount() == stepOwnerRun;
}

void PresetManager::dropStaleStepRequest()
{
    // A request whose machine was stopped or started again while it waited
    // belongs to nobody now: another request must not take it for its own.
    if (currentStepRequest != nullptr &&
        (stepOwner == nullptr || ! stepOwner->isRunning() || stepOwner->getRunCount() != stepOwnerRun))
        deleteStepRequest();
}

//==============================================================================
// Own senders

SysExRequest* PresetManager::sendFootswitchGrid (const FootswitchGrid* grid)
{
    juce::MidiMessage message;

    if (grid == nullptr || getLink() == nullptr || ! buildFsGrid (message, *grid))
        return nullptr;

    return queueMessage (message, 1);
}

SysExRequest* PresetManager::sendLayoutSet (const LayoutRecord& record)
{
    juce::MidiMessage message;
    int expected = 1;

    if (getLink() == nullptr || ! buildLayoutSet (message, record, expected))
        return nullptr;

    return queueMessage (message, expected);
}

bool PresetManager::handleFootswitchGridReply (SysExRequest& request)
{
    juce::MidiMessage reply;
    FootswitchGrid grid;

    if (! request.getReply (reply, 0) || ! parseFsGrid (reply, grid))
        return false;

    footswitchGrid = grid;
    return true;
}

bool PresetManager::handleLayoutSetReply (SysExRequest& request)
{
    auto* store = dynamic_cast<KestrelEffectManager*> (getEffectManager());
    bool any = false;

    for (int i = 0; i < request.getNumReplies(); ++i)
    {
        juce::MidiMessage reply;
        LayoutRecord record;

        if (request.getReply (reply, i) && parseLayoutSet (reply, record))
        {
            any = true;

            if (store != nullptr)
                store->storeLayoutRecord (record);
        }
    }

    return any;
}

//==============================================================================
// DeviceManager overrides

bool PresetManager::handleReplyFirst (SysExRequest& request)
{
    if (request.getStatus() != SysExRequest::stateComplete)
        return false;

    switch (request.getFunctionCode())
    {
        case SYSEX_FSGRID: handleFootswitchGridReply (request); return true;

        case SYSEX_LAYOUT_SET: handleLayoutSetReply (request); return true;

        default: return false;
    }
}

bool PresetManager::setCurrentPresetNumber (const PresetNumberRecord& number)
{
    recallAwaitingReport = false;

    // A report of the unit's own, not an answer to one of our questions.
    const auto reported = ! isAnsweringPresetQuery();

    const auto answersQuestion = ! reported && getActiveRequest() == &getRequest (queryCurrentPresetNumber);

    if (answersQuestion)
    {
        // The unit reported a change while we asked: its answer is older
        // than the report, which has already been acted on.
        if (reportedWhileChecking)
            return true;

        answeredPresetNumber = number.getNumber();
    }
    else if (reported && checkingPresetNumber)
    {
        // The unit moved while we asked: whatever it answers, nothing may
        // be written as if the window showed its preset.
        reportedWhileChecking = true;
        answeredPresetNumber = number.getNumber();
    }

    // The report ends the active request's own wait for the slot it loads
    // instead of reloading; another preset is a move, which stops the run.
    if (auto* active = getActiveRequest())
    {
        if (active->delayEnabled == 1 && active->presetNumberArrived == 0
            && endsWaitOfActiveRequest (*active, number.getNumber()))
        {
            active->presetNumberArrived = 1;
            ++deferredPresetChanges;
            return false;
        }
    }

    if (presetChangeHold != 0)
    {
        // Not followed, the report stands between the unit and the preset
        // shown until the window follows one: a write started meanwhile is
        // judged by it too.
        if (auto* unitLink = getLink(); unitLink != nullptr && reported && reportsFollowed < 0)
            reportsFollowed = (juce::int64) unitLink->getPresetReports().taken - 1;

        ++deferredPresetChanges;
        return false;
    }

    const auto sameAsHeld = checkingPresetNumber && answersQuestion && number.getNumber() == getCurrentPresetNumber();

    // Asked before a write, the unit plays the preset shown, as the window
    // knew: its edits are the window's, and nothing needs reading.
    if (sameAsHeld && keepPresetIfSame && ! presetNumberInDoubt)
    {
        deferredPresetChanges = 0;
        reportsFollowed = -1;
        return true;
    }

    requestLoadPreset();
    presetNumberInDoubt = false;
    deferredPresetChanges = 0;
    reportsFollowed = -1;

    // A check that finds the number held changed nothing on the unit: the
    // preset is read again, and what belongs to it here is kept.
    if (sameAsHeld)
        return true;

    // Until its load has ended and been told, the window shows the preset before.
    if (const auto held = getCurrentPresetNumber(); ! isPresetMoveUnderWay() && held >= 0 && held != number.getNumber())
    {
        presetMovedFrom = held;
        presetMovedFromName = getCurrentPresetName();
    }

    DeviceManager::setCurrentPresetNumber (number);
    sceneClipboard.reset();

    // A bundle on its way in or out keeps its data: its run goes on only
    // where the unit's report does not stop it, and a stopped one lets go
    // of it.
    if (! isBusy (importPresetCabBundle) && ! isBusy (savePresetCabBundle))
        clearPendingData();

    return true;
}

bool PresetManager::getBlockList (PresetGrid& grid)
{
    auto result = DeviceManager::getBlockList (grid);
    auto& fixed = grid.getFixedBlocks();

    for (auto id : { blockIdGridInput, blockIdGridOutput, blockIdControllers, blockIdGlobal })
        fixed.addIfNotAlreadyThere ((juce::uint16) id);

    return result;
}

bool PresetManager::requestAmpNames()
{
    if (isBusy (queryAmpNames))
        return false;

    startRequest (queryAmpNames);
    return true;
}

void PresetManager::releaseLinkRequests()
{
    for (auto before = getNumPendingRequests(); before > 0; before = getNumPendingRequests())
    {
        handleNextReply();

        if (getNumPendingRequests() == before)
            break; // still with a running link
    }

    deleteStepRequest();
}

void PresetManager::clearPendingData()
{
    bundleFlag = 0;
    bundleMask = 0;
    bundleCabIndex = 0;
    bundleUserCabCount = 0;
    operationData.setSize (0);
    bundleSaves.clear();
    bundleSaveIndex = 0;
    pendingEntries.clear();
}

//==============================================================================
// Communication steps

int PresetManager::findNextEffectCell (int from) const
{
    auto& grid = getPresetGrid();

    for (int i = juce::jmax (0, from); i < grid.getNumCells(); ++i)
        if (isEffectBlock (grid.getBlockIdAt (i)))
            return i;

    return -1;
}

bool PresetManager::waitForSender() const
{
    auto state = sender.getState();
    return state == SysExMultiMsgTimer::stateRunning || state == SysExMultiMsgTimer::statePaused;
}

bool PresetManager::startSender (PresetStateMachine& machine, const juce::MemoryBlock& data)
{
    if (data.isEmpty())
        return false;

    if (! sender.loadMessages (data.getData(), data.getSize(), getConnectedModel()))
        return false;

    sender.setGuard (guardForStep (machine));

    if (! sender.start())
        return false;

    senderOwner = &machine;
    senderOwnerRun = machine.getRunCount();
    machine.wrote = true;
    return true;
}

bool PresetManager::ownsSender (const PresetStateMachine& machine) const
{
    return senderOwner == &machine && machine.getRunCount() == senderOwnerRun;
}

bool PresetManager::checkSenderResult (PresetStateMachine& machine, const juce::String& title)
{
    // Only this run's own transfer counts: one that a stopped run left
    // behind is not this run's failure (nor its success).
    if (! ownsSender (machine))
        return true; // nothing was handed to it

    senderOwner = nullptr;
    auto state = sender.getState();

    if (state == SysExMultiMsgTimer::stateDone)
        return true;

    juce::String reason;

    switch (state)
    {
        case SysExMultiMsgTimer::stateError:
            reason = "The unit refused message " + juce::String (sender.getNumSent()) + " of " +
                     juce::String (sender.getTotalMessages()) + " (error " + juce::String (sender.getErrorCode()) +
                     ").";
            break;
        case SysExMultiMsgTimer::stateTimedOut:
            reason = "The unit did not answer message " + juce::String (sender.getNumSent()) + " of " +
                     juce::String (sender.getTotalMessages()) + ".";
            break;
        case SysExMultiMsgTimer::stateOutputMissing: reason = "The MIDI output is missing."; break;
        default: reason = "The transfer was stopped."; break;
    }

    // A bundle's cabs go out after its preset was saved: that save stands.
    const auto& steps = machine.getSteps();
    const bool saved = steps.indexOf (stepPresetSave) >= 0 && steps.indexOf (stepPresetSave) < machine.getStepIndex();
    // The librarian tells what the unit refused of its transfers itself.
    const bool refused = state == SysExMultiMsgTimer::stateError;
    failRequest (machine, title,
                 refused && startersTellRefusals (machine)
                     ? juce::String()
                     : "Error: The data did not reach the unit. " + reason
                           + (saved ? "\nThe preset was saved; the data of this transfer was not stored."
                                    : "\nNothing was stored."));
    return false;
}

void PresetManager::appendSceneQueries (PresetStateMachine& machine)
{
    auto s = (int) getCurrentScene();

    for (auto& pair : sceneParamBlocks)
        machine.paramWrites.add ({ (juce::uint16) pair[0], (juce::uint16) (pair[1] + s), 0, 0 });
}

void PresetManager::appendSceneWrites (PresetStateMachine& machine)
{
    auto s = (int) getCurrentScene();

    for (int i = 0; i < SceneRecord::numSceneParams; ++i)
    {
        auto& entry = machine.sceneRecord.sceneParams[i];

        if (entry.valid)
            machine.paramWrites.add ({ (juce::uint16) sceneParamBlocks[i][0],
                                       (juce::uint16) (sceneParamBlocks[i][1] + s), (juce::uint16) entry.intValue, 1 });
    }
}

void PresetManager::appendXYPaste (PresetStateMachine& machine, const EffectRecord& record, int listChannel,
                                   bool fromState)
{
    auto& list = listChannel == 0 ? record.xValues : record.yValues;

    for (auto& value : list)
        machine.paramWrites.add ({ machine.blockId, value.paramId, value.value, 1 });

    // Amp blocks need some parameters once more, after those they depend on.
    if (effectTypeOfBlock (machine.blockId) == 5)
    {
        static const juce::uint16 fromClipboard[] = { 33, 42, 48 };
        static const juce::uint16 fromOwnState[] = { 69, 48, 68, 95, 88, 33, 42, 48 };

        auto addAgain = [&] (juce::uint16 paramId)
        {
            EffectParamValue value;

            if (record.getParam (paramId, listChannel, value) != 0)
                machine.paramWrites.add ({ machine.blockId, paramId, value.value, 1 });
        };

        if (fromState)
            for (auto id : fromOwnState)
                addAgain (id);
        else
            for (auto id : fromClipboard)
                addAgain (id);
    }

    if (! fromState)
        for (auto& modifier : xyModifiers)
            machine.modifierRecords.add (readdressed (modifier, machine.blockId));
}

bool PresetManager::isBadBlock (juce::uint16 blockId)
{
    return blockId == blockIdNone || isShuntBlockId (blockId);
}

PresetStateMachine& PresetManager::startRequest (NamedRequest which)
{
    auto& machine = getRequest (which);
    machine.start();
    bindWriteToAnswer (machine, which);
    return machine;
}

void PresetManager::invalidateEffectModel (bool alsoQueryStates)
{
    if (auto* effectModel = getEffectManager())
    {
        effectModel->invalidateEffects();
        effectModel->resetAllModifiers();
        effectModel->clearModifierDumps();

        if (alsoQueryStates)
            effectModel->clearQueryStates();
    }
}

void PresetManager::markBlockStale (juce::uint16 blockId)
{
    if (auto* effectModel = getEffectManager())
        if (auto* record = effectModel->findEffect (blockId))
            record->xRefresh = record->yRefresh = 1;
}

juce::uint16 PresetManager::getCurrentScene()
{
    juce::uint16 preset = 0, scene = 0;
    getCurrentPresetAndScene (preset, scene);
    return scene;
}

bool PresetManager::getPresetLocation (juce::int32 presetNumber, int& bank, int& program) const
{
    auto presetCount = isFirmwareValid() ? getPresetCount (getFirmware()) : -1;
    return presetNumberToBankAndProgram (presetNumber, bank, program, presetCount);
}

int PresetManager::getSceneCountForModel() const
{
    return juce::jmax (0, getSceneCount (getConnectedModel()));
}

//==============================================================================
// Data preparation

bool PresetManager::retargetPatchDump (juce::MemoryBlock& data) const
{
    return replaceFirstMessage (data, SYSEX_PATCH_START,
                                [] (const juce::MidiMessage& first, juce::uint8 model, juce::MidiMessage& out)
                                {
                                    PatchStartRecord start;
                                    return parsePatchStart (first, start) &&
                                           buildPatchStart (out, currentPresetLocation, currentPresetLocation,
                                                            start.wordCount, model);
                                });
}

bool PresetManager::convertPatchDumpForModel (juce::MemoryBlock& data) const
{
    juce::uint8 dataModel = 0;

    if (! getSysExModel (data, dataModel))
        return false;

    auto connected = getConnectedModel();

    if (dataModel == connected)
        return true;

    auto pair = [&] (int unit, int a, int b) { return connected == unit && (dataModel == a || dataModel == b); };

    if (! pair (3, 6, 7) && ! pair (6, 3, 7) && ! pair (7, 3, 6))
        return false;

    PatchDump dump;

    if (! dump.parse (data, dataModel))
        return false;

    auto converted = connected == 3 ? dump.convertForModel3() : dump.convertForModel6or7 (connected == 7 ? 1 : 0);
    juce::MemoryBlock out;

    if (! converted || ! dump.build (out))
        return false;

    data = std::move (out);
    return true;
}

bool PresetManager::retargetCabIrDump (juce::uint16 slot, juce::MemoryBlock& data) const
{
    return replaceFirstMessage (data, SYSEX_CABIR_START,
                                [slot] (const juce::MidiMessage& first, juce::uint8 model, juce::MidiMessage& out)
                                {
                                    CabIrStartRecord start;
                                    return parseCabIrStart (first, start) &&
                                           buildCabIrStart (out, slot, start.second, model);
                                });
}

bool PresetManager::retargetEffectDump (juce::uint16 blockId, juce::MemoryBlock& data) const
{
    return replaceFirstMessage (data, SYSEX_EFFECT_START,
                                [blockId] (const juce::MidiMessage& first, juce::uint8 model, juce::MidiMessage& out)
                                {
                                    EffectStartRecord start;
                                    return parseEffectStart (first, start) &&
                                           buildEffectStart (out, blockId, start.wordCount, start.flags, model);
                                });
}

void PresetManager::captureScene (SceneRecord& record)
{
    auto scene = getCurrentScene();
    auto& grid = getPresetGrid();
    auto* effectModel = getEffectManager();

    record.sceneNumber = scene;
    record.xyStates.clear();
    record.bypassStates.clear();

    for (int i = 0; i < grid.getNumCells(); ++i)
    {
        auto blockId = grid.getBlockIdAt (i);

        if (! isEffectBlock (blockId))
            continue;

        juce::uint8 disabled = 0;
        auto engaged = getBlockEngaged (blockId, disabled);
        record.bypassStates.add ({ blockId, (juce::uint8) (engaged ? 0 : 1) });

        int channel = 0;

        if (getBlockXYState (blockId, channel))
            record.xyStates.add ({ blockId, (juce::uint8) (channel == 0 ? 1 : 0) });
    }

    for (int i = 0; i < SceneRecord::numSceneParams; ++i)
    {
        auto& entry = record.sceneParams[i];
        entry = {};
        auto blockId = sceneParamBlocks[i][0];
        int channel = 0;
        getBlockXYState (blockId, channel);
        EffectParamValue value;

        if (effectModel != nullptr &&
            effectModel->getParamValue (blockId, sceneParamBlocks[i][1] + scene, channel, value))
        {
            entry.valid = true;
            entry.intValue = value.value;
            entry.floatValue = (float) value.value;
        }
    }
}
