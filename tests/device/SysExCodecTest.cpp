#include "device/wire/SysExCodec.h"
#include "device/wire/ModelRules.h"
#include "model/IdTables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace
{
using Bytes = std::vector<juce::uint8>;

Bytes bytesOf (const juce::MidiMessage& m)
{
    return Bytes (m.getRawData(), m.getRawData() + m.getRawDataSize());
}

juce::MidiMessage messageOf (const Bytes& bytes)
{
    return juce::MidiMessage (bytes.data(), (int) bytes.size());
}

juce::MidiMessage truncated (const juce::MidiMessage& m, int length)
{
    return juce::MidiMessage (m.getRawData(), length);
}

// A frame with the payload and a correct checksum.
juce::MidiMessage frame (juce::uint8 function, const Bytes& payload, juce::uint8 model = 8)
{
    juce::MidiMessage m;
    buildSysExMessage (m, function, payload.data(), payload.size(), model);
    return m;
}

juce::MidiMessage status (juce::uint8 function, juce::uint8 result, juce::uint8 model = 8)
{
    juce::MidiMessage m;
    buildStatusMessage (m, function, result, model);
    return m;
}

juce::MidiMessage frameOfSize (juce::uint8 function, int totalSize)
{
    return frame (function, Bytes ((size_t) (totalSize - 8), 0));
}
} // namespace

// Hand-written frames pin the layouts, the septet order and the checksum
// independently of the tables.
TEST (SysExCodec, BuildersMatchHandWrittenFrames)
{
    juce::MidiMessage m;

    ASSERT_TRUE (buildParamSet (m, 106, 0, 65534, 1, 8));
    EXPECT_EQ (bytesOf (m), (Bytes{ 0xF0, 0x00, 0x02, 0x6B, 0x08, 0x02, 0x6A, 0x00, 0x00, 0x00, 0x7E, 0x7F, 0x03, 0x01,
                                    0x7A, 0xF7 }));

    ASSERT_TRUE (buildCabIrStart (m, 200, 5, 7));
    EXPECT_EQ (bytesOf (m), (Bytes{ 0xF0, 0x00, 0x02, 0x6B, 0x07, 0x7A, 0x01, 0x48, 0x05, 0x00, 0x28, 0xF7 }));

    ASSERT_TRUE (buildCabIrStart (m, 100, 5, 3));
    EXPECT_EQ (bytesOf (m), (Bytes{ 0xF0, 0x00, 0x02, 0x6B, 0x03, 0x7A, 0x64, 0x05, 0x00, 0x01, 0xF7 }));

    ModifierValues modifier;
    modifier.blockId = 106;
    modifier.count = 2;
    modifier.values[0] = 100;
    modifier.values[1] = 0xFFFF;
    ASSERT_TRUE (buildModifier (m, modifier, 8));
    EXPECT_EQ (bytesOf (m), (Bytes{ 0xF0, 0x00, 0x02, 0x6B, 0x08, 0x2C, 0x6A, 0x00, 0x02, 0x64, 0x00, 0x00, 0x7F, 0x7F,
                                    0x03, 0x32, 0xF7 }));

    // Patch data always carries the full 194-byte payload, zeros behind the count.
    const juce::uint16 words[] = { 0x1234, 0xFFFF };
    ASSERT_TRUE (buildPatchData (m, words, 2, 8));
    auto data = bytesOf (m);
    ASSERT_EQ (data.size(), 202u);
    EXPECT_EQ (Bytes (data.begin() + 6, data.begin() + 14), (Bytes{ 0x02, 0x00, 0x34, 0x24, 0x00, 0x7F, 0x7F, 0x03 }));
    EXPECT_EQ (Bytes (data.begin() + 14, data.end() - 2), Bytes (186, 0));
    EXPECT_EQ (data[200], 0x78);

    const juce::uint32 irValues[] = { 0xFFFFFFFF };
    ASSERT_TRUE (buildCabIrData (m, irValues, 1, 8));
    EXPECT_EQ (m.getRawDataSize(), 162 + 8);

    // The model byte comes from currentSysExModel unless one is given.
    auto saved = currentSysExModel.load();
    currentSysExModel = 5;
    ASSERT_TRUE (buildMute (m, 1));
    EXPECT_EQ (m.getRawData()[4], 5);
    currentSysExModel = saved;
}

