#pragma once

#include <juce_core/juce_core.h>

// One SYSEX_XY a request sends: the block, the channel (0 X, 1 Y) and the
// second byte (1 selects the channel).
struct XYWrite
{
    juce::uint16 blockId = 0;
    juce::uint8 channel = 0;
    juce::uint8 select = 1;
};
