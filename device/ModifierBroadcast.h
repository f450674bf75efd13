#pragma once

#include <juce_core/juce_core.h>

// The 3-byte record of SYSEX_BROADCAST_MODIFIER. A request sends the first
// two bytes; the unit's report sets the third.
struct ModifierBroadcast
{
    juce::uint8 bytes[3] = {};
};