TEST (SysExCodec, BuildersRefuseWhatTheirFieldsCannotCarry)
{
    juce::MidiMessage m;
    ASSERT_TRUE (buildMute (m, 0, 8));
    const auto before = bytesOf (m);

    std::vector<juce::uint16> ids (17, 1);
    EXPECT_FALSE (buildBroadcastKnob (m, ids.data(), 17, 8));
    EXPECT_FALSE (buildBroadcastKnob (m, nullptr, 1, 8));
    EXPECT_TRUE (buildBroadcastKnob (m, ids.data(), 16, 8));
    EXPECT_EQ (m.getRawDataSize(), 8 + 1 + 32);

    ASSERT_TRUE (buildMute (m, 0, 8));
    ModifierValues tooMany;
    tooMany.count = 16;
    EXPECT_FALSE (buildModifier (m, tooMany, 8));

    std::vector<juce::uint16> words (65, 0);
    EXPECT_FALSE (buildPatchData (m, words.data(), 65, 8));
    std::vector<juce::uint32> values (33, 0);
    EXPECT_FALSE (buildCabIrData (m, values.data(), 33, 8));
    EXPECT_FALSE (buildSetName (m, nullptr, 8));

    // A location or cell above one septet would address another preset or cell.
    EXPECT_FALSE (buildSavePatch (m, 128, 0, 8));
    EXPECT_FALSE (buildRecallPatch (m, 0, 128, 8));
    EXPECT_FALSE (buildSetScene (m, 200, 8));
    EXPECT_FALSE (buildPlaceEffect (m, 106, 128, 8));
    EXPECT_FALSE (buildParamSet (m, 16384, 0, 0, 1, 8));
    EXPECT_FALSE (buildParamSet (m, 106, 0, 0x200000, 1, 8));

    int expected = -5;
    EXPECT_FALSE (buildCabDump (m, 200, expected, 3)); // one septet on model 3
    EXPECT_FALSE (buildCabDump (m, 16384, expected, 8));
    EXPECT_FALSE (buildCabIrStart (m, 16384, 0, 7));
    EXPECT_FALSE (buildPatchDump (m, 127, 127, expected, 99)); // no known dump length
    EXPECT_EQ (expected, -5);

    EXPECT_EQ (bytesOf (m), before);

    FootswitchGrid grid;
    grid.entries.insertMultiple (0, {}, 128);
    EXPECT_FALSE (buildFsGrid (m, grid, 8));
}

TEST (SysExCodec, BuildersSetTheExpectedReplyCounts)
{
    juce::MidiMessage m;
    int expected = 0;

    ASSERT_TRUE (buildPatchDump (m, 127, 127, expected, 8));
    EXPECT_EQ (expected, 66);
    ASSERT_TRUE (buildPatchDump (m, 127, 127, expected, 3));
    EXPECT_EQ (expected, 34);

    ASSERT_TRUE (buildCabDump (m, 200, expected, 7));
    EXPECT_EQ (expected, 66);
    EXPECT_EQ (Bytes (m.getRawData() + 6, m.getRawData() + 8), (Bytes{ 0x01, 0x48 }));
    ASSERT_TRUE (buildCabDump (m, 100, expected, 3));
    EXPECT_EQ (m.getRawDataSize(), 9);

    ASSERT_TRUE (buildCabName (m, cabNumberAll, expected, 8));
    EXPECT_EQ (expected, 3);
    ASSERT_TRUE (buildCabName (m, 5, expected, 8));
    EXPECT_EQ (expected, 1);

    ASSERT_TRUE (buildQueryNameByNum (m, 127, 127, 512, expected, 8));
    EXPECT_EQ (expected, 512);
    ASSERT_TRUE (buildQueryNameByNum (m, 2, 127, 512, expected, 8));
    EXPECT_EQ (expected, 128);
    ASSERT_TRUE (buildQueryNameByNum (m, 2, 127, 512, expected, 6));
    EXPECT_EQ (expected, 1);

    LayoutRecord all{ 0, 0, layoutKeyAll, 0 };
    ASSERT_TRUE (buildLayoutSet (m, all, expected, 8));
    EXPECT_EQ (expected, 16);
    ASSERT_TRUE (buildLayoutSet (m, all, expected, 10));
    EXPECT_EQ (expected, 152);
    ASSERT_TRUE (buildLayoutSet (m, all, expected, 6));
    EXPECT_EQ (expected, 0);

    for (auto* builder : { &buildParamDump, &buildGetAllParams, &buildModifierDump })
    {
        expected = 0;
        ASSERT_TRUE (builder (m, 106, expected, 8));
        EXPECT_EQ (expected, 3);
    }

    ASSERT_TRUE (buildQueryStates (m, expected, 8));
    EXPECT_EQ (expected, 2);
    EXPECT_EQ (m.getRawDataSize(), 8);
}

