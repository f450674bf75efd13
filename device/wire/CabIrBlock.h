#pragma once

#include "device/wire/TransferRecords.h"

#include <juce_core/juce_core.h>

// A cab impulse response as the unit sends it and cab files hold it: one
// SYSEX_CABIR_START, up to 64 SYSEX_CABIR_DATA messages of 32 values each
// and one SYSEX_CABIR_END carrying the XOR of all 2048 values. Decoded, the
// values are 8192 bytes (each value little-endian); the first 32 bytes are
// the header: the cab's name in bytes 0 to 30 and its format byte in byte 31
// (0x20 marks a cab that lists show with " (*)").

constexpr int cabIrValueCount = 2048;
constexpr int cabIrDataMessages = 64;
constexpr int cabIrNameLength = 31;
constexpr int cabIrFormatOffset = 31;

// Decodes a whole cab dump: every message of one model, each with a valid
// checksum, the start first, then the data messages, then the end, whose
// value must equal the XOR of the values (places no data message filled are
// 0). Anything else (another message, a second start, a missing end, data
// after the end, more than 64 data messages) gives false and leaves the
// outputs untouched.
bool decodeCabIrBlock (const void* bytes, size_t size, juce::MemoryBlock& decoded, CabIrStartRecord* start = nullptr,
                       juce::uint8* model = nullptr);

// The format byte of the decoded header; false when the block does not decode.
bool getCabIrFormatByte (const juce::MemoryBlock& block, juce::uint8& format);

// The cab's name from the first 31 bytes of the decoded header (up to the
// first zero, trailing blanks removed); false when the block does not decode
// or the name is empty.
bool getCabIrName (const juce::MemoryBlock& block, juce::String& name);
