#include "device/wire/PatchDump.h"

#include "device/wire/SysExCodec.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExStreamReader.h"
#include "model/Checksum.h"
#include "model/CopyBytes.h"
#include "model/IdTables.h"

#include <vector>

namespace
{
// Blank presets: 16-bit words, every word 0 except the ranges listed.
struct TemplateRange
{
    int first;
    int last;
    juce::uint16 value;
};

// Model 3: 224 words (448 bytes).
const TemplateRange model3Blank[] = {
    { 0, 0, 0x020B },     { 2, 32, 0x0020 },    { 130, 130, 0x008B }, { 131, 131, 0x0007 }, { 132, 132, 0x3333 },
    { 134, 134, 0xAAA9 }, { 137, 137, 0x7FFF }, { 139, 139, 0x008C }, { 140, 140, 0x0014 }, { 141, 156, 0x7FFF },
    { 157, 157, 0xCCCB }, { 158, 158, 0x7FFF }, { 161, 161, 0x008D }, { 162, 162, 0x005E }, { 164, 164, 0x77E2 },
    { 165, 165, 0xFFFE }, { 166, 166, 0x7FFF }, { 167, 167, 0xFFFE }, { 170, 170, 0x77E2 }, { 171, 171, 0xFFFE },
    { 172, 172, 0x7FFF }, { 173, 173, 0xFFFE }, { 177, 179, 0x6CBB }, { 180, 180, 0x7FFF }, { 181, 181, 0x6CBB },
    { 182, 182, 0xBFFF }, { 185, 187, 0x6CBB }, { 188, 188, 0x7FFF }, { 189, 189, 0x6CBB }, { 190, 190, 0xBFFF },
    { 193, 193, 0x6666 }, { 195, 195, 0x0078 }, { 197, 197, 0x7923 }, { 199, 199, 0x0008 }, { 200, 200, 0x1999 },
    { 201, 201, 0xCCCB }, { 202, 202, 0x4CCC }, { 203, 203, 0x9998 }, { 204, 204, 0x3333 }, { 205, 205, 0xE665 },
    { 207, 207, 0x6666 }, { 209, 209, 0x6666 }, { 210, 210, 0x3333 }, { 211, 211, 0xE665 }, { 212, 212, 0x9998 },
    { 213, 213, 0x1999 }, { 214, 214, 0x7FFF }, { 215, 215, 0xB332 },
};
constexpr int model3BlankWords = 224;

// Models 5 and 10: 352 words (704 bytes).
const TemplateRange model5Blank[] = {
    { 0, 0, 0x0100 },     { 2, 32, 0x0020 },    { 68, 68, 0x0004 },   { 166, 166, 0x0088 }, { 168, 168, 0x0007 },
    { 174, 174, 0x7FFF }, { 176, 176, 0x5040 }, { 180, 180, 0x7FFF }, { 184, 184, 0x0085 }, { 186, 186, 0x000E },
    { 188, 188, 0x7FFF }, { 190, 190, 0xCCCB }, { 192, 192, 0x7FFF }, { 198, 198, 0xE665 }, { 202, 202, 0x9998 },
    { 204, 204, 0x0003 }, { 208, 208, 0xFFFE }, { 212, 212, 0x0001 }, { 216, 216, 0x0089 }, { 218, 218, 0x000C },
    { 220, 220, 0x7FFF }, { 222, 222, 0x7FFF }, { 224, 224, 0x7FFF }, { 226, 226, 0x7FFF }, { 228, 228, 0x7FFF },
    { 230, 230, 0x7FFF }, { 232, 232, 0x7FFF }, { 234, 234, 0x7FFF }, { 236, 236, 0xCCCB }, { 238, 238, 0x7FFF },
    { 244, 244, 0x008A }, { 246, 246, 0x000C }, { 248, 248, 0x7FFF }, { 250, 250, 0x7FFF }, { 252, 252, 0x7FFF },
    { 254, 254, 0x7FFF }, { 256, 256, 0x7FFF }, { 258, 258, 0x7FFF }, { 260, 260, 0x7FFF }, { 262, 262, 0x7FFF },
    { 264, 264, 0xCCCB }, { 266, 266, 0x7FFF }, { 272, 272, 0x008B }, { 274, 274, 0x005C }, { 278, 278, 0x77E2 },
    { 280, 280, 0xFFFE }, { 282, 282, 0x7FFF }, { 284, 284, 0xFFFE }, { 290, 290, 0x77E2 }, { 292, 292, 0xFFFE },
    { 294, 294, 0x7FFF }, { 296, 296, 0xFFFE }, { 304, 304, 0x6CBB }, { 306, 306, 0x6CBB }, { 308, 308, 0x6CBB },
    { 310, 310, 0x7FFF }, { 312, 312, 0x6CBB }, { 314, 314, 0xBFFF }, { 320, 320, 0x6CBB }, { 322, 322, 0x6CBB },
    { 324, 324, 0x6CBB }, { 326, 326, 0x7FFF }, { 328, 328, 0x6CBB }, { 330, 330, 0xBFFF }, { 336, 336, 0x6666 },
    { 340, 340, 0x0078 }, { 344, 344, 0x7923 }, { 348, 348, 0x0008 },
};
constexpr int model5BlankWords = 352;

template <size_t N>
void fillFromTemplate (juce::MemoryBlock& block, const TemplateRange (&ranges)[N], int templateWords)
{
    jassert (templateWords * 2 <= (int) PatchDump::smallPresetSize);
    juce::ignoreUnused (templateWords);

    block.setSize (PatchDump::smallPresetSize);
    block.fillWith (0);
    auto* bytes = static_cast<juce::uint8*> (block.getData());

    for (auto& r : ranges)
        for (int i = r.first; i <= r.last; ++i)
        {
            bytes[2 * i] = (juce::uint8) (r.value & 0xFF);
            bytes[2 * i + 1] = (juce::uint8) (r.value >> 8);
        }
}

juce::uint16 xorOfWords (const juce::MemoryBlock& block)
{
    juce::uint16 x = 0;
    for (size_t i = 0; i < block.getSize() / 2; ++i)
        x ^= PatchDump::getWord (block, i);
    return x;
}

// Reads one bit at a time, most significant bit of each byte first, and
// reports when the stream is used up instead of reading past it.
class BitStream
{
public:
    BitStream (const juce::uint8* d, size_t s)
        : bytes (d)
        , size (s)
    {
    }

