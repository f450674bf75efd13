#include "tests/support/SimulatedKestrel.h"

#include "device/wire/SysExCodec.h"
#include "model/Checksum.h"
#include "model/IdTables.h"

#include <cstring>

namespace
{
using juce::uint16;
using juce::uint32;
using juce::uint8;

constexpr uint8 modelAny = 0x7F;              // SYSEX_WHO_AM_I goes to every model
constexpr int locationCurrent = 127;          // bank and program 127: the edit buffer
constexpr uint32 cabNumberAllFactory = 16382; // SYSEX_CABNAME: every factory cab
constexpr uint32 cabNumberAllUser = 16381;    // SYSEX_CABNAME: every user cab
constexpr int sceneQuery = 127;               // SYSEX_SET_SCENE: ask without changing
constexpr int layoutKeysPerLayout = 16;
constexpr int cabDumpDataMessages = 64; // 64 x 32 values: 2048 per cab

uint32 readField (const juce::MidiMessage& message, const PayloadLayout* layout, uint32 fieldId)
{
    return readSysExField (message, layout, fieldId);
}

uint32 floatBits (float value)
{
    uint32 bits = 0;
    std::memcpy (&bits, &value, sizeof (bits));
    return bits;
}

float bitsToFloat (uint32 bits)
{
    float value = 0.0f;
    std::memcpy (&value, &bits, sizeof (value));
    return value;
}

uint16 floatToValue (float value)
{
    return (uint16) juce::jlimit (0, 65535, juce::roundToInt (value));
}

// The unit's name fields: 32 bytes of 7-bit characters, zero-filled behind
// the name (names arrive blank-padded and are kept without trailing blanks).
void fillNameField (char* field, const juce::String& name)
{
    for (int i = 0; i < sysExNameFieldSize; ++i)
        field[i] = (char) (i < name.length() ? (name[i] & 0x7F) : 0);
}

// The 2048 values of a cab's impulse response: distinct per cab and place.
uint32 cabValue (int cabNumber, int index)
{
    return (uint32) cabNumber * 0x10000u + (uint32) index * 3u + 1u;
}

bool isCompleteSysEx (const juce::MidiMessage& message)
{
    auto* bytes = message.getRawData();
    const int size = message.getRawDataSize();
    return bytes != nullptr && size >= sysExFrameOverhead && bytes[0] == sysExStartByte &&
           bytes[size - 1] == sysExEndByte && std::memcmp (bytes, sysExHeaderPrefix, 4) == 0;
}
} // namespace

//==============================================================================
class SimulatedKestrel::AutoPump : public juce::Thread
{
public:
    explicit AutoPump (SimulatedKestrel& ownerToPump)
        : juce::Thread ("SimulatedKestrel pump")
        , owner (ownerToPump)
    {
    }

    void run() override
    {
        while (! threadShouldExit())
        {
            owner.pump();
            wait (1);
        }
    }

private:
    SimulatedKestrel& owner;
};

//==============================================================================
SimulatedKestrel::SimulatedKestrel (VirtualMidiBackend& backendToUse, const juce::String& name)
    : backend (backendToUse)
    , deviceName (name)
{
    presets.reserve ((size_t) presetCount);

    for (int i = 0; i < presetCount; ++i)
        presets.push_back (SimulatedPreset::makeFactory (i));

    editBuffer = presets[0];
    setCabCounts (factoryCabs, userCabs);

    buildDispatchTable();

    channel.setDeliver ([this] (const juce::MidiMessage& message) { backend.pushToInput (deviceName, message); });
    backend.addDevice (deviceName);
    backend.setOutputHandler (deviceName, [this] (const juce::MidiMessage& message) { receive (message); });
}

SimulatedKestrel::~SimulatedKestrel()
{
    stopAutoPump();
    backend.setOutputHandler (deviceName, {});
    channel.setDeliver ({});
}

