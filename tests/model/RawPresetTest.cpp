#include "model/RawPreset.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Bytes = std::vector<juce::uint8>;

juce::uint8 xorCheck (const Bytes& bytes)
{
    juce::uint8 sum = 0;
    for (auto b : bytes)
        sum ^= b;
    return (juce::uint8) (sum & 0x7f);
}

void appendU32 (Bytes& b, juce::uint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back ((juce::uint8) (v >> (8 * i)));
}

void putU32 (Bytes& b, size_t offset, juce::uint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[offset + (size_t) i] = (juce::uint8) (v >> (8 * i));
}

void seal (Bytes& b)
{
    b.back() = xorCheck (Bytes (b.begin(), b.end() - 1));
}

// A checksummed nested form preceded by its length.
void appendNested (Bytes& b, Bytes form)
{
    form.push_back (xorCheck (form));
    appendU32 (b, (juce::uint32) form.size());
    b.insert (b.end(), form.begin(), form.end());
}

Bytes toBytes (const juce::MemoryBlock& block)
{
    auto* p = static_cast<const juce::uint8*> (block.getData());
    return Bytes (p, p + block.getSize());
}

Bytes write (const RawPreset& preset)
{
    juce::MemoryBlock block;
    preset.writeTo (block);
    return toBytes (block);
}

bool read (RawPreset& preset, const Bytes& bytes)
{
    return preset.readFrom (bytes.data(), bytes.size());
}

void fillSample (RawPreset& preset)
{
    preset.clear();
    preset.model = 6;
    preset.firmwareMajor = 21;
    preset.firmwareMinor = 3;
    preset.presetNumber = 383;
    preset.name = "Lead Tone";
    preset.grid.addCell ({ 106, 0 });
    preset.grid.addCell ({ 300, 1 });
    preset.grid.addCell ({ 120, 1 });

    auto& amp = preset.addBlock();
    amp.blockId = 106;
    amp.sceneStates.add ({ 0, 0, 0, 0 });
    amp.sceneStates.add ({ 2, 1, 1, 0 });
    amp.addParamValue (0, 0x12340001);
    amp.addParamValue (0, 0x00000002);
    amp.addParamValue (1, 0xffff0005);

    auto& shunt = preset.addBlock();
    shunt.blockId = 300;
    shunt.shuntFlag = 1;

    auto& delay = preset.addBlock();
    delay.blockId = 120;
    delay.sceneStates.add ({ 2, 0, 0, 0 });
    delay.addParamValue (1, 0x80000007);

    RawPresetModifier modifier;
    modifier.blockId = 106;
    modifier.paramId = 12;
    modifier.words = { 0x00050000, 0x7fff0003 };
    preset.addModifier (modifier);
    modifier.words.clear();
    preset.addModifier (modifier);
}

void expectSameRecord (const RawPreset& a, const RawPreset& b)
{
    EXPECT_EQ (a.format, b.format);
    EXPECT_EQ (a.model, b.model);
    EXPECT_EQ (a.firmwareMajor, b.firmwareMajor);
    EXPECT_EQ (a.firmwareMinor, b.firmwareMinor);
    EXPECT_EQ (a.presetNumber, b.presetNumber);
    EXPECT_EQ (a.name, b.name);
    ASSERT_EQ (a.grid.getNumCells(), b.grid.getNumCells());
    for (int i = 0; i < a.grid.getNumCells(); ++i)
    {
        EXPECT_EQ (a.grid.getCell (i)->blockId, b.grid.getCell (i)->blockId);
        EXPECT_EQ (a.grid.getCell (i)->inputMask, b.grid.getCell (i)->inputMask);
    }
    ASSERT_EQ (a.getBlocks().size(), b.getBlocks().size());
    for (int i = 0; i < a.getBlocks().size(); ++i)
    {
        auto& x = *a.getBlocks()[i];
        auto& y = *b.getBlocks()[i];
        EXPECT_EQ (x.blockId, y.blockId);
        EXPECT_EQ (x.shuntFlag, y.shuntFlag);
        ASSERT_EQ (x.sceneStates.size(), y.sceneStates.size());
        for (int s = 0; s < x.sceneStates.size(); ++s)
        {
            EXPECT_EQ (x.sceneStates[s].scene, y.sceneStates[s].scene);
            EXPECT_EQ (x.sceneStates[s].xy, y.sceneStates[s].xy);
            EXPECT_EQ (x.sceneStates[s].bypass, y.sceneStates[s].bypass);
        }
        EXPECT_EQ (x.xValues, y.xValues);
        EXPECT_EQ (x.yValues, y.yValues);
    }
    ASSERT_EQ (a.getModifiers().size(), b.getModifiers().size());
    for (int i = 0; i < a.getModifiers().size(); ++i)
    {
        EXPECT_EQ (a.getModifiers()[i]->blockId, b.getModifiers()[i]->blockId);
        EXPECT_EQ (a.getModifiers()[i]->paramId, b.getModifiers()[i]->paramId);
        EXPECT_EQ (a.getModifiers()[i]->words, b.getModifiers()[i]->words);
    }
}
} // namespace

