#pragma once

#include <juce_core/juce_core.h>

// One modifier of a block as the unit dumps it (SYSEX_MODIFIER_DUMP): 68
// bytes kept exactly as received, the first 16-bit word being the block id.
// Block library files store the same bytes.
struct ModifierDumpRecord
{
    static constexpr size_t size = 68;

    juce::uint8 bytes[size] = {};

    juce::uint16 getBlockId() const { return (juce::uint16) (bytes[0] | (bytes[1] << 8)); }

    bool operator== (const ModifierDumpRecord& other) const { return std::memcmp (bytes, other.bytes, size) == 0; }
    bool operator!= (const ModifierDumpRecord& other) const { return ! operator== (other); }
};

static_assert (sizeof (ModifierDumpRecord) == ModifierDumpRecord::size, "stored and sent as 68 raw bytes");
