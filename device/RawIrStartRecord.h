#pragma once

#include <juce_core/juce_core.h>

// SYSEX_RAWIR_START, the head of a raw impulse-response transfer.
struct RawIrStartRecord
{
    juce::uint8 first = 0;
    juce::uint16 second = 0;
};
