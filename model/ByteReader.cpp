#include "model/ByteReader.h"

ByteReader::ByteReader (const void* data, size_t dataSize)
    : bytes (static_cast<const juce::uint8*> (data))
    , size (data != nullptr ? dataSize : 0)
{
}

ByteReader::ByteReader (const juce::MemoryBlock& block)
    : ByteReader (block.getData(), block.getSize())
{
}

bool ByteReader::require (size_t n)
{
    if (failed || n > size - pos)
    {
        failed = true;
        return false;
    }
    return true;
}

bool ByteReader::canHold (juce::uint64 count, size_t itemSize) const
{
    if (failed)
        return false;
    if (itemSize == 0)
        return true;
    return count <= (juce::uint64) (size - pos) / itemSize;
}

juce::uint8 ByteReader::readU8()
{
    if (! require (1))
        return 0;
    return bytes[pos++];
}

juce::uint16 ByteReader::readU16()
{
    if (! require (2))
        return 0;
    auto value = (juce::uint16) (bytes[pos] | (bytes[pos + 1] << 8));
    pos += 2;
    return value;
}

juce::uint32 ByteReader::readU32()
{
    if (! require (4))
        return 0;
    auto value = (juce::uint32) bytes[pos] | ((juce::uint32) bytes[pos + 1] << 8) |
                 ((juce::uint32) bytes[pos + 2] << 16) | ((juce::uint32) bytes[pos + 3] << 24);
    pos += 4;
    return value;
}

juce::int32 ByteReader::readI32()
{
    return (juce::int32) readU32();
}

float ByteReader::readFloat()
{
    auto bits = readU32();
    float value;
    std::memcpy (&value, &bits, sizeof (value));
    return value;
}

bool ByteReader::readBytes (void* dest, size_t n)
{
    if (! require (n))
        return false;
    if (n > 0)
        std::memcpy (dest, bytes + pos, n);
    pos += n;
    return true;
}

bool ByteReader::skip (size_t n)
{
    if (! require (n))
        return false;
    pos += n;
    return true;
}

juce::String ByteReader::readText (juce::uint32 maxBytes)
{
    auto length = readI32();

    if (failed || length < 0 || (juce::uint32) length > maxBytes || ! require ((size_t) length))
    {
        failed = true;
        return {};
    }

    auto* start = reinterpret_cast<const char*> (bytes + pos);

    // Malformed UTF-8 inside a juce::String makes later walks over the text
    // step past its end, so such a text is refused like any other bad data.
    if (! juce::CharPointer_UTF8::isValidString (start, length))
    {
        failed = true;
        return {};
    }

    auto text = juce::String::fromUTF8 (start, length);
    pos += (size_t) length;
    return text;
}
