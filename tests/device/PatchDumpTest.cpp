#include "device/wire/PatchDump.h"
#include "device/wire/ModelRules.h"
#include "device/wire/SysExStreamReader.h"
#include "tests/device/DumpTestData.h"

#include <gtest/gtest.h>

using namespace dumptest;

namespace
{
std::vector<Bytes> splitMessages (const Bytes& all, juce::uint8 model)
{
    SysExStreamReader reader;
    reader.setData (all.data(), all.size(), model);
    std::vector<Bytes> messages;
    juce::MidiMessage m;
    while (reader.readNextMessage (m))
        messages.push_back (bytesOf (m));
    return messages;
}

bool checksumIsValid (const Bytes& f)
{
    return f.size() >= 8 && f.back() == 0xF7 && f[f.size() - 2] == calcSysExChecksum (f.data(), f.size() - 2);
}

// Rewrites the checksum of the message that starts at offset.
void fixChecksum (Bytes& all, size_t offset, size_t length)
{
    all[offset + length - 2] = calcSysExChecksum (all.data() + offset, length - 2);
}

juce::MemoryBlock slice (const juce::MemoryBlock& b, size_t from, size_t count)
{
    return juce::MemoryBlock (static_cast<const char*> (b.getData()) + from, count);
}

bool sameBytes (const juce::MemoryBlock& a, size_t aFrom, const juce::MemoryBlock& b, size_t bFrom, size_t count)
{
    return slice (a, aFrom, count) == slice (b, bFrom, count);
}

// A complete dump parsed and converted to the same model, ready to build.
bool parseAndKeep (PatchDump& dump, const Bytes& bytes, juce::uint8 model)
{
    if (! dump.parse (bytes.data(), bytes.size(), model))
        return false;
    if (model == 3)
        return dump.convertForModel3();
    if (model == 6 || model == 7)
        return dump.convertForModel6or7 (model == 7 ? 1 : 0);
    return dump.convertForModel5or10 (model == 10 ? 1 : 0);
}
} // namespace

TEST (PatchDump, RoundTripSmallAndLargePresets)
{
    struct Case
    {
        juce::uint8 model;
        size_t size;
        size_t messages;
    };

    for (auto c : { Case{ 3, 4096, 34 }, Case{ 10, 4096, 34 }, Case{ 7, 8192, 66 } })
    {
        SCOPED_TRACE ((int) c.model);
        const auto data = makePresetData (c.size, "Round Trip");
        const auto dump = makeDump (data, c.model, { 2, 5 });
        ASSERT_EQ (splitMessages (dump, c.model).size(), c.messages);

        PatchDump parsed;
        ASSERT_TRUE (parsed.parse (dump.data(), dump.size(), c.model));
        EXPECT_TRUE (parsed.isComplete());
        EXPECT_EQ (parsed.getData(), data);
        EXPECT_EQ (parsed.getDataModel(), c.model);
        EXPECT_EQ (parsed.getLocationBank(), 2);
        EXPECT_EQ (parsed.getLocationProgram(), 5);
        EXPECT_EQ (parsed.getHeaderWordCount(), (int) c.size / 2);
        EXPECT_EQ (parsed.getDataMessageCount(), (int) c.messages - 2);
        EXPECT_EQ ((int) c.messages, getPatchDumpMessageCount (c.model));

        juce::String name;
        parsed.getPresetName (name);
        EXPECT_EQ (name, "Round Trip");

        // Encoding again gives the same messages, each with a valid check.
        ASSERT_TRUE (parseAndKeep (parsed, dump, c.model));
        juce::MemoryBlock built ("prefix", 6);
        ASSERT_TRUE (parsed.build (built));
        EXPECT_EQ (slice (built, 0, 6), juce::MemoryBlock ("prefix", 6)); // appended, not replaced
        const auto rebuilt = bytesOf (slice (built, 6, built.getSize() - 6));
        EXPECT_EQ (rebuilt, dump);

        const auto messages = splitMessages (rebuilt, c.model);
        ASSERT_EQ (messages.size(), c.messages);
        for (auto& m : messages)
            EXPECT_TRUE (checksumIsValid (m));
    }
}

