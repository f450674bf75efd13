#pragma once

#include <juce_core/juce_core.h>

// One setting of a modifier as the unit reports it. Setting 0 names the
// controller: its value is a controller id, 0 meaning none.
struct ModifierValueEntry
{
    juce::uint16 blockId = 0;
    juce::uint16 paramId = 0;
    juce::uint16 settingIndex = 0; // 0..14
    juce::uint16 value = 0;        // the setting's numeric value
    juce::String text;             // the value as the unit displays it
};
