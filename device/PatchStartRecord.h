#pragma once

#include <juce_core/juce_core.h>

// SYSEX_PATCH_START, the head of a preset dump: the two location bytes of the
// preset (127, 127 for the current preset) and the number of data words.
struct PatchStartRecord
{
    juce::uint8 bank = 0;
    juce::uint8 program = 0;
    juce::uint16 wordCount = 0;
};