// Every parser, fed every prefix of a valid message, must neither crash nor
// read past the data (run under the address sanitizer to prove the latter).
TEST (SysExCodec, EveryParserSurvivesEveryTruncation)
{
    EffectParamValue param{ 106, 3, 40000, 1, 7, 9, "12.5 dB" };
    ModifierSetReply modSet{ 106, 2, 1, 300, "Half" };
    PresetNameRecord presetName;
    presetName.high = 1;
    presetName.low = 2;
    std::memset (presetName.name, 'N', sizeof (presetName.name));
    CabNameRecord cabName;
    cabName.slot = 9;
    std::memset (cabName.name, 'C', sizeof (cabName.name));
    cabName.format = 0x20;
    char nameField[32];
    std::memset (nameField, 'Q', sizeof (nameField));

    juce::MidiMessage m;
    std::vector<std::pair<juce::MidiMessage, std::function<bool (const juce::MidiMessage&)>>> cases;
    auto add = [&] (const juce::MidiMessage& message, std::function<bool (const juce::MidiMessage&)> parse)
    { cases.emplace_back (message, std::move (parse)); };

    auto byLayout = [] (juce::uint8 function, std::vector<juce::uint32> values, juce::uint8 model = 8)
    {
        juce::MidiMessage out;
        EXPECT_TRUE (
            buildSysExByLayout (out, function, getReplyLayout (function, model), values.data(), values.size(), model));
        return out;
    };

    buildParamReply (m, SYSEX_PARAM_DUMP, param, 8);
    add (m,
         [] (auto& x)
         {
             EffectParamValue v;
             return parseParamDump (x, v);
         });
    buildParamReply (m, SYSEX_PARAM_SET, param, 8);
    add (m,
         [] (auto& x)
         {
             EffectParamValue v;
             return parseParamSet (x, v);
         });
    add (m,
         [] (auto& x)
         {
             EffectParamValue v;
             return parseSetParamDirect (x, v);
         });
    buildPlaceEffect (m, 106, 4, 8);
    add (m,
         [] (auto& x)
         {
             juce::uint16 b;
             juce::uint8 c;
             return parsePlaceEffect (x, b, c);
         });
    buildModifierSetReply (m, modSet, 8);
    add (m,
         [] (auto& x)
         {
             ModifierSetReply r;
             return parseModifierSet (x, r);
         });
    add (m,
         [] (auto& x)
         {
             ModifierSetReply r;
             return parseSetModParamDirect (x, r);
         });
    add (byLayout (SYSEX_QUERY_VERSION, { 6, 2, 1, 2, 3, 4 }),
         [] (auto& x)
         {
             FirmwareInfo f;
             return parseQueryVersion (x, f);
         });
    add (byLayout (SYSEX_TUNER, { 1, 2, 3 }),
         [] (auto& x)
         {
             TunerReading r;
             return parseTuner (x, r);
         });
    buildQueryStatesReply (m, { 0x01000064u, 0x83000065u }, 8);
    add (m,
         [] (auto& x)
         {
             juce::Array<juce::uint32> w;
             return parseQueryStates (x, w);
         });
    buildQueryNameReply (m, nameField, 8);
    add (m,
         [] (auto& x)
         {
             char n[32];
             return parseQueryName (x, n);
         });
    add (byLayout (SYSEX_XY, { 106, 1 }),
         [] (auto& x)
         {
             XYReply r;
             return parseXY (x, r);
         });
    buildCabNameReply (m, cabName, 8);
    add (m,
         [] (auto& x)
         {
             CabNameRecord r;
             return parseCabName (x, r);
         });
    add (byLayout (SYSEX_CPU_LOAD, { 40 }),
         [] (auto& x)
         {
             juce::uint8 v;
             return parseCpuLoad (x, v);
         });
    add (byLayout (SYSEX_PATCHNUM, { 3, 127 }),
         [] (auto& x)
         {
             PresetNumberRecord r;
             return parsePatchNum (x, r);
         });
    buildQueryNameByNumReply (m, presetName, 8);
    add (m,
         [] (auto& x)
         {
             PresetNameRecord r;
             return parseQueryNameByNum (x, r);
         });
    add (byLayout (SYSEX_GET_PARAM_INFO, { 0x30, 0x3f800000, 0x40000000, 0x3f000000, 0 }),
         [] (auto& x)
         {
             ParamInfo i;
             return parseGetParamInfo (x, i);
         });
    add (byLayout (SYSEX_GET_MIDI_CHANNEL, { 0 }),
         [] (auto& x)
         {
             juce::uint8 v;
             return parseGetMidiChannel (x, v);
         });
    add (byLayout (SYSEX_GET_MODIFIER_INFO, { 100, 3, 106, 2 }),
         [] (auto& x)
         {
             ModifierInfoReply r;
             return parseGetModifierInfo (x, r);
         });
    add (byLayout (SYSEX_GET_GRID, { 106, 1, 0, 0, 140, 15 }),
         [] (auto& x)
         {
             GridVectors g;
             return parseGetGrid (x, g);
         });
    add (byLayout (SYSEX_LOOPER_STATE, { 2, 3 }),
         [] (auto& x)
         {
             LooperState s;
             return parseLooperState (x, s);
         });
    buildParamStringsReply (m, { "Off", "On" }, 8);
    add (m,
         [] (auto& x)
         {
             juce::StringArray s;
             return parseGetParamStrings (x, s);
         });
    add (byLayout (SYSEX_SET_SCENE, { 3 }),
         [] (auto& x)
         {
             juce::uint8 v;
             return parseSetScene (x, v);
         });
    add (byLayout (SYSEX_GET_FLAGS, { 5 }),
         [] (auto& x)
         {
             UnitFlags f;
             return parseGetFlags (x, f);
         });
    add (byLayout (SYSEX_MODIFIER, { 106, 2, 7, 8 }),
         [] (auto& x)
         {
             ModifierValues r;
             return parseModifier (x, r);
         });
    add (byLayout (SYSEX_BPM, { 120 }),
         [] (auto& x)
         {
             juce::uint16 v;
             return parseBpm (x, v);
         });
    add (frameOfSize (SYSEX_GET_GRAPH, 264),
         [] (auto& x)
         {
             GraphData g;
             return parseGetGraph (x, g);
         });
    add (frameOfSize (SYSEX_GET_GRAPHN, 264),
         [] (auto& x)
         {
             GraphData g;
             return parseGetGraphN (x, g);
         });
    add (byLayout (SYSEX_MULTIMSG_START, { SYSEX_CABNAME, 300 }),
         [] (auto& x)
         {
             MultiMessageStart s;
             return parseMultiMsgStart (x, s);
         });
    add (frame (SYSEX_MULTIMSG_END, {}), [] (auto& x) { return parseMultiMsgEnd (x); });
    add (byLayout (SYSEX_GET_CONFIG, { 1, 500 }),
         [] (auto& x)
         {
             ConfigReply r;
             return parseGetConfig (x, r);
         });
    add (byLayout (SYSEX_BROADCAST_KNOB, { 1, 2, 3, 4 }),
         [] (auto& x)
         {
             KnobBroadcast k;
             return parseBroadcastKnob (x, k);
         });
    add (byLayout (SYSEX_BROADCAST_MODIFIER, { 9 }),
         [] (auto& x)
         {
             ModifierBroadcast r;
             return parseBroadcastModifier (x, r);
         });
    add (byLayout (SYSEX_GET_POSITION, { 9 }),
         [] (auto& x)
         {
             juce::uint8 v;
             return parseGetPosition (x, v);
         });
    add (byLayout (SYSEX_LAYOUT_SET, { 1, 2, 3 }),
         [] (auto& x)
         {
             LayoutRecord r;
             return parseLayoutSet (x, r);
         });
    add (byLayout (SYSEX_PATCH_PLUS_CAB_DUMP, { 5, 0 }),
         [] (auto& x)
         {
             PatchPlusCabHeader h;
             return parsePatchPlusCabDump (x, h);
         });
    add (byLayout (SYSEX_GET_SYSINFO, { 1, 100, 512, 4 }),
         [] (auto& x)
         {
             SystemInfo i;
             return parseGetSysInfo (x, i);
         });
    add (byLayout (SYSEX_FSGRID, { 1, 2, 1, 2, 3, 4, 5, 6 }),
         [] (auto& x)
         {
             FootswitchGrid g;
             return parseFsGrid (x, g);
         });
    add (byLayout (SYSEX_SYSTEM_DATA_START, { 4096 }),
         [] (auto& x)
         {
             juce::uint32 v;
             return parseSystemDataStart (x, v);
         });
    add (status (SYSEX_SAVE_PATCH, 0),
         [] (auto& x)
         {
             StatusReply r;
             return parseStatusMessage (x, r);
         });
    add (status (SYSEX_WHO_AM_I, 0),
         [] (auto& x)
         {
             juce::uint8 v;
             return parseStatusModel (x, v);
         });
    add (byLayout (SYSEX_RAWIR_START, { 1, 2 }),
         [] (auto& x)
         {
             RawIrStartRecord r;
             return parseRawIrStart (x, r);
         });
    std::vector<juce::uint32> ir (1 + 32, 0xFFFFFFFF);
    ir[0] = 32;
    add (byLayout (SYSEX_RAWIR_DATA, ir),
         [] (auto& x)
         {
             juce::Array<juce::uint32> v;
             return parseRawIrData (x, v);
         });
    add (byLayout (SYSEX_CABIR_DATA, ir),
         [] (auto& x)
         {
             juce::Array<juce::uint32> v;
             return parseCabIrData (x, v);
         });
    add (byLayout (SYSEX_RAWIR_END, { 77 }),
         [] (auto& x)
         {
             juce::uint32 v;
             return parseRawIrEnd (x, v);
         });
    add (byLayout (SYSEX_CABIR_END, { 77 }),
         [] (auto& x)
         {
             juce::uint32 v;
             return parseCabIrEnd (x, v);
         });
    add (byLayout (SYSEX_EFFECT_START, { 106, 100, 0x13 }),
         [] (auto& x)
         {
             EffectStartRecord r;
             return parseEffectStart (x, r);
         });
    std::vector<juce::uint32> words (1 + 64, 0xFFFF);
    words[0] = 64;
    add (byLayout (SYSEX_EFFECT_DATA, words),
         [] (auto& x)
         {
             juce::Array<juce::uint16> w;
             return parseEffectData (x, w);
         });
    add (byLayout (SYSEX_PATCH_DATA, words),
         [] (auto& x)
         {
             juce::Array<juce::uint16> w;
             return parsePatchData (x, w);
         });
    add (byLayout (SYSEX_PATCH_START, { 127, 127, 4096 }),
         [] (auto& x)
         {
             PatchStartRecord r;
             return parsePatchStart (x, r);
         });
    add (byLayout (SYSEX_PATCH_END, { 0x1234 }),
         [] (auto& x)
         {
             juce::uint32 v;
             return parsePatchEnd (x, v);
         });
    buildCabIrStart (m, 300, 2, 8);
    add (m,
         [] (auto& x)
         {
             CabIrStartRecord r;
             return parseCabIrStart (x, r);
         });

    for (auto& [message, parse] : cases)
    {
        SCOPED_TRACE (getNameForId (SysExFunctionNames, message.getRawData()[5]));
        EXPECT_TRUE (parse (message));

        for (int length = 1; length < message.getRawDataSize(); ++length)
            parse (truncated (message, length));

        // Another function byte is always refused.
        auto other = bytesOf (message);
        other[5] = SYSEX_RESYNC;
        EXPECT_FALSE (parse (messageOf (other)));
    }
}

