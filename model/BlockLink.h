#pragma once

#include <juce_core/juce_core.h>

// Records that a block of the current preset was loaded from (or saved as) a
// library entry, and whether it is still unchanged since (matches 1).
struct BlockLink
{
    juce::uint16 blockId = 0;
    juce::uint16 entryId = 0;
    juce::uint8 matches = 0;
};
