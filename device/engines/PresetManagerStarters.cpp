#include "device/engines/PresetManager.h"
#include "device/wire/SysExBuilders.h"

#include "device/engines/CommStep.h"
#include "device/engines/EngineDetail.h"
#include "device/engines/WaitCursorFlag.h"
#include "device/engines/WaitIndicator.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/CabIrBlock.h"
#include "device/wire/ModelRules.h"
#include "device/wire/PatchDump.h"
#include "device/wire/SysExCodec.h"
#include "model/BlockLibraryManager.h"
#include "model/Clock.h"
#include "model/CopyBytes.h"
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
// Request starters

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
    auto current = getChosenPresetNumber();
    juce::String text, bankText, presetText;

    if (slot < 1 || slot > presetsPerBank || ! formatPresetNumber (current, {}, text, bankText, presetText))
        return false;

    juce::uint16 number = 0;

    if (! parsePresetNumberText (text.upToFirstOccurrenceOf ("-", false, false) + "-" + juce::String (slot), number))
        return false;

    return choosePreset (number);
}

bool PresetManager::choosePreset (juce::uint16 presetNumber)
{
    if (requestChangePreset (presetNumber, false))
    {
        waitingPresetChoice = -1;
        return true;
    }

    int bank = 0, program = 0;

    if (! getPresetLocation (presetNumber, bank, program))
        return false;

    // Where the unit goes without the choice remembered before.
    waitingPresetChoice = -1;

    if (getChosenPresetNumber() != presetNumber)
        waitingPresetChoice = presetNumber;

    // The tick may have slowed down; it is needed again to start the choice.
    if (waitingPresetChoice >= 0 && requestStarted)
        requestStarted();

    return true;
}

