#pragma once

#include <juce_core/juce_core.h>

// One block a request places in a grid cell (SYSEX_PLACE_EFFECT).
struct BlockInsert
{
    juce::uint8 cell = 0;
    juce::uint16 blockId = 0;
};
