#include "device/wire/SysExCollectors.h"
#include "device/wire/SysExCodec.h"
#include "model/Checksum.h"
#include "model/IdTables.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
juce::MidiMessage built (std::function<bool (juce::MidiMessage&)> build)
{
    juce::MidiMessage m;
    EXPECT_TRUE (build (m));
    return m;
}

// A completed request of the function with the replies, expecting exactly them.
std::unique_ptr<SysExRequest> answered (juce::uint8 function, const std::vector<juce::MidiMessage>& replies)
{
    juce::MidiMessage message;
    buildSysExMessage (message, function, nullptr, 0, 8);
    auto request = std::make_unique<SysExRequest> (message);
    request->setExpectedCount ((int) replies.size());

    for (auto& reply : replies)
        request->addReply (reply);

    return request;
}

std::vector<juce::MidiMessage> patchDump (int dataMessages, juce::uint32 checkDelta = 0)
{
    std::vector<juce::MidiMessage> replies;
    std::vector<juce::uint16> words (64);
    juce::uint16 check = 0;

    replies.push_back (
        built ([&] (auto& m) { return buildPatchStart (m, 127, 127, (juce::uint32) (64 * dataMessages), 8); }));

    for (int n = 0; n < dataMessages; ++n)
    {
        for (int i = 0; i < 64; ++i)
        {
            words[(size_t) i] = (juce::uint16) (n * 977 + i * 31);
            check ^= words[(size_t) i];
        }

        replies.push_back (built ([&] (auto& m) { return buildPatchData (m, words.data(), 64, 8); }));
    }

    replies.push_back (built ([&] (auto& m) { return buildPatchEnd (m, check ^ checkDelta, 8); }));
    return replies;
}

std::vector<juce::MidiMessage> cabDump (juce::uint16 cabNumber, int dataMessages)
{
    std::vector<juce::MidiMessage> replies;
    std::vector<juce::uint32> values (32);
    juce::uint32 check = 0;

    replies.push_back (built ([&] (auto& m) { return buildCabIrStart (m, cabNumber, 0, 8); }));

    for (int n = 0; n < dataMessages; ++n)
    {
        for (int i = 0; i < 32; ++i)
        {
            values[(size_t) i] = 0x80000000u + (juce::uint32) (n * 32 + i);
            check ^= n < 64 ? values[(size_t) i] : 0;
        }

        replies.push_back (built ([&] (auto& m) { return buildCabIrData (m, values.data(), 32, 8); }));
    }

    replies.push_back (
        built ([&] (auto& m) { return buildSysExByLayout (m, SYSEX_CABIR_END, irEndLayout, { check }, 8); }));
    return replies;
}

juce::MidiMessage multiStart (juce::uint8 function, juce::uint32 count)
{
    return built (
        [&] (auto& m) {
            return buildSysExByLayout (m, SYSEX_MULTIMSG_START, multiMsgStartLayout, { function, count }, 8);
        });
}

juce::MidiMessage multiEnd()
{
    return built ([] (auto& m) { return buildSysExMessage (m, SYSEX_MULTIMSG_END, nullptr, 0, 8) > 0; });
}
} // namespace

TEST (SysExCollectors, PatchDumpNeedsItsCheckValueAndEnd)
{
    CollectedPatch patch;
    EXPECT_TRUE (collectPatchDump (*answered (SYSEX_PATCH_DUMP, patchDump (64)), patch));
    EXPECT_EQ (patch.words.size(), 4096);
    EXPECT_EQ (patch.bank, 127);
    EXPECT_EQ (patch.words[65], (juce::uint16) (977 + 31));

    EXPECT_FALSE (collectPatchDump (*answered (SYSEX_PATCH_DUMP, patchDump (64, 1)), patch)); // wrong XOR
    EXPECT_FALSE (collectPatchDump (*answered (SYSEX_CAB_DUMP, patchDump (2)), patch));       // wrong request

    auto noEnd = patchDump (2);
    noEnd.pop_back();
    EXPECT_FALSE (collectPatchDump (*answered (SYSEX_PATCH_DUMP, noEnd), patch));

    // One reply short of the expected count.
    auto request = answered (SYSEX_PATCH_DUMP, patchDump (2));
    request->setExpectedCount (5);
    EXPECT_FALSE (collectPatchDump (*request, patch));
}

