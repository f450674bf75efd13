#pragma once

#include <juce_core/juce_core.h>

// The unit's SYSEX_STATUS_MSG: the function it answers and the result
// (0 means success).
struct StatusReply
{
    juce::uint8 function = 0;
    juce::uint8 result = 0;
};
