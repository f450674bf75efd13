#include "model/ByteWriter.h"

void ByteWriter::writeU8 (juce::uint8 value)
{
    block.append (&value, 1);
}

void ByteWriter::writeU16 (juce::uint16 value)
{
    const juce::uint8 b[2] = { (juce::uint8) (value & 0xff), (juce::uint8) (value >> 8) };
    block.append (b, 2);
}

void ByteWriter::writeU32 (juce::uint32 value)
{
    const juce::uint8 b[4] = { (juce::uint8) (value & 0xff), (juce::uint8) ((value >> 8) & 0xff),
                               (juce::uint8) ((value >> 16) & 0xff), (juce::uint8) (value >> 24) };
    block.append (b, 4);
}

void ByteWriter::writeFloat (float value)
{
    juce::uint32 bits;
    std::memcpy (&bits, &value, sizeof (bits));
    writeU32 (bits);
}

void ByteWriter::writeBytes (const void* data, size_t n)
{
    if (n > 0 && data != nullptr)
        block.append (data, n);
}

void ByteWriter::writeText (const juce::String& text)
{
    auto utf8 = text.toUTF8();
    auto length = utf8.sizeInBytes() - 1;
    writeU32 ((juce::uint32) length);
    writeBytes (utf8.getAddress(), length);
}
