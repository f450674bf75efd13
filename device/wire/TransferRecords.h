#pragma once

#include <juce_core/juce_core.h>

// SYSEX_MULTIMSG_START: which function the transfer answers and how many
// messages follow before its end message.
struct MultiMessageStart
{
    juce::uint8 function = 0;
    juce::uint16 count = 0;
};

// SYSEX_PATCH_START, the head of a preset dump: the two location bytes of the
// preset (127, 127 for the current preset) and the number of data words.
struct PatchStartRecord
{
    juce::uint8 bank = 0;
    juce::uint8 program = 0;
    juce::uint16 wordCount = 0;
};

// SYSEX_EFFECT_START, the head of a block's all-parameters dump.
struct EffectStartRecord
{
    juce::uint16 blockId = 0;
    juce::uint16 wordCount = 0;
    juce::uint8 flags = 0;

    // The flags byte taken apart: bits 0, 1 and 2, and (bits & 8) | (bits >> 4).
    juce::uint8 flag0 = 0;
    juce::uint8 flag1 = 0;
    juce::uint8 flag2 = 0;
    juce::uint8 flag3 = 0;
};

// SYSEX_CABIR_START, the head of a cab dump: the cab number and the second
// value of the message.
struct CabIrStartRecord
{
    juce::uint16 cabNumber = 0;
    juce::uint16 second = 0;
};

// SYSEX_RAWIR_START, the head of a raw impulse-response transfer.
struct RawIrStartRecord
{
    juce::uint8 first = 0;
    juce::uint16 second = 0;
};

// The first reply to SYSEX_PATCH_PLUS_CAB_DUMP: bit n of the cab flags set
// means the dump of cab n of the preset follows the preset's own dump.
struct PatchPlusCabHeader
{
    juce::uint8 cabFlags = 0;
    juce::uint8 second = 0;

    int countCabs() const
    {
        int n = 0;
        for (int bit = 0; bit < 4; ++bit)
            n += (cabFlags >> bit) & 1;
        return n;
    }
};

// A preset as one SYSEX_PATCH_DUMP answer brings it: the two location bytes
// of its start message and every data word in order.
struct CollectedPatch
{
    juce::uint8 bank = 0;
    juce::uint8 program = 0;
    juce::Array<juce::uint16> words;
};

// A cab as one SYSEX_CAB_DUMP answer brings it: the cab number and its 2048
// 32-bit values (8196 bytes in all).
struct CabDumpData
{
    static constexpr int numValues = 2048;

    juce::uint32 cabNumber = 0;
    juce::uint32 values[numValues] = {};
};

// One cab slot's name (SYSEX_CABNAME): its number, a 32-byte name field that
// always ends in a zero, and the cab's format byte (0x20 marks a cab that
// lists show with " (*)").
struct CabNameRecord
{
    static constexpr int nameSize = 32;

    juce::uint32 slot = 0;
    char name[nameSize] = {};
    juce::uint8 format = 0;
    juce::uint8 spare[3] = {};

    juce::String getName() const { return juce::String (name, (size_t) strnlen (name, nameSize)); }

    // False for a name of blanks, and for one that begins with a control
    // character: cab data that held no name where its name belongs.
    bool holdsName() const
    {
        const auto text = getName().trim();
        return text.isNotEmpty() && text[0] >= 0x20 && text[0] != 0x7f;
    }
};
