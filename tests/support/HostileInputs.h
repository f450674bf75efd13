#pragma once

#include <juce_core/juce_core.h>

// The damaged and crafted files in tests/data/hostile (its README says what
// each once did to the program); every one is replayed by a regular test.
inline juce::File getHostileInput (const char* name)
{
    return juce::File (KESTREL_TEST_DATA_DIR).getChildFile ("hostile").getChildFile (name);
}

inline juce::MemoryBlock loadHostileInput (const char* name)
{
    juce::MemoryBlock data;
    getHostileInput (name).loadFileAsData (data);
    return data;
}