void SimulatedKestrel::buildDispatchTable()
{
    dispatch = {
        { SYSEX_WHO_AM_I, &SimulatedKestrel::handleWhoAmI },
        { SYSEX_PARAM_DUMP, &SimulatedKestrel::handleParamDump },
        { SYSEX_PARAM_SET, &SimulatedKestrel::handleParamSet },
        { SYSEX_PATCH_DUMP, &SimulatedKestrel::handlePatchDump },
        { SYSEX_PLACE_EFFECT, &SimulatedKestrel::handlePlaceEffect },
        { SYSEX_CONNECT_EFFECT, &SimulatedKestrel::handleConnectEffect },
        { SYSEX_MODIFIER_SET, &SimulatedKestrel::handleModifierSet },
        { SYSEX_QUERY_VERSION, &SimulatedKestrel::handleQueryVersion },
        { SYSEX_SET_NAME, &SimulatedKestrel::handleSetName },
        { SYSEX_QUERY_STATES, &SimulatedKestrel::handleQueryStates },
        { SYSEX_QUERY_NAME, &SimulatedKestrel::handleQueryName },
        { SYSEX_XY, &SimulatedKestrel::handleXY },
        { SYSEX_CABNAME, &SimulatedKestrel::handleCabName },
        { SYSEX_CPU_LOAD, &SimulatedKestrel::handleCpuLoad },
        { SYSEX_PATCHNUM, &SimulatedKestrel::handlePatchNumber },
        { SYSEX_QUERY_NAME_BY_NUM, &SimulatedKestrel::handleQueryNameByNumber },
        { SYSEX_GET_PARAM_INFO, &SimulatedKestrel::handleGetParamInfo },
        { SYSEX_GET_MIDI_CHANNEL, &SimulatedKestrel::handleGetMidiChannel },
        { SYSEX_GET_MODIFIER_INFO, &SimulatedKestrel::handleGetModifierInfo },
        { SYSEX_CAB_DUMP, &SimulatedKestrel::handleCabDump },
        { SYSEX_SAVE_PATCH, &SimulatedKestrel::handleSavePatch },
        { SYSEX_GET_ALL_PARAMS, &SimulatedKestrel::handleGetAllParams },
        { SYSEX_GET_GRID, &SimulatedKestrel::handleGetGrid },
        { SYSEX_SET_DEFAULTS, &SimulatedKestrel::handleSetDefaults },
        { SYSEX_LOOPER_STATE, &SimulatedKestrel::handleLooperState },
        { SYSEX_MOVE_EFFECT, &SimulatedKestrel::handleMoveEffect },
        { SYSEX_GET_PARAM_STRINGS, &SimulatedKestrel::handleGetParamStrings },
        { SYSEX_SET_SCENE, &SimulatedKestrel::handleSetScene },
        { SYSEX_GET_FLAGS, &SimulatedKestrel::handleGetFlags },
        { SYSEX_MODIFIER_DUMP, &SimulatedKestrel::handleModifierDump },
        { SYSEX_MODIFIER, &SimulatedKestrel::handleModifier },
        { SYSEX_SET_PARAM_DIRECT, &SimulatedKestrel::handleSetParamDirect },
        { SYSEX_BPM, &SimulatedKestrel::handleBpm },
        { SYSEX_GET_GRAPH, &SimulatedKestrel::handleGetGraph },
        { SYSEX_GET_GRAPHN, &SimulatedKestrel::handleGetGraph },
        { SYSEX_GET_CONFIG, &SimulatedKestrel::handleGetConfig },
        { SYSEX_EDIT_EFFECT, &SimulatedKestrel::handlePlainCommand },
        { SYSEX_BROADCAST_MODIFIER, &SimulatedKestrel::handleBroadcastModifier },
        { SYSEX_GET_POSITION, &SimulatedKestrel::handleGetPosition },
        { SYSEX_SET_MODPARAM_DIRECT, &SimulatedKestrel::handleSetModParamDirect },
        { SYSEX_RECALL_PATCH, &SimulatedKestrel::handleRecallPatch },
        { SYSEX_MUTE, &SimulatedKestrel::handlePlainCommand },
        { SYSEX_CONTROL_IRCAP, &SimulatedKestrel::handlePlainCommand },
        { SYSEX_DELETE_CABIR, &SimulatedKestrel::handleDeleteCab },
        { SYSEX_EDITOR_DISCONNECT, &SimulatedKestrel::handlePlainCommand },
        { SYSEX_LAYOUT_SET, &SimulatedKestrel::handleLayoutSet },
        { SYSEX_PATCH_PLUS_CAB_DUMP, &SimulatedKestrel::handlePatchPlusCabDump },
        { SYSEX_GET_SYSINFO, &SimulatedKestrel::handleGetSysInfo },
        { SYSEX_FSGRID, &SimulatedKestrel::handleFootswitchGrid },
        { SYSEX_PATCH_START, &SimulatedKestrel::handlePatchStart },
        { SYSEX_PATCH_DATA, &SimulatedKestrel::handlePatchData },
        { SYSEX_PATCH_END, &SimulatedKestrel::handlePatchEnd },
        { SYSEX_CABIR_START, &SimulatedKestrel::handleCabIrMessage },
        { SYSEX_CABIR_DATA, &SimulatedKestrel::handleCabIrMessage },
        { SYSEX_CABIR_END, &SimulatedKestrel::handleCabIrMessage },
    };
}

//==============================================================================
void SimulatedKestrel::receive (const juce::MidiMessage& message)
{
    {
        const juce::ScopedLock logging (logLock);
        received.add (message);
    }

    // A frame that is not whole, or whose checksum is wrong, is ignored.
    if (! isCompleteSysEx (message))
        return;

    auto* bytes = message.getRawData();
    const int size = message.getRawDataSize();

    if (calcSysExChecksum (bytes, (size_t) size - 2) != bytes[size - 2])
        return;

    const int function = bytes[sysExFunctionOffset];
    const uint8 addressedModel = bytes[sysExModelOffset];

    const juce::ScopedLock sending (sendLock);
    std::vector<Outgoing> toSend;

    {
        const juce::ScopedLock state (stateLock);

        if (addressedModel != reportedModel && ! (function == SYSEX_WHO_AM_I && addressedModel == modelAny))
            return;

        auto& fault = faults[function];

        if (fault.silent)
            return;

        handlingFunction = function;

        if (fault.errorResult != resultOk)
        {
            replyStatus (fault.errorResult);
        }
        else
        {
            auto handler = dispatch.find (function);

            if (handler != dispatch.end())
                (this->*(handler->second)) (message);
        }

        handlingFunction = -1;
        toSend.swap (outbox);
    }

    for (auto& out : toSend)
        channel.send (out.message, out.delayMs, out.corrupt);
}

juce::MidiMessage SimulatedKestrel::frame (uint8 function, const juce::MemoryBlock& payload) const
{
    juce::MidiMessage message;
    buildSysExMessage (message, function, payload, reportedModel);
    return message;
}

void SimulatedKestrel::reply (const juce::MidiMessage& message)
{
    Outgoing out;
    out.message = message;

    auto fault = faults.find (handlingFunction);

    if (fault != faults.end())
    {
        out.delayMs = fault->second.delayMs;

        if (fault->second.corruptCount > 0)
        {
            out.corrupt = true;
            --fault->second.corruptCount;
        }
    }

    outbox.push_back (std::move (out));
}

void SimulatedKestrel::replyStatus (uint8 result)
{
    juce::MidiMessage message;
    buildStatusMessage (message, (uint8) handlingFunction, result, reportedModel);
    reply (message);
}

// Sends a message of the unit's own accord, with the faults set for its function.
void SimulatedKestrel::queueUnsolicited (const juce::MidiMessage& message)
{
    const juce::ScopedLock sending (sendLock);
    std::vector<Outgoing> toSend;

    {
        const juce::ScopedLock state (stateLock);
        auto* bytes = message.getRawData();
        handlingFunction = message.getRawDataSize() > sysExFunctionOffset ? bytes[sysExFunctionOffset] : -1;
        reply (message);
        handlingFunction = -1;
        toSend.swap (outbox);
    }

    for (auto& out : toSend)
        channel.send (out.message, out.delayMs, out.corrupt);
}