TEST (PatchDump, BuildUsesTheOutputModelWithoutTouchingTheSharedOne)
{
    const auto before = currentSysExModel.load();
    currentSysExModel = 8;

    const auto dump = makeDump (makePresetData (4096), 3);
    PatchDump d;
    ASSERT_TRUE (d.parse (dump.data(), dump.size(), 3));
    ASSERT_TRUE (d.convertForModel6or7 (1));

    juce::MemoryBlock out;
    ASSERT_TRUE (d.build (out));
    const auto messages = splitMessages (bytesOf (out), 7);
    ASSERT_EQ (messages.size(), 66u);
    for (auto& m : messages)
        EXPECT_EQ (m[4], 7);

    EXPECT_EQ (currentSysExModel.load(), 8);
    currentSysExModel = before;
}

TEST (PatchDump, DamagedDumpsAreRefusedWithCodeAndStage)
{
    const auto data = makePresetData (4096);
    PatchDump d;

    auto expectError = [&d] (const Bytes& bytes, juce::uint8 model, int code, int stage)
    {
        EXPECT_FALSE (d.parse (bytes.data(), bytes.size(), model));
        EXPECT_EQ (d.getErrorCode(), code);
        EXPECT_EQ (d.getErrorStage(), stage);
        EXPECT_FALSE (d.isComplete());
    };

    // A byte of a data message changed: the message's own check catches it.
    auto corrupted = makeDump (data, 3);
    corrupted[12 + 40] ^= 0x01;
    expectError (corrupted, 3, PatchDump::errorChecksum, PatchDump::stageNone);

    // Changed and re-checked: the end value no longer matches the words.
    fixChecksum (corrupted, 12, 202);
    expectError (corrupted, 3, PatchDump::errorChecksum, PatchDump::stageFinal);

    DumpOptions offByOne;
    offByOne.endXorFlip = 1;
    expectError (makeDump (data, 3, offByOne), 3, PatchDump::errorChecksum, PatchDump::stageFinal);

    DumpOptions twoStarts;
    twoStarts.secondStart = true;
    expectError (makeDump (data, 3, twoStarts), 3, PatchDump::errorUnexpectedMessage, PatchDump::stageStart);

    DumpOptions shortDump;
    shortDump.dropDataMessages = 1; // 31 data messages for 2048 words
    expectError (makeDump (data, 3, shortDump), 3, PatchDump::errorWordCount, PatchDump::stageFinal);

    expectError ({}, 3, PatchDump::errorEmptyInput, PatchDump::stageNone);
    expectError (makeDump (data, 3), 5, PatchDump::errorWrongModel, PatchDump::stageNone);
    expectError ({ 0xF0, 0x43, 0x10, 0x4C, 0x00, 0xF7 }, 3, PatchDump::errorWrongModel, PatchDump::stageNone);

    // A message of another function inside the dump.
    auto foreign = makeDump (data, 3);
    juce::MidiMessage status;
    buildStatusMessage (status, 0x03, 0, 3);
    auto statusBytes = bytesOf (status);
    foreign.insert (foreign.begin() + 12, statusBytes.begin(), statusBytes.end());
    expectError (foreign, 3, PatchDump::errorUnexpectedMessage, PatchDump::stageNone);

    // A data message that carries fewer than 64 words.
    auto shortData = makeDump (data, 3);
    juce::MidiMessage m;
    juce::uint16 words[63] = {};
    buildPatchData (m, words, 63, 3);
    auto shortBytes = bytesOf (m);
    std::copy (shortBytes.begin(), shortBytes.end(), shortData.begin() + 12);
    expectError (shortData, 3, PatchDump::errorBadField, PatchDump::stageData);

    // The error of an earlier parse does not stick.
    const auto good = makeDump (data, 3);
    EXPECT_TRUE (d.parse (good.data(), good.size(), 3));
    EXPECT_EQ (d.getErrorCode(), PatchDump::errorNone);
}

TEST (PatchDump, DumpWithoutEndIsNeverTakenAsWhole)
{
    const auto data = makePresetData (8192, "Cut Off");
    DumpOptions noEnd;
    noEnd.withEnd = false;
    const auto cut = makeDump (data, 7, noEnd);

    PatchDump d;
    EXPECT_FALSE (d.parse (cut.data(), cut.size(), 7));
    EXPECT_EQ (d.getErrorCode(), PatchDump::errorWordCount);
    EXPECT_EQ (d.getErrorStage(), PatchDump::stageFinal);

    // Read leniently it still shows its name, but it cannot go anywhere.
    ASSERT_TRUE (d.parse (cut.data(), cut.size(), 7, PatchDump::EndRule::optional));
    EXPECT_FALSE (d.isComplete());
    juce::String name;
    d.getPresetName (name);
    EXPECT_EQ (name, "Cut Off");

    EXPECT_FALSE (d.convertForModel6or7 (1));
    EXPECT_FALSE (d.convertForModel3());
    juce::MemoryBlock out;
    EXPECT_FALSE (d.build (out));
    EXPECT_TRUE (out.isEmpty());

    // Every cut of a whole dump is refused by the strict reading.
    const auto whole = makeDump (makePresetData (4096), 3);
    for (size_t length = 0; length < whole.size(); length += 7)
        EXPECT_FALSE (d.parse (whole.data(), length, 3)) << length;
}

