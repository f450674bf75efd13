#include "device/wire/SysExParsers.h"

#include "model/IdTables.h"

#include <cstring>

namespace
{
using juce::uint16;
using juce::uint32;
using juce::uint8;

// The status result that says a parameter has no value texts.
constexpr uint8 statusNoParamStrings = 27;

// Message sizes below which the name replies are not taken.
constexpr int queryNameMinSize = 39;
constexpr int nameRecordMinSize = 41;

bool is (const juce::MidiMessage& message, int function)
{
    return isSysExOfFunction (message, (uint8) function);
}

uint32 field (const juce::MidiMessage& message, const PayloadLayout* layout, uint32 fieldId)
{
    return readSysExField (message, layout, fieldId);
}

// Copies size bytes from the offset; bytes that the message does not hold
// are zeros.
void copyRawBytes (const juce::MidiMessage& message, int offset, char* dest, int size)
{
    std::memset (dest, 0, (size_t) size);
    auto available = juce::jlimit (0, size, message.getRawDataSize() - offset);

    if (available > 0)
        std::memcpy (dest, message.getRawData() + offset, (size_t) available);
}

// When the message is a status reply, gives true and sets 'accepted' to
// whether its result is the one that stands for a valid answer.
bool isStatusReply (const juce::MidiMessage& message, uint8 acceptedResult, bool& accepted)
{
    StatusReply status;

    if (! parseStatusMessage (message, status))
        return false;

    accepted = status.result == acceptedResult;
    return true;
}

bool parseParamValue (const juce::MidiMessage& message, EffectParamValue& value)
{
    EffectParamValue result;
    result.blockId = (uint16) field (message, paramReplyLayout, 0);
    result.paramId = (uint16) field (message, paramReplyLayout, 1);
    result.value = (uint16) field (message, paramReplyLayout, 2);
    result.flag = (uint8) field (message, paramReplyLayout, 3);
    result.extraA = (uint16) field (message, paramReplyLayout, 4);
    result.extraB = (uint16) field (message, paramReplyLayout, 5);
    result.text = readSysExText (message, getSysExFieldOffset (paramReplyLayout, 6));
    value = result;
    return true;
}

bool parseModifierSetFields (const juce::MidiMessage& message, ModifierSetReply& reply)
{
    ModifierSetReply result;
    result.blockId = (uint16) field (message, modifierSetReplyLayout, 0);
    result.selector1 = (uint16) field (message, modifierSetReplyLayout, 1);
    result.selector2 = (uint16) field (message, modifierSetReplyLayout, 2);
    result.value = field (message, modifierSetReplyLayout, 3);
    result.text = readSysExText (message, getSysExFieldOffset (modifierSetReplyLayout, 4));
    reply = result;
    return true;
}

bool parseGraph (const juce::MidiMessage& message, int function, GraphData& graph)
{
    if (! is (message, function) || message.getRawDataSize() != graphReplyMessageSize)
        return false;

    for (int i = 0; i < graphReplyValues; ++i)
        graph.values[i] = (juce::int32) field (message, graphReplyLayout, (uint32) i);

    return true;
}

bool parseIrData (const juce::MidiMessage& message, int function, juce::Array<uint32>& values)
{
    if (! is (message, function) || field (message, irDataLayout, 0) != (uint32) cabIrDataValues)
        return false;

    values.clearQuick();

    for (int i = 0; i < cabIrDataValues; ++i)
        values.add (field (message, irDataLayout, countedDataFirstItemField + (uint32) i));

    return true;
}

bool parseCheckValue (const juce::MidiMessage& message, int function, const PayloadLayout* layout, uint32& checkValue)
{
    if (! is (message, function))
        return false;

    checkValue = field (message, layout, 0);
    return true;
}

bool parseWords (const juce::MidiMessage& message, int function, juce::Array<uint16>& words, bool mustBeFull)
{
    if (! is (message, function))
        return false;

    auto count = (int) field (message, wordDataLayout, 0);

    if (count > patchDataWords || (mustBeFull && count != patchDataWords))
        return false;

    words.clearQuick();

    for (int i = 0; i < count; ++i)
        words.add ((uint16) field (message, wordDataLayout, countedDataFirstItemField + (uint32) i));

    return true;
}

bool parseSingleByte (const juce::MidiMessage& message, int function, uint8& value)
{
    if (! is (message, function))
        return false;

    value = (uint8) field (message, singleByteLayout, 0);
    return true;
}
} // namespace

