#include "tests/support/SimulatedKestrel.h"

#include "tests/support/SimulatedKestrelDetail.h"

// Preset names: the unit sends every name as a 32-byte field, blank-padded,
// and takes a new name the same way.

using namespace SimulatedKestrelDetail;
using juce::uint32;

void SimulatedKestrel::handleQueryName (const juce::MidiMessage&)
{
    char field[sysExNameFieldSize];
    fillNameField (field, sysExNameFieldSize, editBuffer.name);

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
        fillNameField (record.name, (int) sizeof (record.name), presets[(size_t) n].name);

        juce::MidiMessage out;
        buildQueryNameByNumReply (out, record, reportedModel);
        reply (out);
    }
}
