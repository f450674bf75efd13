#pragma once

#include <juce_core/juce_core.h>

// A cab as one SYSEX_CAB_DUMP answer brings it: the cab number and its 2048
// 32-bit values (8196 bytes in all).
struct CabDumpData
{
    static constexpr int numValues = 2048;

    juce::uint32 cabNumber = 0;
    juce::uint32 values[numValues] = {};
};
