#pragma once

#include <juce_core/juce_core.h>

// The 128 values of a SYSEX_GET_GRAPH or SYSEX_GET_GRAPHN reply (512 bytes).
struct GraphData
{
    static constexpr int numValues = 128;

    juce::int32 values[numValues] = {};
};
