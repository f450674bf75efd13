#pragma once

#include <juce_core/juce_core.h>

// A modifier source (controller) id and its display name.
struct ControllerName
{
    juce::int32 id = 0;
    juce::String name;
};