TEST (RawPreset, WritesTheDocumentedByteLayout)
{
    RawPreset preset;
    preset.model = 3;
    preset.firmwareMajor = 2;
    preset.firmwareMinor = 5;
    preset.presetNumber = 10;
    preset.name = "Ab";
    preset.grid.addCell ({ 106, 1 });
    auto& block = preset.addBlock();
    block.blockId = 106;
    block.sceneStates.add ({ 1, 1, 0, 0 });
    block.addParamValue (0, 0x00100002);
    RawPresetModifier modifier;
    modifier.blockId = 106;
    modifier.paramId = 12;
    modifier.words.add (0x00050000);
    preset.addModifier (modifier);

    Bytes expected{ 1, 0, 3, 0, 2, 5, 10, 0, 2, 0, 0, 0, 'A', 'b' };
    appendNested (expected, { 1, 0, 0, 0, 106, 0, 1, 0 });
    appendU32 (expected, 1);
    Bytes blockForm{ 106, 0, 0 };
    appendU32 (blockForm, 1);
    blockForm.insert (blockForm.end(), { 1, 0, 1, 0, 0, 0 });
    appendU32 (blockForm, 1);
    appendU32 (blockForm, 0x00100002);
    appendU32 (blockForm, 0);
    appendNested (expected, blockForm);
    appendU32 (expected, 1);
    Bytes modifierForm{ 106, 0, 12, 0 };
    appendU32 (modifierForm, 1);
    appendU32 (modifierForm, 0x00050000);
    appendNested (expected, modifierForm);
    expected.push_back (xorCheck (expected));

    EXPECT_EQ (write (preset), expected);

    RawPreset parsed;
    ASSERT_TRUE (read (parsed, expected));
    expectSameRecord (parsed, preset);
}

TEST (RawPreset, RoundTripsFieldByFieldAndByteForByte)
{
    RawPreset preset;
    fillSample (preset);
    auto bytes = write (preset);

    RawPreset parsed;
    ASSERT_TRUE (read (parsed, bytes));
    expectSameRecord (parsed, preset);
    EXPECT_EQ (write (parsed), bytes);
    EXPECT_TRUE (parsed.grid.getFixedBlocks().isEmpty());

    // The reader takes format, model and firmware as they stand.
    preset.format = 7;
    preset.model = 0xbeef;
    ASSERT_TRUE (read (parsed, write (preset)));
    EXPECT_EQ (parsed.format, 7);
    EXPECT_EQ (parsed.model, 0xbeef);
}

TEST (RawPreset, SizesOfMinimalRecords)
{
    RawPreset preset;
    preset.name = "Sixteen chars!!!";
    for (int i = 0; i < 48; ++i)
        preset.grid.addCell ({ 0, 0 });

    auto bytes = write (preset);
    ASSERT_EQ (bytes.size(), 238u);
    EXPECT_EQ (Bytes (bytes.begin() + 229, bytes.begin() + 237), Bytes (8, 0)); // both counts present, 0

    RawPreset parsed;
    ASSERT_TRUE (read (parsed, bytes));
    EXPECT_EQ (parsed.name, preset.name);
    EXPECT_EQ (parsed.grid.getNumCells(), 48);
}