//==============================================================================
uint32 readSysExField (const juce::MidiMessage& message, const PayloadLayout* layout, uint32 fieldId)
{
    return (uint32) unpackSysExField (message, layout, fieldId);
}

int getSysExPayloadEnd (const juce::MidiMessage& message)
{
    return juce::jmax (sysExHeaderSize, message.getRawDataSize() - 2);
}

//==============================================================================
bool parseParamDump (const juce::MidiMessage& message, EffectParamValue& value)
{
    return is (message, SYSEX_PARAM_DUMP) && parseParamValue (message, value);
}

bool parseParamSet (const juce::MidiMessage& message, EffectParamValue& value)
{
    return is (message, SYSEX_PARAM_SET) && parseParamValue (message, value);
}

bool parseSetParamDirect (const juce::MidiMessage& message, EffectParamValue& value)
{
    return (is (message, SYSEX_PARAM_SET) || is (message, SYSEX_SET_PARAM_DIRECT)) && parseParamValue (message, value);
}

bool parsePlaceEffect (const juce::MidiMessage& message, uint16& blockId, uint8& cell)
{
    if (! is (message, SYSEX_PLACE_EFFECT))
        return false;

    blockId = (uint16) field (message, placeEffectLayout, 0);
    cell = (uint8) field (message, placeEffectLayout, 1);
    return true;
}

bool parseModifierSet (const juce::MidiMessage& message, ModifierSetReply& reply)
{
    return is (message, SYSEX_MODIFIER_SET) && parseModifierSetFields (message, reply);
}

bool parseSetModParamDirect (const juce::MidiMessage& message, ModifierSetReply& reply)
{
    return (is (message, SYSEX_MODIFIER_SET) || is (message, SYSEX_SET_MODPARAM_DIRECT)) &&
           parseModifierSetFields (message, reply);
}

bool parseQueryVersion (const juce::MidiMessage& message, FirmwareInfo& firmware)
{
    if (! is (message, SYSEX_QUERY_VERSION))
        return false;

    FirmwareInfo result;
    result.major = field (message, queryVersionReplyLayout, 0);
    result.minor = field (message, queryVersionReplyLayout, 1);

    for (uint32 i = 0; i < 4; ++i)
        result.further[i] = field (message, queryVersionReplyLayout, 2 + i);

    result.version = (float) result.major + (float) result.minor / 100.0f;
    result.model = message.getRawData()[sysExModelOffset];
    firmware = result;
    return true;
}

bool parseTuner (const juce::MidiMessage& message, TunerReading& reading)
{
    // A reading cut short would show zeros as a note far out of tune.
    if (! is (message, SYSEX_TUNER) || getSysExPayloadEnd (message) - sysExHeaderSize < 3)
        return false;

    for (uint32 i = 0; i < 3; ++i)
        reading.values[i] = (juce::int32) field (message, tunerReplyLayout, i);

    return true;
}

bool parseQueryStates (const juce::MidiMessage& message, juce::Array<uint32>& words)
{
    auto length = message.getRawDataSize();

    if (! is (message, SYSEX_QUERY_STATES) || length < 7 || (length - 7) % 5 != 0)
        return false;

    auto count = (length - 7) / 5;
    words.clearQuick();

    for (int i = 0; i < count; ++i)
        words.add (juce::ByteOrder::swap ((uint32) unpackSeptets (message, (size_t) (sysExHeaderSize + 5 * i), 5)));

    return true;
}

bool parseQueryName (const juce::MidiMessage& message, char* nameField)
{
    if (nameField == nullptr || ! is (message, SYSEX_QUERY_NAME) || message.getRawDataSize() < queryNameMinSize)
        return false;

    copyRawBytes (message, (int) getSysExFieldOffset (queryNameReplyLayout, 0), nameField, sysExNameFieldSize);
    nameField[sysExNameFieldSize - 1] = 0;
    return true;
}

