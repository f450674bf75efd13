#pragma once

#include <juce_core/juce_core.h>

// Appends little-endian numbers and length-prefixed texts to a memory block:
// the writing side of ByteReader.
class ByteWriter
{
public:
    explicit ByteWriter (juce::MemoryBlock& target)
        : block (target)
    {
    }

    void writeU8 (juce::uint8 value);
    void writeU16 (juce::uint16 value);
    void writeU32 (juce::uint32 value);
    void writeI32 (juce::int32 value) { writeU32 ((juce::uint32) value); }
    void writeFloat (float value);
    void writeBytes (const void* data, size_t n);

    // A text as its 32-bit UTF-8 byte length and those bytes (no terminator).
    void writeText (const juce::String& text);

    size_t size() const { return block.getSize(); }

private:
    juce::MemoryBlock& block;
};
