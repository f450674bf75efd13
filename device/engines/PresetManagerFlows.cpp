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
#include "model/BlockLibraryManager.h"
#include "model/Clock.h"
#include "model/CopyBytes.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"

using namespace EngineDetail;

namespace
{
// The cab parameters of a Preset-Cab bundle, in the order of the cab mask's
// bits: (block, parameter) of cab 1 left, cab 1 right, cab 2 left, cab 2 right.
constexpr juce::uint16 bundleCabParams[4][2] = {
    { cabBlock1, 0 }, { cabBlock1, 2 }, { cabBlock2, 0 }, { cabBlock2, 2 }
};
} // namespace

//==============================================================================
// Compound flows: swaps, X/Y copies, managed presets and Preset-Cab bundles

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

bool PresetManager::requestManagePreset (juce::int32 presetNumber, const juce::MemoryBlock* presetData,
                                         const juce::String* presetName)
{
    int bank = 0, program = 0;

    if (isBusy (managePreset) || ! getPresetLocation (presetNumber, bank, program)
        || (presetName != nullptr && ! nameFieldKeepsCharacters (*presetName)))
        return false;

    if (presetData != nullptr && ! presetData->isEmpty() && ! acceptPresetData (*presetData, "Manage Preset"))
        return false;

    auto& machine = startRequest (managePreset);
    machine.enableSettleDelay();
    machine.clearSteps();

    for (auto step : { stepBeginCommunications, stepPresetRecall, stepWaitPatchnum })
        machine.addStep (step);

    if (presetData != nullptr && ! presetData->isEmpty())
    {
        copyBytes (machine.data, *presetData);

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

bool PresetManager::requestImportPresetCabBundle (juce::uint8 cabMask, const juce::Array<juce::MemoryBlock>& dataBlocks)
{
    if (isBusy (importPresetCabBundle) || dataBlocks.isEmpty() ||
        ! acceptPresetData (dataBlocks.getReference (0), "Import Preset-Cab Bundle"))
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
    copyBytes (operationData, dataBlocks.getReference (0));

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