bool parseXY (const juce::MidiMessage& message, XYReply& reply)
{
    if (! is (message, SYSEX_XY))
        return false;

    reply.blockId = (uint16) field (message, xyReplyLayout, 0);
    reply.channel = (uint8) field (message, xyReplyLayout, 1);
    return true;
}

bool parseCabName (const juce::MidiMessage& message, CabNameRecord& record)
{
    if (! is (message, SYSEX_CABNAME) || message.getRawDataSize() < nameRecordMinSize)
        return false;

    CabNameRecord result;
    result.slot = field (message, cabNameReplyLayout, 0);

    char raw[sysExNameFieldSize];
    copyRawBytes (message, (int) getSysExFieldOffset (cabNameReplyLayout, 1), raw, sysExNameFieldSize);
    std::memcpy (result.name, raw, sysExNameFieldSize - 1);
    result.name[sysExNameFieldSize - 1] = 0;
    result.format = (uint8) raw[sysExNameFieldSize - 1];
    record = result;
    return true;
}

bool parseCpuLoad (const juce::MidiMessage& message, uint8& load)
{
    return parseSingleByte (message, SYSEX_CPU_LOAD, load);
}

bool parsePatchNum (const juce::MidiMessage& message, PresetNumberRecord& number)
{
    if (! is (message, SYSEX_PATCHNUM))
        return false;

    number.high = field (message, patchNumReplyLayout, 0);
    number.low = field (message, patchNumReplyLayout, 1);
    return true;
}

bool parseQueryNameByNum (const juce::MidiMessage& message, PresetNameRecord& record)
{
    if (! is (message, SYSEX_QUERY_NAME_BY_NUM) || message.getRawDataSize() < nameRecordMinSize)
        return false;

    record.high = field (message, queryNameByNumReplyLayout, 0);
    record.low = field (message, queryNameByNumReplyLayout, 1);
    copyRawBytes (message, (int) getSysExFieldOffset (queryNameByNumReplyLayout, 2), record.name, sysExNameFieldSize);
    record.name[sysExNameFieldSize - 1] = 0;
    return true;
}

bool parseGetParamInfo (const juce::MidiMessage& message, ParamInfo& info)
{
    if (! is (message, SYSEX_GET_PARAM_INFO))
        return false;

    auto asFloat = [&] (uint32 fieldId)
    {
        auto bits = field (message, paramInfoReplyLayout, fieldId);
        float value;
        std::memcpy (&value, &bits, sizeof (value));
        return value;
    };

    info.descriptor = (juce::int32) field (message, paramInfoReplyLayout, 0);
    info.minimum = asFloat (1);
    info.maximum = asFloat (2);
    info.displayMultiplier = asFloat (3);
    info.fourth = asFloat (4);
    return true;
}

bool parseGetMidiChannel (const juce::MidiMessage& message, uint8& channel)
{
    return parseSingleByte (message, SYSEX_GET_MIDI_CHANNEL, channel);
}

bool parseGetModifierInfo (const juce::MidiMessage& message, ModifierInfoReply& reply)
{
    if (! is (message, SYSEX_GET_MODIFIER_INFO))
        return false;

    reply.modifierId = (uint16) field (message, modifierInfoReplyLayout, 0);
    reply.controller = (uint16) field (message, modifierInfoReplyLayout, 1);
    reply.blockId = (uint16) field (message, modifierInfoReplyLayout, 2);
    reply.paramId = (uint16) field (message, modifierInfoReplyLayout, 3);
    return true;
}

bool parseGetGrid (const juce::MidiMessage& message, GridVectors& grid)
{
    if (! is (message, SYSEX_GET_GRID))
        return false;

    auto payload = getSysExPayloadEnd (message) - sysExHeaderSize;
    auto pairs = payload / 4;

    if (payload == 0 || payload % 4 != 0 || pairs > gridReplyMaxPairs)
        return false;

    grid.blockIds.clearQuick();
    grid.inputMasks.clearQuick();

    for (int i = 0; i < pairs; ++i)
    {
        grid.blockIds.add ((uint16) field (message, gridReplyLayout, (uint32) (2 * i)));
        grid.inputMasks.add ((uint16) field (message, gridReplyLayout, (uint32) (2 * i + 1)));
    }

    return true;
}

