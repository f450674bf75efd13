#include "device/wire/SysExFraming.h"
#include "device/wire/SysExStreamReader.h"
#include "model/Checksum.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Bytes = std::vector<juce::uint8>;

Bytes bytesOf (const juce::MidiMessage& m)
{
    return Bytes (m.getRawData(), m.getRawData() + m.getRawDataSize());
}

Bytes bytesOf (const juce::MemoryBlock& b)
{
    auto* p = static_cast<const juce::uint8*> (b.getData());
    return Bytes (p, p + b.getSize());
}

// A complete frame with a correct checksum.
Bytes frame (juce::uint8 model, juce::uint8 function, Bytes payload = {})
{
    juce::MidiMessage m;
    buildSysExMessage (m, function, payload.data(), payload.size(), model);
    return bytesOf (m);
}

Bytes join (std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (auto& p : parts)
        all.insert (all.end(), p.begin(), p.end());
    return all;
}

std::vector<Bytes> readAll (SysExStreamReader& reader)
{
    std::vector<Bytes> messages;
    juce::MidiMessage m;
    while (reader.readNextMessage (m) && messages.size() < 100)
        messages.push_back (bytesOf (m));
    return messages;
}

bool checksumIsValid (const Bytes& f)
{
    return f.size() >= 8 && f[f.size() - 2] == calcSysExChecksum (f.data(), f.size() - 2);
}

const PayloadLayout paramLayout[] = {
    { 0, 6, 2 }, { 1, 8, 3 }, { 2, 11, 1 }, { 3, 12, 5 }, payloadLayoutEnd,
};

const PayloadLayout textLayout[] = {
    { 0, 6, 2 },
    { 1, 8, sysExVariableWidth },
    payloadLayoutEnd,
};

const PayloadLayout countedLayout[] = {
    { 0, 6, 2 },
    { 1, 8, 1 },
    { 2, 9, 3 },
    payloadLayoutEnd,
};
} // namespace

TEST (SysExFraming, EmptyPayloadGivesEightByteFrame)
{
    juce::MidiMessage m;
    EXPECT_EQ (buildSysExMessage (m, 0x08, nullptr, 0, 3), 8);
    // F0 ^ 00 ^ 02 ^ 6B ^ 03 ^ 08 = 0x92, masked to 7 bits.
    EXPECT_EQ (bytesOf (m), (Bytes{ 0xF0, 0x00, 0x02, 0x6B, 0x03, 0x08, 0x12, 0xF7 }));
    EXPECT_TRUE (m.isSysEx());
    EXPECT_TRUE (isSysExOfFunction (m, 0x08));
    EXPECT_FALSE (isSysExOfFunction (m, 0x09));

    // Without a model argument the process-wide model byte is used.
    auto saved = currentSysExModel.load();
    currentSysExModel = 7;
    buildSysExMessage (m, 0x08, nullptr, 0);
    EXPECT_EQ (m.getRawData()[4], 7);
    currentSysExModel = saved;

    // A null payload that claims bytes builds nothing.
    EXPECT_EQ (buildSysExMessage (m, 0x01, nullptr, 4, 3), 0);
    EXPECT_EQ (m.getRawData()[5], 0x08);
    EXPECT_FALSE (isSysExOfFunction (juce::MidiMessage (0x90, 60, 100), 0x08));
}

