#pragma once

#include <juce_core/juce_core.h>

// One SYSEX_PARAM_SET a request sends from its list: mode 1 writes the
// value, mode 0 asks for it, 2 to 6 are the unit's other write modes.
struct ParamWrite
{
    juce::uint16 blockId = 0;
    juce::uint16 paramId = 0;
    juce::uint16 value = 0;
    juce::uint8 mode = 1;
};

// One SYSEX_XY a request sends: the block, the channel (0 X, 1 Y) and the
// second byte (1 selects the channel).
struct XYWrite
{
    juce::uint16 blockId = 0;
    juce::uint8 channel = 0;
    juce::uint8 select = 1;
};

// One block a request places in a grid cell (SYSEX_PLACE_EFFECT).
struct BlockInsert
{
    juce::uint8 cell = 0;
    juce::uint16 blockId = 0;
};

// A SYSEX_MOVE_EFFECT request in wire order: the direction (0 towards a higher
// column, 1 towards a lower column, 2 towards a higher row, 3 towards a lower
// row), the number of columns or rows, and the cell of the block that moves.
struct MoveBlockRecord
{
    juce::uint8 direction = 0;
    juce::uint8 distance = 0;
    juce::uint8 cell = 0;
};

// One cable of the grid as SYSEX_CONNECT_EFFECT sends it: the cell that feeds,
// the cell that is fed (in the next column) and whether the cable is made (1)
// or cut (0).
struct CableConnection
{
    juce::uint8 sourceCell = 0;
    juce::uint8 destinationCell = 0;
    juce::uint8 connect = 0;
};

// One entry of a SYSEX_FSGRID message: three 16-bit numbers.
struct FootswitchGridEntry
{
    juce::uint16 a = 0;
    juce::uint16 b = 0;
    juce::uint16 c = 0;

    bool operator== (const FootswitchGridEntry& other) const { return a == other.a && b == other.b && c == other.c; }
};

// A SYSEX_FSGRID message: a first value and a list of entries (at most 127,
// the range of the one-septet count).
struct FootswitchGrid
{
    static constexpr int maxEntries = 127;

    juce::uint8 first = 0;
    juce::Array<FootswitchGridEntry> entries;
};