//==============================================================================
// Shared message builders (under stateLock).

namespace
{
juce::MidiMessage numbers (uint8 function, const PayloadLayout* layout, std::initializer_list<uint32> values,
                           uint8 model)
{
    juce::MidiMessage message;
    const bool built = buildSysExByLayout (message, function, layout, values, model);
    jassert (built);
    juce::ignoreUnused (built);
    return message;
}

juce::MidiMessage numberList (uint8 function, const PayloadLayout* layout, const std::vector<uint32>& values,
                              uint8 model)
{
    juce::MidiMessage message;
    const bool built = buildSysExByLayout (message, function, layout, values.data(), values.size(), model);
    jassert (built);
    juce::ignoreUnused (built);
    return message;
}
} // namespace

SimulatedPreset* SimulatedKestrel::findStoredPreset (int bank, int program)
{
    if (bank == locationCurrent && program == locationCurrent)
        return &editBuffer;

    const int number = bank * 128 + program;

    if (bank > 127 || program > 127 || ! juce::isPositiveAndBelow (number, presetCount))
        return nullptr;

    return &presets[(size_t) number];
}

void SimulatedKestrel::loadPreset (int presetNumber)
{
    currentPreset = presetNumber;
    editBuffer = presets[(size_t) presetNumber];
    modified = false;
}

juce::MidiMessage SimulatedKestrel::buildPresetNumberMessage() const
{
    return numbers (SYSEX_PATCHNUM, getReplyLayout (SYSEX_PATCHNUM, model),
                    { (uint32) currentPreset >> 7, (uint32) currentPreset & 0x7F }, reportedModel);
}

juce::MidiMessage SimulatedKestrel::buildStatesMessage() const
{
    juce::MidiMessage message;
    buildQueryStatesReply (message, editBuffer.getStateWords(), reportedModel);
    return message;
}

juce::MidiMessage SimulatedKestrel::buildSceneMessage() const
{
    return numbers (SYSEX_SET_SCENE, singleByteLayout, { (uint32) editBuffer.scene }, reportedModel);
}

juce::MidiMessage SimulatedKestrel::buildParamReply (int blockId, int paramId, uint16 value) const
{
    EffectParamValue param;
    param.blockId = (uint16) blockId;
    param.paramId = (uint16) paramId;
    param.value = value;
    param.text = juce::String (value);

    juce::MidiMessage message;
    ::buildParamReply (message, SYSEX_PARAM_SET, param, reportedModel);
    return message;
}

juce::MidiMessage SimulatedKestrel::buildCabNameReply (int flatSlot) const
{
    CabNameRecord record;
    record.slot = (uint32) flatSlot;
    char field[sysExNameFieldSize];
    fillNameField (field, cabs[(size_t) flatSlot].name);
    std::memcpy (record.name, field, sizeof (record.name));
    record.format = cabs[(size_t) flatSlot].format;

    juce::MidiMessage message;
    ::buildCabNameReply (message, record, reportedModel);
    return message;
}

void SimulatedKestrel::replyPresetDump (const SimulatedPreset& preset, int bank, int program)
{
    const auto words = preset.toWords();
    juce::MidiMessage message;

    buildPatchStart (message, (uint32) bank, (uint32) program, (uint32) words.size(), reportedModel);
    reply (message);

    for (size_t i = 0; i < words.size(); i += patchDataWords)
    {
        buildPatchData (message, words.data() + i, patchDataWords, reportedModel);
        reply (message);
    }

    buildPatchEnd (message, xorWords16 (words.data(), words.size()), reportedModel);
    reply (message);
}

void SimulatedKestrel::replyCabDump (int cabNumber)
{
    juce::MidiMessage message;
    buildCabIrStart (message, (uint32) cabNumber, 0, reportedModel);
    reply (message);

    uint32 check = 0;

    for (int m = 0; m < cabDumpDataMessages; ++m)
    {
        uint32 values[cabIrDataValues];

        for (int i = 0; i < cabIrDataValues; ++i)
        {
            values[i] = cabValue (cabNumber, m * cabIrDataValues + i);
            check ^= values[i];
        }

        buildCabIrData (message, values, cabIrDataValues, reportedModel);
        reply (message);
    }

    reply (numbers (SYSEX_CABIR_END, irEndLayout, { check }, reportedModel));
}

//==============================================================================
// Identity and system.

void SimulatedKestrel::handleWhoAmI (const juce::MidiMessage&)
{
    replyStatus (resultOk);
}

void SimulatedKestrel::handleQueryVersion (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_QUERY_VERSION, queryVersionReplyLayout,
                    { (uint32) firmwareMajor, (uint32) firmwareMinor, 0, 0, 0, 0 }, reportedModel));
}

void SimulatedKestrel::handleGetSysInfo (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_GET_SYSINFO, sysInfoReplyLayout,
                    { 1, (uint32) factoryCabs, (uint32) userCabs, (uint32) scratchpadCabCount }, reportedModel));
}

void SimulatedKestrel::handleGetMidiChannel (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_GET_MIDI_CHANNEL, singleByteLayout, { (uint32) midiChannel }, reportedModel));
}

void SimulatedKestrel::handleCpuLoad (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_CPU_LOAD, singleByteLayout, { (uint32) cpuLoad }, reportedModel));
}

void SimulatedKestrel::handleGetConfig (const juce::MidiMessage& message)
{
    const auto key = readField (message, singleWordLayout, 0);
    reply (numbers (SYSEX_GET_CONFIG, configReplyLayout, { key, (uint32) configValue }, reportedModel));
}

void SimulatedKestrel::handleGetPosition (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_GET_POSITION, singleByteLayout, { 0 }, reportedModel));
}