bool parseLooperState (const juce::MidiMessage& message, LooperState& state)
{
    bool accepted = false;

    if (isStatusReply (message, 0, accepted))
    {
        if (accepted)
            state = LooperState();

        return accepted;
    }

    if (! is (message, SYSEX_LOOPER_STATE))
        return false;

    state.state = (uint8) field (message, twoByteReplyLayout, 0);
    state.position = (uint8) field (message, twoByteReplyLayout, 1);
    return true;
}

bool parseGetParamStrings (const juce::MidiMessage& message, juce::StringArray& strings)
{
    bool accepted = false;

    if (isStatusReply (message, statusNoParamStrings, accepted))
    {
        if (accepted)
            strings.clearQuick();

        return accepted;
    }

    if (! is (message, SYSEX_GET_PARAM_STRINGS))
        return false;

    strings.clearQuick();
    auto* bytes = message.getRawData();
    auto end = getSysExPayloadEnd (message);

    for (auto start = sysExHeaderSize; start < end;)
    {
        auto stop = start;

        while (stop < end && bytes[stop] != 0)
            ++stop;

        if (stop > start)
            strings.add (readSysExText (bytes, (size_t) stop, (size_t) start));

        start = stop + 1;
    }

    return true;
}

bool parseSetScene (const juce::MidiMessage& message, uint8& scene)
{
    return parseSingleByte (message, SYSEX_SET_SCENE, scene);
}

bool parseGetFlags (const juce::MidiMessage& message, UnitFlags& flags)
{
    uint8 value = 0;

    if (! parseSingleByte (message, SYSEX_GET_FLAGS, value))
        return false;

    for (int bit = 0; bit < 4; ++bit)
        flags.flags[bit] = (uint8) ((value >> bit) & 1);

    return true;
}

bool parseModifier (const juce::MidiMessage& message, ModifierValues& record)
{
    bool accepted = false;

    if (isStatusReply (message, 0, accepted))
        return accepted;

    if (! is (message, SYSEX_MODIFIER))
        return false;

    auto count = field (message, modifierLayout, 1);

    if (count > (uint32) modifierMaxValues)
        return false;

    ModifierValues result;
    result.blockId = (uint16) field (message, modifierLayout, 0);
    result.count = (uint16) count;

    for (uint32 i = 0; i < count; ++i)
        result.values[i] = field (message, modifierLayout, modifierFirstValueField + i);

    record = result;
    return true;
}

bool parseBpm (const juce::MidiMessage& message, uint16& tempo)
{
    if (! is (message, SYSEX_BPM))
        return false;

    tempo = (uint16) field (message, singleWordLayout, 0);
    return true;
}

bool parseGetGraph (const juce::MidiMessage& message, GraphData& graph)
{
    return parseGraph (message, SYSEX_GET_GRAPH, graph);
}

bool parseGetGraphN (const juce::MidiMessage& message, GraphData& graph)
{
    return parseGraph (message, SYSEX_GET_GRAPHN, graph);
}

bool parseMultiMsgStart (const juce::MidiMessage& message, MultiMessageStart& start)
{
    if (! is (message, SYSEX_MULTIMSG_START))
        return false;

    start.function = (uint8) field (message, multiMsgStartLayout, 0);
    start.count = (uint16) field (message, multiMsgStartLayout, 1);
    return true;
}

bool parseMultiMsgEnd (const juce::MidiMessage& message)
{
    return is (message, SYSEX_MULTIMSG_END);
}

bool parseGetConfig (const juce::MidiMessage& message, ConfigReply& reply)
{
    if (! is (message, SYSEX_GET_CONFIG))
        return false;

    reply.key = (uint16) field (message, configReplyLayout, 0);
    reply.value = field (message, configReplyLayout, 1);
    return true;
}

