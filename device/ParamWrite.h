#pragma once

#include <juce_core/juce_core.h>

// One SYSEX_PARAM_SET a request sends from its list: mode 1 writes the
// value, mode 0 asks for it, 2 to 6 are the unit's other write modes.
struct ParamWrite
{
    juce::uint16 blockId = 0;
    juce::uint16 paramId = 0;
    juce::uint16 value = 0;
    juce::uint8 mode = 1;
};
