#pragma once

#include <juce_core/juce_core.h>

// The one-byte check used by SysEx frames and by the program's own record
// files: the XOR of the bytes, masked to 7 bits. 0 for no data.
juce::uint8 calcSysExChecksum (const void* bytes, size_t count);

// The program's own record files end with one check byte over everything
// before it. appendCheckByte adds it for the bytes written since start;
// hasValidCheckByte tells whether a whole record (check byte last) is intact.
void appendCheckByte (juce::MemoryBlock& block, size_t start = 0);
bool hasValidCheckByte (const void* record, size_t size);

// XOR of an array of 16-bit or 32-bit words; 0 for none.
juce::uint16 xorWords16 (const juce::uint16* words, size_t count);
juce::uint32 xorWords32 (const juce::uint32* words, size_t count);