bool parseBroadcastKnob (const juce::MidiMessage& message, KnobBroadcast& record)
{
    bool accepted = false;

    if (isStatusReply (message, 0, accepted))
    {
        if (accepted)
            record = KnobBroadcast();

        return accepted;
    }

    if (! is (message, SYSEX_BROADCAST_KNOB))
        return false;

    auto payload = getSysExPayloadEnd (message) - sysExHeaderSize;
    auto pairs = payload / 3;

    if (payload % 3 != 0 || pairs > KnobBroadcast::maxPairs)
        return false;

    KnobBroadcast result;
    result.count = (uint32) pairs;

    for (int i = 0; i < pairs; ++i)
    {
        result.paramIds[i] = (uint16) field (message, broadcastKnobReplyLayout, (uint32) (2 * i));
        result.values[i] = (uint8) field (message, broadcastKnobReplyLayout, (uint32) (2 * i + 1));
    }

    record = result;
    return true;
}

bool parseBroadcastModifier (const juce::MidiMessage& message, ModifierBroadcast& record)
{
    bool accepted = false;

    if (isStatusReply (message, 0, accepted))
    {
        if (accepted)
            record.bytes[1] = record.bytes[2] = 0;

        return accepted;
    }

    return parseSingleByte (message, SYSEX_BROADCAST_MODIFIER, record.bytes[2]);
}

bool parseGetPosition (const juce::MidiMessage& message, uint8& position)
{
    return parseSingleByte (message, SYSEX_GET_POSITION, position);
}

bool parseLayoutSet (const juce::MidiMessage& message, LayoutRecord& record)
{
    if (! is (message, SYSEX_LAYOUT_SET))
        return false;

    record.operation = 0;
    record.layout = (uint8) field (message, layoutSetReplyLayout, 0);
    record.key = (uint16) field (message, layoutSetReplyLayout, 1);
    record.value = (uint16) field (message, layoutSetReplyLayout, 2);
    return true;
}

bool parsePatchPlusCabDump (const juce::MidiMessage& message, PatchPlusCabHeader& header)
{
    if (! is (message, SYSEX_PATCH_PLUS_CAB_DUMP))
        return false;

    header.cabFlags = (uint8) field (message, twoByteReplyLayout, 0);
    header.second = (uint8) field (message, twoByteReplyLayout, 1);
    return true;
}

bool parseGetSysInfo (const juce::MidiMessage& message, SystemInfo& info, StatusReply* status)
{
    StatusReply statusReply;

    if (parseStatusMessage (message, statusReply))
    {
        if (status != nullptr)
            *status = statusReply;

        return false;
    }

    if (! is (message, SYSEX_GET_SYSINFO))
        return false;

    info.firstWord = (uint16) (field (message, sysInfoReplyLayout, 0) & 0xff);
    info.factoryCabs = (uint16) field (message, sysInfoReplyLayout, 1);
    info.userCabs = (uint16) field (message, sysInfoReplyLayout, 2);
    info.scratchpadCabs = (uint16) field (message, sysInfoReplyLayout, 3);
    return true;
}

bool parseFsGrid (const juce::MidiMessage& message, FootswitchGrid& grid)
{
    if (! is (message, SYSEX_FSGRID))
        return false;

    auto count = field (message, footswitchGridLayout, 1);
    grid.first = (uint8) field (message, footswitchGridLayout, 0);
    grid.entries.clearQuick();

    for (uint32 i = 0; i < count; ++i)
    {
        auto base = footswitchGridFirstEntryField + 3 * i;
        grid.entries.add ({ (uint16) field (message, footswitchGridLayout, base),
                            (uint16) field (message, footswitchGridLayout, base + 1),
                            (uint16) field (message, footswitchGridLayout, base + 2) });
    }

    return true;
}

bool parseSystemDataStart (const juce::MidiMessage& message, uint32& size)
{
    return parseCheckValue (message, SYSEX_SYSTEM_DATA_START, systemDataStartReplyLayout, size);
}