TEST (RawPreset, NamesAreStoredByUtf8ByteCount)
{
    RawPreset preset;
    preset.name = juce::String::fromUTF8 ("Cr\xc3\xa8me \xe2\x98\x83 Br\xc3\xbbl\xc3\xa9\x65");
    auto bytes = write (preset);

    const auto byteCount = (juce::uint32) preset.name.getNumBytesAsUTF8();
    ASSERT_GT (byteCount, (juce::uint32) preset.name.length());
    EXPECT_EQ (bytes[8] | (bytes[9] << 8) | (bytes[10] << 16) | (bytes[11] << 24), (int) byteCount);

    RawPreset parsed;
    ASSERT_TRUE (read (parsed, bytes));
    EXPECT_EQ (parsed.name, preset.name);
    EXPECT_EQ (write (parsed), bytes);

    // A zero byte ends the name early; the length still steps over all bytes.
    Bytes zeroInside{ 1, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 'A', 'b', 0, 'c' };
    appendNested (zeroInside, { 0, 0, 0, 0 });
    appendU32 (zeroInside, 0);
    appendU32 (zeroInside, 0);
    zeroInside.push_back (0);
    seal (zeroInside);
    ASSERT_TRUE (read (parsed, zeroInside));
    EXPECT_EQ (parsed.name, "Ab");

    // Bytes that are not UTF-8 are taken one character each.
    auto latin = zeroInside;
    latin[14] = 0xe9;
    seal (latin);
    ASSERT_TRUE (read (parsed, latin));
    EXPECT_EQ (parsed.name, juce::String::fromUTF8 ("Ab\xc3\xa9\x63"));
}

TEST (RawPreset, DamagedChecksAtAnyLevelAreRefusedAndTheRecordKept)
{
    RawPreset sample;
    fillSample (sample);
    const auto bytes = write (sample);

    RawPreset target;
    fillSample (target);
    target.name = "Keep me";

    auto expectKept = [&target]
    {
        EXPECT_EQ (target.name, "Keep me");
        EXPECT_EQ (target.getBlocks().size(), 3);
        EXPECT_EQ (target.getModifiers().size(), 2);
        EXPECT_EQ (target.grid.getNumCells(), 3);
    };

    EXPECT_FALSE (read (target, {}));
    EXPECT_FALSE (target.readFrom (nullptr, 10));
    expectKept();

    auto badOuter = bytes;
    badOuter.back() ^= 0x01;
    EXPECT_FALSE (read (target, badOuter));
    expectKept();

    // Flip one byte in every position before the record's check byte and
    // re-seal only the record: a nested check byte or a length must catch it,
    // unless the byte lies in the header or name, which only the record guards.
    const size_t nameEnd = 12 + (size_t) sample.name.length();
    for (size_t i = nameEnd; i < bytes.size() - 1; ++i)
    {
        auto damaged = bytes;
        damaged[i] ^= 0x01;
        seal (damaged);
        EXPECT_FALSE (read (target, damaged)) << i;
        expectKept();
    }
}