TEST (PatchDump, ConversionBetweenCompatibleModels)
{
    // Model 7 with word 1 = 0 to model 3 and back.
    const auto data7 = makePresetData (8192, "Seven");
    PatchDump d;
    ASSERT_TRUE (d.parse (makeDump (data7, 7).data(), makeDump (data7, 7).size(), 7));
    ASSERT_TRUE (d.convertForModel3());
    EXPECT_EQ (d.getOutputModel(), 3);
    ASSERT_EQ (d.getOutput().getSize(), 4096u);
    EXPECT_TRUE (sameBytes (d.getOutput(), 0, data7, 0, 2048));
    EXPECT_TRUE (sameBytes (d.getOutput(), 2048, data7, 4096, 2048));

    juce::MemoryBlock as3;
    ASSERT_TRUE (d.build (as3));
    PatchDump back;
    ASSERT_TRUE (back.parse (as3, 3));
    ASSERT_TRUE (back.convertForModel6or7 (0));
    EXPECT_EQ (back.getOutputModel(), 6);
    const auto& out = back.getOutput();
    ASSERT_EQ (out.getSize(), 8192u);
    EXPECT_TRUE (sameBytes (out, 0, data7, 0, 2048));
    EXPECT_TRUE (sameBytes (out, 2048, data7, 4096, 2048));
    EXPECT_TRUE (sameBytes (out, 4096, data7, 4096, 2048));
    EXPECT_EQ (slice (out, 6144, 2048), juce::MemoryBlock (2048, true));

    // 6 and 7 copy each other, 5 and 10 too.
    ASSERT_TRUE (d.convertForModel6or7 (1));
    EXPECT_EQ (d.getOutput(), data7);
    EXPECT_EQ (d.getOutputModel(), 7);

    const auto data5 = makePresetData (4096, "Five");
    PatchDump five;
    ASSERT_TRUE (five.parse (makeDump (data5, 5).data(), makeDump (data5, 5).size(), 5));
    ASSERT_TRUE (five.convertForModel5or10 (1));
    EXPECT_EQ (five.getOutputModel(), 10);
    EXPECT_EQ (five.getOutput(), data5);

    // Refused between incompatible models.
    EXPECT_FALSE (five.convertForModel6or7 (1));
    EXPECT_EQ (five.getErrorCode(), PatchDump::errorWrongModel);
    EXPECT_EQ (five.getErrorStage(), PatchDump::stageFinal);
    EXPECT_FALSE (five.convertForModel3());
    EXPECT_EQ (five.getErrorCode(), PatchDump::errorWrongModel);
    EXPECT_FALSE (d.convertForModel5or10 (0));
    EXPECT_EQ (d.getErrorCode(), PatchDump::errorWrongModel);

    PatchDump eight;
    const auto data8 = makePresetData (8192);
    ASSERT_TRUE (eight.parse (makeDump (data8, 8).data(), makeDump (data8, 8).size(), 8));
    EXPECT_FALSE (eight.convertForModel3());
    EXPECT_FALSE (eight.convertForModel6or7 (1));
    EXPECT_EQ (eight.getErrorCode(), PatchDump::errorWrongModel);

    // Model 7 data of the wrong size, and model 3 data of the wrong size.
    PatchDump odd;
    const auto small7 = makePresetData (4096);
    ASSERT_TRUE (odd.parse (makeDump (small7, 7).data(), makeDump (small7, 7).size(), 7));
    EXPECT_FALSE (odd.convertForModel3());
    EXPECT_EQ (odd.getErrorCode(), PatchDump::errorDataSize);
    const auto big3 = makePresetData (8192);
    ASSERT_TRUE (odd.parse (makeDump (big3, 3).data(), makeDump (big3, 3).size(), 3));
    EXPECT_FALSE (odd.convertForModel6or7 (1));
    EXPECT_EQ (odd.getErrorCode(), PatchDump::errorDataSize);
}