bool parseStatusMessage (const juce::MidiMessage& message, StatusReply& reply)
{
    if (! is (message, SYSEX_STATUS_MSG) || message.getRawDataSize() <= 7)
        return false;

    auto* bytes = message.getRawData();
    reply.function = bytes[getSysExFieldOffset (statusMessageLayout, 0)];
    reply.result = bytes[getSysExFieldOffset (statusMessageLayout, 1)];
    return true;
}

bool isRefusal (const StatusReply& reply, uint8 function)
{
    return reply.result != 0 && ! (function == SYSEX_GET_PARAM_STRINGS && reply.result == statusNoParamStrings);
}

bool parseStatusModel (const juce::MidiMessage& message, uint8& model)
{
    StatusReply status;

    if (! parseStatusMessage (message, status) || status.result != 0)
        return false;

    model = message.getRawData()[sysExModelOffset];
    return true;
}

bool parseRawIrStart (const juce::MidiMessage& message, RawIrStartRecord& record)
{
    if (! is (message, SYSEX_RAWIR_START))
        return false;

    record.first = (uint8) field (message, rawIrStartReplyLayout, 0);
    record.second = (uint16) field (message, rawIrStartReplyLayout, 1);
    return true;
}

bool parseRawIrData (const juce::MidiMessage& message, juce::Array<uint32>& values)
{
    return parseIrData (message, SYSEX_RAWIR_DATA, values);
}

bool parseRawIrEnd (const juce::MidiMessage& message, uint32& checkValue)
{
    return parseCheckValue (message, SYSEX_RAWIR_END, irEndLayout, checkValue);
}

bool parseEffectStart (const juce::MidiMessage& message, EffectStartRecord& record)
{
    if (! is (message, SYSEX_EFFECT_START))
        return false;

    auto flags = (uint8) field (message, effectStartLayout, 2);
    record.blockId = (uint16) field (message, effectStartLayout, 0);
    record.wordCount = (uint16) field (message, effectStartLayout, 1);
    record.flags = flags;
    record.flag0 = flags & 1;
    record.flag1 = (flags >> 1) & 1;
    record.flag2 = (flags >> 2) & 1;
    record.flag3 = (uint8) ((flags & 8) | (flags >> 4));
    return true;
}

bool parseEffectData (const juce::MidiMessage& message, juce::Array<uint16>& words)
{
    return parseWords (message, SYSEX_EFFECT_DATA, words, false);
}

bool parsePatchStart (const juce::MidiMessage& message, PatchStartRecord& record)
{
    if (! is (message, SYSEX_PATCH_START))
        return false;

    record.bank = (uint8) field (message, patchStartLayout, 0);
    record.program = (uint8) field (message, patchStartLayout, 1);
    record.wordCount = (uint16) field (message, patchStartLayout, 2);
    return true;
}

bool parsePatchData (const juce::MidiMessage& message, juce::Array<uint16>& words)
{
    return parseWords (message, SYSEX_PATCH_DATA, words, true);
}

bool parsePatchEnd (const juce::MidiMessage& message, uint32& checkValue)
{
    return parseCheckValue (message, SYSEX_PATCH_END, patchEndLayout, checkValue);
}

bool parseCabIrStart (const juce::MidiMessage& message, CabIrStartRecord& record)
{
    if (! is (message, SYSEX_CABIR_START))
        return false;

    if (usesSplitCabNumber (message.getRawData()[sysExModelOffset]))
    {
        record.cabNumber =
            (uint16) ((field (message, cabIrStartLayoutSplit, 0) << 7) | field (message, cabIrStartLayoutSplit, 1));
        record.second = (uint16) field (message, cabIrStartLayoutSplit, 2);
    }
    else
    {
        record.cabNumber = (uint16) field (message, cabIrStartLayoutSingle, 0);
        record.second = (uint16) field (message, cabIrStartLayoutSingle, 1);
    }

    return true;
}

bool parseCabIrData (const juce::MidiMessage& message, juce::Array<uint32>& values)
{
    return parseIrData (message, SYSEX_CABIR_DATA, values);
}

bool parseCabIrEnd (const juce::MidiMessage& message, uint32& checkValue)
{
    return parseCheckValue (message, SYSEX_CABIR_END, irEndLayout, checkValue);
}
