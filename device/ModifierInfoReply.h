#pragma once

#include <juce_core/juce_core.h>

// One SYSEX_GET_MODIFIER_INFO reply: a modifier and what it is assigned to.
struct ModifierInfoReply
{
    juce::uint16 modifierId = 0;
    juce::uint16 controller = 0;
    juce::uint16 blockId = 0;
    juce::uint16 paramId = 0;
};
