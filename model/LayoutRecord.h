#pragma once

#include <juce_core/juce_core.h>

// One layout value of a SYSEX_LAYOUT_SET message. A record is identified by
// (layout, key). Records decoded from the unit's replies have operation 0.
struct LayoutRecord
{
    juce::uint8 operation = 0; // 1 in a request that sets a value
    juce::uint8 layout = 0;
    juce::uint16 key = 0;
    juce::uint16 value = 0;
};