TEST (RawPreset, TruncatedRecordsAreRefused)
{
    RawPreset sample;
    fillSample (sample);
    const auto bytes = write (sample);

    RawPreset noModifiers;
    fillSample (noModifiers);
    noModifiers.clearModifiers();
    const auto endOfBlocks = write (noModifiers).size() - 1 - 4;
    const size_t endOfGrid = 8 + 4 + (size_t) sample.name.length() + 4 + (4 + 3 * 4 + 1);

    for (size_t length = 0; length < bytes.size(); ++length)
    {
        RawPreset target;
        target.name = "Kept";

        Bytes cut (bytes.begin(), bytes.begin() + (long) length);
        if (! read (target, cut))
        {
            EXPECT_EQ (target.name, "Kept") << length;
        }

        // Re-sealed: refused while any nested form is cut. A count that is
        // missing altogether reads as none, so a cut just after the grid or
        // just after the last block still reads.
        Bytes sealed (bytes.begin(), bytes.begin() + (long) length);
        sealed.push_back (0);
        seal (sealed);
        auto ok = read (target, sealed);
        auto inGap = [length] (size_t at) { return length >= at && length < at + 4; };

        if (length == bytes.size() - 1)
        {
            EXPECT_TRUE (ok); // the whole body
        }
        else if (inGap (endOfGrid))
        {
            EXPECT_TRUE (ok && target.getBlocks().isEmpty()) << length;
        }
        else if (inGap (endOfBlocks))
        {
            EXPECT_TRUE (ok && target.getBlocks().size() == 3 && target.getModifiers().isEmpty()) << length;
        }
        else
        {
            EXPECT_FALSE (ok) << length;
        }
    }
}

TEST (RawPreset, HostileLengthsAndCountsAreRefusedWithoutReadingOutside)
{
    RawPreset sample;
    fillSample (sample);
    sample.name = "ABCD";
    const auto bytes = write (sample);
    const size_t nameLengthAt = 8, gridLengthAt = 16;
    const size_t gridLength = 4 + 4 * 3 + 1;
    const size_t blockCountAt = gridLengthAt + 4 + gridLength;

    RawPreset target;
    auto refuses = [&] (size_t offset, juce::uint32 value)
    {
        auto hostile = bytes;
        putU32 (hostile, offset, value);
        seal (hostile);
        return ! read (target, hostile);
    };

    // A name length that does not fit (negative when taken as signed) leaves
    // the name unread, and the next length, read from the name, is refused.
    for (juce::uint32 v : { 0xffffffffu, 0x80000000u, 0xfffffff0u, (juce::uint32) bytes.size() })
    {
        EXPECT_TRUE (refuses (nameLengthAt, v)) << v;
        EXPECT_TRUE (refuses (gridLengthAt, v)) << v;
        EXPECT_TRUE (refuses (blockCountAt, v)) << v;
        EXPECT_TRUE (refuses (blockCountAt + 4, v)) << v; // first block's length
    }

    EXPECT_TRUE (refuses (gridLengthAt, 0)); // a record needs its grid

    // A nested form's length may not take in the record's own check byte.
    auto greedy = bytes;
    const auto lastModifierAt = bytes.size() - 1 - (2 + 2 + 4 + 1) - 4;
    putU32 (greedy, lastModifierAt, 2 + 2 + 4 + 1 + 1);
    seal (greedy);
    EXPECT_FALSE (read (target, greedy));
}

TEST (RawPreset, NestedCountsThatWouldWrapAreSkipped)
{
    // 6 * 0x2AAAAAAB and 4 * 0x40000001 wrap to small numbers in 32 bits.
    Bytes form{ 120, 0, 0 };
    appendU32 (form, 0x2aaaaaab);
    form.insert (form.end(), 6, 0);
    appendU32 (form, 0);
    form.push_back (xorCheck (form));

    RawPresetBlock block;
    block.sceneStates.add ({});
    ASSERT_TRUE (block.readFrom (form.data(), form.size()));
    EXPECT_EQ (block.blockId, 120);
    EXPECT_TRUE (block.sceneStates.isEmpty());
    EXPECT_TRUE (block.xValues.isEmpty());

    Bytes words{ 120, 0, 0, 0, 0, 0, 0 };
    appendU32 (words, 0x40000001);
    appendU32 (words, 0x12345678);
    words.push_back (xorCheck (words));
    ASSERT_TRUE (block.readFrom (words.data(), words.size()));
    EXPECT_TRUE (block.xValues.isEmpty());

    // A list may not take in the form's own check byte.
    Bytes intoCheck{ 120, 0, 0, 0, 0, 0, 0 };
    appendU32 (intoCheck, 1);
    intoCheck.insert (intoCheck.end(), 3, 0x11);
    intoCheck.push_back (xorCheck (intoCheck));
    ASSERT_TRUE (block.readFrom (intoCheck.data(), intoCheck.size()));
    EXPECT_TRUE (block.xValues.isEmpty());

    Bytes modifierForm{ 7, 0, 9, 0 };
    appendU32 (modifierForm, 0x40000001);
    appendU32 (modifierForm, 0x12345678);
    modifierForm.push_back (xorCheck (modifierForm));
    RawPresetModifier modifier;
    ASSERT_TRUE (modifier.readFrom (modifierForm.data(), modifierForm.size()));
    EXPECT_EQ (modifier.paramId, 9);
    EXPECT_TRUE (modifier.words.isEmpty());

    modifierForm.back() ^= 0x01;
    EXPECT_FALSE (modifier.readFrom (modifierForm.data(), modifierForm.size()));
    EXPECT_FALSE (modifier.readFrom (nullptr, 0));
    EXPECT_FALSE (block.readFrom (modifierForm.data(), 0));
}

