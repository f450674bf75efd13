#pragma once

#include <juce_core/juce_core.h>

// How the librarian names the unit's slots to the user.

// A preset slot's number as the user knows it (the display offset added),
// at least three digits: slot 3 with offset 1 is "004".
juce::String presetSlotNumber (int slot, int displayOffset);

// The question asked before count presets (or cabs) on the unit are replaced,
// naming the first and the last slot with what they hold now ("004 Name").
juce::String replaceSlotsQuestion (int count, bool cabs, const juce::String& firstEntry,
                                   const juce::String& lastEntry);
