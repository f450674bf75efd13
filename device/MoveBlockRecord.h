#pragma once

#include <juce_core/juce_core.h>

// A SYSEX_MOVE_EFFECT request in wire order: the direction (0 towards a higher
// column, 1 towards a lower column, 2 towards a higher row, 3 towards a lower
// row), the number of columns or rows, and the cell of the block that moves.
struct MoveBlockRecord
{
    juce::uint8 direction = 0;
    juce::uint8 distance = 0;
    juce::uint8 cell = 0;
};