void SimulatedKestrel::handleLooperState (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_LOOPER_STATE, twoByteReplyLayout, { (uint32) looperState[0], (uint32) looperState[1] },
                    reportedModel));
}

void SimulatedKestrel::handlePlainCommand (const juce::MidiMessage&)
{
    replyStatus (resultOk);
}

//==============================================================================
// The current preset.

void SimulatedKestrel::handlePatchNumber (const juce::MidiMessage&)
{
    reply (buildPresetNumberMessage());
}

void SimulatedKestrel::handleSetScene (const juce::MidiMessage& message)
{
    const int scene = (int) readField (message, singleByteLayout, 0);

    if (scene == sceneQuery)
    {
        reply (buildSceneMessage());
        return;
    }

    if (! juce::isPositiveAndBelow (scene, SimulatedPreset::sceneCount))
    {
        replyStatus (resultBadValue);
        return;
    }

    editBuffer.scene = scene;
    reply (buildSceneMessage());

    if (resyncAfterScene)
        reply (frame (SYSEX_RESYNC, {}));
}

void SimulatedKestrel::handleQueryStates (const juce::MidiMessage&)
{
    reply (buildStatesMessage());
    reply (buildSceneMessage());
}

void SimulatedKestrel::handleGetGrid (const juce::MidiMessage&)
{
    std::vector<uint32> pairs;

    for (auto& cell : editBuffer.cells)
    {
        pairs.push_back (cell.blockId);
        pairs.push_back (cell.inputMask);
    }

    reply (numberList (SYSEX_GET_GRID, gridReplyLayout, pairs, reportedModel));
}

void SimulatedKestrel::handleQueryName (const juce::MidiMessage&)
{
    char field[sysExNameFieldSize];
    fillNameField (field, editBuffer.name);

    juce::MidiMessage out;
    buildQueryNameReply (out, field, reportedModel);
    reply (out);
}

void SimulatedKestrel::handleSetName (const juce::MidiMessage& message)
{
    const auto offset = getSysExFieldOffset (setNameRequestLayout, 0);
    const auto width = getSysExFieldWidth (setNameRequestLayout, 0);

    if ((int) (offset + width) > message.getRawDataSize() - 2)
    {
        replyStatus (resultBadValue);
        return;
    }

    juce::String name;

    for (uint32 i = 0; i < width; ++i)
    {
        const auto c = message.getRawData()[offset + i];

        if (c == 0)
            break;

        name += juce::String::charToString ((juce::juce_wchar) c);
    }

    editBuffer.name = name.trimEnd();
    modified = true;
    replyStatus (resultOk);
}

void SimulatedKestrel::handleGetFlags (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_GET_FLAGS, singleByteLayout, { modified ? 1u : 0u }, reportedModel));
}

void SimulatedKestrel::handleBpm (const juce::MidiMessage&)
{
    uint16 tempo = SimulatedPreset::defaultTempo;
    editBuffer.getParam (blockIdControllers, SimulatedPreset::tempoParamId, tempo);
    reply (numbers (SYSEX_BPM, singleWordLayout, { tempo }, reportedModel));
}

//==============================================================================
// Blocks and parameters.

void SimulatedKestrel::handleParamSet (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, paramSetRequestLayout, 0);
    const int paramId = (int) readField (message, paramSetRequestLayout, 1);
    const auto value = (uint16) readField (message, paramSetRequestLayout, 2);
    const auto mode = readField (message, paramSetRequestLayout, 3);

    // Mode 0 asks; every other mode writes.
    if (mode != 0)
    {
        if (! editBuffer.setParam (blockId, paramId, value))
        {
            replyStatus (resultBadValue);
            return;
        }

        modified = true;
    }

    uint16 current = 0;

    if (! editBuffer.getParam (blockId, paramId, current))
    {
        replyStatus (resultBadValue);
        return;
    }

    reply (buildParamReply (blockId, paramId, current));
}

void SimulatedKestrel::handleSetParamDirect (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, setParamDirectRequestLayout, 0);
    const int paramId = (int) readField (message, setParamDirectRequestLayout, 1);
    const auto value = floatToValue (bitsToFloat (readField (message, setParamDirectRequestLayout, 2)));

    if (! editBuffer.setParam (blockId, paramId, value))
    {
        replyStatus (resultBadValue);
        return;
    }

    modified = true;
    reply (buildParamReply (blockId, paramId, value));
}

void SimulatedKestrel::handleParamDump (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, paramDumpRequestLayout, 0);
    auto* block = editBuffer.findBlock (blockId);

    // The answer announces its length; a block the preset lacks has no values.
    const int count = block != nullptr ? (int) block->values[editBuffer.getChannel (blockId)].size() : 0;
    reply (numbers (SYSEX_MULTIMSG_START, multiMsgStartLayout, { SYSEX_PARAM_DUMP, (uint32) count }, reportedModel));

    for (int i = 0; i < count; ++i)
    {
        uint16 value = 0;
        editBuffer.getParam (blockId, i, value);

        EffectParamValue param;
        param.blockId = (uint16) blockId;
        param.paramId = (uint16) i;
        param.value = value;
        param.text = juce::String (value);

        juce::MidiMessage out;
        ::buildParamReply (out, SYSEX_PARAM_DUMP, param, reportedModel);
        reply (out);
    }

    reply (frame (SYSEX_MULTIMSG_END, {}));
}