TEST (SysExFraming, LayoutLookupsAndRoundTrip)
{
    EXPECT_EQ (getSysExPayloadSize (paramLayout), 11u);
    EXPECT_EQ (getSysExPayloadSize (textLayout), 2u);
    EXPECT_EQ (getSysExPayloadSize (nullptr), 0u);
    EXPECT_EQ (getSysExFieldOffset (paramLayout, 2), 11u);
    EXPECT_EQ (getSysExFieldWidth (paramLayout, 3), 5u);
    EXPECT_EQ (getSysExFieldOffset (paramLayout, 9), sysExFieldAbsent);
    EXPECT_EQ (getSysExFieldWidth (nullptr, 0), sysExFieldAbsent);

    juce::MidiMessage m;
    ASSERT_EQ (buildSysExFromLayout (m, 0x02, paramLayout, { 106, 65534, 1, 0xDEADBEEF }, 3), 19);
    auto f = bytesOf (m);
    EXPECT_EQ (Bytes (f.begin() + 8, f.begin() + 11), (Bytes{ 0x7E, 0x7F, 0x03 }));
    EXPECT_TRUE (checksumIsValid (f));
    EXPECT_EQ (f.back(), 0xF7);

    EXPECT_EQ (unpackSysExField (m, paramLayout, 0), 106);
    EXPECT_EQ (unpackSysExField (m, paramLayout, 1), 65534);
    EXPECT_EQ (unpackSysExField (m, paramLayout, 2), 1);
    EXPECT_EQ ((juce::uint32) unpackSysExField (m, paramLayout, 3), 0xDEADBEEFu);
    EXPECT_EQ (unpackSysExField (m, paramLayout, 7), 0);

    // A field beyond the end of a short message reads as 0.
    juce::MidiMessage shortMessage;
    buildSysExFromLayout (shortMessage, 0x02, paramLayout, { 106 }, 3);
    EXPECT_EQ (unpackSysExField (shortMessage, paramLayout, 3), 0);

    // Packing stops at a variable-width field, which also never unpacks.
    juce::MemoryBlock payload;
    EXPECT_EQ (packSysExFields (payload, textLayout, { 5, 99 }), 2u);
    EXPECT_EQ (payload.getSize(), 2u);
    EXPECT_EQ (unpackSysExField (m, textLayout, 1), 0);

    // Values past the last row repeat its width.
    juce::MemoryBlock counted;
    EXPECT_EQ (packSysExFields (counted, countedLayout, { 5, 3, 10, 200, 65535 }), 12u);
    EXPECT_EQ (unpackSeptets (counted, 3, 3), 10);
    EXPECT_EQ (unpackSeptets (counted, 6, 3), 200);
    EXPECT_EQ (unpackSeptets (counted, 9, 3), 65535);
}

TEST (SysExFraming, Septets)
{
    juce::MemoryBlock block;
    packSeptets (block, 2, 0x1FFFF, 2);
    EXPECT_EQ (bytesOf (block), (Bytes{ 0, 0, 0x7F, 0x7F }));
    EXPECT_EQ (unpackSeptets (block, 2, 2), 0x3FFF);

    packSeptets (block, 0, 0x55, 0);
    packSeptets (block, 0, 0x55, -1);
    EXPECT_EQ (bytesOf (block), (Bytes{ 0, 0, 0x7F, 0x7F }));

    // Out-of-range reads give 0 and never wrap.
    EXPECT_EQ (unpackSeptets (block, 2, 3), 0);
    EXPECT_EQ (unpackSeptets (block, 4, 1), 0);
    EXPECT_EQ (unpackSeptets (block, (size_t) -1, 2), 0);
    EXPECT_EQ (unpackSeptets (block, 0, 0), 0);
    EXPECT_EQ (unpackSeptets (nullptr, 10, 0, 2), 0);

    juce::MemoryBlock wide;
    packSeptets (wide, 0, 0xFFFFFFFF, 5);
    EXPECT_EQ (bytesOf (wide), (Bytes{ 0x7F, 0x7F, 0x7F, 0x7F, 0x0F }));
    EXPECT_EQ ((juce::uint32) unpackSeptets (wide, 0, 5), 0xFFFFFFFFu);

    packSeptets (wide, 0, 0x80000000, 5);
    EXPECT_EQ (bytesOf (wide), (Bytes{ 0, 0, 0, 0, 0x08 }));
    EXPECT_EQ ((juce::uint32) unpackSeptets (wide, 0, 5), 0x80000000u);

    // Bits above 31 in the fifth group, and groups beyond it, are ignored.
    const Bytes allSet{ 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F };
    EXPECT_EQ ((juce::uint32) unpackSeptets (allSet.data(), allSet.size(), 0, 6), 0xFFFFFFFFu);
    juce::MemoryBlock six;
    packSeptets (six, 0, 0xFFFFFFFF, 6);
    EXPECT_EQ (bytesOf (six), (Bytes{ 0x7F, 0x7F, 0x7F, 0x7F, 0x0F, 0 }));
}

