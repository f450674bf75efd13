#pragma once

#include <juce_core/juce_core.h>

// One preset slot's name (SYSEX_QUERY_NAME_BY_NUM): the preset number as two
// 7-bit parts (255 each while the name has not been read) and a 32-byte
// name field that always ends in a zero (at most 31 characters).
struct PresetNameRecord
{
    static constexpr int nameSize = 32;

    juce::uint32 high = 255;
    juce::uint32 low = 255;
    char name[nameSize] = {};

    bool hasBeenRead() const { return ! (high == 255 && low == 255); }
    juce::int32 getNumber() const { return (juce::int32) (high * 128 + low); }
    juce::String getName() const { return juce::String (name, (size_t) strnlen (name, nameSize)); }
};