void SimulatedKestrel::handleGetAllParams (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, singleWordLayout, 0);
    auto* block = editBuffer.findBlock (blockId);

    if (block == nullptr)
    {
        replyStatus (resultBadValue);
        return;
    }

    // The X values, then the Y values.
    std::vector<uint16> words (block->values[SimulatedPreset::channelX]);
    words.insert (words.end(), block->values[SimulatedPreset::channelY].begin(),
                  block->values[SimulatedPreset::channelY].end());

    const auto wordCount = (uint32) words.size();
    juce::MidiMessage out;
    buildEffectStart (out, (uint32) blockId, wordCount, 0, reportedModel);
    reply (out);

    // (wordCount >> 6) + 1 data messages: full ones of 64 words, then the rest
    // (which may be none), as the start's count announces.
    const auto dataMessages = (wordCount >> 6) + 1;

    for (uint32 m = 0; m < dataMessages; ++m)
    {
        const auto first = m * (uint32) effectDataMaxWords;
        const auto count = juce::jmin ((uint32) effectDataMaxWords, wordCount - first);
        std::vector<uint32> values{ count };

        for (uint32 i = 0; i < count; ++i)
            values.push_back (words[first + i]);

        reply (numberList (SYSEX_EFFECT_DATA, wordDataLayout, values, reportedModel));
    }

    reply (frame (SYSEX_EFFECT_END, {}));
}

void SimulatedKestrel::handlePlaceEffect (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, placeEffectLayout, 0);
    const int cell = (int) readField (message, placeEffectLayout, 1);

    if (! editBuffer.placeBlock (cell, blockId))
    {
        replyStatus (resultBadValue);
        return;
    }

    modified = true;
    replyStatus (resultOk);
}

void SimulatedKestrel::handleConnectEffect (const juce::MidiMessage& message)
{
    const int from = (int) readField (message, cellPairRequestLayout, 0);
    const int to = (int) readField (message, cellPairRequestLayout, 1);
    const bool connect = readField (message, cellPairRequestLayout, 2) != 0;

    if (! editBuffer.connectCells (from, to, connect))
    {
        replyStatus (resultBadValue);
        return;
    }

    modified = true;
    replyStatus (resultOk);
}

void SimulatedKestrel::handleMoveEffect (const juce::MidiMessage&)
{
    // Acknowledged; the grid is left as it is (moves are not modelled).
    modified = true;
    replyStatus (resultOk);
}

void SimulatedKestrel::handleSetDefaults (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, singleWordLayout, 0);

    if (! editBuffer.resetToDefaults (blockId))
    {
        replyStatus (resultBadValue);
        return;
    }

    modified = true;
    replyStatus (resultOk);
}

void SimulatedKestrel::handleXY (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, xyRequestLayout, 0);
    const int channelWanted = (int) readField (message, xyRequestLayout, 1);
    const bool isSet = readField (message, xyRequestLayout, 2) != 0;

    if (editBuffer.findBlock (blockId) == nullptr || channelWanted > SimulatedPreset::channelY)
    {
        replyStatus (resultBadValue);
        return;
    }

    if (isSet)
    {
        editBuffer.setChannel (blockId, channelWanted);
        modified = true;
    }

    reply (numbers (SYSEX_XY, xyReplyLayout, { (uint32) blockId, (uint32) editBuffer.getChannel (blockId) },
                    reportedModel));
}

void SimulatedKestrel::handleGetParamInfo (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, blockAndParamRequestLayout, 0);
    const int paramId = (int) readField (message, blockAndParamRequestLayout, 1);

    if (! juce::isPositiveAndBelow (paramId, getParamCount (blockId)))
    {
        replyStatus (resultBadValue);
        return;
    }

    reply (numbers (SYSEX_GET_PARAM_INFO, paramInfoReplyLayout,
                    { 0, floatBits (0.0f), floatBits (65535.0f), floatBits (1.0f), floatBits (0.0f) }, reportedModel));
}

void SimulatedKestrel::handleGetParamStrings (const juce::MidiMessage&)
{
    // This unit has no value texts: the status that means "none".
    replyStatus (statusNoStrings);
}

void SimulatedKestrel::handleGetGraph (const juce::MidiMessage&)
{
    std::vector<uint32> values;

    for (int i = 0; i < graphReplyValues; ++i)
        values.push_back ((uint32) (i * 100));

    reply (numberList ((uint8) handlingFunction, graphReplyLayout, values, reportedModel));
}

//==============================================================================
// Modifiers and layouts.

void SimulatedKestrel::handleBroadcastModifier (const juce::MidiMessage& message)
{
    const auto second = readField (message, broadcastModifierRequestLayout, 1);
    reply (numbers (SYSEX_BROADCAST_MODIFIER, getReplyLayout (SYSEX_BROADCAST_MODIFIER, model), { second & 0x7F },
                    reportedModel));
}

void SimulatedKestrel::handleLayoutSet (const juce::MidiMessage& message)
{
    const auto operation = readField (message, layoutSetRequestLayout, 0);
    const auto layout = readField (message, layoutSetRequestLayout, 1);
    const auto key = readField (message, layoutSetRequestLayout, 2);
    const auto value = readField (message, layoutSetRequestLayout, 3);

    auto replyFor = [&] (uint32 k)
    {
        reply (numbers (SYSEX_LAYOUT_SET, layoutSetReplyLayout,
                        { layout, k, (uint32) layoutValues[{ (int) layout, (int) k }] }, reportedModel));
    };

    if (key == layoutKeyAll)
    {
        for (int k = 0; k < layoutKeysPerLayout; ++k)
            replyFor ((uint32) k);

        return;
    }

    if (operation == 1)
        layoutValues[{ (int) layout, (int) key }] = (int) value;

    replyFor (key);
}

void SimulatedKestrel::handleFootswitchGrid (const juce::MidiMessage& message)
{
    // The unit keeps the grid and answers it back in the same layout.
    FootswitchGrid grid;

    if (! parseFsGrid (message, grid))
    {
        replyStatus (resultBadValue);
        return;
    }

    juce::MidiMessage out;
    buildFsGrid (out, grid, reportedModel);
    footswitchGrid = out;
    reply (out);
}

//==============================================================================
// Preset names and slots.