TEST (SysExFraming, StreamReaderFindsMessages)
{
    auto a = frame (3, 0x01, { 1, 2 });
    auto b = frame (3, 0x02, { 3 });
    auto other = frame (7, 0x02, { 4 });
    SysExStreamReader reader;

    auto adjacent = join ({ a, b });
    ASSERT_TRUE (reader.setData (adjacent.data(), adjacent.size(), 3));
    EXPECT_EQ (reader.countMessages(), 2);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ a, b }));
    EXPECT_TRUE (reader.isAtEnd());
    reader.rewind();
    EXPECT_EQ (readAll (reader).size(), 2u);

    auto junkFirst = join ({ { 0x01, 0xF7, 0xF0 }, a, b });
    reader.setData (junkFirst.data(), junkFirst.size(), 3);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ a, b }));

    // Stray bytes after an F7 stay with the message before them; the next
    // prefix starts the next message.
    auto c = frame (3, 0x05, {});
    auto stray = join ({ a, { 0x55, 0x66 }, b, c });
    reader.setData (stray.data(), stray.size(), 3);
    EXPECT_EQ (reader.countMessages(), 3);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ join ({ a, { 0x55, 0x66 } }), b, c }));

    // A message cut off before its F7 is read on its own, never joined to the
    // one after it, and every counted message is read.
    const Bytes cutA (a.begin(), a.end() - 2);
    auto cutOff = join ({ cutA, b, cutA });
    reader.setData (cutOff.data(), cutOff.size(), 3);
    EXPECT_EQ (reader.countMessages(), 3);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ cutA, b, cutA }));

    // Model filters: a model-3 reader does not split at a model-7 header.
    auto mixed = join ({ a, other });
    reader.setData (mixed.data(), mixed.size(), 3);
    EXPECT_EQ (reader.countMessages(), 1);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ mixed }));
    reader.setData (mixed.data(), mixed.size(), sysExAnyModel);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ a, other }));

    const Bytes foreign{ 0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7 };
    auto anyMaker = join ({ foreign, a });
    reader.setData (anyMaker.data(), anyMaker.size(), sysExAnyModel);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ a }));
    reader.setData (anyMaker.data(), anyMaker.size(), sysExAnySysEx);
    EXPECT_EQ (reader.countMessages(), 2);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ foreign, a }));

    // Null input leaves the reader empty.
    EXPECT_FALSE (reader.setData (nullptr, 10, 3));
    EXPECT_EQ (reader.countMessages(), 0);
    juce::MidiMessage m;
    EXPECT_FALSE (reader.readNextMessage (m));
}

TEST (SysExFraming, StreamReaderPrefixAtEndOfData)
{
    auto a = frame (3, 0x01, { 1 });
    SysExStreamReader reader;
    const Bytes prefix{ 0xF0, 0x00, 0x02, 0x6B, 0x03 };

    // Each buffer is copied to a block of exactly its size, so a sanitizer
    // build catches any read past it.
    auto tail = join ({ a, prefix });
    reader.setData (tail.data(), tail.size(), 3);
    EXPECT_EQ (reader.countMessages(), 2);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ a, prefix }));

    auto loneF0 = join ({ a, { 0xF0 } });
    reader.setData (loneF0.data(), loneF0.size(), sysExAnySysEx);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ a, { 0xF0 } }));

    // A partial prefix is no prefix: it stays with the message before it.
    auto partial = join ({ a, { 0xF0, 0x00, 0x02 } });
    reader.setData (partial.data(), partial.size(), 3);
    EXPECT_EQ (reader.countMessages(), 1);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ partial }));

    reader.setData (prefix.data(), prefix.size(), 3);
    EXPECT_EQ (readAll (reader), (std::vector<Bytes>{ prefix }));
    reader.setData (prefix.data(), 0, 3);
    EXPECT_TRUE (readAll (reader).empty());
}

