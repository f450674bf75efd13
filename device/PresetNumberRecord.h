#pragma once

#include <juce_core/juce_core.h>

// A preset number as the unit sends it: two 7-bit parts (SYSEX_PATCHNUM).
struct PresetNumberRecord
{
    juce::uint32 high = 0;
    juce::uint32 low = 0;

    juce::int32 getNumber() const { return (juce::int32) (high * 128 + low); }
};