TEST (SysExCodec, ShortMessagesReadMissingFieldsAsZero)
{
    juce::MidiMessage m;
    EffectParamValue param{ 106, 3, 40000, 1, 7, 9, "Text" };
    ASSERT_TRUE (buildParamReply (m, SYSEX_PARAM_SET, param, 8));

    // Cut behind the parameter id: the value and the rest read as 0.
    EffectParamValue cut;
    ASSERT_TRUE (parseParamSet (truncated (m, 10), cut));
    EXPECT_EQ (cut.blockId, 106);
    EXPECT_EQ (cut.paramId, 3);
    EXPECT_EQ (cut.value, 0);
    EXPECT_TRUE (cut.text.isEmpty());

    // Fewer than 6 bytes: no function byte, nothing parsed.
    EXPECT_FALSE (parseParamSet (truncated (m, 5), cut));

    // The name replies need their whole name.
    char name[32] = "old";
    char field[32];
    std::memset (field, 'x', sizeof (field));
    ASSERT_TRUE (buildQueryNameReply (m, field, 8));
    EXPECT_FALSE (parseQueryName (truncated (m, 38), name));
    EXPECT_STREQ (name, "old");
    EXPECT_TRUE (parseQueryName (truncated (m, 39), name));
}

TEST (SysExCodec, RoundTripsThroughBuilderAndParser)
{
    juce::MidiMessage m;

    EffectParamValue param{ 141, 32, 65535, 1, 7, 9, "120 BPM" }, paramBack;
    ASSERT_TRUE (buildParamReply (m, SYSEX_PARAM_SET, param, 8));
    ASSERT_TRUE (parseParamSet (m, paramBack));
    EXPECT_EQ (paramBack.blockId, 141);
    EXPECT_EQ (paramBack.paramId, 32);
    EXPECT_EQ (paramBack.value, 65535);
    EXPECT_EQ (paramBack.flag, 1);
    EXPECT_EQ (paramBack.extraA, 7);
    EXPECT_EQ (paramBack.extraB, 9);
    EXPECT_EQ (paramBack.text, "120 BPM");
    EXPECT_FALSE (parseParamDump (m, paramBack)); // another function
    EXPECT_FALSE (parseParamSet (status (SYSEX_PARAM_SET, 0), paramBack));

    ModifierValues modifier, modifierBack;
    modifier.blockId = 106;
    modifier.count = 15;
    for (int i = 0; i < 15; ++i)
        modifier.values[i] = (juce::uint32) (i * 4000);
    ASSERT_TRUE (buildModifier (m, modifier, 8));
    ASSERT_TRUE (parseModifier (m, modifierBack));
    EXPECT_EQ (modifierBack.blockId, 106);
    EXPECT_EQ (modifierBack.count, 15);
    EXPECT_EQ (modifierBack.values[14], 56000u);

    juce::uint16 block = 0;
    juce::uint8 cell = 0;
    ASSERT_TRUE (buildPlaceEffect (m, 205, 47, 8));
    ASSERT_TRUE (parsePlaceEffect (m, block, cell));
    EXPECT_EQ (block, 205);
    EXPECT_EQ (cell, 47);

    EffectStartRecord effect;
    ASSERT_TRUE (buildEffectStart (m, 106, 300, 0x1D, 8));
    ASSERT_TRUE (parseEffectStart (m, effect));
    EXPECT_EQ (effect.blockId, 106);
    EXPECT_EQ (effect.wordCount, 300);
    EXPECT_EQ (effect.flag0, 1);
    EXPECT_EQ (effect.flag1, 0);
    EXPECT_EQ (effect.flag2, 1);
    EXPECT_EQ (effect.flag3, (0x1D & 8) | (0x1D >> 4));

    PatchStartRecord start;
    ASSERT_TRUE (buildPatchStart (m, 127, 127, 4096, 8));
    ASSERT_TRUE (parsePatchStart (m, start));
    EXPECT_EQ (start.bank, 127);
    EXPECT_EQ (start.wordCount, 4096);

    std::vector<juce::uint16> words (64);
    for (int i = 0; i < 64; ++i)
        words[(size_t) i] = (juce::uint16) (i * 1021);
    juce::Array<juce::uint16> wordsBack;
    ASSERT_TRUE (buildPatchData (m, words.data(), 64, 8));
    ASSERT_TRUE (parsePatchData (m, wordsBack));
    EXPECT_EQ (std::vector<juce::uint16> (wordsBack.begin(), wordsBack.end()), words);
    ASSERT_TRUE (buildPatchData (m, words.data(), 63, 8));
    EXPECT_FALSE (parsePatchData (m, wordsBack)); // a reader takes only full messages

    juce::uint32 check = 0;
    ASSERT_TRUE (buildPatchEnd (m, 0xBEEF, 8));
    ASSERT_TRUE (parsePatchEnd (m, check));
    EXPECT_EQ (check, 0xBEEFu);

    CabIrStartRecord cab;
    for (juce::uint8 model : { 3, 6, 7, 8 })
    {
        ASSERT_TRUE (buildCabIrStart (m, model == 3 ? 99 : 1000, 0x3FFF, model));
        ASSERT_TRUE (parseCabIrStart (m, cab));
        EXPECT_EQ (cab.cabNumber, model == 3 ? 99 : 1000);
        EXPECT_EQ (cab.second, 0x3FFF);
    }

    std::vector<juce::uint32> irValues (32);
    for (int i = 0; i < 32; ++i)
        irValues[(size_t) i] = 0xFFFFFFFFu - (juce::uint32) i;
    juce::Array<juce::uint32> irBack;
    ASSERT_TRUE (buildCabIrData (m, irValues.data(), 32, 8));
    ASSERT_TRUE (parseCabIrData (m, irBack));
    EXPECT_EQ (std::vector<juce::uint32> (irBack.begin(), irBack.end()), irValues);

    FootswitchGrid grid, gridBack;
    grid.first = 3;
    grid.entries.add ({ 1, 2, 3 });
    grid.entries.add ({ 0x3FFF, 0, 7 });
    ASSERT_TRUE (buildFsGrid (m, grid, 8));
    EXPECT_EQ (m.getRawDataSize(), 8 + 2 + 12);
    gridBack.entries.add ({ 9, 9, 9 });
    ASSERT_TRUE (parseFsGrid (m, gridBack));
    EXPECT_EQ (gridBack.first, 3);
    EXPECT_EQ (gridBack.entries, grid.entries);

    juce::uint8 scene = 0;
    ASSERT_TRUE (buildSetScene (m, 7, 8));
    ASSERT_TRUE (parseSetScene (m, scene));
    EXPECT_EQ (scene, 7);

    ModifierSetReply modSet{ 106, 2, 0x101, 65535, "100 %" }, modSetBack;
    ASSERT_TRUE (buildModifierSetReply (m, modSet, 8));
    ASSERT_TRUE (parseModifierSet (m, modSetBack));
    EXPECT_EQ (modSetBack.selector2, 0x101);
    EXPECT_EQ (modSetBack.value, 65535u);
    EXPECT_EQ (modSetBack.text, "100 %");
    EXPECT_TRUE (parseSetModParamDirect (m, modSetBack));

    juce::Array<juce::uint32> states{ 0x01000064u, 0x830000CDu }, statesBack;
    ASSERT_TRUE (buildQueryStatesReply (m, states, 8));
    EXPECT_EQ (m.getRawDataSize(), 7 + 10);
    ASSERT_TRUE (parseQueryStates (m, statesBack));
    EXPECT_EQ (statesBack, states);
    EXPECT_FALSE (parseQueryStates (truncated (m, 16), statesBack)); // not whole words

    // The unit sends each state word with its bytes reversed, and no checksum.
    ASSERT_TRUE (
        parseQueryStates (messageOf ({ 0xF0, 0x00, 0x02, 0x6B, 0x08, 0x0E, 0x64, 0, 0, 0, 0x08, 0xF7 }), statesBack));
    EXPECT_EQ (statesBack, (juce::Array<juce::uint32>{ 0x64000080u }));
}

