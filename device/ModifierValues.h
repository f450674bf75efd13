#pragma once

#include <juce_core/juce_core.h>

// A SYSEX_MODIFIER message: a block id and up to 15 16-bit numbers (modifier
// ids in a request, their values in a reply).
struct ModifierValues
{
    static constexpr int maxValues = 15;

    juce::uint16 blockId = 0;
    juce::uint16 count = 0;
    juce::uint32 values[maxValues] = {};
};
