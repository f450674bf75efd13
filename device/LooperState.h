#pragma once

#include <juce_core/juce_core.h>

// The two looper state bytes of a SYSEX_LOOPER_STATE message.
struct LooperState
{
    juce::uint8 state = 0;
    juce::uint8 position = 0;
};
