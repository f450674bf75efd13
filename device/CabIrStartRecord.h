#pragma once

#include <juce_core/juce_core.h>

// SYSEX_CABIR_START, the head of a cab dump: the cab number and the second
// value of the message.
struct CabIrStartRecord
{
    juce::uint16 cabNumber = 0;
    juce::uint16 second = 0;
};
