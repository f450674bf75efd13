#pragma once

#include <juce_core/juce_core.h>

// Assigns source to target. juce::MemoryBlock's own copy assignment hands
// memcpy a null pointer when the source is empty, which the C library does
// not allow; every assignment of a block that may be empty goes through here.
inline void copyBytes (juce::MemoryBlock& target, const juce::MemoryBlock& source)
{
    if (&target == &source)
        return;

    if (source.isEmpty())
        target.reset();
    else
        target = source;
}