    bool read (int& bit)
    {
        if (bytes == nullptr || position >= size * 8)
            return false;

        bit = (bytes[position / 8] >> (7 - (int) (position % 8))) & 1;
        ++position;
        return true;
    }

    bool readByte (juce::uint8& value)
    {
        int v = 0;
        for (int i = 0; i < 8; ++i)
        {
            int bit = 0;
            if (! read (bit))
                return false;
            v = (v << 1) | bit;
        }
        value = (juce::uint8) v;
        return true;
    }

private:
    const juce::uint8* bytes;
    size_t size;
    size_t position = 0;
};

struct TreeNode
{
    bool leaf = false;
    juce::uint8 symbol = 0;
    int child[2] = { -1, -1 };
};
} // namespace

//==============================================================================
PatchDump::PatchDump() = default;
PatchDump::~PatchDump() = default;

void PatchDump::reset()
{
    data.reset();
    dataModel = 0;
    complete = false;
    output.reset();
    outputModel = 0;
    locationBank = currentPresetLocation;
    locationProgram = currentPresetLocation;
    headerWordCount = 0;
    startSeen = false;
    endSeen = false;
    dataMessageCount = 0;
    endCheckValue = 0;
    errorCode = errorNone;
    errorStage = stageNone;
}

bool PatchDump::fail (int code, int stage)
{
    errorCode = code;
    errorStage = stage;
    return false;
}

juce::uint16 PatchDump::getWord (const juce::MemoryBlock& block, size_t index)
{
    if (index * 2 + 1 >= block.getSize())
        return 0;

    auto* bytes = static_cast<const juce::uint8*> (block.getData());
    return (juce::uint16) (bytes[index * 2] | (bytes[index * 2 + 1] << 8));
}

//==============================================================================
bool PatchDump::parse (const juce::MemoryBlock& block, juce::uint8 expectedModel, EndRule endRule)
{
    return parse (block.getData(), block.getSize(), expectedModel, endRule);
}

bool PatchDump::parse (const void* bytes, size_t size, juce::uint8 expectedModel, EndRule endRule)
{
    reset();

    if (bytes == nullptr || size == 0)
        return fail (errorEmptyInput, stageNone);

    SysExStreamReader reader;

    if (! reader.setData (bytes, size, expectedModel))
        return fail (errorEmptyInput, stageNone);

    juce::MidiMessage message;
    int messagesRead = 0;

    while (reader.readNextMessage (message))
    {
        ++messagesRead;

        if (! handleMessage (message, expectedModel))
            return false;
    }

    if (messagesRead == 0)
        return fail (errorWrongModel, stageNone);

    dataModel = expectedModel;

    // Words, count and check were verified when the end came; without it the
    // dump may have been cut off anywhere.
    if (! endSeen && endRule == EndRule::required)
        return fail (errorWordCount, stageFinal);

    complete = endSeen;
    return true;
}

