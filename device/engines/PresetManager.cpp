#include "device/engines/PresetManager.h"

#include "device/engines/CommStep.h"
#include "device/engines/WaitCursorFlag.h"
#include "device/engines/WaitIndicator.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/CabIrBlock.h"
#include "device/wire/ModelRules.h"
#include "device/wire/PatchDump.h"
#include "device/wire/SysExCodec.h"
#include "model/BlockLibraryManager.h"
#include "model/Clock.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"

namespace
{
constexpr int bypassParamId = 255;
constexpr juce::uint16 ampBlock1 = 106;
constexpr juce::uint16 ampBlock2 = 107;
constexpr juce::uint16 cabBlock1 = 108;
constexpr juce::uint16 cabBlock2 = 109;
constexpr juce::uint16 tempoToUseParamId = 33;
constexpr int lastEffectType = 42;
constexpr int lastModifierValueIndex = ModifierRecord::numSettings - 1;
constexpr juce::uint8 noRecallBank1 = 0x7E;
constexpr juce::uint8 noRecallBank2 = 0x7F;

// The cab parameters of a Preset-Cab bundle, in the order of the cab mask's
// bits: (block, parameter) of cab 1 left, cab 1 right, cab 2 left, cab 2 right.
constexpr juce::uint16 bundleCabParams[4][2] = {
    { cabBlock1, 0 }, { cabBlock1, 2 }, { cabBlock2, 0 }, { cabBlock2, 2 }
};

// The six scene parameters of scene s: (block, first parameter); the
// parameter is first + s.
constexpr int sceneParamBlocks[SceneRecord::numSceneParams][2] = {
    { blockIdGridOutput, 8 },   { 136, 8 },
    { blockIdControllers, 74 }, { blockIdControllers, 82 },
    { blockIdControllers, 92 }, { blockIdControllers, 100 }
};

bool isEffectBlock (int blockId)
{
    return blockId >= firstBlockInstanceId && blockId <= lastBlockInstanceId;
}

juce::uint32 readWord32 (const ModifierDumpRecord& record, int index)
{
    auto* b = record.bytes + index * 4;
    return (juce::uint32) b[0] | ((juce::uint32) b[1] << 8) | ((juce::uint32) b[2] << 16) | ((juce::uint32) b[3] << 24);
}

void writeWord32 (ModifierDumpRecord& record, int index, juce::uint32 value)
{
    auto* b = record.bytes + index * 4;
    b[0] = (juce::uint8) (value & 0xFF);
    b[1] = (juce::uint8) ((value >> 8) & 0xFF);
    b[2] = (juce::uint8) ((value >> 16) & 0xFF);
    b[3] = (juce::uint8) ((value >> 24) & 0xFF);
}

// A modifier dump record (block id, count and 15 values, each a 32-bit
// word) as the SYSEX_MODIFIER message that sends it back.
ModifierValues toModifierValues (const ModifierDumpRecord& record)
{
    ModifierValues values;
    values.blockId = (juce::uint16) readWord32 (record, 0);
    values.count = (juce::uint16) juce::jmin ((juce::uint32) ModifierValues::maxValues, readWord32 (record, 1));

    for (int i = 0; i < ModifierValues::maxValues; ++i)
        values.values[i] = readWord32 (record, 2 + i);

    return values;
}

ModifierDumpRecord readdressed (ModifierDumpRecord record, juce::uint16 blockId)
{
    writeWord32 (record, 0, blockId);
    return record;
}

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

juce::String turningBar (int entryCount)
{
    switch (entryCount % 4)
    {
        case 0: return "|";
        case 1: return "/";
        case 2: return "-";
        case 3: return "\\";
        default: return "...";
    }
}

// The write modes of the step operations: 3 (a only), 4 (neither), 5 (both),
// 6 (b only).
juce::uint8 stepMode (bool a, bool b)
{
    if (a && ! b)
        return 3;
    if (a && b)
        return 5;
    if (b)
        return 6;
    return 4;
}
} // namespace

//==============================================================================
// Construction

PresetManager::PresetManager()
    : PresetManager (ZOLMidiProcessing::getInstance(), KestrelEffectManager::getInstance(),
                     KestrelGlobalConfiguration::getInstance(), KestrelBlockLibraryManager::getInstance())
{
}

PresetManager::PresetManager (ZOLMidiProcessing* linkToUse, EffectManager* effectManager,
                              GlobalConfiguration* configurationToUse, BlockLibraryManager* library)
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
        requestList.add (machine);
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
    const juce::ScopedLock sl (statusLock);
    auto changed = statusChanged != 0;
    statusChanged = 0;
    return changed;
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
                executeStep (*chosen);

                if (! chosen->isRunning() && chosen->getResult() == ZolStateMachine::resultTimedOut &&
                    chosen->alertOnTimeOut != 0)
                {
                    if (! failureReported)
                        showTimeOutAlert (*chosen);

                    setStatus (timeOutCode, 0, 0);
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
    // on data that never reached the unit: the request ends here as failed.
    UserNotifier::warn (message, title);
    failureReported = true;
    machine.stop (ZolStateMachine::resultTimedOut);
}

void PresetManager::setWaitCursor (bool on)
{
    if (waitCursor != nullptr)
        waitCursor->setWaitCursorFlag (on ? 1 : 0);
}

void PresetManager::finishStopped (PresetStateMachine& machine)
{
    if (machine.showWaitIndicator != 0 && waitIndicator != nullptr)
        waitIndicator->hideWaitProgress();

    if (machine.showWaitCursor != 0)
        setWaitCursor (false);
}

