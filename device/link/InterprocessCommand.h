#pragma once

#include <juce_core/juce_core.h>

// One command of the interprocess channel: 13 unsigned 32-bit words, 52 bytes,
// little-endian on the wire.
//
//   word 0      command, 1 to 4
//   word 1      argument, 0 to 4; in an answer, the command it answers
//   word 2      kind, 1 to 3; 0 marks an empty record
//   words 3-10  32 bytes of command data
//   word 11     time of sending (millisecond counter)
//   word 12     check: the XOR of the 24 16-bit words of bytes 0 to 47
struct InterprocessCommand
{
    static constexpr int numWords = 13;
    static constexpr size_t sizeInBytes = 52;

    juce::uint32 words[numWords] = {};

    juce::uint32 getCommand() const { return words[0]; }
    juce::uint32 getArgument() const { return words[1]; }
    juce::uint32 getKind() const { return words[2]; }
    juce::uint32 getSendTime() const { return words[11]; }
    bool isEmpty() const { return words[2] == 0; }

    // The check word for words 0 to 11 as they stand.
    juce::uint32 computeCheck() const;

    // Reads exactly 52 bytes (words little-endian); false for any other size.
    bool readFrom (const void* data, size_t size);

    // The 52 bytes of the record, words little-endian.
    juce::MemoryBlock toBytes() const;
};

// Sets all 13 words to 0.
void clearInterprocessCommand (InterprocessCommand& record);