TEST (PatchDump, EveryTransferThatNeedsConversionHasOne)
{
    const juce::uint8 models[] = { 3, 5, 6, 7, 8, 10 };

    for (auto unit : models)
        for (auto source : models)
        {
            bool needsConversion = false;
            if (! isPresetTransferable (unit, source, needsConversion) || ! needsConversion)
                continue;

            SCOPED_TRACE (juce::String (source) + " -> " + juce::String (unit));
            const auto data = makePresetData ((size_t) getPresetDataSize (source));
            const auto dump = makeDump (data, source);
            PatchDump d;
            ASSERT_TRUE (d.parse (dump.data(), dump.size(), source));

            bool converted = false;
            if (unit == 3)
                converted = d.convertForModel3();
            else if (unit == 6 || unit == 7)
                converted = d.convertForModel6or7 (unit == 7 ? 1 : 0);
            else if (unit == 5 || unit == 10)
                converted = d.convertForModel5or10 (unit == 10 ? 1 : 0);

            ASSERT_TRUE (converted);
            EXPECT_EQ (d.getOutputModel(), unit);
            EXPECT_EQ ((int) d.getOutput().getSize(), getPresetDataSize (unit));
        }
}

TEST (PatchDump, PackedModel3HalfIsExpanded)
{
    // A tree of two leaves, 'A' (bit 0) and 'B' (bit 1), then 8124 symbols
    // alternating A, B: 19 + 8124 bits, 1018 bytes, 509 pairs (word 1 = 1016).
    juce::MemoryBlock data = makePresetData (4096, "Packed");
    auto* b = static_cast<juce::uint8*> (data.getData());
    std::fill (b + 68, b + 4096, 0x5A);
    b[2] = 0xF8; // word 1 = 1016
    b[3] = 0x03;

    std::vector<int> bits = { 0, 1 };
    for (int i = 7; i >= 0; --i)
        bits.push_back (('A' >> i) & 1);
    bits.push_back (1);
    for (int i = 7; i >= 0; --i)
        bits.push_back (('B' >> i) & 1);
    for (int s = 0; s < 8124; ++s)
        bits.push_back (s & 1);

    std::fill (b + 68, b + 68 + 1018, 0);
    for (size_t i = 0; i < bits.size(); ++i)
        if (bits[i] != 0)
            b[68 + i / 8] |= (juce::uint8) (0x80 >> (i % 8));

    PatchDump d;
    const auto dump = makeDump (data, 3);
    ASSERT_TRUE (d.parse (dump.data(), dump.size(), 3));
    ASSERT_TRUE (d.convertForModel6or7 (1));
    const auto& out = d.getOutput();
    ASSERT_EQ (out.getSize(), 8192u);
    auto* o = static_cast<const juce::uint8*> (out.getData());

    EXPECT_TRUE (sameBytes (out, 0, data, 0, 68));
    bool symbolsOk = true;
    for (size_t i = 68; i < 8192; ++i)
        if (i < 4096 || i >= 6144)
            symbolsOk = symbolsOk && o[i] == ((i - 68) % 2 == 0 ? 'A' : 'B');
    EXPECT_TRUE (symbolsOk);
    EXPECT_TRUE (sameBytes (out, 4096, data, 2048, 2048));

    // The stream ends before the last symbol.
    b[2] = 0xF0; // word 1 = 1008: 505 pairs, 1010 bytes
    const auto shortDump = makeDump (data, 3);
    ASSERT_TRUE (d.parse (shortDump.data(), shortDump.size(), 3));
    EXPECT_FALSE (d.convertForModel6or7 (1));
    EXPECT_EQ (d.getErrorCode(), PatchDump::errorPackedData);
    EXPECT_EQ (d.getErrorStage(), PatchDump::stageFinal);

    // More pairs than the half holds.
    b[2] = 0xBE; // word 1 = 4030: 2016 pairs
    b[3] = 0x0F;
    const auto tooLong = makeDump (data, 3);
    ASSERT_TRUE (d.parse (tooLong.data(), tooLong.size(), 3));
    EXPECT_FALSE (d.convertForModel6or7 (1));
    EXPECT_EQ (d.getErrorCode(), PatchDump::errorPackedData);
}

