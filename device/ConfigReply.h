#pragma once

#include <juce_core/juce_core.h>

// The unit's SYSEX_GET_CONFIG answer: a 16-bit key and its value.
struct ConfigReply
{
    juce::uint16 key = 0;
    juce::uint32 value = 0;
};
