#pragma once

#include <juce_core/juce_core.h>

// The unit model and firmware a block library file was saved with.
struct FirmwareStamp
{
    juce::uint16 modelId = 0;
    juce::uint8 major = 0;
    juce::uint8 minor = 0;
};
