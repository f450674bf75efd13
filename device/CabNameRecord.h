#pragma once

#include <juce_core/juce_core.h>

// One cab slot's name (SYSEX_CABNAME): its number, a 32-byte name field that
// always ends in a zero, and the cab's format byte (0x20 marks a cab that
// lists show with " (*)").
struct CabNameRecord
{
    static constexpr int nameSize = 32;

    juce::uint32 slot = 0;
    char name[nameSize] = {};
    juce::uint8 format = 0;
    juce::uint8 spare[3] = {};

    juce::String getName() const { return juce::String (name, (size_t) strnlen (name, nameSize)); }
};