TEST (SysExFraming, RetagModel)
{
    auto a = frame (3, 0x78, { 1, 2, 3 });
    auto b = frame (7, 0x78, { 4 });
    b[b.size() - 2] = 0x33; // a wrong checksum that must survive untouched

    auto in = join ({ { 0x11, 0x22 }, a, b, { 0xF0, 0x00, 0x02, 0x6B } });
    juce::MemoryBlock out;
    EXPECT_EQ (retagSysExModel (in.data(), in.size(), 7, out), 7);

    auto expectedA = a;
    expectedA[4] = 7;
    expectedA[expectedA.size() - 2] = calcSysExChecksum (expectedA.data(), expectedA.size() - 2);
    EXPECT_NE (expectedA, a);
    EXPECT_EQ (bytesOf (out), join ({ expectedA, b }));
    EXPECT_TRUE (checksumIsValid (expectedA));

    // A header-only message gets its model but no checksum over its header.
    juce::MemoryBlock headerOnly;
    const Bytes header{ 0xF0, 0x00, 0x02, 0x6B, 0x03, 0x05 };
    EXPECT_EQ (retagSysExModel (header.data(), header.size(), 8, headerOnly), 3);
    EXPECT_EQ (bytesOf (headerOnly), (Bytes{ 0xF0, 0x00, 0x02, 0x6B, 0x08, 0x05 }));

    juce::MemoryBlock none;
    const Bytes junk{ 1, 2, 3 };
    EXPECT_EQ (retagSysExModel (junk.data(), junk.size(), 7, none), 0);
    EXPECT_EQ (none.getSize(), 0u);
}

TEST (SysExFraming, SplitAtHeaders)
{
    auto a = frame (3, 0x77, { 1 });
    auto b = frame (3, 0x78, { 2 });
    auto c = frame (3, 0x77, { 3 });

    auto piecesOf = [] (const Bytes& in, juce::uint8 function, juce::uint8 model)
    {
        juce::OwnedArray<juce::MemoryBlock> pieces;
        splitSysExAtHeaders (in.data(), in.size(), function, model, pieces);
        std::vector<Bytes> result;
        for (auto* p : pieces)
            result.push_back (bytesOf (*p));
        return result;
    };

    const Bytes plain{ 1, 2, 3 };
    EXPECT_EQ (piecesOf (plain, sysExAnyFunction, 3), (std::vector<Bytes>{ plain }));

    auto all = join ({ a, b, c });
    EXPECT_EQ (piecesOf (all, sysExAnyFunction, 3), (std::vector<Bytes>{ a, b, c }));
    EXPECT_EQ (piecesOf (all, 0x77, 3), (std::vector<Bytes>{ join ({ a, b }), c }));
    EXPECT_EQ (piecesOf (all, sysExAnyFunction, 7), (std::vector<Bytes>{ all }));

    auto leading = join ({ { 9, 9 }, a, c });
    EXPECT_EQ (piecesOf (leading, 0x77, 3), (std::vector<Bytes>{ { 9, 9 }, a, c }));

    juce::OwnedArray<juce::MemoryBlock> pieces;
    pieces.add (new juce::MemoryBlock (4));
    EXPECT_EQ (splitSysExAtHeaders (all.data(), all.size(), 0x77, 3, pieces), 2);
    EXPECT_EQ (pieces.size(), 3);
    EXPECT_EQ (splitSysExAtHeaders (nullptr, 10, 0x77, 3, pieces), 0);
}