TEST (SysExCodec, NameFieldsAlwaysEnd)
{
    juce::MidiMessage m;
    char full[32];
    std::memset (full, 'A', sizeof (full));

    char name[32];
    ASSERT_TRUE (buildQueryNameReply (m, full, 8));
    ASSERT_TRUE (parseQueryName (m, name));
    EXPECT_EQ (strnlen (name, sizeof (name)), 31u);
    EXPECT_FALSE (parseQueryName (m, nullptr));

    PresetNameRecord preset;
    std::memcpy (preset.name, full, sizeof (full));
    preset.high = 3;
    preset.low = 127;
    ASSERT_TRUE (buildQueryNameByNumReply (m, preset, 8));
    PresetNameRecord presetBack;
    ASSERT_TRUE (parseQueryNameByNum (m, presetBack));
    EXPECT_EQ (presetBack.getNumber(), 511);
    EXPECT_EQ (presetBack.getName(), juce::String::repeatedString ("A", 31));
    EXPECT_FALSE (parseQueryNameByNum (truncated (m, 40), presetBack));

    // The cab name's 32nd byte is the format byte, not a character.
    Bytes payload{ 0x09, 0x00 };
    for (int i = 0; i < 32; ++i)
        payload.push_back (i == 31 ? 0x20 : 'B');
    CabNameRecord cab;
    ASSERT_TRUE (parseCabName (frame (SYSEX_CABNAME, payload), cab));
    EXPECT_EQ (cab.slot, 9u);
    EXPECT_EQ (cab.getName(), juce::String::repeatedString ("B", 31));
    EXPECT_EQ (cab.name[31], 0);
    EXPECT_EQ (cab.format, 0x20);
    EXPECT_FALSE (parseCabName (truncated (frame (SYSEX_CABNAME, payload), 40), cab));
}

