#pragma once

#include <juce_core/juce_core.h>

// The unit's system information (SYSEX_GET_SYSINFO): the cab slot counts of
// each kind. The first word is kept to its low 8 bits.
struct SystemInfo
{
    juce::uint16 firstWord = 0;
    juce::uint16 factoryCabs = 0;
    juce::uint16 userCabs = 0;
    juce::uint16 scratchpadCabs = 0;
};
