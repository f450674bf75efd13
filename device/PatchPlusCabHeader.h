#pragma once

#include <juce_core/juce_core.h>

// The first reply to SYSEX_PATCH_PLUS_CAB_DUMP: bit n of the cab flags set
// means the dump of cab n of the preset follows the preset's own dump.
struct PatchPlusCabHeader
{
    juce::uint8 cabFlags = 0;
    juce::uint8 second = 0;

    int countCabs() const
    {
        int n = 0;
        for (int bit = 0; bit < 4; ++bit)
            n += (cabFlags >> bit) & 1;
        return n;
    }
};
