#pragma once

#include <juce_core/juce_core.h>

// One SYSEX_MODIFIER_SET a request sends: the block, the two selectors
// (modifier parameter and field), the value and the write mode.
struct ModifierWrite
{
    juce::uint16 blockId = 0;
    juce::uint16 selector1 = 0;
    juce::uint16 selector2 = 0;
    juce::uint16 value = 0;
    juce::uint8 mode = 1;
};
