#pragma once

#include <juce_core/juce_core.h>

// Bits 0..3 of the unit's SYSEX_GET_FLAGS value, one byte each. Flag 0 means
// the current preset has unsaved changes.
struct UnitFlags
{
    juce::uint8 flags[4] = {};

    bool isPresetModified() const { return flags[0] != 0; }
};
