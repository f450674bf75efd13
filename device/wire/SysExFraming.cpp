#include "device/wire/SysExFraming.h"

#include "device/wire/SysExStreamReader.h"
#include "model/Checksum.h"

#include <limits>
#include <vector>

std::atomic<juce::uint8> currentSysExModel{ 3 };

namespace
{
constexpr int maxMidiMessageSize = std::numeric_limits<int>::max();

// A septet group beyond the fifth would start at bit 35: nothing of a 32-bit
// value is left there, and shifting that far would be undefined.
constexpr int maxValueSeptets = 5;

const PayloadLayout* findRow (const PayloadLayout* layout, juce::uint32 fieldId)
{
    if (layout == nullptr)
        return nullptr;

    for (auto* row = layout; row->fieldId != sysExLayoutEnd; ++row)
        if (row->fieldId == fieldId)
            return row;

    return nullptr;
}

bool startsWithHeaderPrefix (const juce::uint8* bytes, size_t size)
{
    return bytes != nullptr && size >= sizeof (sysExHeaderPrefix) &&
           std::memcmp (bytes, sysExHeaderPrefix, sizeof (sysExHeaderPrefix)) == 0;
}

juce::String stringFromCodePoints (const std::vector<juce::juce_wchar>& codePoints)
{
    if (codePoints.empty())
        return {};

    auto terminated = codePoints;
    terminated.push_back (0);
    return juce::String (juce::CharPointer_UTF32 (terminated.data()));
}
} // namespace

//==============================================================================
juce::uint32 getSysExFieldOffset (const PayloadLayout* layout, juce::uint32 fieldId)
{
    auto* row = findRow (layout, fieldId);
    return row != nullptr ? row->offset : sysExFieldAbsent;
}

juce::uint32 getSysExFieldWidth (const PayloadLayout* layout, juce::uint32 fieldId)
{
    auto* row = findRow (layout, fieldId);
    return row != nullptr ? row->width : sysExFieldAbsent;
}

juce::uint32 getSysExPayloadSize (const PayloadLayout* layout)
{
    juce::uint32 total = 0;

    if (layout != nullptr)
        for (auto* row = layout; row->fieldId != sysExLayoutEnd; ++row)
            if (row->width != sysExVariableWidth)
                total += row->width;

    return total;
}

//==============================================================================
int writeSysExHeader (juce::uint8* dest, juce::uint8 model, juce::uint8 function)
{
    std::memcpy (dest, sysExHeaderPrefix, sizeof (sysExHeaderPrefix));
    dest[sysExModelOffset] = model;
    dest[sysExFunctionOffset] = function;
    return sysExHeaderSize;
}

int writeSysExTrailer (juce::uint8* dest, int length)
{
    dest[length] = calcSysExChecksum (dest, (size_t) length);
    dest[length + 1] = sysExEndByte;
    return length + 2;
}

int buildSysExMessage (juce::MidiMessage& out, juce::uint8 function, const void* payload, size_t payloadLength,
                       juce::uint8 model)
{
    if (payload == nullptr && payloadLength > 0)
        return 0;

    if (payloadLength > (size_t) (maxMidiMessageSize - sysExFrameOverhead))
        return 0;

    juce::HeapBlock<juce::uint8> frame (payloadLength + (size_t) sysExFrameOverhead);
    auto length = writeSysExHeader (frame, model, function);

    if (payloadLength > 0)
        std::memcpy (frame + length, payload, payloadLength);

    length = writeSysExTrailer (frame, length + (int) payloadLength);
    setMidiMessageBytes (out, frame.get(), length);
    return length;
}

int buildSysExMessage (juce::MidiMessage& out, juce::uint8 function, const juce::MemoryBlock& payload,
                       juce::uint8 model)
{
    return buildSysExMessage (out, function, payload.getData(), payload.getSize(), model);
}

void setMidiMessageBytes (juce::MidiMessage& out, const void* data, int size)
{
    if (data == nullptr || size <= 0)
    {
        const juce::MidiMessage empty;
        out = empty;
        return;
    }

    const juce::MidiMessage fresh (data, size);
    out = fresh; // copy assignment frees or reuses out's old block
}

bool hasValidFrameChecksum (const juce::MidiMessage& message)
{
    const auto size = (size_t) message.getRawDataSize();
    const auto* bytes = message.getRawData();

    return size >= (size_t) sysExFrameOverhead && bytes[size - 1] == sysExEndByte &&
           bytes[size - 2] == calcSysExChecksum (bytes, size - 2);
}

bool isSysExOfFunction (const juce::MidiMessage& message, juce::uint8 function)
{
    auto* bytes = message.getRawData();
    return bytes != nullptr && message.getRawDataSize() >= sysExHeaderSize && bytes[0] == sysExStartByte &&
           bytes[sysExFunctionOffset] == function;
}

