#pragma once

#include <juce_core/juce_core.h>

// One cell of the unit's 4 x 12 effect grid: the block that sits in it and
// the rows of the column to its left that feed it.
struct GridCell
{
    // 0 = empty, 300..335 = a shunt (pass-through), anything else an effect block.
    juce::uint16 blockId = 0;

    // Bit r set: the cell in row r of the column to the left feeds this one.
    juce::uint16 inputMask = 0;
};
