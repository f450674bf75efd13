#pragma once

#include <juce_core/juce_core.h>

// A preset as one SYSEX_PATCH_DUMP answer brings it: the two location bytes
// of its start message and every data word in order.
struct CollectedPatch
{
    juce::uint8 bank = 0;
    juce::uint8 program = 0;
    juce::Array<juce::uint16> words;
};
