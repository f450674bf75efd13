#pragma once

#include <juce_core/juce_core.h>

// The unit's answer to SYSEX_MODIFIER_SET or SYSEX_SET_MODPARAM_DIRECT: the
// block, the two modifier selectors (the parameter id, then the two flag
// bytes), the slot value and its display text.
struct ModifierSetReply
{
    juce::uint16 blockId = 0;
    juce::uint16 selector1 = 0;
    juce::uint16 selector2 = 0;
    juce::uint32 value = 0;
    juce::String text;
};
