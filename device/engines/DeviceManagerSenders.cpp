#include "device/engines/DeviceManager.h"

#include "device/engines/EngineDetail.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/BlockStateWord.h"
#include "device/wire/CabIrBlock.h"
#include "device/wire/ModelRules.h"
#include "device/wire/SysExBuilders.h"
#include "device/wire/SysExCollectors.h"
#include "device/wire/SysExParsers.h"
#include "model/Checksum.h"
#include "model/FileUtils.h"
#include "model/GlobalConfiguration.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"

using namespace EngineDetail;

namespace
{
constexpr juce::uint8 sceneQuery = 127;

constexpr juce::uint16 modifierInfoAll = 127;
constexpr int allModifierInfoReplies = 16;

constexpr int cabDumpReplies = 66;
} // namespace

//==============================================================================
// Senders

SysExRequest* DeviceManager::queueMessage (const juce::MidiMessage& message, int expectedReplies)
{
    if (link == nullptr)
        return nullptr;

    auto* request = new SysExRequest (requestTimeoutMs);
    request->setMessage (message);
    request->setExpectedCount (expectedReplies);
    request->setFlags (SysExRequest::flagKeepOwnership);
    request->setGuard (requestGuard);

    pending.push (request);
    link->queueRequest (request);
    return request;
}

SysExRequest* DeviceManager::queueEmpty (juce::uint8 function, juce::uint8 model)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (buildSysExMessage (message, function, nullptr, 0, model) == 0)
        return nullptr;

    return queueMessage (message);
}

SysExRequest* DeviceManager::queueEmpty (juce::uint8 function)
{
    return queueEmpty (function, currentSysExModel.load());
}

SysExRequest* DeviceManager::requestIdentity()
{
    return queueEmpty (SYSEX_WHO_AM_I, anyModel);
}

SysExRequest* DeviceManager::requestFirmwareVersion (juce::uint8 model)
{
    if (link == nullptr)
        return nullptr;

    currentSysExModel.store (model);
    return queueEmpty (SYSEX_QUERY_VERSION, model);
}

SysExRequest* DeviceManager::requestSystemInfo()
{
    return queueEmpty (SYSEX_GET_SYSINFO);
}

SysExRequest* DeviceManager::requestPresetNames (juce::uint8 high, juce::uint8 low)
{
    if (link == nullptr)
        return nullptr;

    auto presetCount = firmwareValid ? getPresetCount (firmware) : -1;

    if (presetCount < 0)
        return nullptr;

    juce::MidiMessage message;
    int expected = 1;

    if (! buildQueryNameByNum (message, high, low, presetCount, expected))
        return nullptr;

    return queueMessage (message, expected);
}

SysExRequest* DeviceManager::requestPresetNumber()
{
    return queueEmpty (SYSEX_PATCHNUM);
}

SysExRequest* DeviceManager::requestCurrentScene()
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildSetScene (message, sceneQuery); });
}

SysExRequest* DeviceManager::requestSetScene (juce::uint32 scene)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (! buildSetScene (message, scene & 0xFFFF))
        return nullptr;

    auto* request = queueMessage (message);
    link->setResyncSkipNext (true); // the unit answers a scene change with a resync of its own
    return request;
}

SysExRequest* DeviceManager::requestCabNames (juce::uint16 cabNumber)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 1;

    if (! buildCabName (message, cabNumber, expected))
        return nullptr;

    return queueMessage (message, expected);
}

SysExRequest* DeviceManager::requestGrid()
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildGetGrid (message); });
}

SysExRequest* DeviceManager::requestPresetName()
{
    return queueEmpty (SYSEX_QUERY_NAME);
}

SysExRequest* DeviceManager::requestCpuLoad()
{
    return queueEmpty (SYSEX_CPU_LOAD);
}

SysExRequest* DeviceManager::requestFlags()
{
    return queueEmpty (SYSEX_GET_FLAGS);
}

SysExRequest* DeviceManager::requestBlockStates()
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 2;
    return buildQueryStates (message, expected) ? queueMessage (message, expected) : nullptr;
}

SysExRequest* DeviceManager::requestMidiChannel()
{
    return queueEmpty (SYSEX_GET_MIDI_CHANNEL);
}

SysExRequest* DeviceManager::requestConfig()
{
    return queueEmpty (SYSEX_GET_CONFIG);
}

SysExRequest* DeviceManager::requestPlaceBlock (juce::uint8 cell, juce::uint16 blockId)
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildPlaceEffect (message, blockId, cell); });
}

SysExRequest* DeviceManager::requestSetDefaults (juce::uint16 blockId)
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildSetDefaults (message, blockId); });
}

SysExRequest* DeviceManager::requestMoveBlock (const MoveBlockRecord* record)
{
    if (link == nullptr || record == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildMoveEffect (message, record->direction, record->distance, record->cell) ? queueMessage (message)
                                                                                        : nullptr;
}

SysExRequest* DeviceManager::requestConnectBlocks (const CableConnection* record)
{
    if (link == nullptr || record == nullptr)
        return nullptr;

    juce::MidiMessage message;
    return buildConnectEffect (message, record->sourceCell, record->destinationCell, record->connect)
               ? queueMessage (message)
               : nullptr;
}

SysExRequest* DeviceManager::requestSetPresetName (const juce::String& name)
{
    if (link == nullptr)
        return nullptr;

    char field[sysExNameFieldSize];
    copyNameToField (name, field);

    juce::MidiMessage message;
    return buildSetName (message, field) ? queueMessage (message) : nullptr;
}

SysExRequest* DeviceManager::requestPatchDump (juce::uint8 bank, juce::uint8 program)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 1;
    return buildPatchDump (message, bank, program, expected) ? queueMessage (message, expected) : nullptr;
}