TEST (SysExFraming, FindPattern)
{
    EXPECT_EQ (findPattern ("aaab", 4, "aab", 3), 1);
    EXPECT_EQ (findPattern ("abaababab", 9, "abab", 4), 3);
    EXPECT_EQ (findPattern ("abcabd", 6, "abd", 3), 3);
    EXPECT_EQ (findPattern ("abc", 3, "abc", 3), 0);
    EXPECT_EQ (findPattern ("abc", 3, "abcd", 4), -1);
    EXPECT_EQ (findPattern ("aaaa", 4, "b", 1), -1);
    EXPECT_EQ (findPattern (nullptr, 4, "a", 1), -1);
    EXPECT_EQ (findPattern ("aaaa", 4, nullptr, 1), -1);
    EXPECT_EQ (findPattern ("aaaa", 4, "", 0), -1);
}

TEST (SysExFraming, Texts)
{
    juce::MidiMessage m;
    const Bytes payload{ 0x01, 'G', 'a', 'i', 'n', 0, 'x' };
    buildSysExMessage (m, 0x01, payload.data(), payload.size(), 3);
    EXPECT_EQ (readSysExText (m, 7), "Gain");
    EXPECT_EQ (readSysExText (m, 11), "");
    EXPECT_EQ (readSysExText (m, 12), "x");

    // Unterminated: stops before the checksum of a frame, at the end of raw data.
    const Bytes open{ 'A', 'B' };
    buildSysExMessage (m, 0x01, open.data(), open.size(), 3);
    EXPECT_EQ (readSysExText (m, 6), "AB");
    EXPECT_EQ (readSysExText (m, 8), "");
    EXPECT_EQ (readSysExText (m, 100), "");
    const Bytes raw{ 'h', 'i', 0xE9 };
    EXPECT_EQ (readSysExText (raw.data(), raw.size(), 0), juce::String::fromUTF8 ("hi\xc3\xa9"));
    EXPECT_EQ (readSysExText (raw.data(), raw.size(), 3), "");

    Bytes name (96, 0);
    auto put = [&name] (int index, juce::uint32 code)
    {
        juce::MemoryBlock b;
        packSeptets (b, 0, code, 3);
        std::memcpy (name.data() + index * 3, b.getData(), 3);
    };
    // Each place is one character code, taken whole; a code of 0 and the
    // unit's padding (a low byte of 0xFF, as 0x00FF or 0xFFFF) add nothing,
    // blanks stay.
    put (0, 'A');
    put (2, 'B'); // the zero at place 1 adds nothing
    put (3, 0xFF);
    put (4, 0xFFFF);
    put (5, 0x20AC);
    put (6, ' ');
    put (7, 0x0100); // its low byte 0 is no empty place
    put (31, 'Z');
    EXPECT_EQ (decodeSysExName (name.data(), name.size()), juce::String::fromUTF8 ("AB\xe2\x82\xac \xc4\x80Z"));
    EXPECT_EQ (decodeSysExName (name.data(), 8), "A"); // the B is cut short
    EXPECT_EQ (decodeSysExName (name.data(), 9), "AB");
    EXPECT_EQ (decodeSysExName (Bytes (96, 0).data(), 96), "");
    EXPECT_EQ (decodeSysExName (nullptr, 96), "");

    put (0, 0x110000); // no character
    EXPECT_EQ (decodeSysExName (name.data(), 3), juce::String::charToString (0xfffd));
}

TEST (SysExFraming, GetModel)
{
    juce::uint8 model = 0;
    const Bytes header{ 0xF0, 0x00, 0x02, 0x6B, 0x08, 0x01 };
    EXPECT_TRUE (getSysExModel (header.data(), header.size(), model));
    EXPECT_EQ (model, 8);

    model = 0;
    EXPECT_FALSE (getSysExModel (header.data(), 5, model));
    const Bytes foreign{ 0xF0, 0x00, 0x20, 0x6B, 0x08, 0x01 };
    EXPECT_FALSE (getSysExModel (foreign.data(), foreign.size(), model));
    EXPECT_FALSE (getSysExModel (nullptr, 6, model));
    EXPECT_EQ (model, 0);
}