TEST (SysExCodec, LengthAndCountRulesOfTheReplies)
{
    KnobBroadcast knobs;
    EXPECT_FALSE (parseBroadcastKnob (frame (SYSEX_BROADCAST_KNOB, Bytes (7, 1)), knobs));
    Bytes pairs;
    for (int i = 0; i < 16; ++i)
        pairs.insert (pairs.end(), { (juce::uint8) i, 0x01, (juce::uint8) (100 + i) });
    ASSERT_TRUE (parseBroadcastKnob (frame (SYSEX_BROADCAST_KNOB, pairs), knobs));
    EXPECT_EQ (knobs.count, 16u);
    EXPECT_EQ (knobs.paramIds[15], 128 + 15);
    EXPECT_EQ (knobs.values[15], 115);
    pairs.insert (pairs.end(), { 1, 1, 1 });
    EXPECT_FALSE (parseBroadcastKnob (frame (SYSEX_BROADCAST_KNOB, pairs), knobs)); // 17 pairs: no room
    EXPECT_EQ (knobs.count, 16u);

    GraphData graph;
    EXPECT_FALSE (parseGetGraph (frameOfSize (SYSEX_GET_GRAPH, 263), graph));
    EXPECT_FALSE (parseGetGraph (frameOfSize (SYSEX_GET_GRAPH, 265), graph));
    EXPECT_TRUE (parseGetGraph (frameOfSize (SYSEX_GET_GRAPH, 264), graph));

    GridVectors grid;
    EXPECT_FALSE (parseGetGrid (frame (SYSEX_GET_GRID, {}), grid));
    EXPECT_FALSE (parseGetGrid (frame (SYSEX_GET_GRID, Bytes (6, 1)), grid));
    EXPECT_FALSE (parseGetGrid (frame (SYSEX_GET_GRID, Bytes (49 * 4, 1)), grid)); // more pairs than cells
    ASSERT_TRUE (parseGetGrid (frame (SYSEX_GET_GRID, { 0x6A, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00 }), grid));
    EXPECT_EQ (grid.blockIds, (juce::Array<juce::uint16>{ 106, 0 }));
    EXPECT_EQ (grid.inputMasks, (juce::Array<juce::uint16>{ 3, 0 }));

    ModifierValues modifier;
    EXPECT_FALSE (parseModifier (frame (SYSEX_MODIFIER, { 0x6A, 0x00, 16 }), modifier));

    juce::Array<juce::uint16> words;
    EXPECT_FALSE (parseEffectData (frame (SYSEX_EFFECT_DATA, { 65, 0 }), words));
    EXPECT_TRUE (parseEffectData (frame (SYSEX_EFFECT_DATA, { 0, 0 }), words));
    EXPECT_TRUE (words.isEmpty());

    juce::Array<juce::uint32> ir;
    EXPECT_FALSE (parseCabIrData (frame (SYSEX_CABIR_DATA, { 31, 0 }), ir));

    StatusReply reply;
    EXPECT_FALSE (parseStatusMessage (truncated (status (SYSEX_SAVE_PATCH, 0), 7), reply)); // no result byte
    ASSERT_TRUE (parseStatusMessage (status (SYSEX_SAVE_PATCH, 3), reply));
    EXPECT_EQ (reply.function, SYSEX_SAVE_PATCH);
    EXPECT_EQ (reply.result, 3);

    juce::uint8 model = 0;
    EXPECT_FALSE (parseStatusModel (status (SYSEX_WHO_AM_I, 1, 8), model));
    ASSERT_TRUE (parseStatusModel (status (SYSEX_WHO_AM_I, 0, 8), model));
    EXPECT_EQ (model, 8);

    FirmwareInfo firmware;
    ASSERT_TRUE (parseQueryVersion (frame (SYSEX_QUERY_VERSION, { 6, 2, 0, 0, 0, 0 }, 8), firmware));
    EXPECT_EQ (firmware.major, 6u);
    EXPECT_EQ (firmware.minor, 2u);
    EXPECT_FLOAT_EQ (firmware.version, 6.02f);
    EXPECT_EQ (firmware.model, 8);
}

