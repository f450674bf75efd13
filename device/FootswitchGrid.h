#pragma once

#include <juce_core/juce_core.h>

// One entry of a SYSEX_FSGRID message: three 16-bit numbers.
struct FootswitchGridEntry
{
    juce::uint16 a = 0;
    juce::uint16 b = 0;
    juce::uint16 c = 0;

    bool operator== (const FootswitchGridEntry& other) const { return a == other.a && b == other.b && c == other.c; }
};

// A SYSEX_FSGRID message: a first value and a list of entries (at most 127,
// the range of the one-septet count).
struct FootswitchGrid
{
    static constexpr int maxEntries = 127;

    juce::uint8 first = 0;
    juce::Array<FootswitchGridEntry> entries;
};
