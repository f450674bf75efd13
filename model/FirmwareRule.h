#pragma once

#include <juce_core/juce_core.h>

// The lowest firmware of a model whose block library files are accepted.
// Tables of rules end with a row whose model id is -1.
struct FirmwareRule
{
    juce::int32 modelId;
    juce::int32 major;
    juce::int32 minor;
};
