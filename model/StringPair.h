#pragma once

#include <juce_core/juce_core.h>

// Two texts that belong together, such as a snapshot's name and the full path
// of its file.
struct StringPair
{
    juce::String first;
    juce::String second;

    bool operator== (const StringPair& other) const { return first == other.first && second == other.second; }
    bool operator!= (const StringPair& other) const { return ! operator== (other); }
};
