#pragma once

#include <juce_core/juce_core.h>

// One SYSEX_SET_MODPARAM_DIRECT a request sends: the block, the two
// selectors and the 32 bits of the float value.
struct ModifierDirectWrite
{
    juce::uint16 blockId = 0;
    juce::uint16 selector1 = 0;
    juce::uint16 selector2 = 0;
    juce::uint32 valueBits = 0;
};
