#pragma once

#include "device/wire/SysExCodec.h"
#include "model/IdTables.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

// Small helpers shared by the source files of SimulatedKestrel.
namespace SimulatedKestrelDetail
{
constexpr int locationCurrent = 127; // bank and program 127: the edit buffer

inline juce::uint32 readField (const juce::MidiMessage& message, const PayloadLayout* layout, juce::uint32 fieldId)
{
    return readSysExField (message, layout, fieldId);
}

// A message of plain numbers in the layout's fields.
inline juce::MidiMessage numbers (juce::uint8 function, const PayloadLayout* layout,
                                  std::initializer_list<juce::uint32> values, juce::uint8 model)
{
    juce::MidiMessage message;
    const bool built = buildSysExByLayout (message, function, layout, values, model);
    jassert (built);
    juce::ignoreUnused (built);
    return message;
}

inline juce::MidiMessage numberList (juce::uint8 function, const PayloadLayout* layout,
                                     const std::vector<juce::uint32>& values, juce::uint8 model)
{
    juce::MidiMessage message;
    const bool built = buildSysExByLayout (message, function, layout, values.data(), values.size(), model);
    jassert (built);
    juce::ignoreUnused (built);
    return message;
}

// A name field as the unit sends it: `size` bytes of 7-bit characters,
// blank-filled behind the name. Names arrive blank-padded too and are kept
// without their trailing blanks.
inline void fillNameField (char* field, int size, const juce::String& name)
{
    for (int i = 0; i < size; ++i)
        field[i] = (char) (i < name.length() ? (name[i] & 0x7F) : ' ');
}
} // namespace SimulatedKestrelDetail
