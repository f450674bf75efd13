#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <atomic>
#include <initializer_list>

// The frame every message to and from the unit uses, and the ".syx" files:
//
//   F0 | 00 02 6B | model | function | payload (n bytes, each < 0x80) | checksum | F7
//
// A frame is n + 8 bytes long; the shortest one that any reader accepts is the
// 6-byte header. The checksum (calcSysExChecksum in model/Checksum.h) is the
// XOR of every byte from the F0 up to the last payload byte, masked to 7 bits.

constexpr juce::uint8 sysExStartByte = 0xF0;
constexpr juce::uint8 sysExEndByte = 0xF7;
constexpr juce::uint8 sysExHeaderPrefix[4] = { 0xF0, 0x00, 0x02, 0x6B };
constexpr int sysExModelOffset = 4;
constexpr int sysExFunctionOffset = 5;
constexpr int sysExHeaderSize = 6;
constexpr int sysExFrameOverhead = 8; // header + checksum + F7

// Model bytes with a special meaning for the stream reader.
constexpr juce::uint8 sysExAnyModel = 254; // F0 00 02 6B with any model byte
constexpr juce::uint8 sysExAnySysEx = 255; // any SysEx message, whoever the maker

// A function byte of 255 given to splitSysExAtHeaders matches any function.
constexpr juce::uint8 sysExAnyFunction = 255;

// The model byte that builders write when no model is given. Starts as 3; the
// device manager sets it from the unit's version reply. Atomic because the
// link thread and the raw preset worker read it while the message thread may
// set it. Code that builds for another model passes that model explicitly
// instead of switching this value.
extern std::atomic<juce::uint8> currentSysExModel;

//==============================================================================
// Payload layouts: one static table per message kind, rows of
// {field id, byte offset from F0, width in septets}, ended by a row whose field
// id is sysExLayoutEnd. A width of sysExVariableWidth marks a last field that
// runs up to the checksum.
struct PayloadLayout
{
    juce::uint32 fieldId;
    juce::uint32 offset;
    juce::uint32 width;
};

constexpr juce::uint32 sysExLayoutEnd = 0xFFFFFFFF;
constexpr juce::uint32 sysExVariableWidth = 0xFFFFFFFF;
constexpr juce::uint32 sysExFieldAbsent = 0xFFFFFFFF;
constexpr PayloadLayout payloadLayoutEnd{ sysExLayoutEnd, 0, 0 };

// Offset or width of the first row with the field id; sysExFieldAbsent (0xFFFFFFFF)
// when the id is absent or the layout is null.
juce::uint32 getSysExFieldOffset (const PayloadLayout* layout, juce::uint32 fieldId);
juce::uint32 getSysExFieldWidth (const PayloadLayout* layout, juce::uint32 fieldId);

// Sum of the widths of all fixed-width rows: the payload size a builder
// allocates. 0 for a null or empty layout; a variable-width row counts 0.
juce::uint32 getSysExPayloadSize (const PayloadLayout* layout);

//==============================================================================
// Framing

// Writes F0 00 02 6B <model> <function> at dest; gives 6.
int writeSysExHeader (juce::uint8* dest, juce::uint8 model, juce::uint8 function);

// Writes the checksum of dest[0 .. length-1] at dest[length] and F7 behind it;
// gives the total length (length + 2).
int writeSysExTrailer (juce::uint8* dest, int length);

// Frames the payload and stores the whole frame (F0 .. F7) in out. Gives the
// frame length (payloadLength + 8); 0 (out untouched) for a null payload with
// a length above 0, or a payload too big for a MIDI message.
int buildSysExMessage (juce::MidiMessage& out, juce::uint8 function, const void* payload, size_t payloadLength,
                       juce::uint8 model = currentSysExModel.load());
int buildSysExMessage (juce::MidiMessage& out, juce::uint8 function, const juce::MemoryBlock& payload,
                       juce::uint8 model = currentSysExModel.load());

// Sets out to a copy of the bytes. Use this rather than assigning a
// temporary MidiMessage: JUCE 7.0.5's move assignment drops the heap block of
// the message it overwrites, so reusing one MidiMessage for SysEx would leak.
// No data (null or size 0) gives an empty default message.
void setMidiMessageBytes (juce::MidiMessage& out, const void* data, int size);

// True when the message starts with F0, has at least the 6 header bytes and
// byte 5 is the function: the first test of every reply parser.
bool isSysExOfFunction (const juce::MidiMessage& message, juce::uint8 function);

// The function byte of a message from F0 on; 0 for one too short to hold it.
juce::uint8 getSysExFunction (const juce::MidiMessage& message);

// True for a whole frame (at least 8 bytes, ending in F7) whose checksum byte
// matches its contents.
bool hasValidFrameChecksum (const juce::MidiMessage& message);

//==============================================================================
// Septet numbers: width w is sent as w bytes, lowest 7-bit group first.