void PresetManager::executeStep (PresetStateMachine& machine)
{
    if (! machine.isRunning())
        return;

    if (machine.showWaitIndicator != 0 && waitIndicator != nullptr &&
        Clock::elapsedSince (machine.getStartTime()) > waitIndicatorDelayMs)
        waitIndicator->showWaitProgress (1.0, machine.statusText);

    if (machine.showWaitCursor != 0)
        setWaitCursor (true);

    auto* unitLink = getLink();

    if (unitLink != nullptr && unitLink->isConnected())
    {
        auto ready = true;

        if (currentStepRequest == nullptr)
            ready = runStep (machine);

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

            if (status == SysExRequest::stateComplete)
            {
                auto commit = std::move (stepCommit);
                deleteStepRequest();

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
                        machine.stop (ZolStateMachine::resultTimedOut);
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
                                    std::function<void (PresetStateMachine&)> commit)
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
}

void PresetManager::deleteStepRequest()
{
    auto* request = currentStepRequest;
    currentStepRequest = nullptr;
    stepOwner = nullptr;
    stepCommit = nullptr;

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
    if (auto* active = getActiveRequest())
    {
        if (active->delayEnabled == 1 && active->presetNumberArrived == 0)
        {
            // The report ends the request's own wait instead of reloading.
            active->presetNumberArrived = 1;
            ++deferredPresetChanges;
            return false;
        }
    }

    if (presetChangeHold != 0)
    {
        ++deferredPresetChanges;
        return false;
    }

    requestLoadPreset();
    DeviceManager::setCurrentPresetNumber (number);
    deferredPresetChanges = 0;
    sceneClipboard.reset();
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

    if (! sender.loadMessages (data.getData(), data.getSize(), getConnectedModel()) || ! sender.start())
        return false;

    senderOwner = &machine;
    senderOwnerRun = machine.getRunCount();
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

    failRequest (machine, title, "Error: The data did not reach the unit. " + reason + "\nNothing was stored.");
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

bool PresetManager::runStep (PresetStateMachine& m)
{
    auto* effectModel = getEffectManager();
    const auto step = m.getCurrentState();
    auto& grid = getPresetGrid();
    auto model = getConnectedModel();

    switch (step)
    {
        case stepBeginCommunications:
            if (m.beginCode != 0)
                setStatus (m.beginCode, 1, 1);
            break;

        case stepCompleteCommunications:
            if (m.endCode != 0)
                setStatus (m.endCode, 1, 0);
            m.stop (ZolStateMachine::resultCompleted);
            break;

        case stepLoopStart: break;
        case stepLoopEnd: ++m.loopCounter; break;

        case stepQueryDeviceModel: setStepRequest (m, DeviceManager::requestIdentity()); break;

        case stepQueryDeviceVersion:
        {
            if (isIdentityValid() || isFirmwareValid())
            {
                setStepRequest (m, DeviceManager::requestFirmwareVersion (isIdentityValid() ? getIdentityModel()
                                                                                            : getFirmware().model));
                break;
            }

            // No model heard of yet: try the supported models in turn, two
            // attempts each.
            if (m.getAttempts() >= 2)
            {
                setModelCandidateIndex (getModelCandidateIndex() + 1);
                m.resetAttempts();
            }

            auto& models = getSupportedModels();
            auto index = getModelCandidateIndex();

            if (juce::isPositiveAndBelow (index, models.size()))
                setStepRequest (m, DeviceManager::requestFirmwareVersion ((juce::uint8) models[index]->model));
            break;
        }

        case stepQuerySysInfo: setStepRequest (m, DeviceManager::requestSystemInfo()); break;
        case stepGetPatchNames: setStepRequest (m, DeviceManager::requestPresetNames (m.bank, m.program)); break;

        case stepGetCabNamesAll:
        case stepGetCabNamesFactory:
        case stepGetCabNamesUser:
            if (hasCabSlots (model))
                setStepRequest (m, DeviceManager::requestCabNames (step == stepGetCabNamesAll       ? cabNamesAll
                                                                   : step == stepGetCabNamesFactory ? cabNamesFactory
                                                                                                    : cabNamesUser));
            break;

        case stepGetCabName:
            if (hasCabSlots (model))
                setStepRequest (m, DeviceManager::requestCabNames (m.value));
            break;

        case stepGetCabNameScratchpad:
            if (m.cabSlot < PresetStateMachine::scratchpadCabReads)
                setStepRequest (
                    m, DeviceManager::requestCabNames ((juce::uint16) (getNumFactoryAndUserCabs() + m.cabSlot)),
                    [] (PresetStateMachine& mm) { ++mm.cabSlot; });
            break;

        case stepGetCurrentPatchNum: setStepRequest (m, DeviceManager::requestPresetNumber()); break;
        case stepGetCurrentSceneNum: setStepRequest (m, DeviceManager::requestCurrentScene()); break;
        case stepConfigMidiChannel: setStepRequest (m, DeviceManager::requestMidiChannel()); break;
        case stepConfigDisplayOffset: setStepRequest (m, DeviceManager::requestConfig()); break;
        case stepPresetQueryGrid: setStepRequest (m, DeviceManager::requestGrid()); break;

        case stepPresetQueryAmp1: setStepRequest (m, DeviceManager::requestSetParam (ampBlock1, 0, 0, 0)); break;
        case stepPresetQueryAmp2: setStepRequest (m, DeviceManager::requestSetParam (ampBlock2, 0, 0, 0)); break;

        case stepPresetQueryCab1L:
        case stepPresetQueryCab1R:
            if (grid.containsBlock (cabBlock1))
                setStepRequest (m,
                                DeviceManager::requestSetParam (cabBlock1, step == stepPresetQueryCab1L ? 0 : 2, 0, 0));
            break;

        case stepPresetQueryCab1LName:
        case stepPresetQueryCab1RName:
        {
            if (! hasCabSlots (model) || ! grid.containsBlock (cabBlock1) || effectModel == nullptr)
                break;

            int channel = 0;
            getBlockXYState (cabBlock1, channel);
            EffectParamValue value;

            if (effectModel->getParamValue (cabBlock1, step == stepPresetQueryCab1LName ? 0 : 2, channel, value))
                setStepRequest (m, DeviceManager::requestCabNames (value.value));
            break;
        }

        case stepPresetQueryCpuUsage: setStepRequest (m, DeviceManager::requestCpuLoad()); break;
        case stepPresetQueryStates: setStepRequest (m, DeviceManager::requestBlockStates()); break;
        case stepPresetQueryFlags: setStepRequest (m, DeviceManager::requestFlags()); break;
        case stepPresetQueryName: setStepRequest (m, DeviceManager::requestPresetName()); break;

        case stepPresetStoreName: setPresetName (m.bank * 128 + m.program, getCurrentPresetName()); break;
        case stepPresetRename: setStepRequest (m, DeviceManager::requestSetPresetName (m.presetName)); break;
        case stepPresetPatchDump: setStepRequest (m, DeviceManager::requestPatchDump (m.bank, m.program)); break;
        case stepPresetPatchPlusCabDump:
            setStepRequest (m, DeviceManager::requestPatchPlusCabDump (m.bank, m.program));
            break;

        case stepPresetPasteInit:
        {
            if (waitForSender())
                return false;

            auto data = m.data;

            if (! convertPatchDumpForModel (data))
            {
                failRequest (m, "Paste Preset", "Error: Unable to convert data for paste operation.");
                break;
            }

            if (! retargetPatchDump (data))
            {
                failRequest (m, "Paste Preset", "Error: Unable to set destination preset number for paste operation.");
                break;
            }

            if (data.isEmpty())
                break;

            if (! startSender (m, data))
            {
                failRequest (m, "Paste Preset", "Error: Unable to start the transfer of the paste operation.");
                break;
            }

            if (auto* unitLink = getLink())
                unitLink->setPresetChangeRequested (true);
            break;
        }

        case stepPresetPasteCheck:
            if (waitForSender())
                return false;
            checkSenderResult (m, "Paste Preset");
            break;

        case stepPresetSave: setStepRequest (m, DeviceManager::requestSavePreset (m.bank, m.program)); break;

        case stepPresetRecall:
            if (m.bank != noRecallBank1 && m.bank != noRecallBank2)
                setStepRequest (m, DeviceManager::requestRecallPreset (m.bank, m.program));
            break;

        case stepPresetBundleCopyPatch:
            m.bank = m.program = currentPresetLocation;
            m.data = operationData;
            break;

        case stepPresetBundleImportCab:
            if (bundleCabIndex < pendingEntries.size())
            {
                m.data = *pendingEntries[bundleCabIndex];
                m.cabSlot = (juce::uint16) (bundleUserCabCount + bundleCabIndex);
                ++bundleCabIndex;
            }
            else
            {
                m.data.setSize (0); // no cab left: the import steps pass
            }
            break;

        case stepPresetBundleResetCabIndex: m.cabSlot = 0; break;

        case stepPresetBundleSaveCab:
            if (bundleSaveIndex < bundleSaves.size())
            {
                auto entry = bundleSaves[bundleSaveIndex++];
                auto* cab = pendingEntries[entry.cabIndex];
                m.data = cab != nullptr ? *cab : juce::MemoryBlock();
                m.cabSlot = entry.slot;
            }
            else
            {
                m.data.setSize (0);
            }
            break;

        case stepEffectDelete: setStepRequest (m, DeviceManager::requestPlaceBlock (m.cell, 0)); break;

        case stepEffectDeleteAll:
        {
            auto next = -1;

            for (int i = m.cellCounter; i < grid.getNumCells(); ++i)
                if (grid.getBlockIdAt (i) != blockIdNone)
                {
                    next = i;
                    break;
                }

            if (next < 0)
                m.cellCounter = 0;
            else
                setStepRequest (m, DeviceManager::requestPlaceBlock ((juce::uint8) next, 0),
                                [next] (PresetStateMachine& mm) { mm.cellCounter = (juce::uint8) (next + 1); });
            break;
        }

        case stepEffectInitialize: setStepRequest (m, DeviceManager::requestSetDefaults (m.blockId)); break;

        case stepEffectInitializeAll:
        {
            auto next = findNextEffectCell (m.cellCounter);

            if (next < 0)
            {
                m.cellCounter = 0;

                if (effectModel != nullptr)
                {
                    effectModel->invalidateEffects();
                    effectModel->resetAllModifiers();
                    effectModel->clearModifierDumps();
                }
            }
            else
            {
                setStepRequest (m, DeviceManager::requestSetDefaults (grid.getBlockIdAt (next)),
                                [next] (PresetStateMachine& mm) { mm.cellCounter = (juce::uint8) (next + 1); });
            }
            break;
        }

        case stepEffectInitializeInput: setStepRequest (m, DeviceManager::requestSetDefaults (blockIdGridInput)); break;
        case stepEffectInitializeOutput:
            setStepRequest (m, DeviceManager::requestSetDefaults (blockIdGridOutput));
            break;

        case stepEffectInsertShunt:
        {
            if (m.inserts.isEmpty())
                break;

            auto entry = m.inserts.getFirst();
            auto present = grid.getBlockIdAt (entry.cell);

            if (present != blockIdNone && ! isShuntBlockId (present) && ! isShuntBlockId (entry.blockId))
            {
                auto shunt = grid.findFreeShuntId();

                if (shunt >= 0)
                    setStepRequest (m, DeviceManager::requestPlaceBlock (entry.cell, (juce::uint16) shunt));
            }
            break;
        }

        case stepEffectInsert:
            if (! m.inserts.isEmpty())
            {
                auto entry = m.inserts.getFirst();
                setStepRequest (m, DeviceManager::requestPlaceBlock (entry.cell, entry.blockId),
                                [] (PresetStateMachine& mm) { mm.inserts.remove (0); });
            }
            break;

        case stepEffectMove:
        {
            MoveBlockRecord record;
            record.direction = m.moveDirection;
            record.distance = m.moveDistance;
            record.cell = m.cell;
            setStepRequest (m, DeviceManager::requestMoveBlock (&record));
            break;
        }

        case stepEffectBypass:
            setStepRequest (m, DeviceManager::requestSetParam (m.blockId, bypassParamId, m.value, 1));
            break;
        case stepEffectGetGraph: setStepRequest (m, DeviceManager::requestGraph()); break;
        case stepEffectGetGraphn: setStepRequest (m, DeviceManager::requestGraphN (m.graphIndex)); break;

        case stepEffectSetXy:
            if (! m.xyWrites.isEmpty())
            {
                auto write = m.xyWrites.getFirst();
                setStepRequest (m, DeviceManager::requestSetXY (write.blockId, write.channel, write.select),
                                [] (PresetStateMachine& mm) { mm.xyWrites.remove (0); });
            }
            break;

        case stepSceneSetXy:
            if (! m.xyWrites.isEmpty())
            {
                auto write = m.xyWrites.getFirst();
                setStepRequest (m, DeviceManager::requestSetXY (write.blockId, write.channel, write.select));
            }
            break;

        case stepPresetSetToX:
        case stepPresetSetToY:
        {
            auto next = findNextEffectCell (m.cellCounter);

            if (next < 0)
                m.cellCounter = 0;
            else
                setStepRequest (
                    m, DeviceManager::requestSetXY (grid.getBlockIdAt (next), step == stepPresetSetToX ? 0 : 1, 1),
                    [next] (PresetStateMachine& mm) { mm.cellCounter = (juce::uint8) (next + 1); });
            break;
        }

        case stepEffectEdit: setStepRequest (m, DeviceManager::requestEditEffect (m.blockId)); break;

        case stepBlockConnect:
            if (! m.connections.isEmpty())
            {
                auto connection = m.connections.getFirst();
                setStepRequest (m, DeviceManager::requestConnectBlocks (&connection),
                                [] (PresetStateMachine& mm) { mm.connections.remove (0); });
            }
            break;

        case stepGetParamStrings:
        case stepGetParamInfo:
        {
            if (m.typeCounter == 0)
            {
                m.typeCounter = 1;
                m.paramIndex = 0;
            }

            auto type = m.typeCounter;
            auto firstBlock = firstBlockIdOfType (type);
            auto count = firstBlock > 0 ? getParamCount (firstBlock) : 0;

            if (m.paramIndex >= count)
            {
                // Type done (or not on this unit): on to the next, or back to 0 after the last.
                m.typeCounter = type >= lastEffectType ? 0 : type + 1;
                m.paramIndex = 0;
                break;
            }

            m.statusText = (step == stepGetParamStrings ? "Reading Block Definition Strings for "
                                                        : "Reading Block Definition for ") +
                           getNameForId (EffectTypeNames, type);

            auto index = m.paramIndex;
            auto* request = step == stepGetParamStrings
                                ? DeviceManager::requestParamStrings ((juce::uint16) firstBlock, (juce::uint16) index)
                                : DeviceManager::requestParamInfo ((juce::uint16) firstBlock, (juce::uint16) index);
            setStepRequest (m, request, [index] (PresetStateMachine& mm) { mm.paramIndex = index + 1; });
            break;
        }

        case stepEffectGetAllParams: setStepRequest (m, DeviceManager::requestAllParams (m.blockId)); break;
        case stepModifierDump: setStepRequest (m, DeviceManager::requestModifierDump (m.blockId)); break;

        case stepBlockCopyToClipboard:
            blockClipboardId = m.blockId;
            blockClipboardData.setSize (0);
            blockClipboardModifiers.clear();

            if (effectModel != nullptr)
            {
                if (auto* record = effectModel->findEffect (m.blockId))
                    blockClipboardData = record->allParamsData;

                effectModel->getModifierDumpsForBlock (m.blockId, blockClipboardModifiers);
            }
            break;

        case stepBlockPasteInit:
        {
            if (waitForSender())
                return false;

            auto data = m.data;

            if (! retargetEffectDump (m.blockId, data))
            {
                failRequest (m, "Error: Unable to set effectId for block paste operation.", {});
                break;
            }

            if (! data.isEmpty() && ! startSender (m, data))
                failRequest (m, "Block Paste", "Error: Unable to start the transfer of the block paste operation.");
            break;
        }

        case stepBlockPasteCheck:
            if (waitForSender())
                return false;
            checkSenderResult (m, "Block Paste");
            break;

        case stepBlockPasteModifier:
            if (! m.modifierRecords.isEmpty())
                setStepRequest (m, DeviceManager::requestModifier (toModifierValues (m.modifierRecords.getFirst())),
                                [] (PresetStateMachine& mm) { mm.modifierRecords.remove (0); });
            break;

        case stepBlockPasteSetX:
        case stepBlockPasteSetY:
            if (m.blockId != blockIdNone)
                setStepRequest (m, DeviceManager::requestSetXY (m.blockId, step == stepBlockPasteSetX ? 0 : 1, 1));
            break;

        case stepPresetParamDumpInit:
        case stepPresetGetAllParamsInit:
            getBlockList (walkGrid);
            m.gridCursor = PresetGridIterator (&walkGrid, 0);
            break;

        case stepPresetParamDump:
        {
            auto cursor = m.gridCursor;
            juce::uint16 blockId = 0;

            if (cursor.grid != nullptr && cursor.next (blockId))
                setStepRequest (m, DeviceManager::requestParamDump (blockId),
                                [cursor] (PresetStateMachine& mm) { mm.gridCursor = cursor; });
            else
                m.gridCursor = PresetGridIterator (nullptr, 0);
            break;
        }

        case stepPresetGetAllParamsNext:
        {
            juce::uint16 blockId = 0;
            bool found = false;

            while (m.gridCursor.grid != nullptr && m.gridCursor.next (blockId))
                if (blockId != blockIdGlobal)
                {
                    found = true;
                    break;
                }

            if (found)
                m.blockId = blockId;
            else
                m.gridCursor = PresetGridIterator (nullptr, 0);
            break;
        }

        case stepEffectParamDump:
        {
            if (! isBlockIdSupported (m.blockId) || effectModel == nullptr)
                break;

            int channel = 0;
            getBlockXYState (m.blockId, channel);
            auto* record = effectModel->findEffect (m.blockId);
            auto stale = channel == 0 ? (record != nullptr && record->xRefresh != 0)
                                      : (record != nullptr && record->yRefresh != 0);

            if (record == nullptr || ! record->hasAllParams (channel) || stale)
                setStepRequest (m, DeviceManager::requestParamDump (m.blockId));
            break;
        }

        case stepSetParam:
            if (m.writeMode != PresetStateMachine::writeModeNothing)
                setStepRequest (
                    m, DeviceManager::requestSetParam (m.blockId, m.secondId, m.value, (juce::uint8) m.writeMode));
            break;

        case stepSetParams:
            if (! m.paramWrites.isEmpty())
            {
                auto write = m.paramWrites.getFirst();
                setStepRequest (m,
                                DeviceManager::requestSetParam (write.blockId, write.paramId, write.value, write.mode),
                                [] (PresetStateMachine& mm) { mm.paramWrites.remove (0); });
            }
            break;

        case stepSetParamDirect:
            setStepRequest (m, DeviceManager::requestSetParamDirect (m.blockId, m.secondId, m.directValue));
            break;
        case stepSceneChange: setStepRequest (m, DeviceManager::requestSetScene (m.scene)); break;
        case stepSceneGetParameters: appendSceneQueries (m); break;
        case stepSceneSetParameters: appendSceneWrites (m); break;

        case stepScenePasteXy:
            if (! m.sceneRecord.xyStates.isEmpty())
            {
                auto entry = m.sceneRecord.xyStates.getFirst();
                setStepRequest (m, DeviceManager::requestSetXY (entry.blockId, entry.state == 1 ? 0 : 1, 1),
                                [] (PresetStateMachine& mm) { mm.sceneRecord.xyStates.remove (0); });
            }
            break;

        case stepScenePasteBypass:
            if (! m.sceneRecord.bypassStates.isEmpty())
            {
                auto entry = m.sceneRecord.bypassStates.getFirst();
                setStepRequest (
                    m, DeviceManager::requestSetParam (entry.blockId, bypassParamId, entry.state == 1 ? 1 : 0, 1),
                    [] (PresetStateMachine& mm) { mm.sceneRecord.bypassStates.remove (0); });
            }
            break;

        case stepScenePasteRepeat:
            m.sceneRecord = sceneClipboard;
            ++m.repeatCounter;
            m.scene = m.repeatCounter;
            break;

        case stepScenePasteReturn:
            setStepRequest (m, DeviceManager::requestSetScene (m.sceneRecord.startingScene));
            break;

        case stepSceneSwapCopyIntoClipboardA: captureScene (swapA); break;
        case stepSceneSwapCopyIntoClipboardB: captureScene (swapB); break;
        case stepSceneSwapSetDataClipboardA: m.sceneRecord = swapA; break;
        case stepSceneSwapSetDataClipboardB: m.sceneRecord = swapB; break;
        case stepSceneSwapChangeToDestination: m.scene = swapDestination; break;
        case stepSceneSwapChangeToSource: m.scene = (juce::uint16) juce::jmax (0, (int) swapA.sceneNumber); break;

        case stepXyCopyToClipboard:
        {
            xyRecord = EffectRecord();
            xyModifiers.clear();

            if (effectModel == nullptr)
                break;

            if (auto* record = effectModel->findEffect (m.blockId))
                xyRecord.copyFrom (*record);

            xyRecord.clearParams (xyListChannel == 0 ? 1 : 0);
            effectModel->getModifierDumpsForBlock (m.blockId, xyModifiers);
            break;
        }

        case stepXyPasteFromClipboard: appendXYPaste (m, xyRecord, xyListChannel, false); break;

        case stepXyPasteFromState:
            if (effectModel != nullptr)
                if (auto* record = effectModel->findEffect (m.blockId))
                    appendXYPaste (m, *record, m.channel, true);
            break;

        case stepXySetToX: setStepRequest (m, DeviceManager::requestSetXY (m.blockId, 0, 1)); break;
        case stepXySetToY: setStepRequest (m, DeviceManager::requestSetXY (m.blockId, 1, 1)); break;

        case stepXySetResyncX:
        case stepXySetResyncY:
            if (effectModel != nullptr)
                if (auto* record = effectModel->findEffect (m.blockId))
                    (step == stepXySetResyncX ? record->xRefresh : record->yRefresh) = 1;
            break;

        case stepModifierQueryAllIds:
        {
            auto counter = m.modifierIdCounter;

            if (counter == 0 && effectModel != nullptr)
                effectModel->resetAllModifiers();

            if (counter >= EffectManager::numModifiers)
            {
                m.modifierIdCounter = 0;
                break;
            }

            setStepRequest (
                m, DeviceManager::requestModifierInfo ((juce::uint16) (EffectManager::firstModifierId + counter)),
                [counter] (PresetStateMachine& mm)
                { mm.modifierIdCounter = counter + 1 >= EffectManager::numModifiers ? 0 : counter + 1; });
            break;
        }

        case stepModifierQueryAllValues:
        {
            auto counter = m.modifierIdCounter;
            auto nextModifier = [counter] (PresetStateMachine& mm)
            {
                mm.modifierValueIndex = 0;
                mm.modifierIdCounter = counter + 1 >= EffectManager::numModifiers ? 0 : counter + 1;
            };

            auto* modifier =
                effectModel != nullptr ? effectModel->getModifier (EffectManager::firstModifierId + counter) : nullptr;

            if (modifier == nullptr || modifier->blockId == blockIdNone)
            {
                nextModifier (m);
                break;
            }

            auto index = m.modifierValueIndex;
            auto paramId = isBypassModeParam (modifier->blockId, modifier->paramId) ? (juce::uint16) bypassParamId
                                                                                    : modifier->paramId;
            setStepRequest (m,
                            DeviceManager::requestSetModifier (modifier->blockId, paramId, (juce::uint16) index, 0, 0),
                            [index, nextModifier] (PresetStateMachine& mm)
                            {
                                if (index >= lastModifierValueIndex)
                                    nextModifier (mm);
                                else
                                    mm.modifierValueIndex = index + 1;
                            });
            break;
        }

        case stepModifierQueryValues:
        {
            if (m.modifierIds.isEmpty())
                break;

            auto id = m.modifierIds.getFirst();
            auto index = m.modifierValueIndex;
            auto paramId = isBypassModeParam (m.blockId, id) ? (juce::uint16) bypassParamId : id;
            setStepRequest (m, DeviceManager::requestSetModifier (m.blockId, paramId, (juce::uint16) index, 0, 0),
                            [index] (PresetStateMachine& mm)
                            {
                                if (index >= lastModifierValueIndex)
                                {
                                    mm.modifierIds.remove (0);
                                    mm.modifierValueIndex = 0;
                                }
                                else
                                {
                                    mm.modifierValueIndex = index + 1;
                                }
                            });
            break;
        }

        case stepSetModifier:
            if (! m.modifierWrites.isEmpty())
            {
                auto write = m.modifierWrites.getFirst();
                setStepRequest (m,
                                DeviceManager::requestSetModifier (write.blockId, write.selector1, write.selector2,
                                                                   write.value, write.mode),
                                [] (PresetStateMachine& mm) { mm.modifierWrites.remove (0); });
            }
            break;

        case stepSetModifierParamDirect:
            if (! m.modifierDirectWrites.isEmpty())
            {
                auto write = m.modifierDirectWrites.getFirst();
                float value;
                std::memcpy (&value, &write.valueBits, sizeof (value));
                setStepRequest (
                    m, DeviceManager::requestSetModParamDirect (write.blockId, write.selector1, write.selector2, value),
                    [] (PresetStateMachine& mm) { mm.modifierDirectWrites.remove (0); });
            }
            break;

        case stepQueryTempo: setStepRequest (m, DeviceManager::requestTempo()); break;
        case stepSetTempo: setStepRequest (m, DeviceManager::requestSetTempo (m.value)); break;
        case stepQueryTempoToUse:
            setStepRequest (m, DeviceManager::requestSetParam (blockIdControllers, tempoToUseParamId, 0, 0));
            break;
        case stepSetTempoToUse:
            setStepRequest (m, DeviceManager::requestSetParam (m.blockId, m.secondId, m.value, 1));
            break;
        case stepGetPosition: setStepRequest (m, DeviceManager::requestPosition()); break;

        case stepBlockLibInit:
            if (blockLibrary != nullptr)
            {
                blockLibrary->clearEntries();
                blockLibrary->startScan();
            }
            m.blockLibScanning = 1;
            break;

        case stepBlockLibNext:
        {
            juce::String fileName;
            int errorCode = 0;
            auto more = blockLibrary != nullptr && blockLibrary->scanNext (fileName, errorCode);
            m.blockLibScanning = more ? 1 : 0;

            if (more)
                m.statusText = "Reading Block Library: " + turningBar (blockLibrary->getNumEntries());
            break;
        }

        case stepPresetCsvXySave:
            m.savedXYStates.clear();

            for (int i = 0; i < grid.getNumCells(); ++i)
            {
                auto blockId = grid.getBlockIdAt (i);
                int channel = 0;

                if (isEffectBlock (blockId) && getBlockXYState (blockId, channel))
                    m.savedXYStates.add ({ blockId, (juce::uint8) channel });
            }
            break;

        case stepPresetCsvXyRestore:
        {
            for (auto next = findNextEffectCell (m.cellCounter); next >= 0; next = findNextEffectCell (next + 1))
            {
                auto blockId = grid.getBlockIdAt (next);

                for (auto& saved : m.savedXYStates)
                    if (saved.blockId == blockId)
                    {
                        setStepRequest (m, DeviceManager::requestSetXY (blockId, saved.state, 1),
                                        [next] (PresetStateMachine& mm) { mm.cellCounter = (juce::uint8) (next + 1); });
                        return true;
                    }
            }

            m.cellCounter = 0;
            break;
        }

        case stepCabirExport: setStepRequest (m, DeviceManager::requestCabDump (m.cabSlot)); break;

        case stepCabirImportInit:
        {
            if (waitForSender())
                return false;

            // A bundle pass with no cab left has nothing to import; a cab
            // import of its own without data fails below like bad data.
            if (m.data.isEmpty() &&
                (&m == &getRequest (importPresetCabBundle) || &m == &getRequest (savePresetCabBundle)))
                break;

            auto data = m.data;

            if (! retargetCabIrDump (m.cabSlot, data))
            {
                failRequest (m, "Import Cab Ir", "Error: Unable to set destination cab slot for import operation.");
                break;
            }

            if (! startSender (m, data))
                failRequest (m, "Import Cab Ir", "Error: Unable to start the transfer of the import operation.");
            break;
        }

        case stepCabirImportCheck:
            if (waitForSender())
                return false;

            if (! ownsSender (m))
                break;

            if (checkSenderResult (m, "Import Cab Ir"))
                setCabFromFile (m.cabSlot, m.data);
            break;

        case stepMuteOutputs: setStepRequest (m, DeviceManager::requestMute (m.muteValue)); break;
        case stepMuteEnable: setStepRequest (m, DeviceManager::requestMute (0)); break;
        case stepMuteDisable: setStepRequest (m, DeviceManager::requestMute (1)); break;
        case stepSetEditFlag: setStepRequest (m, DeviceManager::requestSetPresetName (getCurrentPresetName())); break;
        case stepDeleteCab: setStepRequest (m, DeviceManager::requestDeleteCab (m.cabSlot)); break;
        case stepEditorDisconnect: setStepRequest (m, DeviceManager::requestEditorDisconnect()); break;
        case stepWaitPatchnum: m.startDelayTimer(); break;

        case stepRawPresetGetXParams:
        case stepRawPresetGetYParams:
            for (auto* block : m.rawPreset.getBlocks())
                for (auto word : (step == stepRawPresetGetXParams ? block->xValues : block->yValues))
                    m.paramWrites.add (
                        { block->blockId, (juce::uint16) (word & 0xFFFF), (juce::uint16) (word >> 16), 1 });
            break;

        case stepRawPresetGetSceneStates:
        {
            juce::Array<SceneBlockState> active;
            m.rawPreset.getSceneBypassStates (m.scene, active);
            m.sceneRecord.bypassStates.clear();

            // The record holds 1 for a bypassed block, the raw preset 1 for an active one.
            for (auto entry : active)
                m.sceneRecord.bypassStates.add ({ entry.blockId, (juce::uint8) (entry.state == 1 ? 0 : 1) });

            m.sceneRecord.xyStates.clear();
            m.rawPreset.getSceneXYStates (m.scene, m.sceneRecord.xyStates);
            break;
        }

        case stepSetFsgrid: setStepRequest (m, sendFootswitchGrid (&m.footswitchGrid)); break;

        case stepLayoutSet:
            setStepRequest (m, sendLayoutSet ({ 1, (juce::uint8) m.layout, m.layoutValueA, m.layoutValueB }));
            break;
        case stepLayoutGet: setStepRequest (m, sendLayoutSet ({ 0, (juce::uint8) m.layout, m.layoutValueA, 0 })); break;
        case stepLayoutGetAll: setStepRequest (m, sendLayoutSet ({ 0, 0, 0x7F, 0 })); break;

        default: break; // ids above the last step do nothing
    }

    return true;
}

//==============================================================================
// Request starters

bool PresetManager::isBadBlock (juce::uint16 blockId)
{
    return blockId == blockIdNone || isShuntBlockId (blockId);
}

PresetStateMachine& PresetManager::startRequest (NamedRequest which)
{
    auto& machine = getRequest (which);
    machine.start();
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

bool PresetManager::requestChangePreset (juce::uint16 presetNumber, bool settle)
{
    auto& machine = getRequest (changePreset);
    auto previous = machine.getPreviousStartTime();

    if (previous != 0)
    {
        auto elapsed = Clock::elapsedSince (previous);
        auto difference = juce::jmin (elapsed, (juce::uint32) (0u - elapsed)); // |now - previous|

        if (difference <= changePresetGuardMs)
            return false;
    }

    if (machine.isRunning())
        return false;

    int bank = 0, program = 0;

    if (! getPresetLocation (presetNumber, bank, program))
        return false;

    machine.start();
    machine.bank = (juce::uint8) bank;
    machine.program = (juce::uint8) program;

    if (settle)
        machine.enableSettleDelay();

    return true;
}

bool PresetManager::selectPresetInBank (int slot)
{
    auto current = getCurrentPresetNumber();
    juce::String text, bankText, presetText;

    if (slot < 1 || slot > presetsPerBank || ! formatPresetNumber (current, {}, text, bankText, presetText))
        return false;

    juce::uint16 number = 0;

    if (! parsePresetNumberText (text.upToFirstOccurrenceOf ("-", false, false) + "-" + juce::String (slot), number))
        return false;

    return requestChangePreset (number, false);
}

bool PresetManager::requestChangeScene (juce::uint16 scene)
{
    startRequest (changeScene).scene = scene;
    return true;
}

bool PresetManager::requestRecallPreset (juce::uint8 bank, juce::uint8 program)
{
    if (isBusy (recallPreset))
        return false;

    auto& machine = startRequest (recallPreset);
    machine.bank = bank;
    machine.program = program;
    sceneClipboard.reset();
    clearPendingData();
    return true;
}

bool PresetManager::requestSavePreset (juce::uint8 bank, juce::uint8 program)
{
    // A location the unit does not have would be cut to another slot on the
    // wire, or dropped while the request still reported success.
    int checkedBank = 0, checkedProgram = 0;

    if (isBusy (savePreset) || program > 127 || ! getPresetLocation (bank * 128 + program, checkedBank, checkedProgram))
        return false;

    auto& machine = startRequest (savePreset);
    machine.bank = bank;
    machine.program = program;
    return true;
}

bool PresetManager::requestFileOperation (juce::uint8 bank, juce::uint8 program, int kind)
{
    static const NamedRequest kinds[] = { fileExportToSysex, fileExportCsv,         getPresetDataFile,
                                          fileSnapshot,      fileExportToTemplates, exportPresetCabBundle };

    if (! juce::isPositiveAndBelow (kind, (int) std::size (kinds)) || isBusy (kinds[kind]))
        return false;

    auto& machine = startRequest (kinds[kind]);

    if (kind != 1)
    {
        machine.bank = bank;
        machine.program = program;
    }

    return true;
}

bool PresetManager::requestResyncPreset()
{
    if (resyncHold != 0)
        return false;

    if (! isBusy (resyncPreset))
        startRequest (resyncPreset);

    invalidateEffectModel (false);
    return true;
}

bool PresetManager::requestCurrentPresetNumber()
{
    if (isBusy (queryCurrentPresetNumber))
        return false;

    startRequest (queryCurrentPresetNumber);
    return true;
}

bool PresetManager::requestLoadPreset()
{
    auto& machine = getRequest (loadPreset);

    if (machine.isRunning())
        machine.stop (ZolStateMachine::resultCancelled);

    machine.start();
    invalidateEffectModel (true);
    return true;
}

bool PresetManager::requestBypassBlock (juce::uint16 blockId, bool bypass)
{
    if (isBadBlock (blockId) || isBusy (bypassBlock))
        return false;

    auto& machine = startRequest (bypassBlock);
    machine.blockId = blockId;
    machine.value = bypass ? 1 : 0;
    return true;
}

bool PresetManager::requestBypassAllBlocks()
{
    if (isBusy (bypassAllBlocks))
        return false;

    auto& machine = startRequest (bypassAllBlocks);
    PresetGrid grid;
    getBlockList (grid);
    PresetGridIterator cursor (&grid, 1);
    juce::uint16 blockId = 0;

    while (cursor.next (blockId))
        if (blockId != blockIdGlobal)
            machine.paramWrites.add ({ blockId, (juce::uint16) bypassParamId, 1, 1 });

    return true;
}

bool PresetManager::requestDeleteBlock (juce::uint8 cell)
{
    if (isBusy (deleteBlock))
        return false;

    startRequest (deleteBlock).cell = cell;
    auto blockId = getPresetGrid().getBlockIdAt (cell);

    if (blockId != blockIdNone)
    {
        if (auto* effectModel = getEffectManager())
            effectModel->resetModifiersForBlock (blockId);

        markBlockStale (blockId);
    }

    return true;
}

bool PresetManager::requestInsertBlock (juce::uint8 cell, juce::uint16 blockId)
{
    return requestInsertBlocks ({ (juce::uint32) cell | ((juce::uint32) blockId << 16) });
}

bool PresetManager::requestInsertBlocks (const juce::Array<juce::uint32>& entries)
{
    if (isBusy (insertBlock))
        return false;

    auto& machine = startRequest (insertBlock);

    for (auto entry : entries)
    {
        BlockInsert insert;
        insert.cell = (juce::uint8) (entry & 0xFF);
        insert.blockId = (juce::uint16) (entry >> 16);
        machine.inserts.add (insert);

        auto present = getPresetGrid().getBlockIdAt (insert.cell);

        if (present != blockIdNone)
        {
            if (auto* effectModel = getEffectManager())
                effectModel->resetModifiersForBlock (present);

            markBlockStale (present);
        }
    }

    return true;
}

bool PresetManager::requestMoveBlock (juce::uint8 cell, int direction, juce::uint8 distance)
{
    if (isBusy (moveBlock))
        return false;

    auto& machine = startRequest (moveBlock);
    machine.cell = cell;
    machine.moveDirection = (juce::uint8) direction;
    machine.moveDistance = distance;
    return true;
}

bool PresetManager::requestClearPreset()
{
    if (isBusy (clearPreset))
        return false;

    startRequest (clearPreset);
    invalidateEffectModel (true);
    return true;
}

bool PresetManager::requestInitializeBlock (juce::uint16 blockId, bool keepType)
{
    if (isBusy (initializeBlock))
        return false;

    auto& machine = startRequest (initializeBlock);
    machine.blockId = blockId;

    if (keepType)
    {
        // The defaults would also reset the block's type: written back after them.
        int channel = 0;
        getBlockXYState (blockId, channel);

        auto keep = [&] (int paramId)
        {
            EffectParamValue value;

            if (paramId >= 0 && getEffectManager() != nullptr &&
                getEffectManager()->getParamValue (blockId, paramId, channel, value))
                machine.paramWrites.add ({ blockId, (juce::uint16) paramId, value.value, 1 });
        };

        keep (getTypeParamId (blockId));

        if (effectTypeOfBlock (blockId) == 6)
        {
            keep (0);
            keep (2);
        }
    }

    markBlockStale (blockId);
    return true;
}

bool PresetManager::requestPastePreset (const juce::MemoryBlock& presetData, bool settle)
{
    if (isBusy (pastePreset) || presetData.isEmpty())
        return false;

    auto& machine = startRequest (pastePreset);
    machine.bank = machine.program = currentPresetLocation;
    machine.data = presetData;

    if (settle)
        machine.enableSettleDelay();

    return true;
}

bool PresetManager::requestConnectBlocks (const juce::Array<CableConnection>& connections)
{
    if (isBusy (blockConnect))
        return false;

    startRequest (blockConnect).connections = connections;
    return true;
}

bool PresetManager::requestParamDefinitions()
{
    if (isBusy (queryParamDefinitions))
        return false;

    startRequest (queryParamDefinitions);
    return true;
}

bool PresetManager::requestEffectAllParams (juce::uint16 blockId, bool makeEdited)
{
    if (isBadBlock (blockId) || isBusy (queryEffectAllParams))
        return false;

    auto& machine = getRequest (queryEffectAllParams);
    machine.clearSteps();
    machine.addStep (stepBeginCommunications);

    if (makeEdited)
        machine.addStep (stepEffectEdit);

    machine.addStep (stepEffectParamDump);
    machine.addStep (stepCompleteCommunications);

    machine.start();
    machine.blockId = blockId;
    return true;
}

bool PresetManager::requestEffectParamSubset (const juce::Array<std::pair<juce::uint16, juce::uint16>>& blockAndParams)
{
    if (blockAndParams.isEmpty() || isBusy (queryEffectSubsetParams))
        return false;

    auto& machine = startRequest (queryEffectSubsetParams);

    for (auto& entry : blockAndParams)
        machine.paramWrites.add ({ entry.first, entry.second, 0, 0 });

    return true;
}

bool PresetManager::requestSetParamDirect (juce::uint16 blockId, juce::uint16 paramId, float value)
{
    if (isBadBlock (blockId) || isBusy (setParamDirect))
        return false;

    auto& machine = startRequest (setParamDirect);
    machine.blockId = blockId;
    machine.secondId = paramId;
    machine.directValue = value;
    return true;
}

bool PresetManager::requestSetParam (juce::uint16 blockId, juce::uint16 paramId, juce::uint16 value)
{
    if (isBadBlock (blockId) || isBusy (setParam))
        return false;

    auto& machine = startRequest (setParam);
    machine.blockId = blockId;
    machine.secondId = paramId;
    machine.value = value;
    machine.writeMode = 1;
    return true;
}

bool PresetManager::requestStepParam (juce::uint16 blockId, juce::uint16 paramId, bool a, bool b)
{
    if (isBadBlock (blockId) || isBusy (setParam))
        return false;

    auto& machine = startRequest (setParam);
    machine.blockId = blockId;
    machine.secondId = paramId;
    machine.writeMode = stepMode (a, b);
    return true;
}

bool PresetManager::requestParamMode2 (juce::uint16 blockId, juce::uint16 paramId)
{
    if (isBadBlock (blockId) || isBusy (setParam))
        return false;

    auto& machine = startRequest (setParam);
    machine.blockId = blockId;
    machine.secondId = paramId;
    machine.writeMode = 2;
    return true;
}

bool PresetManager::requestSetMultipleParams (const juce::Array<ParamWrite>& writes)
{
    if (writes.isEmpty() || isBusy (setMultipleParams))
        return false;

    startRequest (setMultipleParams).paramWrites = writes;
    return true;
}

bool PresetManager::requestSetModifier (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2,
                                        juce::uint16 value)
{
    if (isBadBlock (blockId) || isBusy (setModifier))
        return false;

    startRequest (setModifier).modifierWrites.add ({ blockId, selector1, selector2, value, 1 });
    return true;
}

bool PresetManager::requestStepModifier (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2, bool a,
                                         bool b)
{
    if (isBadBlock (blockId) || isBusy (setModifier))
        return false;

    startRequest (setModifier).modifierWrites.add ({ blockId, selector1, selector2, 0, stepMode (a, b) });
    return true;
}

bool PresetManager::requestModifierMode2 (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2)
{
    if (isBadBlock (blockId) || isBusy (setModifier))
        return false;

    startRequest (setModifier).modifierWrites.add ({ blockId, selector1, selector2, 0, 2 });
    return true;
}

bool PresetManager::requestSetModifierDirect (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2,
                                              juce::uint32 valueBits)
{
    if (isBadBlock (blockId) || isBusy (setModifierDirect))
        return false;

    startRequest (setModifierDirect).modifierDirectWrites.add ({ blockId, selector1, selector2, valueBits });
    return true;
}

bool PresetManager::requestSetXY (juce::uint16 blockId, bool y)
{
    if (isBadBlock (blockId) || isBusy (setXY))
        return false;

    auto& machine = startRequest (setXY);
    machine.xyWrites.add ({ blockId, (juce::uint8) (y ? 1 : 0), 1 });
    machine.blockId = blockId;
    return true;
}

bool PresetManager::requestSwapBlocks (int cellA, int cellB)
{
    auto& grid = getPresetGrid();

    if (! juce::isPositiveAndBelow (cellA, grid.getNumCells()) ||
        ! juce::isPositiveAndBelow (cellB, grid.getNumCells()) || cellA == cellB || isBusy (blockSwap))
        return false;

    // An empty cell takes part as a shunt, so that its cables stay made.
    juce::Array<juce::uint16> taken;
    auto blockOf = [&] (int cell)
    {
        auto id = grid.getBlockIdAt (cell);

        if (id == blockIdNone)
        {
            auto shunt = grid.findFreeShuntId (&taken);

            if (shunt >= 0)
            {
                id = (juce::uint16) shunt;
                taken.add (id);
            }
        }

        return id;
    };

    auto blockA = blockOf (cellA);
    auto blockB = blockOf (cellB);

    auto& machine = startRequest (blockSwap);
    machine.inserts.add ({ (juce::uint8) cellA, blockB });
    machine.inserts.add ({ (juce::uint8) cellB, blockA });

    for (auto cell : { cellA, cellB })
    {
        juce::Array<int> feeding, fed;

        if (! getGridCellConnections (cell, feeding, fed))
            continue;

        for (auto source : feeding)
            machine.connections.add ({ (juce::uint8) source, (juce::uint8) cell, 1 });

        for (auto destination : fed)
            machine.connections.add ({ (juce::uint8) cell, (juce::uint8) destination, 1 });
    }

    return true;
}

bool PresetManager::requestBlockLibraryQuery (juce::uint16 blockId)
{
    if (isShuntBlockId (blockId))
        return false;

    auto which = blockId == blockIdNone ? blockLibraryQueryAll : blockLibraryQuery;

    if (isBusy (which))
        return false;

    auto& machine = startRequest (which);

    if (which == blockLibraryQuery)
        machine.blockId = blockId;
    else
        machine.loopCount = (juce::uint32) getPresetGrid().countBlocks();

    if (auto* effectModel = getEffectManager())
        effectModel->clearModifierDumps();

    return true;
}

bool PresetManager::requestBlockCopy (juce::uint16 blockId)
{
    if (isBadBlock (blockId) || isBusy (blockCopy))
        return false;

    startRequest (blockCopy).blockId = blockId;

    if (auto* effectModel = getEffectManager())
        effectModel->clearModifierDumps();

    return true;
}

bool PresetManager::requestBlockPaste (juce::uint16 blockId, const juce::MemoryBlock* blockData)
{
    if (isBadBlock (blockId) || isBusy (blockPaste))
        return false;

    const auto& source = blockData != nullptr ? *blockData : blockClipboardData;
    auto& machine = startRequest (blockPaste);
    machine.blockId = blockId;

    if (blockData == nullptr)
        for (auto& record : blockClipboardModifiers)
            machine.modifierRecords.add (readdressed (record, blockId));

    auto oldModel = retagSysExModel (source, getConnectedModel(), machine.data);

    // Amps and their relatives of older models need one parameter written
    // again in mode 2; everything else sends nothing in step 73.
    machine.writeMode = PresetStateMachine::writeModeNothing;
    auto type = effectTypeOfBlock (blockId);

    if (oldModel != 8 && (type == 5 || type == 35))
    {
        machine.writeMode = 2;
        machine.secondId = type == 5 ? 21 : 4;
    }

    return true;
}

bool PresetManager::requestScenePasteAll()
{
    if (sceneClipboard.sceneNumber < 0 || isBusy (scenePasteAll))
        return false;

    sceneClipboard.startingScene = getCurrentScene();
    auto& machine = startRequest (scenePasteAll);
    machine.sceneRecord = sceneClipboard;
    machine.scene = 0;
    machine.loopCount = (juce::uint32) getSceneCountForModel();
    return true;
}

bool PresetManager::requestSceneSwap (juce::uint16 otherScene)
{
    if (isBusy (sceneSwap))
        return false;

    startRequest (sceneSwap);
    swapA.reset();
    swapB.reset();
    swapA.sceneNumber = getCurrentScene();
    swapB.sceneNumber = otherScene;
    swapDestination = otherScene;
    return true;
}

bool PresetManager::requestAllScenesBypass (juce::uint16 blockId, bool bypass)
{
    if (isBadBlock (blockId) || isBusy (sceneBlockBypass))
        return false;

    sceneClipboard.startingScene = getCurrentScene();
    auto& machine = startRequest (sceneBlockBypass);
    machine.blockId = blockId;
    machine.value = bypass ? 1 : 0;
    machine.scene = 0;
    machine.loopCounter = 0;
    machine.loopCount = (juce::uint32) getSceneCountForModel();
    return true;
}

bool PresetManager::requestAllScenesXY (juce::uint16 blockId, bool y)
{
    if (isBadBlock (blockId) || isBusy (sceneBlockSetXY))
        return false;

    sceneClipboard.startingScene = getCurrentScene();
    auto& machine = startRequest (sceneBlockSetXY);
    machine.xyWrites.add ({ blockId, (juce::uint8) (y ? 1 : 0), 1 });
    machine.blockId = blockId;
    machine.scene = 0;
    machine.loopCounter = 0;
    machine.loopCount = (juce::uint32) getSceneCountForModel();
    return true;
}

void PresetManager::addSwitchSteps (PresetStateMachine& machine, int channel)
{
    machine.addStep (channel == 0 ? stepXySetToX : stepXySetToY);
    machine.addStep (stepPresetQueryStates);
}

PresetStateMachine& PresetManager::beginXYScript (juce::int32 beginCode)
{
    auto& machine = getRequest (xyClipboard);
    machine.beginCode = beginCode;
    machine.endCode = beginCode + 1;
    machine.clearSteps();
    machine.addStep (stepBeginCommunications);
    return machine;
}

void PresetManager::endXYWriteScript (PresetStateMachine& machine, int written, int current)
{
    if (written != current)
        addSwitchSteps (machine, current);

    machine.addStep (stepPresetQueryStates);
    machine.addStep (stepPresetQueryFlags);
    machine.addStep (written == 0 ? stepXySetResyncX : stepXySetResyncY);
    machine.addStep (stepCompleteCommunications);
}

bool PresetManager::requestXYCopyToClipboard (juce::uint16 blockId, int channel)
{
    if (isBadBlock (blockId) || isBusy (xyClipboard))
        return false;

    if (auto* effectModel = getEffectManager())
        effectModel->clearModifierDumps();

    xyRecord = EffectRecord();
    xyModifiers.clear();
    xyBlockId = blockId;
    xyChannel = xyListChannel = (juce::uint8) (channel != 0 ? 1 : 0);

    int current = 0;
    getBlockXYState (blockId, current);

    auto& machine = beginXYScript (xyCopyToClipboardCode);

    if (xyChannel != current)
        addSwitchSteps (machine, xyChannel);

    for (auto step : { stepEffectParamDump, stepModifierDump, stepXyCopyToClipboard })
        machine.addStep (step);

    if (xyChannel != current)
        addSwitchSteps (machine, current);

    machine.addStep (stepCompleteCommunications);
    machine.start();
    machine.blockId = blockId;
    machine.channel = xyChannel;
    return true;
}

juce::String PresetManager::getXYClipboardName() const
{
    if (xyRecord.blockId == blockIdNone || ! xyRecord.hasAllParams (xyListChannel))
        return {};

    juce::String name;
    getBlockName (xyBlockId, name);
    return name + (xyChannel == 0 ? "-X" : "-Y");
}

bool PresetManager::requestXYPasteClipboard (juce::uint16 blockId, int channel)
{
    if (isBadBlock (blockId) || isBusy (xyClipboard) || xyRecord.blockId == blockIdNone ||
        ! xyRecord.hasAllParams (xyListChannel) || effectTypeOfBlock (blockId) != effectTypeOfBlock (xyRecord.blockId))
        return false;

    auto target = (juce::uint8) (channel != 0 ? 1 : 0);
    xyBlockId = blockId;
    xyChannel = target;

    int current = 0;
    getBlockXYState (blockId, current);

    auto& machine = beginXYScript (xyWriteCode);

    if (target != current)
        addSwitchSteps (machine, target);

    for (auto step : { stepXyPasteFromClipboard, stepSetParams, stepBlockPasteModifier, stepModifierQueryAllIds })
        machine.addStep (step);

    endXYWriteScript (machine, target, current);
    machine.start();
    machine.blockId = blockId;
    machine.channel = target;
    return true;
}

bool PresetManager::requestXYCopy (juce::uint16 blockId, int fromChannel, int toChannel)
{
    auto from = fromChannel != 0 ? 1 : 0;
    auto to = toChannel != 0 ? 1 : 0;

    if (isBadBlock (blockId) || from == to || isBusy (xyClipboard))
        return false;

    xyBlockId = blockId;
    xyChannel = (juce::uint8) to;

    int current = 0;
    getBlockXYState (blockId, current);

    auto& machine = beginXYScript (xyWriteCode);

    if (from != current)
    {
        addSwitchSteps (machine, from);
        machine.addStep (stepEffectParamDump);
    }

    addSwitchSteps (machine, to);
    machine.addStep (stepXyPasteFromState);
    machine.addStep (stepSetParams);

    endXYWriteScript (machine, to, current);
    machine.start();
    machine.blockId = blockId;
    machine.channel = (juce::uint8) from;
    return true;
}

bool PresetManager::requestXYSwap (juce::uint16 blockId)
{
    if (isBadBlock (blockId) || isBusy (xyClipboard))
        return false;

    // X goes through the clipboard, Y through the block's own record.
    xyRecord = EffectRecord();
    xyModifiers.clear();
    xyBlockId = blockId;
    xyChannel = xyListChannel = 0;

    int current = 0;
    getBlockXYState (blockId, current);

    auto& machine = beginXYScript (xyWriteCode);

    for (auto step : { 92, 25, 72, 61, 89, 93, 25, 72, 91, 92, 25, 74, 93, 25, 90, 74 })
        machine.addStep (step);

    if (current == 0)
        addSwitchSteps (machine, 0);

    for (auto step : { 25, 26, 94, 95, 1 })
        machine.addStep (step);

    machine.start();
    machine.blockId = blockId;
    machine.channel = 1;
    return true;
}

bool PresetManager::requestModifierValues (juce::uint16 blockId, const juce::Array<juce::uint16>& modifierIds)
{
    if (isBusy (modifierIdQueryValues))
        return false;

    auto& machine = startRequest (modifierIdQueryValues);
    machine.blockId = blockId;
    machine.modifierIds = modifierIds;
    return true;
}

bool PresetManager::requestSetTempo (juce::uint16 newTempo)
{
    if (isBusy (setTempo))
        return false;

    startRequest (setTempo).value = newTempo;
    return true;
}

bool PresetManager::requestPresetNames (juce::uint8 startBank)
{
    if (isBusy (refreshPresetNames))
        return false;

    auto& machine = startRequest (refreshPresetNames);
    machine.bank = startBank;
    machine.program = 127;
    return true;
}

bool PresetManager::requestCabNames (bool factory, bool user, bool scratchpad)
{
    if (isBusy (refreshCabNames))
        return false;

    auto& machine = getRequest (refreshCabNames);
    machine.clearSteps();
    machine.addStep (stepBeginCommunications);

    if (factory && user && scratchpad)
    {
        machine.addStep (stepGetCabNamesAll);
    }
    else
    {
        if (factory)
            machine.addStep (stepGetCabNamesFactory);
        if (user)
            machine.addStep (stepGetCabNamesUser);
        if (scratchpad)
            machine.addStep (stepGetCabNameScratchpad);
    }

    machine.addStep (stepCompleteCommunications);
    machine.start();
    return true;
}

bool PresetManager::requestCabName (juce::uint16 slot)
{
    if (isBusy (refreshCabName))
        return false;

    auto& machine = startRequest (refreshCabName);
    machine.cabSlot = slot;
    machine.value = slot;
    return true;
}

bool PresetManager::requestBlockStates()
{
    if (isBusy (queryBlockStates))
        return false;

    startRequest (queryBlockStates);
    return true;
}

bool PresetManager::requestManagePreset (juce::int32 presetNumber, const juce::MemoryBlock* presetData,
                                         const juce::String* presetName)
{
    int bank = 0, program = 0;

    if (isBusy (managePreset) || ! getPresetLocation (presetNumber, bank, program))
        return false;

    auto& machine = startRequest (managePreset);
    machine.enableSettleDelay();
    machine.clearSteps();

    for (auto step : { stepBeginCommunications, stepPresetRecall, stepWaitPatchnum })
        machine.addStep (step);

    if (presetData != nullptr && ! presetData->isEmpty())
    {
        machine.data = *presetData;

        for (auto step : { stepPresetPasteInit, stepPresetPasteCheck, stepWaitPatchnum })
            machine.addStep (step);
    }

    if (presetName != nullptr)
    {
        machine.presetName = *presetName;
        machine.addStep (stepPresetRename);
    }

    machine.addStep (stepPresetSave);
    machine.addStep (stepCompleteCommunications);

    machine.bank = (juce::uint8) bank;
    machine.program = (juce::uint8) program;
    sceneClipboard.reset();
    invalidateEffectModel (false);
    return true;
}

bool PresetManager::requestImportUserCab (juce::uint16 slot, const juce::MemoryBlock& cabData)
{
    if (isBusy (importUserCab))
        return false;

    auto& machine = startRequest (importUserCab);
    machine.cabSlot = slot;
    machine.data = cabData;
    return true;
}

bool PresetManager::requestGetPresetData (juce::uint16 slot)
{
    if (isBusy (getPresetDataCab))
        return false;

    startRequest (getPresetDataCab).cabSlot = slot;
    return true;
}

bool PresetManager::requestImportPresetCabBundle (juce::uint8 cabMask, const juce::Array<juce::MemoryBlock>& dataBlocks)
{
    if (isBusy (importPresetCabBundle) || dataBlocks.isEmpty())
        return false;

    auto& machine = startRequest (importPresetCabBundle);
    clearPendingData();
    machine.enableSettleDelay();

    auto firstScratchpad = getFirstScratchpadCabIndex();
    int n = 0;

    for (int bit = 0; bit < 4; ++bit)
    {
        if ((cabMask & (1 << bit)) == 0)
            continue;

        machine.paramWrites.add (
            { bundleCabParams[bit][0], bundleCabParams[bit][1], (juce::uint16) (firstScratchpad + n), 1 });
        ++machine.loopCount;
        ++n;
    }

    bundleMask = cabMask;
    bundleFlag = 1;
    machine.bank = machine.program = currentPresetLocation;
    bundleCabIndex = 0;
    bundleUserCabCount = getUserCabCount (getFirmware(), isSystemInfoValid() ? &getSystemInfo() : nullptr);
    operationData = dataBlocks.getReference (0);

    for (int i = 1; i < dataBlocks.size(); ++i)
        pendingEntries.add (new juce::MemoryBlock (dataBlocks.getReference (i)));

    return true;
}

bool PresetManager::requestSavePresetCabBundle (juce::uint8 bank, juce::uint8 program,
                                                const BundleCabTarget (&targets)[4])
{
    if (bundleFlag == 0 || isBusy (savePresetCabBundle))
        return false;

    auto& machine = startRequest (savePresetCabBundle);
    machine.bank = bank;
    machine.program = program;
    bundleSaves.clear();
    bundleSaveIndex = 0;

    auto firstScratchpad = getFirstScratchpadCabIndex();
    int n = 0;

    for (int cabPosition = 0; cabPosition < 4; ++cabPosition)
    {
        if ((bundleMask & (1 << cabPosition)) == 0)
            continue;

        auto blockId = bundleCabParams[cabPosition][0];
        int channel = 0;
        getBlockXYState (blockId, channel);
        EffectParamValue value;

        // Only a cab the block still points at (where the import put it) is saved.
        if (getEffectManager() != nullptr &&
            getEffectManager()->getParamValue (blockId, bundleCabParams[cabPosition][1], channel, value) &&
            (int) value.value == firstScratchpad + n)
        {
            auto& target = targets[cabPosition];

            if (target.user != 0)
            {
                machine.paramWrites.add ({ blockId, bundleCabParams[cabPosition][1],
                                           (juce::uint16) (getNumFactoryCabs() + target.slot), 1 });
                bundleSaves.add ({ n, target.slot });
            }
            else
            {
                machine.paramWrites.add (
                    { blockId, bundleCabParams[cabPosition][1], (juce::uint16) (firstScratchpad + target.slot), 1 });
                bundleSaves.add ({ n, (juce::uint16) (bundleUserCabCount + target.slot) });
            }

            ++machine.loopCount;
        }

        ++n;
    }

    return true;
}

bool PresetManager::requestSetLayout (juce::int32 layout, juce::uint16 a, juce::uint16 b)
{
    if (isBusy (ploverSetLayout))
        return false;

    auto& machine = startRequest (ploverSetLayout);
    machine.layout = layout < 0 ? (juce::int32) getCurrentScene() : layout;
    machine.layoutValueA = a;
    machine.layoutValueB = b;
    return true;
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