juce::uint8 getSysExFunction (const juce::MidiMessage& message)
{
    auto* bytes = message.getRawData();
    return bytes != nullptr && message.getRawDataSize() >= sysExHeaderSize && bytes[0] == sysExStartByte
               ? bytes[sysExFunctionOffset]
               : (juce::uint8) 0;
}

//==============================================================================
void packSeptets (juce::MemoryBlock& block, size_t offset, juce::uint32 value, int count)
{
    if (count <= 0)
        return;

    auto end = offset + (size_t) count;

    if (block.getSize() < end)
        block.setSize (end, true);

    auto* bytes = static_cast<juce::uint8*> (block.getData());

    for (int i = 0; i < count; ++i)
        bytes[offset + (size_t) i] = i < maxValueSeptets ? (juce::uint8) ((value >> (7 * i)) & 0x7f) : 0;
}

juce::int32 unpackSeptets (const void* data, size_t size, size_t offset, int count)
{
    if (data == nullptr || count < 1 || offset > size || (size_t) count > size - offset)
        return 0;

    auto* bytes = static_cast<const juce::uint8*> (data) + offset;
    juce::uint32 value = 0;

    for (int i = 0; i < count && i < maxValueSeptets; ++i)
        value |= (juce::uint32) (bytes[i] & 0x7f) << (7 * i);

    return (juce::int32) value;
}

juce::int32 unpackSeptets (const juce::MidiMessage& message, size_t offset, int count)
{
    return unpackSeptets (message.getRawData(), (size_t) message.getRawDataSize(), offset, count);
}

juce::int32 unpackSeptets (const juce::MemoryBlock& block, size_t offset, int count)
{
    return unpackSeptets (block.getData(), block.getSize(), offset, count);
}

size_t packSysExFields (juce::MemoryBlock& payload, const PayloadLayout* layout, const juce::uint32* values,
                        size_t numValues, size_t offset)
{
    if (layout == nullptr || values == nullptr)
        return offset;

    auto* row = layout;
    juce::uint32 width = 0;

    for (size_t i = 0; i < numValues; ++i)
    {
        if (row->fieldId != sysExLayoutEnd)
        {
            if (row->width == sysExVariableWidth)
                break;

            width = row->width;
            ++row;
        }

        if (width == 0)
            break; // an empty layout: nothing to repeat

        packSeptets (payload, offset, values[i], (int) width);
        offset += width;
    }

    return offset;
}

size_t packSysExFields (juce::MemoryBlock& payload, const PayloadLayout* layout,
                        std::initializer_list<juce::uint32> values, size_t offset)
{
    return packSysExFields (payload, layout, values.begin(), values.size(), offset);
}

int buildSysExFromLayout (juce::MidiMessage& out, juce::uint8 function, const PayloadLayout* layout,
                          std::initializer_list<juce::uint32> values, juce::uint8 model)
{
    juce::MemoryBlock payload;
    auto written = packSysExFields (payload, layout, values);
    return buildSysExMessage (out, function, payload.getData(), written, model);
}

juce::int32 unpackSysExField (const juce::MidiMessage& message, const PayloadLayout* layout, juce::uint32 fieldId)
{
    auto* row = findRow (layout, fieldId);

    if (row == nullptr || row->width == sysExVariableWidth)
        return 0;

    return unpackSeptets (message, row->offset, (int) row->width);
}

//==============================================================================
juce::String readSysExText (const void* data, size_t size, size_t offset)
{
    if (data == nullptr || offset >= size)
        return {};

    auto* bytes = static_cast<const juce::uint8*> (data);
    std::vector<juce::juce_wchar> chars;

    for (auto i = offset; i < size && bytes[i] != 0; ++i)
        chars.push_back ((juce::juce_wchar) bytes[i]);

    return stringFromCodePoints (chars);
}

juce::String readSysExText (const juce::MidiMessage& message, size_t offset)
{
    auto* bytes = message.getRawData();
    auto size = (size_t) message.getRawDataSize();

    // A text that lacks its terminator must not swallow the checksum and F7.
    if (bytes != nullptr && size >= (size_t) sysExFrameOverhead && bytes[0] == sysExStartByte &&
        bytes[size - 1] == sysExEndByte)
        size -= 2;

    return readSysExText (bytes, size, offset);
}

juce::String presetNameFromPlaces (const juce::uint32* places, size_t count)
{
    if (places == nullptr)
        return {};

    juce::String name;

    for (size_t i = 0; i < count; ++i)
    {
        const auto c = places[i] & 0xFF;

        if (c != 0 && c != 0xFF)
            name += juce::String::charToString ((juce::juce_wchar) c);
    }

    return name;
}