juce::int32 PresetManager::getChosenPresetNumber()
{
    if (waitingPresetChoice >= 0)
        return waitingPresetChoice;

    const auto& change = getRequest (changePreset);

    if (change.isRunning())
        return change.bank * 128 + change.program;

    return getCurrentPresetNumber();
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

bool PresetManager::requestOutputsBackOn()
{
    auto* unitLink = getLink();

    if (unitLink == nullptr || ! unitLink->areOutputsMuted() || isBusy (muteOutputs))
        return false;

    startRequest (muteOutputs).muteValue = 1;
    return true;
}

bool PresetManager::requestCurrentPresetNumber()
{
    if (isBusy (queryCurrentPresetNumber))
        return false;

    startRequest (queryCurrentPresetNumber);
    return true;
}

bool PresetManager::requestRefreshPreset()
{
    if (! isBusy (queryCurrentPresetNumber))
        return startPresetNumberCheck (false);

    // The question under way answers the refresh too; asked for, its failure
    // is told, and the preset is read again.
    if (presetNumberWaiters.empty())
        quietPresetNumberCheck = false;

    keepPresetIfSame = false;

    return true;
}

void PresetManager::whenPresetNumberConfirmed (std::function<void (bool confirmed)> action)
{
    if (! presetNumberInDoubt)
    {
        if (action)
            action (true);
        return;
    }

    waitForPresetNumber (
        [action = std::move (action)] (const PresetNumberAnswer& answer)
        {
            if (action)
                action (answer.kind != PresetNumberAnswer::Kind::none);
        },
        false);
}

void PresetManager::checkPresetNumber (std::function<void (const PresetNumberAnswer&)> action)
{
    waitForPresetNumber (std::move (action), true);
}

void PresetManager::waitForPresetNumber (std::function<void (const PresetNumberAnswer&)> action, bool beforeWrite)
{
    // What the window shows as the command is given: while it moves to
    // another preset, still the one it leaves. A command given while an
    // earlier one waits for the same answer is told it as well: neither is
    // dropped.
    PresetNumberWaiter waiter;
    waiter.givenWhileMoving = isPresetMoveUnderWay();
    waiter.beforeWrite = beforeWrite;
    waiter.answer.shown = waiter.givenWhileMoving ? presetMovedFrom : getCurrentPresetNumber();
    waiter.answer.shownName = waiter.givenWhileMoving ? presetMovedFromName : getCurrentPresetName();
    waiter.action = std::move (action);
    presetNumberWaiters.push_back (std::move (waiter));

    answerAfterLoad = answerAfterLoad || beforeWrite;

    if (isBusy (queryCurrentPresetNumber))
    {
        // The question under way answers for the action; its failure is the action's to tell.
        quietPresetNumberCheck = true;
        return;
    }

    startPresetNumberCheck (true);
    keepPresetIfSame = beforeWrite && ! presetNumberInDoubt;
}

bool PresetManager::isPresetMoveUnderWay()
{
    return presetMovedFrom >= 0 && presetMovedFrom != getCurrentPresetNumber();
}

bool PresetManager::startPresetNumberCheck (bool quiet)
{
    if (isBusy (queryCurrentPresetNumber))
        return false;

    startRequest (queryCurrentPresetNumber);
    checkingPresetNumber = true;
    reportedWhileChecking = false;
    quietPresetNumberCheck = quiet;
    return true;
}

void PresetManager::endPresetNumberCheck (const PresetStateMachine& machine)
{
    using Kind = PresetNumberAnswer::Kind;
    checkingPresetNumber = false;
    quietPresetNumberCheck = false;
    keepPresetIfSame = false;
    const auto afterLoad = std::exchange (answerAfterLoad, false);
    const auto playing = std::exchange (answeredPresetNumber, -1);
    const auto reported = std::exchange (reportedWhileChecking, false);
    auto waiters = std::exchange (presetNumberWaiters, {});

    if (waiters.empty())
        return;

    const bool answered =
        machine.getResult() == ZolStateMachine::resultCompleted && ! presetNumberInDoubt && playing >= 0;
    // Nothing shown is the unit's while the window moves to another preset,
    // whether the move began before the command, with this answer or with a
    // report of the unit's while it was asked.
    const bool windowMoving = isPresetMoveUnderWay();
    const bool moving = windowMoving || reported;
    bool another = false;

    for (auto& waiter : waiters)
    {
        auto& answer = waiter.answer;
        answer.playing = playing;
        answer.reportedByUnit = reported && ! windowMoving && ! waiter.givenWhileMoving;

        if (! answered)
            answer.kind = Kind::none;
        else if (playing == answer.shown && ! moving && ! waiter.givenWhileMoving)
            answer.kind = Kind::same;
        else
            answer.kind = Kind::another;

        if (answer.kind == Kind::same)
            answer.playingName = answer.shownName;

        another = another || answer.kind == Kind::another;
    }

    // Another preset is named as the window will show it. A write that an
    // action starts on "same" holds only while the unit reports no change
    // after this answer.
    auto tell = [this, waiters = std::move (waiters)] (bool loaded) mutable
    {
        for (auto& waiter : waiters)
        {
            if (waiter.answer.kind == Kind::another && loaded && getCurrentPresetNumber() == waiter.answer.playing)
                waiter.answer.playingName = getCurrentPresetName();

            const bool bindsWrite = waiter.beforeWrite && waiter.answer.kind == Kind::same;
            const juce::ScopedValueSetter<const PresetNumberWaiter*> told (sameAnswerTold,
                                                                           bindsWrite ? &waiter : nullptr);

            if (waiter.action)
                waiter.action (waiter.answer);
        }
    };

    if (another && afterLoad && getRequest (loadPreset).isRunning())
    {
        whenLoadEnds (std::move (tell));
        return;
    }

    tell (! getRequest (loadPreset).isRunning());
}

bool PresetManager::isLoadComing() const
{
    auto* unitLink = getLink();
    return getRequest (loadPreset).isRunning() || (unitLink != nullptr && unitLink->hasPresetChange());
}

void PresetManager::whenLoadEnds (std::function<void (bool loaded)> action)
{
    afterAnsweredLoad = [earlier = std::exchange (afterAnsweredLoad, {}), action = std::move (action)] (bool loaded)
    {
        if (earlier)
            earlier (loaded);

        action (loaded);
    };
}

void PresetManager::bindWriteToAnswer (const PresetStateMachine& machine, NamedRequest which)
{
    static const NamedRequest writes[] = { savePreset,        fileSnapshot,
                                           fileExportToSysex, fileExportToTemplates,
                                           fileExportCsv,     exportPresetCabBundle };

    // An earlier run of the machine is over.
    answeredWrites.erase (std::remove_if (answeredWrites.begin(), answeredWrites.end(),
                                          [&] (const AnsweredWrite& write) { return write.machine == &machine; }),
                          answeredWrites.end());

    if (sameAnswerTold == nullptr || std::find (std::begin (writes), std::end (writes), which) == std::end (writes))
        return;

    AnsweredWrite write;
    write.machine = &machine;
    write.run = machine.getRunCount();
    write.waiter = *sameAnswerTold;
    answeredWrites.push_back (std::move (write));
}

std::vector<PresetManager::AnsweredWrite>::iterator PresetManager::findAnsweredWrite (const PresetStateMachine& machine)
{
    return std::find_if (answeredWrites.begin(), answeredWrites.end(),
                         [&] (const AnsweredWrite& write)
                         { return write.machine == &machine && write.run == machine.getRunCount(); });
}

void PresetManager::endAnsweredWrite (const PresetStateMachine& machine)
{
    const auto write = findAnsweredWrite (machine);

    if (write == answeredWrites.end())
        return;

    // A save that went out is told by what its location holds now.
    const bool moved = getPresetMovedToBeforeSave (machine) >= 0;
    auto answer = write->waiter.answer;
    auto action = std::move (write->waiter.action);
    answeredWrites.erase (write);

    if (! moved || ! action)
        return;

    // Told as the question tells another preset: named as the window shows
    // it once loaded.
    auto* unitLink = getLink();
    answer.kind = PresetNumberAnswer::Kind::another;
    answer.playing = unitLink != nullptr ? unitLink->getPresetReports().last : machine.writeStop.movedTo;
    answer.playingName.clear();
    answer.reportedByUnit = true;

    auto tell = [this, answer, action = std::move (action)] (bool loaded) mutable
    {
        if (loaded && getCurrentPresetNumber() == answer.playing)
            answer.playingName = getCurrentPresetName();

        action (answer);
    };

    if (isLoadComing())
        whenLoadEnds (std::move (tell));
    else
        tell (true);
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

bool PresetManager::requestPastePreset (const juce::MemoryBlock& presetData, bool settle,
                                        const juce::String& refusalTitle)
{
    if (isBusy (pastePreset) || presetData.isEmpty() || ! acceptPresetData (presetData, refusalTitle))
        return false;

    auto& machine = startRequest (pastePreset);
    machine.bank = machine.program = currentPresetLocation;
    copyBytes (machine.data, presetData);

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

bool PresetManager::requestEffectGraph (juce::uint16 blockId, juce::uint8 graphIndex)
{
    if (isBadBlock (blockId) || isBusy (queryEffectGraphIndex))
        return false;

    auto& machine = getRequest (queryEffectGraphIndex);
    machine.clearSteps();
    machine.addStep (stepBeginCommunications);
    machine.addStep (stepEffectGetGraphn);
    machine.addStep (stepCompleteCommunications);
    machine.start();
    machine.blockId = blockId;
    machine.graphIndex = graphIndex;
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

    const auto& given = blockData != nullptr ? *blockData : blockClipboardData;

    // Nothing was copied: there is nothing to paste.
    if (given.isEmpty())
        return false;

    // The block clipboard and library entries keep the block's raw words;
    // the unit takes them as an effect dump.
    juce::MemoryBlock wrapped;
    const bool raw = ! given.isEmpty() && static_cast<const juce::uint8*> (given.getData())[0] != 0xF0;

    if (raw && ! buildEffectDump (wrapped, blockId, given))
        return false;

    const auto& source = raw ? wrapped : given;
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

bool PresetManager::requestImportUserCab (juce::uint16 slot, const juce::MemoryBlock& cabData)
{
    if (isBusy (importUserCab))
        return false;

    auto& machine = startRequest (importUserCab);
    machine.cabSlot = slot;
    copyBytes (machine.data, cabData);
    return true;
}

bool PresetManager::requestGetPresetData (juce::uint16 slot)
{
    if (isBusy (getPresetDataCab))
        return false;

    startRequest (getPresetDataCab).cabSlot = slot;
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