TEST (SysExCollectors, CabDumpFillsAtMost2048Values)
{
    auto cab = std::make_unique<CabDumpData>();
    ASSERT_TRUE (collectCabDump (*answered (SYSEX_CAB_DUMP, cabDump (300, 64)), *cab));
    EXPECT_EQ (cab->cabNumber, 300u);
    EXPECT_EQ (cab->values[2047], 0x80000000u + 2047);

    EXPECT_FALSE (collectCabDump (*answered (SYSEX_CAB_DUMP, cabDump (300, 65)), *cab)); // a 65th data message

    auto withStatus = cabDump (3, 64);
    withStatus.insert (withStatus.begin(),
                       built ([] (auto& m) { return buildStatusMessage (m, SYSEX_CONTROL_IRCAP, 0, 8); }));
    EXPECT_FALSE (collectCabDump (*answered (SYSEX_CAB_DUMP, withStatus), *cab));
    EXPECT_TRUE (collectCabDump (*answered (SYSEX_CONTROL_IRCAP, withStatus), *cab));
}

TEST (SysExCollectors, ListsCheckTheAnnouncedCount)
{
    EffectParamValue value{ 106, 1, 2, 0, 0, 0, "x" };
    auto param = built ([&] (auto& m) { return buildParamReply (m, SYSEX_PARAM_DUMP, value, 8); });

    juce::Array<EffectParamValue> values;
    EXPECT_TRUE (collectParamDump (
        *answered (SYSEX_PARAM_DUMP, { multiStart (SYSEX_PARAM_DUMP, 2), param, param, multiEnd() }), values));
    EXPECT_EQ (values.size(), 2);
    values.clear();
    EXPECT_FALSE (collectParamDump (
        *answered (SYSEX_PARAM_DUMP, { multiStart (SYSEX_PARAM_DUMP, 3), param, param, multiEnd() }), values));
    values.clear();
    EXPECT_TRUE (collectParamDump (*answered (SYSEX_PARAM_DUMP, { param }), values)); // no start: any number
    // The announced count is checked against this answer's items, not
    // against what the caller's list held before.
    EXPECT_TRUE (collectParamDump (
        *answered (SYSEX_PARAM_DUMP, { multiStart (SYSEX_PARAM_DUMP, 2), param, param, multiEnd() }), values));
    EXPECT_EQ (values.size(), 3);

    CabNameRecord record;
    record.slot = 1;
    auto name = built ([&] (auto& m) { return buildCabNameReply (m, record, 8); });
    juce::Array<CabNameRecord> names;
    EXPECT_TRUE (collectCabNames (
        *answered (SYSEX_CABNAME, { multiStart (SYSEX_CABNAME, 0), name, name, name, multiEnd() }), names));
    EXPECT_EQ (names.size(), 3);

    ModifierValues modifier;
    modifier.blockId = 106;
    modifier.count = 1;
    auto modifierReply = built ([&] (auto& m) { return buildModifier (m, modifier, 8); });
    juce::Array<ModifierValues> records;
    EXPECT_TRUE (collectModifierDump (
        *answered (SYSEX_MODIFIER_DUMP, { multiStart (SYSEX_MODIFIER_DUMP, 9), modifierReply, multiEnd() }), records,
        24));
    EXPECT_EQ (records.size(), 1);
    records.clear();
    std::vector<juce::MidiMessage> tooMany (25, modifierReply);
    EXPECT_FALSE (collectModifierDump (*answered (SYSEX_MODIFIER_DUMP, tooMany), records, 24));
    EXPECT_LE (records.size(), 24);
}