// Writes value in count septets at offset, growing the block to
// offset + count when it is shorter. Bits above 7 * count are dropped.
// Nothing is written for a count of 0 or less.
void packSeptets (juce::MemoryBlock& block, size_t offset, juce::uint32 value, int count);

// Reads count septets at offset. 0 when count is below 1, the data is null, or
// offset + count passes the end. Groups beyond bit 31 are ignored, so a
// 5-septet value carries the full 32 bits (returned as their signed pattern).
juce::int32 unpackSeptets (const void* data, size_t size, size_t offset, int count);
juce::int32 unpackSeptets (const juce::MidiMessage& message, size_t offset, int count);
juce::int32 unpackSeptets (const juce::MemoryBlock& block, size_t offset, int count);

// Table-driven helpers for builders and parsers.
//
// packSysExFields writes the values one after another from position 'offset'
// of the payload, each in the width of the layout row in the same place (the
// row offsets are not consulted). Values beyond the last fixed-width row take
// that row's width, which is how a builder repeats a counted last field.
// Packing stops at a variable-width row. Gives the position behind the last
// byte written.
size_t packSysExFields (juce::MemoryBlock& payload, const PayloadLayout* layout, const juce::uint32* values,
                        size_t numValues, size_t offset = 0);
size_t packSysExFields (juce::MemoryBlock& payload, const PayloadLayout* layout,
                        std::initializer_list<juce::uint32> values, size_t offset = 0);

// Packs the values by layout (as packSysExFields) and frames exactly the bytes
// written. Gives the frame length, as buildSysExMessage.
int buildSysExFromLayout (juce::MidiMessage& out, juce::uint8 function, const PayloadLayout* layout,
                          std::initializer_list<juce::uint32> values, juce::uint8 model = currentSysExModel.load());

// Reads one field at its layout offset and width; 0 when the field is absent,
// has variable width, or lies beyond the end of the message.
juce::int32 unpackSysExField (const juce::MidiMessage& message, const PayloadLayout* layout, juce::uint32 fieldId);

//==============================================================================
// Texts

// The zero-terminated 8-bit text at offset (each byte is the character of that
// code). Empty when offset is at or past the end. The data version stops at
// size; the message version stops before the checksum of a complete frame
// (or at the last byte of anything else).
juce::String readSysExText (const void* data, size_t size, size_t offset);
juce::String readSysExText (const juce::MidiMessage& message, size_t offset);

// The name a preset's decoded data holds in its 32 name places (words 2 to
// 33), as the patch dump reads it: the character in the low byte of each
// place, where a low byte of 0xFF (the unit's padding, as 0x00FF or 0xFFFF)
// or of 0 marks an empty place that adds nothing. Blanks are kept; the
// readers trim them.
juce::String presetNameFromPlaces (const juce::uint32* places, size_t count);

// A name in a dump's encoding: 32 places of 3 septets each (96 bytes), each
// place taken whole as one character code. A place whose low byte is 0xFF
// (the unit's padding, as 0x00FF or 0xFFFF) and a code of 0 add nothing; a
// code that is not a character gives U+FFFD. Blanks are kept. Only whole
// places within size are read.
juce::String decodeSysExName (const void* bytes, size_t size);

//==============================================================================
// Buffers of concatenated messages

// True when the buffer holds at least 6 bytes and begins F0 00 02 6B; model
// is then set to byte 4 (untouched otherwise).
bool getSysExModel (const void* data, size_t size, juce::uint8& model);
bool getSysExModel (const juce::MemoryBlock& buffer, juce::uint8& model);
bool getSysExModel (const juce::MidiMessage& message, juce::uint8& model);

// Appends every message of the buffer (found with the any-model prefix) to
// out with its model byte set to newModel. A message whose model changes gets
// a new checksum when it is long enough to hold one (8 bytes or more); a
// message that already has the model is copied unchanged; messages of 4 bytes
// or fewer are dropped. Gives the old model byte of the last message, 0 when
// there was none.
juce::uint8 retagSysExModel (const void* data, size_t size, juce::uint8 newModel, juce::MemoryBlock& out);
juce::uint8 retagSysExModel (const juce::MemoryBlock& buffer, juce::uint8 newModel, juce::MemoryBlock& out);

// Cuts the buffer at every header F0 00 02 6B <model> <function> (function
// sysExAnyFunction: any function) and appends the pieces, in order, to
// pieces. Bytes before the first header form a piece of their own; no piece
// is ever empty. Gives the number of pieces appended.
int splitSysExAtHeaders (const void* data, size_t size, juce::uint8 function, juce::uint8 model,
                         juce::OwnedArray<juce::MemoryBlock>& pieces);
int splitSysExAtHeaders (const juce::MemoryBlock& buffer, juce::uint8 function, juce::uint8 model,
                         juce::OwnedArray<juce::MemoryBlock>& pieces);

// Index of the first occurrence of the pattern in the buffer; -1 when there
// is none, for a null buffer or pattern, or for an empty pattern.
int findPattern (const void* buffer, int length, const void* pattern, int patternLength);
