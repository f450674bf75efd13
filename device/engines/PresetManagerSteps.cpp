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
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"

using namespace EngineDetail;

namespace
{

constexpr int lastModifierValueIndex = ModifierRecord::numSettings - 1;

constexpr juce::uint8 noRecallBank1 = 0x7E;
constexpr juce::uint8 noRecallBank2 = 0x7F;

juce::uint32 readWord32 (const ModifierDumpRecord& record, int index)
{
    auto* b = record.bytes + index * 4;
    return (juce::uint32) b[0] | ((juce::uint32) b[1] << 8) | ((juce::uint32) b[2] << 16) | ((juce::uint32) b[3] << 24);
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
} // namespace

//==============================================================================
// Communication steps: one step of a running request per tick

bool PresetManager::runStep (PresetStateMachine& m)
{
    finishGuardAfterLastWrite (m);

    if (endsAfterGuardStop (m) || endsSaveAfterMove (m) || endsEarly (m))
        return true;

    auto* effectModel = getEffectManager();
    const auto step = m.getCurrentState();
    auto& grid = getPresetGrid();
    auto model = getConnectedModel();

    switch (step)
    {
        case stepBeginCommunications:
            // A scene run writes to the scene the window shows as it begins,
            // not as it was queued: a request before it may have set another.
            takeSceneShown (m);

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

        case stepPresetStoreName:
            // The name read last is the preset's the unit plays: once it has
            // changed preset since the save, the location's own is read.
            if (presetReportedSinceSave (m))
                setStepRequest (m, DeviceManager::requestPresetNames (m.bank, m.program));
            else
                setPresetName (m.bank * 128 + m.program, getCurrentPresetName());
            break;
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

            // Having taken the preset, the unit reports the one it plays.
            if (m.guard != nullptr)
                if (auto* unitLink = getLink())
                    m.guard->allow (m.guard->getMeant(), unitLink->getPresetReports().count);

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

        case stepPresetSave:
            watchSave (m);
            setStepRequest (m, DeviceManager::requestSavePreset (m.bank, m.program));
            break;

        case stepPresetRecall:
            if (m.bank != noRecallBank1 && m.bank != noRecallBank2)
            {
                auto* recall = DeviceManager::requestRecallPreset (m.bank, m.program);
                recallAwaitingReport = recallAwaitingReport || recall != nullptr;
                setStepRequest (m, recall);
            }
            break;

        case stepPresetBundleCopyPatch:
            m.bank = m.program = currentPresetLocation;
            copyBytes (m.data, operationData);
            break;

        case stepPresetBundleImportCab:
            if (bundleCabIndex < pendingEntries.size())
            {
                copyBytes (m.data, *pendingEntries[bundleCabIndex]);
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

        case stepEffectGetAllParams:
        {
            // Its answer is noted as the run's for the block; a query never
            // sent has none.
            const auto block = m.blockId;

            if (auto* request = DeviceManager::requestAllParams (block))
                setStepRequest (
                    m, request,
                    [this, block] (PresetStateMachine& mm)
                    { mm.noteBlockRead ({ block, ! getAllParamsData().isEmpty(), 0 }); },
                    noteRefusedBlockRead (m));
            break;
        }

        case stepModifierDump:
            setStepRequest (m, DeviceManager::requestModifierDump (m.blockId), {}, noteRefusedBlockRead (m));
            break;

        case stepBlockCopyToClipboard:
            blockClipboardId = m.blockId;
            blockClipboardData.setSize (0);
            blockClipboardModifiers.clear();

            if (effectModel != nullptr)
            {
                if (auto* record = effectModel->findEffect (m.blockId))
                    copyBytes (blockClipboardData, record->allParamsData);

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
                m.gridCursor = PresetGridIterator (cursor.grid, 0); // kept: the exports walk it again on Y
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