TEST (PatchDump, PackedDecoderRefusesOversizedOrCutTrees)
{
    juce::uint8 symbols[16] = {};

    // A single leaf: every symbol is that leaf, without further bits.
    const juce::uint8 single[] = { 0xA0, 0x80 }; // 1, 0x41
    EXPECT_TRUE (PatchDump::decodePackedHalf (single, 2, symbols, 16));
    EXPECT_EQ (symbols[15], 0x41);

    // Only inner nodes: the tree outgrows its 511 places.
    std::vector<juce::uint8> zeros (4000, 0);
    EXPECT_FALSE (PatchDump::decodePackedHalf (zeros.data(), zeros.size(), symbols, 16));

    // A leaf cut in the middle of its symbol, and no data at all.
    EXPECT_FALSE (PatchDump::decodePackedHalf (single, 1, symbols, 16));
    EXPECT_FALSE (PatchDump::decodePackedHalf (nullptr, 0, symbols, 16));
}

TEST (PatchDump, BlankPresets)
{
    PatchDump d;

    ASSERT_TRUE (d.makeBlank (8));
    EXPECT_EQ (d.getDataModel(), 8);
    EXPECT_EQ (d.getData().getSize(), 8192u);
    EXPECT_EQ (d.getData(),
               []
               {
                   juce::MemoryBlock b (8192);
                   b.fillWith (0xFF);
                   return b;
               }());
    EXPECT_EQ (xorWords16 (static_cast<const juce::uint16*> (d.getData().getData()), 4096), 0);
    juce::String name;
    d.getPresetName (name);
    EXPECT_EQ (name, "EMPTY");

    ASSERT_TRUE (d.makeBlank (7));
    EXPECT_EQ (d.getDataModel(), 3);
    const auto& m3 = d.getData();
    ASSERT_EQ (m3.getSize(), 4096u);
    EXPECT_EQ (wordAt (m3, 0), 0x020B);
    EXPECT_EQ (wordAt (m3, 1), 0);
    EXPECT_EQ (wordAt (m3, 32), 0x0020);
    EXPECT_EQ (wordAt (m3, 33), 0);
    EXPECT_EQ (wordAt (m3, 141), 0x7FFF);
    EXPECT_EQ (wordAt (m3, 156), 0x7FFF);
    EXPECT_EQ (wordAt (m3, 215), 0xB332);
    EXPECT_EQ (wordAt (m3, 216), 0);
    name = "unchanged";
    d.getPresetName (name);
    EXPECT_EQ (name, ""); // 31 blanks

    // The blank for model 7 is model 3 data that converts and encodes.
    ASSERT_TRUE (d.convertForModel6or7 (1));
    juce::MemoryBlock out;
    ASSERT_TRUE (d.build (out));
    EXPECT_EQ (splitMessages (bytesOf (out), 7).size(), 66u);

    ASSERT_TRUE (d.makeBlank (10));
    EXPECT_EQ (d.getDataModel(), 10);
    EXPECT_EQ (wordAt (d.getData(), 0), 0x0100);
    EXPECT_EQ (wordAt (d.getData(), 68), 0x0004);
    EXPECT_EQ (wordAt (d.getData(), 348), 0x0008);
    EXPECT_EQ (wordAt (d.getData(), 351), 0);
    EXPECT_EQ (d.getData().getSize(), 4096u);

    EXPECT_FALSE (d.makeBlank (4));
    EXPECT_EQ (d.getErrorCode(), PatchDump::errorWrongModel);
    EXPECT_EQ (d.getDataModel(), 10);

    // Nothing to build without output.
    PatchDump empty;
    EXPECT_FALSE (empty.build (out));
    EXPECT_EQ (empty.getErrorCode(), PatchDump::errorNone);
}

TEST (PatchDump, PresetNames)
{
    PatchDump d;
    juce::String name = "kept";
    d.getPresetName (name);
    EXPECT_EQ (name, "kept"); // no data

    const auto padded = makeDump (makePresetData (4096, "  Lead  "), 3);
    ASSERT_TRUE (d.parse (padded.data(), padded.size(), 3));
    d.getPresetName (name);
    EXPECT_EQ (name, "Lead");

    const auto empty = makeDump (makePresetData (4096, "", 0xFF), 3);
    ASSERT_TRUE (d.parse (empty.data(), empty.size(), 3));
    d.getPresetName (name);
    EXPECT_EQ (name, "EMPTY");

    // The low byte of each place is its character: 0x20AC reads 0xAC.
    auto wide = makePresetData (4096, "Lead");
    static_cast<juce::uint8*> (wide.getData())[2 * 2] = 0xAC;
    static_cast<juce::uint8*> (wide.getData())[2 * 2 + 1] = 0x20;
    const auto wideDump = makeDump (wide, 3);
    ASSERT_TRUE (d.parse (wideDump.data(), wideDump.size(), 3));
    d.getPresetName (name);
    EXPECT_EQ (name, juce::String::charToString (0xAC) + "ead");
}