void SimulatedKestrel::handleQueryNameByNumber (const juce::MidiMessage& message)
{
    const int bank = (int) readField (message, presetLocationRequestLayout, 0);
    const int program = (int) readField (message, presetLocationRequestLayout, 1);

    int first = bank * 128 + program, count = 1;

    if (bank == locationCurrent && program == locationCurrent)
    {
        first = 0;
        count = presetCount;
    }
    else if (program == locationCurrent)
    {
        first = bank * 128;
        count = 128;
    }

    if (! juce::isPositiveAndBelow (first, presetCount))
    {
        replyStatus (resultBadValue);
        return;
    }

    for (int n = first; n < juce::jmin (presetCount, first + count); ++n)
    {
        PresetNameRecord record;
        record.high = (uint32) n >> 7;
        record.low = (uint32) n & 0x7F;
        fillNameField (record.name, presets[(size_t) n].name);

        juce::MidiMessage out;
        buildQueryNameByNumReply (out, record, reportedModel);
        reply (out);
    }
}

void SimulatedKestrel::handleSavePatch (const juce::MidiMessage& message)
{
    const int bank = (int) readField (message, presetLocationRequestLayout, 0);
    const int program = (int) readField (message, presetLocationRequestLayout, 1);
    const int number = bank * 128 + program;

    if (! juce::isPositiveAndBelow (number, presetCount))
    {
        replyStatus (resultBadValue);
        return;
    }

    presets[(size_t) number] = editBuffer;
    currentPreset = number;
    modified = false;
    replyStatus (resultOk);
}

void SimulatedKestrel::handleRecallPatch (const juce::MidiMessage& message)
{
    const int bank = (int) readField (message, presetLocationRequestLayout, 0);
    const int program = (int) readField (message, presetLocationRequestLayout, 1);
    const int number = bank * 128 + program;

    if (! juce::isPositiveAndBelow (number, presetCount))
    {
        replyStatus (resultBadValue);
        return;
    }

    loadPreset (number);
    replyStatus (resultOk);

    if (presetNumberAfterLoad)
        reply (buildPresetNumberMessage());
}

//==============================================================================
// Dumps out.

void SimulatedKestrel::handlePatchDump (const juce::MidiMessage& message)
{
    const int bank = (int) readField (message, presetLocationRequestLayout, 0);
    const int program = (int) readField (message, presetLocationRequestLayout, 1);

    if (auto* preset = findStoredPreset (bank, program))
        replyPresetDump (*preset, bank, program);
    else
        replyStatus (resultBadValue);
}

void SimulatedKestrel::handlePatchPlusCabDump (const juce::MidiMessage& message)
{
    const int bank = (int) readField (message, presetLocationRequestLayout, 0);
    const int program = (int) readField (message, presetLocationRequestLayout, 1);
    auto* preset = findStoredPreset (bank, program);

    if (preset == nullptr)
    {
        replyStatus (resultBadValue);
        return;
    }

    // Bits 0-3: the left and right cabs of cab blocks 108 and 109 when placed.
    uint32 flags = 0;
    int cabNumbers[4] = {};
    const int positions[4][2] = { { 108, 0 }, { 108, 2 }, { 109, 0 }, { 109, 2 } };

    for (int i = 0; i < 4; ++i)
    {
        uint16 value = 0;

        if (preset->isInGrid (positions[i][0]) && preset->getParam (positions[i][0], positions[i][1], value) &&
            (size_t) value < cabs.size())
        {
            flags |= 1u << i;
            cabNumbers[i] = value;
        }
    }

    reply (numbers (SYSEX_PATCH_PLUS_CAB_DUMP, twoByteReplyLayout, { flags, 0 }, reportedModel));
    replyPresetDump (*preset, bank, program);

    for (int i = 0; i < 4; ++i)
        if ((flags & (1u << i)) != 0)
            replyCabDump (cabNumbers[i]);
}

void SimulatedKestrel::handleCabDump (const juce::MidiMessage& message)
{
    const auto cabNumber =
        (readField (message, cabDumpRequestLayoutSplit, 0) << 7) | readField (message, cabDumpRequestLayoutSplit, 1);

    if (cabNumber >= cabs.size())
    {
        replyStatus (resultBadValue);
        return;
    }

    replyCabDump ((int) cabNumber);
}

void SimulatedKestrel::handleCabName (const juce::MidiMessage& message)
{
    const auto cabNumber = readField (message, cabNameRequestLayout, 0);

    if (cabNumber == cabNumberAll || cabNumber == cabNumberAllFactory || cabNumber == cabNumberAllUser)
    {
        const int first = cabNumber == cabNumberAllUser ? factoryCabs : 0;
        const int end = cabNumber == cabNumberAllFactory ? factoryCabs : factoryCabs + userCabs;

        reply (numbers (SYSEX_MULTIMSG_START, multiMsgStartLayout, { SYSEX_CABNAME, (uint32) (end - first) },
                        reportedModel));

        for (int slot = first; slot < end; ++slot)
            reply (buildCabNameReply (slot));

        reply (frame (SYSEX_MULTIMSG_END, {}));
        return;
    }

    if (cabNumber >= cabs.size())
    {
        replyStatus (resultBadValue);
        return;
    }

    reply (buildCabNameReply ((int) cabNumber));
}

void SimulatedKestrel::handleDeleteCab (const juce::MidiMessage& message)
{
    const auto slot = (int) readField (message, singleWordLayout, 0);

    // Factory cabs cannot be deleted.
    if (slot < factoryCabs || ! juce::isPositiveAndBelow (slot, (int) cabs.size()))
    {
        replyStatus (resultBadValue);
        return;
    }

    cabs[(size_t) slot] = CabName{};
    replyStatus (resultOk);
}

//==============================================================================
// Dumps in: a pasted preset, one status per message.

void SimulatedKestrel::handlePatchStart (const juce::MidiMessage& message)
{
    PatchStartRecord start;

    if (! parsePatchStart (message, start) || start.wordCount != SimulatedPreset::wordCount ||
        (findStoredPreset (start.bank, start.program) == nullptr))
    {
        pasteSession = DumpSession{};
        replyStatus (resultBadValue);
        return;
    }

    pasteSession = DumpSession{};
    pasteSession.active = true;
    pasteSession.bank = start.bank;
    pasteSession.program = start.program;
    pasteSession.declaredWords = start.wordCount;
    replyStatus (resultOk);
}

