#pragma once

#include <juce_core/juce_core.h>

// The unit's answer to SYSEX_QUERY_VERSION: six numbers as received (major
// and minor version first), the version as a number, and the model byte the
// reply came from.
struct FirmwareInfo
{
    juce::uint32 major = 0;
    juce::uint32 minor = 0;
    juce::uint32 further[4] = {};
    float version = 0.0f; // major + minor / 100
    juce::uint8 model = 0;
};
