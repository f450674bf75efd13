#pragma once

#include <juce_core/juce_core.h>

// The unit's SYSEX_BROADCAST_KNOB report: up to 16 (parameter id, value) pairs.
struct KnobBroadcast
{
    static constexpr int maxPairs = 16;

    juce::uint32 count = 0;
    juce::uint16 paramIds[maxPairs] = {};
    juce::uint8 values[maxPairs] = {};
};