void SimulatedKestrel::handlePatchData (const juce::MidiMessage& message)
{
    juce::Array<uint16> words;

    if (! pasteSession.active || ! parsePatchData (message, words) ||
        (int) pasteSession.words.size() + words.size() > pasteSession.declaredWords)
    {
        pasteSession = DumpSession{};
        replyStatus (resultBadSequence);
        return;
    }

    pasteSession.words.insert (pasteSession.words.end(), words.begin(), words.end());
    replyStatus (resultOk);
}

void SimulatedKestrel::handlePatchEnd (const juce::MidiMessage& message)
{
    uint32 check = 0;

    if (! pasteSession.active || ! parsePatchEnd (message, check))
    {
        pasteSession = DumpSession{};
        replyStatus (resultBadSequence);
        return;
    }

    auto session = std::move (pasteSession);
    pasteSession = DumpSession{};

    if ((int) session.words.size() != session.declaredWords ||
        check != xorWords16 (session.words.data(), session.words.size()))
    {
        replyStatus (resultBadChecksum);
        return;
    }

    auto* target = findStoredPreset (session.bank, session.program);
    *target = SimulatedPreset::fromWords (session.words.data(), (int) session.words.size());

    const bool intoEditBuffer = target == &editBuffer;

    if (intoEditBuffer)
        modified = true;

    replyStatus (resultOk);

    if (intoEditBuffer && presetNumberAfterLoad)
        reply (buildPresetNumberMessage());
}

void SimulatedKestrel::handleCabIrMessage (const juce::MidiMessage&)
{
    // A cab being imported: each message is acknowledged; the data is not kept.
    replyStatus (resultOk);
}

//==============================================================================
// Test controls.

void SimulatedKestrel::setSilentFor (int function, bool silent)
{
    const juce::ScopedLock state (stateLock);
    faults[function].silent = silent;
}

void SimulatedKestrel::setErrorStatusFor (int function, uint8 result)
{
    const juce::ScopedLock state (stateLock);
    faults[function].errorResult = result;
}

void SimulatedKestrel::setReplyDelayFor (int function, uint32 delayMs)
{
    const juce::ScopedLock state (stateLock);
    faults[function].delayMs = delayMs;
}

void SimulatedKestrel::corruptNextReplies (int function, int count)
{
    const juce::ScopedLock state (stateLock);
    faults[function].corruptCount = juce::jmax (0, count);
}

void SimulatedKestrel::clearFaults()
{
    const juce::ScopedLock state (stateLock);
    faults.clear();
}

void SimulatedKestrel::dropEveryNthMessage (int n)
{
    channel.setDropEvery (n);
}

void SimulatedKestrel::goSilentAfterMessages (int k)
{
    channel.goSilentAfter (k);
}

void SimulatedKestrel::setSilent (bool shouldBeSilent)
{
    channel.setSilent (shouldBeSilent);
}

void SimulatedKestrel::pump()
{
    channel.pump();
}

void SimulatedKestrel::startAutoPump()
{
    if (autoPump == nullptr)
    {
        autoPump = std::make_unique<AutoPump> (*this);
        autoPump->startThread();
    }
}

void SimulatedKestrel::stopAutoPump()
{
    if (autoPump != nullptr)
    {
        autoPump->stopThread (2000);
        autoPump.reset();
    }
}

void SimulatedKestrel::setFirmware (int major, int minor)
{
    const juce::ScopedLock state (stateLock);
    firmwareMajor = juce::jlimit (0, 127, major);
    firmwareMinor = juce::jlimit (0, 127, minor);
}

void SimulatedKestrel::setReportedModel (uint8 newModel)
{
    const juce::ScopedLock state (stateLock);
    reportedModel = (uint8) (newModel & 0x7F);
}

void SimulatedKestrel::vanish()
{
    backend.removeDevice (deviceName);
    channel.discardHeld();
}

void SimulatedKestrel::reappear()
{
    backend.addDevice (deviceName);
}

//==============================================================================
// Unsolicited messages.

void SimulatedKestrel::selectPresetOnUnit (int presetNumber)
{
    {
        const juce::ScopedLock state (stateLock);

        if (! juce::isPositiveAndBelow (presetNumber, presetCount))
            return;

        loadPreset (presetNumber);
    }

    sendPresetNumber();
}

void SimulatedKestrel::sendPresetNumber()
{
    juce::MidiMessage message;

    {
        const juce::ScopedLock state (stateLock);
        message = buildPresetNumberMessage();
    }

    queueUnsolicited (message);
}

void SimulatedKestrel::sendResync()
{
    queueUnsolicited (frame (SYSEX_RESYNC, {}));
}

void SimulatedKestrel::sendStatesChanged()
{
    juce::MidiMessage message;

    {
        const juce::ScopedLock state (stateLock);
        message = buildStatesMessage();
    }

    queueUnsolicited (message);
}

void SimulatedKestrel::sendTempoTick()
{
    queueUnsolicited (frame (SYSEX_TEMPO, {}));
}

void SimulatedKestrel::sendTunerReading (int note, int string, int cents)
{
    queueUnsolicited (numbers (SYSEX_TUNER, tunerReplyLayout,
                               { (uint32) note & 0x7F, (uint32) string & 0x7F, (uint32) cents & 0x7F }, reportedModel));
}

void SimulatedKestrel::sendKnobBroadcast (const std::vector<std::pair<int, int>>& paramsAndValues)
{
    std::vector<uint32> values;

    for (int i = 0; i < juce::jmin ((int) paramsAndValues.size(), broadcastKnobMaxIds); ++i)
    {
        values.push_back ((uint32) paramsAndValues[(size_t) i].first & 0x3FFF);
        values.push_back ((uint32) paramsAndValues[(size_t) i].second & 0x7F);
    }

    queueUnsolicited (numberList (SYSEX_BROADCAST_KNOB, broadcastKnobReplyLayout, values, reportedModel));
}

