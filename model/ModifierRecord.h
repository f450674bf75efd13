#pragma once

#include "model/ModifierValueEntry.h"

// One of the unit's 16 modifier slots (ids 100..115): the block and
// parameter it drives and its 15 settings. A modifier on a block's
// bypass-mode parameter is kept under parameter id 255, whichever id the
// unit names it by; the id the unit named is kept beside it.
class ModifierRecord
{
public:
    static constexpr int numSettings = 15;
    static constexpr int bypassModeParamId = 255;

    explicit ModifierRecord (juce::uint16 id = 0)
        : modifierId (id)
    {
    }

    // Unassigns the slot: block, parameter, flag and every setting cleared.
    void reset();

    // Stores the entry at the setting its own index names; false for an
    // index of 15 or more.
    bool setSlot (const ModifierValueEntry& entry);

    // Copies setting n; false for n outside 0..14.
    bool getSlot (int n, ModifierValueEntry& out) const;

    // Setting 0's value: the controller id, 0 when none drives the slot.
    juce::uint16 getControllerId() const { return settings[0].value; }

    juce::uint16 modifierId = 0;
    juce::uint16 blockId = 0; // 0 = unassigned
    juce::uint16 paramId = 0;
    // The parameter id as the unit's modifier info names it: for a
    // bypass-mode parameter its own id or 255, while paramId is 255 either
    // way. A slot the info has not named yet keeps paramId here.
    juce::uint16 reportedParamId = 0;
    juce::uint8 flag = 0; // set while the unit reports a changed assignment
    ModifierValueEntry settings[numSettings];
};
