#pragma once

#include <juce_core/juce_core.h>

// The 3-byte record of SYSEX_BROADCAST_MODIFIER. A request sends the first
// two bytes; the unit's report sets the third.
struct ModifierBroadcast
{
    juce::uint8 bytes[3] = {};
};

// One SYSEX_GET_MODIFIER_INFO reply: a modifier and what it is assigned to.
struct ModifierInfoReply
{
    juce::uint16 modifierId = 0;
    juce::uint16 controller = 0;
    juce::uint16 blockId = 0;
    juce::uint16 paramId = 0;
};

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

// A SYSEX_MODIFIER message: a block id and up to 15 16-bit numbers (modifier
// ids in a request, their values in a reply).
struct ModifierValues
{
    static constexpr int maxValues = 15;

    juce::uint16 blockId = 0;
    juce::uint16 count = 0;
    juce::uint32 values[maxValues] = {};
};

// One SYSEX_MODIFIER_SET a request sends: the block, the two selectors
// (modifier parameter and field), the value and the write mode.
struct ModifierWrite
{
    juce::uint16 blockId = 0;
    juce::uint16 selector1 = 0;
    juce::uint16 selector2 = 0;
    juce::uint16 value = 0;
    juce::uint8 mode = 1;
};

// One SYSEX_SET_MODPARAM_DIRECT a request sends: the block, the two
// selectors and the 32 bits of the float value.
struct ModifierDirectWrite
{
    juce::uint16 blockId = 0;
    juce::uint16 selector1 = 0;
    juce::uint16 selector2 = 0;
    juce::uint32 valueBits = 0;
};
