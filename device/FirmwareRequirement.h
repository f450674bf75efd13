#pragma once

#include <juce_core/juce_core.h>

// The lowest firmware a supported model must run. The constant list of them
// is FirmwareRequirements (model/IdTables.h).
struct FirmwareRequirement
{
    juce::int32 model = -1;
    juce::int32 lowestMajor = 0;
    juce::int32 lowestMinor = 0;
};