TEST (SysExCodec, StatusRepliesStandingForAnswers)
{
    LooperState looper{ 4, 5 };
    EXPECT_TRUE (parseLooperState (status (SYSEX_LOOPER_STATE, 0), looper));
    EXPECT_EQ (looper.state, 0);
    EXPECT_EQ (looper.position, 0);
    EXPECT_FALSE (parseLooperState (status (SYSEX_LOOPER_STATE, 1), looper));

    juce::StringArray strings{ "stale" };
    EXPECT_TRUE (parseGetParamStrings (status (SYSEX_GET_PARAM_STRINGS, 27), strings));
    EXPECT_TRUE (strings.isEmpty());
    EXPECT_FALSE (parseGetParamStrings (status (SYSEX_GET_PARAM_STRINGS, 0), strings));
    // Empty texts are skipped; an unterminated last text still counts.
    ASSERT_TRUE (parseGetParamStrings (frame (SYSEX_GET_PARAM_STRINGS, { 'A', 0, 0, 'B', 'C', 0, 'D' }), strings));
    EXPECT_EQ (strings, (juce::StringArray{ "A", "BC", "D" }));

    ModifierValues modifier;
    modifier.blockId = 77;
    EXPECT_TRUE (parseModifier (status (SYSEX_MODIFIER, 0), modifier));
    EXPECT_EQ (modifier.blockId, 77); // left as it was
    EXPECT_FALSE (parseModifier (status (SYSEX_MODIFIER, 2), modifier));

    KnobBroadcast knobs;
    knobs.count = 3;
    EXPECT_TRUE (parseBroadcastKnob (status (SYSEX_BROADCAST_KNOB, 0), knobs));
    EXPECT_EQ (knobs.count, 0u);
    EXPECT_FALSE (parseBroadcastKnob (status (SYSEX_BROADCAST_KNOB, 1), knobs));

    ModifierBroadcast broadcast{ { 1, 2, 3 } };
    ASSERT_TRUE (parseBroadcastModifier (frame (SYSEX_BROADCAST_MODIFIER, { 9 }), broadcast));
    EXPECT_EQ (Bytes (broadcast.bytes, broadcast.bytes + 3), (Bytes{ 1, 2, 9 }));
    ASSERT_TRUE (parseBroadcastModifier (status (SYSEX_BROADCAST_MODIFIER, 0), broadcast));
    EXPECT_EQ (Bytes (broadcast.bytes, broadcast.bytes + 3), (Bytes{ 1, 0, 0 }));

    SystemInfo info{ 1, 2, 3, 4 };
    StatusReply reply;
    EXPECT_FALSE (parseGetSysInfo (status (SYSEX_GET_SYSINFO, 5), info, &reply));
    EXPECT_EQ (reply.result, 5);
    ASSERT_TRUE (parseGetSysInfo (frame (SYSEX_GET_SYSINFO, { 0x7F, 0x03, 100, 0, 0, 4, 4, 0 }), info));
    EXPECT_EQ (info.firstWord, 0xFF); // kept to its low 8 bits
    EXPECT_EQ (info.factoryCabs, 100);
    EXPECT_EQ (info.userCabs, 512);
    EXPECT_EQ (info.scratchpadCabs, 4);
}

