#pragma once

#include <juce_core/juce_core.h>

// One stored parameter value as the unit reports it in a parameter reply
// (SYSEX_PARAM_DUMP, SYSEX_PARAM_SET). The numbers are copied whole; only the
// value and the text have a meaning to the program.
struct EffectParamValue
{
    juce::uint16 blockId = 0;
    juce::uint16 paramId = 0;
    juce::uint16 value = 0; // the unit's raw value, 0..65535
    juce::uint8 flag = 0;
    juce::uint16 extraA = 0; // the two further 16-bit values, in reply order
    juce::uint16 extraB = 0;
    juce::String text; // the value as the unit displays it
};
