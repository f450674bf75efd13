#pragma once

#include <juce_core/juce_core.h>

// SYSEX_EFFECT_START, the head of a block's all-parameters dump.
struct EffectStartRecord
{
    juce::uint16 blockId = 0;
    juce::uint16 wordCount = 0;
    juce::uint8 flags = 0;

    // The flags byte taken apart: bits 0, 1 and 2, and (bits & 8) | (bits >> 4).
    juce::uint8 flag0 = 0;
    juce::uint8 flag1 = 0;
    juce::uint8 flag2 = 0;
    juce::uint8 flag3 = 0;
};