TEST (SysExCollectors, EffectDumpAndStates)
{
    auto start = built ([] (auto& m) { return buildEffectStart (m, 106, 70, 1, 8); });
    std::vector<juce::uint32> fullValues (65, 7);
    fullValues[0] = 64;
    auto full = built (
        [&] (auto& m)
        { return buildSysExByLayout (m, SYSEX_EFFECT_DATA, wordDataLayout, fullValues.data(), fullValues.size(), 8); });
    std::vector<juce::uint32> sixValues{ 6, 1, 2, 3, 4, 5, 6 };
    auto six = built (
        [&] (auto& m)
        { return buildSysExByLayout (m, SYSEX_EFFECT_DATA, wordDataLayout, sixValues.data(), sixValues.size(), 8); });
    auto end = built ([] (auto& m) { return buildSysExMessage (m, SYSEX_EFFECT_END, nullptr, 0, 8) > 0; });

    EffectStartRecord header;
    juce::Array<juce::uint16> collected;
    ASSERT_TRUE (collectEffectDump (*answered (SYSEX_GET_ALL_PARAMS, { start, full, six, end }), header, collected));
    EXPECT_EQ (header.blockId, 106);
    EXPECT_EQ (collected.size(), 70);
    EXPECT_EQ (collected[69], 6);
    EXPECT_FALSE (collectEffectDump (*answered (SYSEX_GET_ALL_PARAMS, { start, full, end }), header, collected));
    // Without its start the word count is unknown, whatever the caller's record held.
    EffectStartRecord stale;
    stale.wordCount = 70;
    EXPECT_FALSE (collectEffectDump (*answered (SYSEX_GET_ALL_PARAMS, { full, six, end }), stale, collected));

    auto states = built ([] (auto& m) { return buildQueryStatesReply (m, { 0x01000064u }, 8); });
    auto scene = built ([] (auto& m) { return buildSetScene (m, 2, 8); });
    juce::Array<juce::uint32> stateWords;
    juce::uint8 sceneNumber = 0;
    ASSERT_TRUE (collectQueryStates (*answered (SYSEX_QUERY_STATES, { states, scene }), stateWords, sceneNumber));
    EXPECT_EQ (stateWords, (juce::Array<juce::uint32>{ 0x01000064u }));
    EXPECT_EQ (sceneNumber, 2);
    EXPECT_FALSE (collectQueryStates (*answered (SYSEX_QUERY_STATES, { states, states }), stateWords, sceneNumber));
}

TEST (SysExCollectors, PatchPlusCabDumpSplitsIntoBlocks)
{
    std::vector<juce::MidiMessage> replies;
    replies.push_back (built (
        [] (auto& m) {
            return buildSysExByLayout (m, SYSEX_PATCH_PLUS_CAB_DUMP, twoByteReplyLayout, { 0x05, 0 }, 8);
        }));
    auto patch = patchDump (2);
    auto cabA = cabDump (1, 2);
    auto cabB = cabDump (2, 1);
    replies.insert (replies.end(), patch.begin(), patch.end());
    replies.insert (replies.end(), cabA.begin(), cabA.end());
    replies.insert (replies.end(), cabB.begin(), cabB.end());

    PatchPlusCabHeader header;
    juce::OwnedArray<juce::MemoryBlock> blocks;
    ASSERT_TRUE (collectPatchPlusCabDump (*answered (SYSEX_PATCH_PLUS_CAB_DUMP, replies), header, blocks));
    EXPECT_EQ (header.cabFlags, 0x05);
    ASSERT_EQ (blocks.size(), 3);

    size_t patchBytes = 0;
    for (auto& m : patch)
        patchBytes += (size_t) m.getRawDataSize();
    EXPECT_EQ (blocks[0]->getSize(), patchBytes);
    EXPECT_EQ (static_cast<const juce::uint8*> (blocks[1]->getData())[5], SYSEX_CABIR_START);

    // Data before any start belongs to no dump.
    std::vector<juce::MidiMessage> orphan{ replies[0], patch[1] };
    blocks.clear();
    EXPECT_FALSE (collectPatchPlusCabDump (*answered (SYSEX_PATCH_PLUS_CAB_DUMP, orphan), header, blocks));
}