bool PatchDump::handleMessage (const juce::MidiMessage& message, juce::uint8 expectedModel)
{
    auto size = message.getRawDataSize();
    auto* bytes = message.getRawData();

    if (size < sysExHeaderSize)
        return fail (errorUnexpectedMessage, stageNone);

    if (! hasValidFrameChecksum (message))
        return fail (errorChecksum, stageNone);

    if (bytes[sysExModelOffset] != expectedModel)
        return fail (errorWrongModel, stageNone);

    switch (bytes[sysExFunctionOffset])
    {
        case SYSEX_PATCH_START:
        {
            if (startSeen)
                return fail (errorUnexpectedMessage, stageStart);

            PatchStartRecord start;
            if (! parsePatchStart (message, start))
                return fail (errorBadField, stageStart);

            startSeen = true;
            locationBank = start.bank;
            locationProgram = start.program;
            headerWordCount = start.wordCount;
            return true;
        }

        case SYSEX_PATCH_DATA:
        {
            // Data belongs between a start and an end.
            if (! startSeen || endSeen)
                return fail (errorUnexpectedMessage, stageData);

            juce::Array<juce::uint16> words;
            if (! parsePatchData (message, words) || words.size() != wordsPerDataMessage)
                return fail (errorBadField, stageData);

            for (auto w : words)
            {
                const juce::uint8 pair[2] = { (juce::uint8) (w & 0xFF), (juce::uint8) (w >> 8) };
                data.append (pair, 2);
            }

            ++dataMessageCount;
            return true;
        }

        case SYSEX_PATCH_END:
        {
            if (endSeen)
                return fail (errorUnexpectedMessage, stageEnd);

            if (! startSeen)
                return fail (errorUnexpectedMessage, stageEnd);

            juce::uint32 check = 0;
            if (! parsePatchEnd (message, check))
                return fail (errorBadField, stageEnd);

            endSeen = true;
            endCheckValue = check;

            if ((int) (data.getSize() / 2) != headerWordCount)
                return fail (errorWordCount, stageFinal);

            if (xorOfWords (data) != check)
                return fail (errorChecksum, stageFinal);

            return true;
        }

        default: return fail (errorUnexpectedMessage, stageNone);
    }
}

//==============================================================================
bool PatchDump::build (juce::MemoryBlock& out)
{
    if (output.isEmpty())
        return false;

    // Output only ever comes from complete data; keep it that way.
    if (! complete)
        return fail (errorWordCount, stageFinal);

    const auto wordCount = output.getSize() / 2;
    const auto model = outputModel;
    juce::MemoryBlock messages;
    juce::MidiMessage message;

    if (! buildPatchStart (message, locationBank, locationProgram, (int) wordCount, model))
        return fail (errorBadField, stageStart);

    messages.append (message.getRawData(), (size_t) message.getRawDataSize());

    for (size_t first = 0; first < wordCount; first += wordsPerDataMessage)
    {
        const auto count = juce::jmin ((size_t) wordsPerDataMessage, wordCount - first);
        juce::uint16 words[wordsPerDataMessage] = {};

        for (size_t i = 0; i < count; ++i)
            words[i] = getWord (output, first + i);

        if (! buildPatchData (message, words, (int) count, model))
            return fail (errorBadField, stageData);

        messages.append (message.getRawData(), (size_t) message.getRawDataSize());
    }

    if (! buildPatchEnd (message, xorOfWords (output), model))
        return fail (errorBadField, stageEnd);

    messages.append (message.getRawData(), (size_t) message.getRawDataSize());
    out.append (messages.getData(), messages.getSize());
    return true;
}

//==============================================================================
bool PatchDump::decodePackedHalf (const juce::uint8* stream, size_t size, juce::uint8* symbols, size_t symbolCount)
{
    constexpr int maxNodes = 511;

    BitStream bits (stream, size);
    std::vector<TreeNode> nodes;
    nodes.reserve (maxNodes);

    // The tree, in pre-order. Each pending entry is the parent slot that the
    // next node read fills (-1 for the root).
    struct Pending
    {
        int parent;
        int side;
    };
    std::vector<Pending> pending{ { -1, 0 } };

    while (! pending.empty())
    {
        auto slot = pending.back();
        pending.pop_back();

        if ((int) nodes.size() >= maxNodes)
            return false;

        int bit = 0;
        if (! bits.read (bit))
            return false;

        TreeNode node;
        node.leaf = (bit == 1);

        if (node.leaf && ! bits.readByte (node.symbol))
            return false;

        const int index = (int) nodes.size();
        nodes.push_back (node);

        if (slot.parent >= 0)
            nodes[(size_t) slot.parent].child[slot.side] = index;

        if (! node.leaf)
        {
            // The first subtree comes first: push it last.
            pending.push_back ({ index, 1 });
            pending.push_back ({ index, 0 });
        }
    }

    for (size_t s = 0; s < symbolCount; ++s)
    {
        int n = 0;

        while (! nodes[(size_t) n].leaf)
        {
            int bit = 0;
            if (! bits.read (bit))
                return false;
            n = nodes[(size_t) n].child[bit];
        }

        symbols[s] = nodes[(size_t) n].symbol;
    }

    return true;
}

