#pragma once

#include <juce_core/juce_core.h>

// SYSEX_MULTIMSG_START: which function the transfer answers and how many
// messages follow before its end message.
struct MultiMessageStart
{
    juce::uint8 function = 0;
    juce::uint16 count = 0;
};