void SimulatedKestrel::sendModifierBroadcast (int value)
{
    queueUnsolicited (numbers (SYSEX_BROADCAST_MODIFIER, getReplyLayout (SYSEX_BROADCAST_MODIFIER, model),
                               { (uint32) value & 0x7F }, reportedModel));
}

void SimulatedKestrel::sendLooperState (int first, int second)
{
    {
        const juce::ScopedLock state (stateLock);
        looperState[0] = first & 0x7F;
        looperState[1] = second & 0x7F;
    }

    queueUnsolicited (numbers (SYSEX_LOOPER_STATE, twoByteReplyLayout,
                               { (uint32) first & 0x7F, (uint32) second & 0x7F }, reportedModel));
}

void SimulatedKestrel::sendEditorDisconnectEcho()
{
    juce::MidiMessage message;
    buildStatusMessage (message, SYSEX_EDITOR_DISCONNECT, resultOk, reportedModel);
    queueUnsolicited (message);
}

void SimulatedKestrel::sendRaw (const juce::MidiMessage& message)
{
    queueUnsolicited (message);
}

void SimulatedKestrel::setResyncAfterSceneChange (bool shouldSend)
{
    const juce::ScopedLock state (stateLock);
    resyncAfterScene = shouldSend;
}

void SimulatedKestrel::setPresetNumberAfterLoad (bool shouldSend)
{
    const juce::ScopedLock state (stateLock);
    presetNumberAfterLoad = shouldSend;
}

//==============================================================================
// State access.

int SimulatedKestrel::getCurrentPresetNumber() const
{
    const juce::ScopedLock state (stateLock);
    return currentPreset;
}

int SimulatedKestrel::getCurrentScene() const
{
    const juce::ScopedLock state (stateLock);
    return editBuffer.scene;
}

bool SimulatedKestrel::isModified() const
{
    const juce::ScopedLock state (stateLock);
    return modified;
}

SimulatedPreset SimulatedKestrel::getEditBuffer() const
{
    const juce::ScopedLock state (stateLock);
    return editBuffer;
}

SimulatedPreset SimulatedKestrel::getPreset (int presetNumber) const
{
    const juce::ScopedLock state (stateLock);
    return juce::isPositiveAndBelow (presetNumber, presetCount) ? presets[(size_t) presetNumber] : SimulatedPreset{};
}

void SimulatedKestrel::setPreset (int presetNumber, const SimulatedPreset& preset)
{
    const juce::ScopedLock state (stateLock);

    if (juce::isPositiveAndBelow (presetNumber, presetCount))
        presets[(size_t) presetNumber] = preset;
}

void SimulatedKestrel::setEditBuffer (const SimulatedPreset& preset, bool isModifiedNow)
{
    const juce::ScopedLock state (stateLock);
    editBuffer = preset;
    modified = isModifiedNow;
}

bool SimulatedKestrel::getParam (int blockId, int paramId, uint16& value) const
{
    const juce::ScopedLock state (stateLock);
    return editBuffer.getParam (blockId, paramId, value);
}

void SimulatedKestrel::setCabCounts (int factory, int user)
{
    const juce::ScopedLock state (stateLock);
    factoryCabs = juce::jlimit (0, 4000, factory);
    userCabs = juce::jlimit (0, 4000, user);
    cabs.assign ((size_t) (factoryCabs + userCabs + scratchpadCabCount), CabName{});

    for (int i = 0; i < factoryCabs; ++i)
        cabs[(size_t) i].name = "Factory Cab " + juce::String (i + 1);

    // Every other user slot holds a cab; the rest are empty.
    for (int i = 0; i < userCabs; i += 2)
        cabs[(size_t) (factoryCabs + i)] = { "User Cab " + juce::String (i + 1), (uint8) (i % 4 == 0 ? 0x20 : 0) };
}

int SimulatedKestrel::getNumFactoryCabs() const
{
    const juce::ScopedLock state (stateLock);
    return factoryCabs;
}

int SimulatedKestrel::getNumUserCabs() const
{
    const juce::ScopedLock state (stateLock);
    return userCabs;
}

SimulatedKestrel::CabName SimulatedKestrel::getCabName (int flatSlot) const
{
    const juce::ScopedLock state (stateLock);
    return juce::isPositiveAndBelow (flatSlot, (int) cabs.size()) ? cabs[(size_t) flatSlot] : CabName{};
}

void SimulatedKestrel::setCabName (int flatSlot, const juce::String& name, uint8 format)
{
    const juce::ScopedLock state (stateLock);

    if (juce::isPositiveAndBelow (flatSlot, (int) cabs.size()))
        cabs[(size_t) flatSlot] = { name, format };
}

void SimulatedKestrel::setMidiChannel (int zeroBasedChannel)
{
    const juce::ScopedLock state (stateLock);
    midiChannel = juce::jlimit (0, 15, zeroBasedChannel);
}

void SimulatedKestrel::setCpuLoad (int percent)
{
    const juce::ScopedLock state (stateLock);
    cpuLoad = juce::jlimit (0, 100, percent);
}

void SimulatedKestrel::setConfigValue (int value)
{
    const juce::ScopedLock state (stateLock);
    configValue = juce::jlimit (0, 0xFFFF, value);
}

//==============================================================================
juce::Array<juce::MidiMessage> SimulatedKestrel::getReceived() const
{
    const juce::ScopedLock logging (logLock);
    return received;
}

int SimulatedKestrel::countReceived (int function) const
{
    const juce::ScopedLock logging (logLock);
    int count = 0;

    for (auto& message : received)
        if (message.getRawDataSize() > sysExFunctionOffset && message.getRawData()[sysExFunctionOffset] == function)
            ++count;

    return count;
}

void SimulatedKestrel::clearReceived()
{
    const juce::ScopedLock logging (logLock);
    received.clear();
}
