#include "device/wire/SysExReplyBuilders.h"

#include "device/wire/SysExBuilders.h"
#include "model/IdTables.h"

namespace
{
using juce::uint32;
using juce::uint8;

void appendText (juce::MemoryBlock& payload, const juce::String& text)
{
    for (auto c : text)
    {
        const uint8 byte = (uint8) (c & 0x7f);
        payload.append (&byte, 1);
    }

    const uint8 terminator = 0;
    payload.append (&terminator, 1);
}

void appendRaw (juce::MemoryBlock& payload, const char* bytes, int count)
{
    for (int i = 0; i < count; ++i)
    {
        const uint8 byte = (uint8) (bytes[i] & 0x7f);
        payload.append (&byte, 1);
    }
}

// Packs the numbers into the layout's first fields, then leaves the rest to the caller.
bool packNumbers (juce::MemoryBlock& payload, const PayloadLayout* layout, std::initializer_list<uint32> values)
{
    if (! fitsSysExLayout (layout, values.begin(), values.size()))
        return false;

    packSysExFields (payload, layout, values);
    return true;
}
} // namespace

bool buildStatusMessage (juce::MidiMessage& out, uint8 function, uint8 result, uint8 model)
{
    const uint8 payload[] = { (uint8) (function & 0x7f), (uint8) (result & 0x7f) };
    return buildSysExMessage (out, SYSEX_STATUS_MSG, payload, sizeof (payload), model) > 0;
}

bool buildParamReply (juce::MidiMessage& out, uint8 function, const EffectParamValue& value, uint8 model)
{
    juce::MemoryBlock payload;

    if (! packNumbers (payload, paramReplyLayout,
                       { value.blockId, value.paramId, value.value, value.flag, value.extraA, value.extraB }))
        return false;

    appendText (payload, value.text);
    return buildSysExMessage (out, function, payload, model) > 0;
}

bool buildModifierSetReply (juce::MidiMessage& out, const ModifierSetReply& reply, uint8 model)
{
    juce::MemoryBlock payload;

    if (! packNumbers (payload, modifierSetReplyLayout,
                       { reply.blockId, reply.selector1, reply.selector2, reply.value }))
        return false;

    appendText (payload, reply.text);
    return buildSysExMessage (out, SYSEX_MODIFIER_SET, payload, model) > 0;
}

bool buildQueryStatesReply (juce::MidiMessage& out, const juce::Array<uint32>& words, uint8 model)
{
    juce::MemoryBlock frame (sysExHeaderSize);
    writeSysExHeader (static_cast<uint8*> (frame.getData()), model, SYSEX_QUERY_STATES);

    for (auto word : words)
        packSeptets (frame, frame.getSize(), juce::ByteOrder::swap (word), 5);

    const uint8 end = sysExEndByte;
    frame.append (&end, 1);
    setMidiMessageBytes (out, frame.getData(), (int) frame.getSize());
    return true;
}

bool buildQueryNameReply (juce::MidiMessage& out, const char* nameField, uint8 model)
{
    if (nameField == nullptr)
        return false;

    juce::MemoryBlock payload;
    appendRaw (payload, nameField, sysExNameFieldSize);
    return buildSysExMessage (out, SYSEX_QUERY_NAME, payload, model) > 0;
}

bool buildCabNameReply (juce::MidiMessage& out, const CabNameRecord& record, uint8 model)
{
    juce::MemoryBlock payload;

    if (! packNumbers (payload, cabNameReplyLayout, { record.slot }))
        return false;

    appendRaw (payload, record.name, sysExNameFieldSize - 1);
    appendRaw (payload, reinterpret_cast<const char*> (&record.format), 1);
    return buildSysExMessage (out, SYSEX_CABNAME, payload, model) > 0;
}

bool buildQueryNameByNumReply (juce::MidiMessage& out, const PresetNameRecord& record, uint8 model)
{
    juce::MemoryBlock payload;

    if (! packNumbers (payload, queryNameByNumReplyLayout, { record.high, record.low }))
        return false;

    appendRaw (payload, record.name, sysExNameFieldSize);
    return buildSysExMessage (out, SYSEX_QUERY_NAME_BY_NUM, payload, model) > 0;
}

bool buildParamStringsReply (juce::MidiMessage& out, const juce::StringArray& strings, uint8 model)
{
    juce::MemoryBlock payload;

    for (auto& text : strings)
        appendText (payload, text);

    return buildSysExMessage (out, SYSEX_GET_PARAM_STRINGS, payload, model) > 0;
}