TEST (RawPreset, SceneStatesAndEntries)
{
    RawPreset preset;
    fillSample (preset);

    juce::Array<SceneBlockState> states;
    preset.getSceneBypassStates (2, states);
    ASSERT_EQ (states.size(), 3);
    EXPECT_EQ (states[0].blockId, 106);
    EXPECT_EQ (states[0].state, 0); // bypassed in scene 2
    EXPECT_EQ (states[1].state, 1); // no state held
    EXPECT_EQ (states[2].state, 1);

    states.clear();
    preset.getSceneXYStates (2, states);
    ASSERT_EQ (states.size(), 2);
    EXPECT_EQ (states[0].blockId, 106);
    EXPECT_EQ (states[0].state, 0); // Y
    EXPECT_EQ (states[1].blockId, 120);
    EXPECT_EQ (states[1].state, 1); // X

    states.clear();
    preset.getSceneBypassStates (5, states);
    EXPECT_EQ (states.size(), 3);
    for (auto& s : states)
        EXPECT_EQ (s.state, 1);
    states.clear();
    preset.getSceneXYStates (5, states);
    EXPECT_TRUE (states.isEmpty());

    auto* amp = preset.findBlock (106);
    ASSERT_NE (amp, nullptr);
    amp->addParamValue (2, 99);
    amp->addParamValue (-1, 99);
    EXPECT_EQ (amp->xValues.size(), 2);
    EXPECT_EQ (amp->yValues.size(), 1);
    EXPECT_EQ (preset.findBlock (999), nullptr);

    preset.clear();
    EXPECT_EQ (preset.format, 1);
    EXPECT_EQ (preset.presetNumber, 0);
    EXPECT_TRUE (preset.name.isEmpty());
    EXPECT_TRUE (preset.getBlocks().isEmpty());
    EXPECT_TRUE (preset.getModifiers().isEmpty());
    EXPECT_EQ (preset.grid.getNumCells(), 0);
}

TEST (SceneRecord, ResetAndCopy)
{
    SceneRecord record;
    EXPECT_EQ (record.sceneNumber, -1);

    record.sceneNumber = 3;
    record.startingScene = 2;
    record.sceneParams[5] = { true, 0.5f, 7 };
    record.xyStates.add ({ 106, 1 });
    record.bypassStates.add ({ 120, 0 });

    SceneRecord copy;
    copy = record;
    EXPECT_EQ (copy.sceneNumber, 3);
    EXPECT_EQ (copy.startingScene, 2);
    EXPECT_TRUE (copy.sceneParams[5].valid);
    EXPECT_EQ (copy.sceneParams[5].intValue, 7);
    EXPECT_EQ (copy.xyStates.size(), 1);
    EXPECT_EQ (copy.bypassStates[0].blockId, 120);

    record.reset();
    EXPECT_EQ (record.sceneNumber, -1);
    EXPECT_EQ (record.startingScene, 0);
    EXPECT_FALSE (record.sceneParams[5].valid);
    EXPECT_TRUE (record.xyStates.isEmpty());
    EXPECT_TRUE (record.bypassStates.isEmpty());
    EXPECT_EQ (copy.xyStates.size(), 1);
}
