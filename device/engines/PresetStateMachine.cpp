#include "device/engines/PresetStateMachine.h"

#include "device/engines/CommStep.h"
#include "model/Clock.h"

void PresetStateMachine::reset()
{
    ZolStateMachine::reset();

    bank = program = 0;
    blockId = secondId = value = 0;
    directValue = 0.0f;
    writeMode = 1;
    muteValue = graphIndex = channel = 0;
    cell = moveDirection = moveDistance = 0;
    scene = startingScene = repeatCounter = cabSlot = 0;
    layout = 0;
    layoutValueA = layoutValueB = 0;

    paramWrites.clear();
    inserts.clear();
    xyWrites.clear();
    connections.clear();
    modifierRecords.clear();
    modifierWrites.clear();
    modifierDirectWrites.clear();
    modifierIds.clear();
    savedXYStates.clear();

    typeCounter = paramIndex = 0;
    modifierIdCounter = modifierValueIndex = 0;
    cellCounter = 0;
    gridCursor = PresetGridIterator (nullptr, 1);

    loopCounter = loopCount = 0;
    blockLibScanning = 0;
    blockReads.clear();

    rawPreset.clear();
    sceneRecord.reset();
    footswitchGrid = FootswitchGrid();
    data.setSize (0);

    delayEnabled = presetNumberArrived = delayTimerStarted = 0;
    delayStart = 0;
    delay = 0;

    earlyEnd = EarlyEnd::none;
    timedOutStep = 0;
    sceneReturn = SceneReturn::none;
    sceneShown = -1;
    statesSeenAtStart = 0;
    guard = nullptr;
    writeStop = {};
    saveSent = false;
    wrote = false;
    readAgainAfterEnd = false;
    meantName.clear();
}

bool PresetStateMachine::isMutedBeforeCursor() const
{
    bool muted = false;

    for (int i = 0; i < juce::jmin (stepIndex, steps.size()); ++i)
        muted = steps.getUnchecked (i) == stepMuteEnable || (muted && steps.getUnchecked (i) != stepMuteDisable);

    return muted;
}

const PresetStateMachine::BlockRead* PresetStateMachine::findBlockRead (juce::uint16 block) const
{
    for (auto& read : blockReads)
        if (read.blockId == block)
            return &read;

    return nullptr;
}

void PresetStateMachine::noteBlockRead (const BlockRead& read)
{
    for (auto& noted : blockReads)
    {
        if (noted.blockId == read.blockId)
        {
            noted = read;
            return;
        }
    }

    blockReads.add (read);
}

void PresetStateMachine::startDelayTimer()
{
    if (delayEnabled == 1 && delay != 0 && delayTimerStarted == 0)
    {
        delayStart = Clock::nowMs();
        delayTimerStarted = 1;
    }
}

bool PresetStateMachine::isDelayOver()
{
    if (delayEnabled != 1)
        return true;

    if (presetNumberArrived == 0 && delayTimerStarted != 0 && Clock::elapsedSince (delayStart) < delay)
        return false;

    presetNumberArrived = 0;
    delayTimerStarted = 0;
    delayStart = 0;
    return true;
}

bool PresetStateMachine::skipTo (juce::int32 stepId)
{
    for (int i = juce::jmax (0, stepIndex); i < steps.size(); ++i)
    {
        if (steps.getUnchecked (i) == stepId)
        {
            // Staying on the step keeps its failed attempts counted.
            if (i != stepIndex)
                attempts = 0;

            stepIndex = i;
            return true;
        }
    }

    return false;
}

void PresetStateMachine::advanceLoopEnd()
{
    if (loopCounter < loopCount)
    {
        for (int i = stepIndex - 1; i >= 0; --i)
        {
            if (steps[i] == stepLoopStart)
            {
                stepIndex = i + 1;
                return;
            }
        }
    }

    ZolStateMachine::advance();
}

void PresetStateMachine::advance()
{
    bool done = true;

    switch (getCurrentState())
    {
        case stepLoopEnd: advanceLoopEnd(); return;

        case stepGetCabNameScratchpad: done = cabSlot >= scratchpadCabReads; break;

        case stepEffectDeleteAll:
        case stepEffectInitializeAll:
        case stepPresetSetToX:
        case stepPresetSetToY:
        case stepPresetCsvXyRestore: done = cellCounter == 0; break;

        case stepEffectInsert: done = inserts.isEmpty(); break;
        case stepEffectSetXy: done = xyWrites.isEmpty(); break;
        case stepBlockConnect: done = connections.isEmpty(); break;
        case stepGetParamStrings:
        case stepGetParamInfo: done = typeCounter == 0; break;
        case stepBlockPasteModifier: done = modifierRecords.isEmpty(); break;
        case stepPresetParamDump: done = gridCursor.position == 0; break;
        case stepSetParams: done = paramWrites.isEmpty(); break;
        case stepScenePasteXy: done = sceneRecord.xyStates.isEmpty(); break;
        case stepScenePasteBypass: done = sceneRecord.bypassStates.isEmpty(); break;
        case stepModifierQueryAllIds: done = modifierIdCounter == 0; break;
        case stepModifierQueryAllValues: done = modifierIdCounter == 0 && modifierValueIndex == 0; break;
        case stepModifierQueryValues: done = modifierIds.isEmpty(); break;
        case stepSetModifier: done = modifierWrites.isEmpty(); break;
        case stepSetModifierParamDirect: done = modifierDirectWrites.isEmpty(); break;
        case stepBlockLibNext: done = blockLibScanning != 1; break;
        case stepWaitPatchnum: done = isDelayOver(); break;
        default: break;
    }

    if (done)
        ZolStateMachine::advance();
}
