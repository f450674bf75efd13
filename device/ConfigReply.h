#pragma once

#include <juce_core/juce_core.h>

// The unit's SYSEX_GET_CONFIG answer: a key (two septets) and its 16-bit
// value (three septets).
struct ConfigReply
{
    juce::uint16 key = 0;
    juce::uint32 value = 0;
};
