#pragma once

#include <juce_core/juce_core.h>

// The unit's SYSEX_XY answer: a block and its selected channel byte.
struct XYReply
{
    juce::uint16 blockId = 0;
    juce::uint8 channel = 0;
    juce::uint8 spare = 0;
};