SysExRequest* DeviceManager::requestCabDump (juce::uint16 cabNumber)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = cabDumpReplies;
    return buildCabDump (message, cabNumber, expected) ? queueMessage (message, expected) : nullptr;
}

SysExRequest* DeviceManager::requestPatchPlusCabDump (juce::uint8 bank, juce::uint8 program)
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildPatchPlusCabDump (message, bank, program); });
}

SysExRequest* DeviceManager::requestParamInfo (juce::uint16 effectId, juce::uint16 paramId)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (! buildGetParamInfo (message, effectId, paramId))
        return nullptr;

    paramInfoEffectId = effectId;
    paramInfoParamId = paramId;
    return queueMessage (message);
}

SysExRequest* DeviceManager::requestParamStrings (juce::uint16 effectId, juce::uint16 paramId)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (! buildGetParamStrings (message, effectId, paramId))
        return nullptr;

    paramStringsEffectId = effectId;
    paramStringsParamId = paramId;
    paramStrings.clear();
    return queueMessage (message);
}

SysExRequest* DeviceManager::requestAllParams (juce::uint16 blockId)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 3;

    if (! buildGetAllParams (message, blockId, expected))
        return nullptr;

    allParamsBlockId = blockId;
    allParamsData.reset();
    return queueMessage (message, expected);
}

SysExRequest* DeviceManager::requestModifierDump (juce::uint32 id)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 3;

    if (! buildModifierDump (message, id, expected))
        return nullptr;

    modifierDumpId = id;

    for (auto& record : modifierDumpRecords)
        record = {};

    return queueMessage (message, expected);
}

SysExRequest* DeviceManager::requestParamDump (juce::uint16 blockId)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;
    int expected = 3;
    return buildParamDump (message, blockId, expected) ? queueMessage (message, expected) : nullptr;
}

SysExRequest* DeviceManager::requestSetParam (juce::uint16 blockId, juce::uint16 paramId, juce::uint32 value,
                                              juce::uint8 mode)
{
    return queueBuilt ([&] (juce::MidiMessage& message)
                       { return buildParamSet (message, blockId, paramId, value, mode); });
}

SysExRequest* DeviceManager::requestSetParamDirect (juce::uint16 blockId, juce::uint16 paramId, float value)
{
    return queueBuilt ([&] (juce::MidiMessage& message)
                       { return buildSetParamDirect (message, blockId, paramId, value); });
}

SysExRequest* DeviceManager::requestSetTempo (int bpm)
{
    return requestSetParam ((juce::uint16) blockIdControllers, (juce::uint16) tempoParamId,
                            (juce::uint32) juce::jlimit (lowestTempo, highestTempo, bpm), 1);
}

SysExRequest* DeviceManager::requestTempo()
{
    return queueEmpty (SYSEX_BPM);
}

SysExRequest* DeviceManager::requestSetXY (juce::uint16 blockId, juce::uint8 first, juce::uint8 second)
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildXY (message, blockId, first, second); });
}

SysExRequest* DeviceManager::requestEditEffect (juce::uint16 blockId)
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildEditEffect (message, blockId); });
}

SysExRequest* DeviceManager::requestGraph()
{
    return queueEmpty (SYSEX_GET_GRAPH);
}

SysExRequest* DeviceManager::requestGraphN (juce::uint8 index)
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildGetGraphN (message, index); });
}

SysExRequest* DeviceManager::requestModifierInfo (juce::uint16 id)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (! buildGetModifierInfo (message, id))
        return nullptr;

    return queueMessage (message, id == modifierInfoAll ? allModifierInfoReplies : 1);
}

SysExRequest* DeviceManager::requestSetModifier (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2,
                                                 juce::uint32 value, juce::uint8 mode)
{
    return queueBuilt ([&] (juce::MidiMessage& message)
                       { return buildModifierSet (message, blockId, selector1, selector2, value, mode); });
}

SysExRequest* DeviceManager::requestSetModParamDirect (juce::uint16 blockId, juce::uint16 selector1,
                                                       juce::uint16 selector2, float value)
{
    return queueBuilt ([&] (juce::MidiMessage& message)
                       { return buildSetModParamDirect (message, blockId, selector1, selector2, value); });
}

SysExRequest* DeviceManager::requestModifier (const ModifierValues& record)
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildModifier (message, record); });
}

SysExRequest* DeviceManager::requestBroadcastModifier (juce::uint8 first, juce::uint8 second)
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildBroadcastModifier (message, first, second); });
}

SysExRequest* DeviceManager::requestSavePreset (juce::uint8 high, juce::uint8 low)
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildSavePatch (message, high, low); });
}

SysExRequest* DeviceManager::requestRecallPreset (juce::uint8 high, juce::uint8 low)
{
    if (link == nullptr)
        return nullptr;

    juce::MidiMessage message;

    if (! buildRecallPatch (message, high, low))
        return nullptr;

    auto* request = queueMessage (message);
    link->setPresetChangeRequested (true); // the unit's coming preset report is our own doing
    return request;
}

SysExRequest* DeviceManager::requestPosition()
{
    return queueEmpty (SYSEX_GET_POSITION);
}

SysExRequest* DeviceManager::requestMute (juce::uint8 on)
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildMute (message, on); });
}

SysExRequest* DeviceManager::requestDeleteCab (juce::uint16 slot)
{
    return queueBuilt ([&] (juce::MidiMessage& message) { return buildDeleteCabIr (message, slot); });
}

SysExRequest* DeviceManager::requestEditorDisconnect()
{
    return queueEmpty (SYSEX_EDITOR_DISCONNECT);
}
