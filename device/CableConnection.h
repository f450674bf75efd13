#pragma once

#include <juce_core/juce_core.h>

// One cable of the grid as SYSEX_CONNECT_EFFECT sends it: the cell that feeds,
// the cell that is fed (in the next column) and whether the cable is made (1)
// or cut (0).
struct CableConnection
{
    juce::uint8 sourceCell = 0;
    juce::uint8 destinationCell = 0;
    juce::uint8 connect = 0;
};
