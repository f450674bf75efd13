#pragma once

#include <juce_core/juce_core.h>

// The one-byte check used by SysEx frames and by the program's own record
// files: the XOR of the bytes, masked to 7 bits. 0 for no data.
juce::uint8 calcSysExChecksum (const void* bytes, size_t count);

// XOR of an array of 16-bit or 32-bit words; 0 for none.
juce::uint16 xorWords16 (const juce::uint16* words, size_t count);
juce::uint32 xorWords32 (const juce::uint32* words, size_t count);
