#pragma once

#include <juce_core/juce_core.h>

// The unit's 32-bit state word of one block (SYSEX_QUERY_STATES): bits 0-7 the
// block id (ids are compared on this byte only), bit 24 engaged, bit 25 the X
// channel selected (clear: Y), bit 31 disabled by the unit.
namespace BlockStateWord
{
constexpr juce::uint32 idMask = 0xFFu;
constexpr juce::uint32 engagedBit = 1u << 24;
constexpr juce::uint32 xSelectedBit = 1u << 25;
constexpr juce::uint32 disabledBit = 1u << 31;

inline bool hasBlockId (juce::uint32 word, int blockId) noexcept
{
    return (word & idMask) == ((juce::uint32) blockId & idMask);
}

inline bool isEngaged (juce::uint32 word) noexcept
{
    return (word & engagedBit) != 0;
}

inline bool isXSelected (juce::uint32 word) noexcept
{
    return (word & xSelectedBit) != 0;
}

inline bool isDisabled (juce::uint32 word) noexcept
{
    return (word & disabledBit) != 0;
}

// The channel index of the program's parameter lists: 0 for X, 1 for Y.
inline int getChannel (juce::uint32 word) noexcept
{
    return isXSelected (word) ? 0 : 1;
}
} // namespace BlockStateWord