// The tables place every field right behind the one before it, from offset 6;
// a typo in an offset would make parsers and builders disagree.
TEST (SysExCodec, LayoutsAreContiguousAndSized)
{
    for (int function = 0; function < 128; ++function)
    {
        for (juce::uint8 model : { 3, 8 })
        {
            for (auto* layout :
                 { getRequestLayout ((juce::uint8) function, model), getReplyLayout ((juce::uint8) function, model) })
            {
                if (layout == nullptr)
                    continue;

                SCOPED_TRACE (function);
                juce::uint32 offset = 6, id = 0;

                for (auto* row = layout; row->fieldId != sysExLayoutEnd; ++row, ++id)
                {
                    EXPECT_EQ (row->fieldId, id);
                    EXPECT_EQ (row->offset, offset);
                    offset += row->width == sysExVariableWidth ? 0 : row->width;
                }
            }
        }
    }

    EXPECT_EQ (getSysExPayloadSize (paramSetRequestLayout), 8u);
    EXPECT_EQ (getSysExPayloadSize (wordDataLayout), 194u);
    EXPECT_EQ (getSysExPayloadSize (irDataLayout), 162u);
    EXPECT_EQ (getSysExPayloadSize (graphReplyLayout), 256u);
    EXPECT_EQ (getSysExPayloadSize (paramInfoReplyLayout), 25u);
    EXPECT_EQ (getSysExFieldOffset (paramReplyLayout, 6), 18u);
    EXPECT_EQ (getSysExFieldOffset (modifierSetReplyLayout, 4), 15u);
    EXPECT_EQ (getSysExFieldOffset (layoutSetReplyLayout, 2), 9u);
    EXPECT_EQ (getSysExFieldOffset (layoutSetRequestLayout, 3), 10u);
    EXPECT_EQ (getRequestLayout (SYSEX_CAB_DUMP, 7), cabDumpRequestLayoutSplit);
    EXPECT_EQ (getRequestLayout (SYSEX_CAB_DUMP, 3), cabDumpRequestLayoutSingle);
    EXPECT_EQ (getRequestLayout (SYSEX_PATCH_START, 8), patchStartLayout);
}
