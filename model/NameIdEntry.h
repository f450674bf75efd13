#pragma once

#include <juce_core/juce_core.h>

// One row of the layout manager's name tables: a name of the layout document
// and the id it stands for. Lookups compare names exactly (case-sensitive).
struct NameIdEntry
{
    juce::String name;
    juce::int32 id = 0;
};