bool PatchDump::expandModel3 (juce::MemoryBlock& out)
{
    constexpr size_t nameAreaSize = 68; // header and name words, kept as they are
    constexpr size_t maxPairs = 2014;
    constexpr size_t symbolCount = largePresetSize - nameAreaSize; // 8124

    out.setSize (largePresetSize);
    out.fillWith (0);

    auto* dst = static_cast<juce::uint8*> (out.getData());
    auto* src = static_cast<const juce::uint8*> (data.getData());
    const auto packedWords = getWord (data, 1);

    if (packedWords == 0)
    {
        memcpy (dst, src, smallPresetSize);
    }
    else
    {
        const size_t pairs = (size_t) packedWords / 2 + 1;

        if (pairs > maxPairs)
            return fail (errorPackedData, stageFinal);

        memcpy (dst, src, nameAreaSize);

        if (! decodePackedHalf (src + nameAreaSize, pairs * 2, dst + nameAreaSize, symbolCount))
            return fail (errorPackedData, stageFinal);
    }

    memcpy (dst + smallPresetSize, src + smallPresetSize / 2, smallPresetSize / 2);
    return true;
}

bool PatchDump::convertForModel6or7 (int flag)
{
    if (! complete)
        return fail (errorWordCount, stageFinal);

    const juce::uint8 target = flag == 1 ? 7 : 6;
    juce::MemoryBlock converted;

    if (dataModel == 6 || dataModel == 7)
    {
        converted = data;
    }
    else if (dataModel != 3)
    {
        return fail (errorWrongModel, stageFinal);
    }
    else
    {
        if (data.getSize() != smallPresetSize)
            return fail (errorDataSize, stageFinal);

        if (! expandModel3 (converted))
            return false;
    }

    output = std::move (converted);
    outputModel = target;
    return true;
}

bool PatchDump::convertForModel3()
{
    if (! complete)
        return fail (errorWordCount, stageFinal);

    if (dataModel == 3)
    {
        copyBytes (output, data);
    }
    else if (dataModel == 6 || dataModel == 7)
    {
        if (data.getSize() != largePresetSize)
            return fail (errorDataSize, stageFinal);

        const size_t quarter = smallPresetSize / 2;
        auto* src = static_cast<const juce::uint8*> (data.getData());
        output.setSize (smallPresetSize);
        auto* dst = static_cast<juce::uint8*> (output.getData());
        memcpy (dst, src, quarter);
        memcpy (dst + quarter, src + smallPresetSize, quarter);
    }
    else
    {
        return fail (errorWrongModel, stageFinal);
    }

    outputModel = 3;
    return true;
}

bool PatchDump::convertForModel5or10 (int flag)
{
    if (! complete)
        return fail (errorWordCount, stageFinal);

    if (dataModel != 5 && dataModel != 10)
        return fail (errorWrongModel, stageFinal);

    copyBytes (output, data);
    outputModel = flag == 1 ? 10 : 5;
    return true;
}

//==============================================================================
bool PatchDump::makeBlank (juce::uint8 model)
{
    switch (model)
    {
        case 3:
        case 6:
        case 7:
            // Models 6 and 7 take the model 3 blank, converted by the caller.
            fillFromTemplate (data, model3Blank, model3BlankWords);
            dataModel = 3;
            break;

        case 5:
        case 10:
            fillFromTemplate (data, model5Blank, model5BlankWords);
            dataModel = model;
            break;

        case 8:
            data.setSize (largePresetSize);
            data.fillWith (0xFF);
            dataModel = 8;
            break;

        default: return fail (errorWrongModel, stageNone);
    }

    complete = true;
    return true;
}

void PatchDump::getPresetName (juce::String& name) const
{
    constexpr size_t firstNameWord = 2;
    constexpr size_t nameLength = 32;

    if (data.getSize() / 2 < firstNameWord + nameLength)
        return;

    juce::uint32 places[nameLength] = {};

    for (size_t i = 0; i < nameLength; ++i)
        places[i] = getWord (data, firstNameWord + i);

    const auto text = presetNameFromPlaces (places, nameLength);
    name = text.isEmpty() ? juce::String ("EMPTY") : text.trim();
}
