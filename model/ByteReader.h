#pragma once

#include <juce_core/juce_core.h>

// Reads little-endian numbers and length-prefixed texts from a block of bytes
// that came from outside (a file, the unit). It never reads past the data:
// every read checks what remains first, in arithmetic that cannot wrap, and a
// failed read leaves the reader failed (ok() == false) and returns zero.
class ByteReader
{
public:
    ByteReader (const void* data, size_t size);
    explicit ByteReader (const juce::MemoryBlock& block);
    ByteReader (juce::MemoryBlock&&) = delete; // would keep a pointer into a temporary

    bool ok() const { return ! failed; }
    size_t position() const { return pos; }
    size_t remaining() const { return size - pos; }
    size_t totalSize() const { return size; }
    const juce::uint8* data() const { return bytes; }

    // The next unread byte (where a nested form starts).
    const juce::uint8* current() const { return bytes + pos; }

    // True when n more bytes can be read; marks the reader failed otherwise.
    bool require (size_t n);

    // True when count items of itemSize bytes can still be read (no wrap).
    bool canHold (juce::uint64 count, size_t itemSize) const;

    juce::uint8 readU8();
    juce::uint16 readU16();
    juce::uint32 readU32();
    juce::int32 readI32();
    float readFloat();

    // For record forms that tolerate short data: a field that does not fit
    // in what remains is not read, reads as 0 and leaves the reader ok.
    juce::uint8 readU8IfPresent() { return remaining() >= 1 ? readU8() : (juce::uint8) 0; }
    juce::uint16 readU16IfPresent() { return remaining() >= 2 ? readU16() : (juce::uint16) 0; }
    juce::uint32 readU32IfPresent() { return remaining() >= 4 ? readU32() : 0u; }
    bool readBytes (void* dest, size_t n);
    bool skip (size_t n);

    // A text stored as a 32-bit byte length and that many bytes (UTF-8).
    // A negative length, one beyond the data or beyond maxBytes, or bytes
    // that are not valid UTF-8, fail.
    juce::String readText (juce::uint32 maxBytes = 1u << 20);

    void fail() { failed = true; }

private:
    const juce::uint8* bytes;
    size_t size;
    size_t pos = 0;
    bool failed = false;
};
