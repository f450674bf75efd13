#pragma once

#include <juce_core/juce_core.h>

// One footswitch's assignment, three 16-bit fields, the same in memory and
// in the footswitch-grid message.
//
// mode: low byte 0 = a per-preset switch, 1 = global and latching,
// 2 = global and momentary; for a per-preset switch the high byte is
// 0 latching, 1 momentary.
struct FootswitchAssignment
{
    juce::uint16 presetBlockId = 0; // 0: none
    juce::uint16 globalBlockId = 0; // 0: none
    juce::uint16 mode = 0;

    int getKind() const { return mode & 0xFF; }
    bool isGlobal() const { return getKind() == 1 || getKind() == 2; }
    bool isPresetMomentary() const { return (mode >> 8) != 0; }

    bool operator== (const FootswitchAssignment& other) const
    {
        return presetBlockId == other.presetBlockId && globalBlockId == other.globalBlockId && mode == other.mode;
    }
};