juce::String decodeSysExName (const void* bytes, size_t size)
{
    constexpr size_t nameLength = 32;
    constexpr int septetsPerChar = 3;

    if (bytes == nullptr)
        return {};

    std::vector<juce::juce_wchar> chars;
    const auto available = juce::jmin (nameLength, size / septetsPerChar);

    for (size_t i = 0; i < available; ++i)
    {
        auto code = (juce::juce_wchar) unpackSeptets (bytes, size, i * septetsPerChar, septetsPerChar);

        // The unit's padding (0x00FF, 0xFFFF) and a code of 0 hold no character.
        if (code == 0 || (code & 0xFF) == 0xFF)
            continue;

        if (code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            code = 0xfffd;

        chars.push_back (code);
    }

    return stringFromCodePoints (chars);
}

//==============================================================================
bool getSysExModel (const void* data, size_t size, juce::uint8& model)
{
    auto* bytes = static_cast<const juce::uint8*> (data);

    if (size < (size_t) sysExHeaderSize || ! startsWithHeaderPrefix (bytes, size))
        return false;

    model = bytes[sysExModelOffset];
    return true;
}

bool getSysExModel (const juce::MemoryBlock& buffer, juce::uint8& model)
{
    return getSysExModel (buffer.getData(), buffer.getSize(), model);
}

bool getSysExModel (const juce::MidiMessage& message, juce::uint8& model)
{
    return getSysExModel (message.getRawData(), (size_t) message.getRawDataSize(), model);
}

juce::uint8 retagSysExModel (const void* data, size_t size, juce::uint8 newModel, juce::MemoryBlock& out)
{
    SysExStreamReader reader;

    if (! reader.setData (data, size, sysExAnyModel))
        return 0;

    juce::uint8 lastOldModel = 0;
    juce::MidiMessage message;

    while (reader.readNextMessage (message))
    {
        auto length = message.getRawDataSize();

        if (length <= sysExModelOffset)
            continue;

        juce::MemoryBlock copy (message.getRawData(), (size_t) length);
        auto* bytes = static_cast<juce::uint8*> (copy.getData());
        lastOldModel = bytes[sysExModelOffset];

        if (bytes[sysExModelOffset] != newModel)
        {
            bytes[sysExModelOffset] = newModel;

            // Only a message with room behind its header has a checksum; in a
            // shorter one, length - 2 would be a header byte.
            if (length >= sysExFrameOverhead)
                bytes[length - 2] = calcSysExChecksum (bytes, (size_t) length - 2);
        }

        out.append (copy.getData(), copy.getSize());
    }

    return lastOldModel;
}

juce::uint8 retagSysExModel (const juce::MemoryBlock& buffer, juce::uint8 newModel, juce::MemoryBlock& out)
{
    return retagSysExModel (buffer.getData(), buffer.getSize(), newModel, out);
}

int splitSysExAtHeaders (const void* data, size_t size, juce::uint8 function, juce::uint8 model,
                         juce::OwnedArray<juce::MemoryBlock>& pieces)
{
    if (data == nullptr || size == 0 || size > (size_t) maxMidiMessageSize)
        return 0;

    juce::uint8 pattern[sysExHeaderSize];
    writeSysExHeader (pattern, model, function);
    auto patternLength = function == sysExAnyFunction ? sysExHeaderSize - 1 : sysExHeaderSize;

    auto* bytes = static_cast<const juce::uint8*> (data);
    auto length = (int) size;
    int pieceStart = 0;
    int position = 0;
    int added = 0;

    auto addPiece = [&] (int start, int end)
    {
        pieces.add (new juce::MemoryBlock (bytes + start, (size_t) (end - start)));
        ++added;
    };

    while (position < length)
    {
        auto found = findPattern (bytes + position, length - position, pattern, patternLength);

        if (found < 0)
            break;

        auto match = position + found;

        if (match > pieceStart)
        {
            addPiece (pieceStart, match);
            pieceStart = match;
        }

        position = match + patternLength;
    }

    if (pieceStart < length)
        addPiece (pieceStart, length);

    return added;
}

int splitSysExAtHeaders (const juce::MemoryBlock& buffer, juce::uint8 function, juce::uint8 model,
                         juce::OwnedArray<juce::MemoryBlock>& pieces)
{
    return splitSysExAtHeaders (buffer.getData(), buffer.getSize(), function, model, pieces);
}

int findPattern (const void* buffer, int length, const void* pattern, int patternLength)
{
    if (buffer == nullptr || pattern == nullptr || patternLength <= 0 || length < patternLength)
        return -1;

    auto* text = static_cast<const juce::uint8*> (buffer);
    auto* word = static_cast<const juce::uint8*> (pattern);

    // border[i]: length of the longest proper border of word[0..i].
    std::vector<int> border ((size_t) patternLength, 0);

    for (int i = 1, k = 0; i < patternLength; ++i)
    {
        while (k > 0 && word[i] != word[k])
            k = border[(size_t) k - 1];

        if (word[i] == word[k])
            ++k;

        border[(size_t) i] = k;
    }

    for (int i = 0, matched = 0; i < length; ++i)
    {
        while (matched > 0 && text[i] != word[matched])
            matched = border[(size_t) matched - 1];

        if (text[i] == word[matched])
            ++matched;

        if (matched == patternLength)
            return i - patternLength + 1;
    }

    return -1;
}
