#include "support/SimulatedKestrel.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/ModelRules.h"
#include "device/wire/SysExCodec.h"
#include "device/wire/SysExCollectors.h"
#include "model/Checksum.h"
#include "model/IdTables.h"
#include "support/ManualClock.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
using juce::uint16;
using juce::uint32;
using juce::uint8;

juce::MidiMessage bare (int function, uint8 model = 8)
{
    juce::MidiMessage message;
    buildSysExMessage (message, (uint8) function, nullptr, 0, model);
    return message;
}

// The simulated unit behind the real link, driven by hand: synchronous
// virtual devices, the manual clock, and processPass called by the test.
class SimulatedKestrelTest : public ::testing::Test
{
protected:
    SimulatedKestrelTest()
        : backend (VirtualMidiBackend::Delivery::synchronous)
        , useBackend (backend)
        , useClock (clock)
        , unit (backend)
    {
        // The device manager addresses every request to the unit's model once it knows it.
        currentSysExModel = 8;
        link = std::make_unique<ZOLMidiProcessing>();
        EXPECT_TRUE (link->getPorts().openInputByName ("Kestrel MIDI"));
        EXPECT_TRUE (link->getPorts().openOutputByName ("Kestrel MIDI"));
        EXPECT_TRUE (link->startProcessing (false));
    }

    ~SimulatedKestrelTest() override
    {
        link.reset();
        currentSysExModel = 3;
    }

    // Sends one request through the link and runs passes until it ends
    // (the clock stands still, so only a full answer ends it).
    std::unique_ptr<SysExRequest> ask (const juce::MidiMessage& message, int expectedReplies = 1)
    {
        auto request = std::make_unique<SysExRequest> (message);
        request->setExpectedCount (expectedReplies);
        link->queueRequest (request.get());

        for (int pass = 0; pass < 4 && request->getStatus() == 0; ++pass)
            link->processPass();

        return request;
    }

    // Lets a request that is still waiting time out.
    void expire (SysExRequest& request)
    {
        clock.advance (SysExRequest::defaultTimeoutMs + 1);
        link->processPass();
        EXPECT_EQ (request.getStatus(), SysExRequest::stateTimedOut);
    }

    static juce::MidiMessage reply (const SysExRequest& request, int index = 0)
    {
        juce::MidiMessage message;
        request.getReply (message, index);
        return message;
    }

    static StatusReply statusOf (const SysExRequest& request, int index = 0)
    {
        StatusReply status;
        EXPECT_TRUE (parseStatusMessage (reply (request, index), status));
        return status;
    }

    ManualClock clock;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend;
    ManualClock::Installed useClock;
    SimulatedKestrel unit;
    std::unique_ptr<ZOLMidiProcessing> link;
};
} // namespace

TEST_F (SimulatedKestrelTest, IdentifiesItselfAsModel8WithFirmware600)
{
    EXPECT_TRUE (link->getMidiInputNames().contains ("1- Kestrel MIDI"));
    EXPECT_TRUE (link->isConnected());

    auto identity = ask (bare (SYSEX_WHO_AM_I, 0x7F));
    ASSERT_EQ (identity->getStatus(), SysExRequest::stateComplete);
    uint8 model = 0;
    EXPECT_TRUE (parseStatusModel (reply (*identity), model));
    EXPECT_EQ (model, 8);

    auto version = ask (bare (SYSEX_QUERY_VERSION));
    ASSERT_EQ (version->getStatus(), SysExRequest::stateComplete);
    FirmwareInfo firmware;
    ASSERT_TRUE (parseQueryVersion (reply (*version), firmware));
    EXPECT_EQ (firmware.model, 8);
    EXPECT_EQ (firmware.major, 6u);
    EXPECT_EQ (firmware.minor, 0u);
    EXPECT_TRUE (isFirmwareAtLeast (firmware, 6, 0));

    auto sysInfo = ask (bare (SYSEX_GET_SYSINFO));
    SystemInfo info;
    ASSERT_TRUE (parseGetSysInfo (reply (*sysInfo), info));
    EXPECT_EQ (info.factoryCabs, 100);
    EXPECT_EQ (info.userCabs, 512);
    EXPECT_EQ (info.scratchpadCabs, 4);

    // A version query for another model goes unanswered.
    auto otherModel = ask (bare (SYSEX_QUERY_VERSION, 3));
    EXPECT_EQ (otherModel->getStatus(), 0);
    expire (*otherModel);
    EXPECT_EQ (otherModel->getNumReplies(), 0);

    // Another firmware is reported as set.
    unit.setFirmware (5, 10);
    version = ask (bare (SYSEX_QUERY_VERSION));
    ASSERT_TRUE (parseQueryVersion (reply (*version), firmware));
    EXPECT_FALSE (isFirmwareAtLeast (firmware, 6, 0));
}

TEST_F (SimulatedKestrelTest, AnswersTheInitializationAndLoadPresetQueries)
{
    unit.setMidiChannel (3);

    PresetNumberRecord number;
    ASSERT_TRUE (parsePatchNum (reply (*ask (bare (SYSEX_PATCHNUM))), number));
    EXPECT_EQ (number.getNumber(), 0);

    juce::MidiMessage message;
    ASSERT_TRUE (buildSetScene (message, 127));
    uint8 scene = 99;
    ASSERT_TRUE (parseSetScene (reply (*ask (message)), scene));
    EXPECT_EQ (scene, 0);

    uint8 channel = 0;
    ASSERT_TRUE (parseGetMidiChannel (reply (*ask (bare (SYSEX_GET_MIDI_CHANNEL))), channel));
    EXPECT_EQ (channel, 3);

    // Block states: two messages, the states (without checksum) and the scene.
    int expected = 0;
    ASSERT_TRUE (buildQueryStates (message, expected));
    auto states = ask (message, expected);
    ASSERT_EQ (states->getStatus(), SysExRequest::stateComplete);
    juce::Array<uint32> words;
    ASSERT_TRUE (collectQueryStates (*states, words, scene));
    ASSERT_EQ (words.size(), 2);
    EXPECT_EQ (words[0], 106u | (1u << 24) | (1u << 25)); // engaged, X
    EXPECT_EQ (words[1] & 0xFF, 108u);

    GridVectors grid;
    ASSERT_TRUE (parseGetGrid (reply (*ask (bare (SYSEX_GET_GRID))), grid));
    ASSERT_EQ (grid.blockIds.size(), gridCellCount);
    EXPECT_EQ (grid.blockIds[0], 106);
    EXPECT_EQ (grid.blockIds[4], 108);
    EXPECT_EQ (grid.inputMasks[4], 1) << "the cab is fed from row 0 of the amp's column";

    char name[32] = {};
    ASSERT_TRUE (parseQueryName (reply (*ask (bare (SYSEX_QUERY_NAME))), name));
    EXPECT_EQ (juce::String (name), juce::String ("Preset 0").paddedRight (' ', 31)) << "blank-padded, as the unit sends it";

    UnitFlags flags;
    ASSERT_TRUE (parseGetFlags (reply (*ask (bare (SYSEX_GET_FLAGS))), flags));
    EXPECT_FALSE (flags.isPresetModified());

    uint16 tempo = 0;
    ASSERT_TRUE (parseBpm (reply (*ask (bare (SYSEX_BPM))), tempo));
    EXPECT_EQ (tempo, 120);

    // Modifier ids 100..115 and the layout values: exactly 16 replies each.
    ASSERT_TRUE (buildGetModifierInfo (message, 127));
    auto modifiers = ask (message, 16);
    ASSERT_EQ (modifiers->getStatus(), SysExRequest::stateComplete);
    ModifierInfoReply info;
    ASSERT_TRUE (parseGetModifierInfo (reply (*modifiers, 15), info));
    EXPECT_EQ (info.modifierId, 115);

    LayoutRecord all;
    all.key = (uint16) layoutKeyAll;
    ASSERT_TRUE (buildLayoutSet (message, all, expected));
    EXPECT_EQ (ask (message, expected)->getNumReplies(), 16);
    EXPECT_EQ (unit.getNumHeldReplies(), 0);
}

TEST_F (SimulatedKestrelTest, SetsAndQueriesParameters)
{
    juce::MidiMessage message;
    ASSERT_TRUE (buildParamSet (message, 106, 5, 777, 1));
    EffectParamValue value;
    ASSERT_TRUE (parseParamSet (reply (*ask (message)), value));
    EXPECT_EQ (value.blockId, 106);
    EXPECT_EQ (value.paramId, 5);
    EXPECT_EQ (value.value, 777);
    EXPECT_TRUE (unit.isModified());

    ASSERT_TRUE (buildParamSet (message, 106, 5, 0, 0));
    ASSERT_TRUE (parseParamSet (reply (*ask (message)), value));
    EXPECT_EQ (value.value, 777) << "a query does not write";

    UnitFlags flags;
    ASSERT_TRUE (parseGetFlags (reply (*ask (bare (SYSEX_GET_FLAGS))), flags));
    EXPECT_TRUE (flags.isPresetModified());

    // Bypass (parameter 255): 1 bypasses, which the states show.
    ASSERT_TRUE (buildParamSet (message, 106, 255, 1, 1));
    ASSERT_TRUE (parseParamSet (reply (*ask (message)), value));
    EXPECT_EQ (value.value, 1);
    EXPECT_EQ (unit.getEditBuffer().getStateWords()[0] & (1u << 24), 0u);

    // Tempo through the controllers block, read back by SYSEX_BPM.
    ASSERT_TRUE (buildParamSet (message, 141, 32, 90, 1));
    ask (message);
    uint16 tempo = 0;
    ASSERT_TRUE (parseBpm (reply (*ask (bare (SYSEX_BPM))), tempo));
    EXPECT_EQ (tempo, 90);

    // A block the preset lacks is refused with a status that still ends the request.
    ASSERT_TRUE (buildParamSet (message, 110, 0, 1, 1));
    auto refused = ask (message);
    ASSERT_EQ (refused->getStatus(), SysExRequest::stateComplete);
    EXPECT_FALSE (parseParamSet (reply (*refused), value));
    EXPECT_EQ (statusOf (*refused).result, SimulatedKestrel::resultBadValue);

    // A parameter dump announces its length: start, one reply per parameter, end.
    int expected = 0;
    ASSERT_TRUE (buildParamDump (message, 106, expected));
    auto dump = ask (message, expected);
    ASSERT_EQ (dump->getStatus(), SysExRequest::stateComplete);
    juce::Array<EffectParamValue> values;
    ASSERT_TRUE (collectParamDump (*dump, values));
    ASSERT_EQ (values.size(), getParamCount (106));
    EXPECT_EQ (values[5].value, 777);

    // All parameters: (words >> 6) + 3 messages, X values then Y values.
    ASSERT_TRUE (buildGetAllParams (message, 106, expected));
    auto all = ask (message, expected);
    ASSERT_EQ (all->getStatus(), SysExRequest::stateComplete);
    EffectStartRecord start;
    juce::Array<uint16> words;
    ASSERT_TRUE (collectEffectDump (*all, start, words));
    EXPECT_EQ (words.size(), 2 * getParamCount (106));
    EXPECT_EQ (words[5], 777);
}

TEST_F (SimulatedKestrelTest, SavesPresetsAndReportsTheirNames)
{
    juce::MidiMessage message;
    char field[32];
    std::memset (field, ' ', sizeof (field));
    std::memcpy (field, "Crunch", 6);
    ASSERT_TRUE (buildSetName (message, field));
    EXPECT_EQ (statusOf (*ask (message)).result, 0);
    EXPECT_TRUE (unit.isModified());

    ASSERT_TRUE (buildSavePatch (message, 1, 2));
    auto save = ask (message);
    ASSERT_EQ (save->getStatus(), SysExRequest::stateComplete);
    EXPECT_EQ (statusOf (*save).function, SYSEX_SAVE_PATCH);
    EXPECT_EQ (statusOf (*save).result, 0);
    EXPECT_FALSE (unit.isModified());
    EXPECT_EQ (unit.getPreset (130).name, "Crunch");
    EXPECT_EQ (unit.getCurrentPresetNumber(), 130);

    // One name, then a bank of 128.
    int expected = 0;
    ASSERT_TRUE (buildQueryNameByNum (message, 1, 2, SimulatedKestrel::presetCount, expected));
    PresetNameRecord record;
    ASSERT_TRUE (parseQueryNameByNum (reply (*ask (message, expected)), record));
    EXPECT_EQ (record.getNumber(), 130);
    EXPECT_EQ (record.getName().trimEnd(), "Crunch");

    ASSERT_TRUE (buildQueryNameByNum (message, 1, 127, SimulatedKestrel::presetCount, expected, 8));
    EXPECT_EQ (expected, 128);
    auto bank = ask (message, expected);
    ASSERT_EQ (bank->getStatus(), SysExRequest::stateComplete);
    ASSERT_TRUE (parseQueryNameByNum (reply (*bank, 127), record));
    EXPECT_EQ (record.getNumber(), 255);

    // A slot past the unit's presets is refused.
    ASSERT_TRUE (buildSavePatch (message, 4, 0));
    EXPECT_EQ (statusOf (*ask (message)).result, SimulatedKestrel::resultBadValue);

    // Recall: status, then the unit reports the new preset number unasked.
    ASSERT_TRUE (buildRecallPatch (message, 0, 7));
    EXPECT_EQ (statusOf (*ask (message)).result, 0);
    link->processPass();
    PresetNumberRecord change;
    ASSERT_TRUE (link->takePresetChange (&change));
    EXPECT_EQ (change.getNumber(), 7);
    EXPECT_EQ (unit.getEditBuffer().name, "Preset 7");
}

TEST_F (SimulatedKestrelTest, DumpsAPresetAndTakesItBackAsAPaste)
{
    auto source = SimulatedPreset::makeFactory (9);
    source.name = "Lead";
    source.placeBlock (8, 110);
    source.setParam (110, 3, 4321);
    unit.setPreset (9, source);

    int expected = 0;
    juce::MidiMessage message;
    ASSERT_TRUE (buildPatchDump (message, 0, 9, expected, 8));
    ASSERT_EQ (expected, 66);
    auto dump = ask (message, expected);
    ASSERT_EQ (dump->getStatus(), SysExRequest::stateComplete);
    EXPECT_EQ (dump->getNumReplies(), 66);
    CollectedPatch patch;
    ASSERT_TRUE (collectPatchDump (*dump, patch));
    EXPECT_EQ (patch.program, 9);
    ASSERT_EQ (patch.words.size(), SimulatedPreset::wordCount);
    EXPECT_EQ (patch.words[2] & 0xFF, 'L');

    // Paste it into the edit buffer (location 127/127), one request per
    // message as the multi-message sender sends it; each gets a status.
    juce::Array<juce::MidiMessage> paste;
    ASSERT_TRUE (buildPatchStart (message, 127, 127, (uint32) patch.words.size()));
    paste.add (message);

    for (int i = 0; i < patch.words.size(); i += patchDataWords)
    {
        ASSERT_TRUE (buildPatchData (message, patch.words.getRawDataPointer() + i, patchDataWords));
        paste.add (message);
    }

    ASSERT_TRUE (buildPatchEnd (message, xorWords16 (patch.words.getRawDataPointer(), (size_t) patch.words.size())));
    paste.add (message);
    ASSERT_EQ (paste.size(), 66);

    for (auto& part : paste)
    {
        auto request = ask (part);
        ASSERT_EQ (request->getStatus(), SysExRequest::stateComplete);
        EXPECT_EQ (statusOf (*request).result, 0);
    }

    link->processPass();
    PresetNumberRecord change;
    EXPECT_TRUE (link->takePresetChange (&change)) << "the unit reports the loaded preset";
    EXPECT_TRUE (unit.isModified());

    char name[32] = {};
    ASSERT_TRUE (parseQueryName (reply (*ask (bare (SYSEX_QUERY_NAME))), name));
    EXPECT_EQ (juce::String (name).trimEnd(), "Lead");
    uint16 value = 0;
    EXPECT_TRUE (unit.getParam (110, 3, value));
    EXPECT_EQ (value, 4321);

    // A paste whose END value is wrong is refused and changes nothing.
    unit.setEditBuffer (SimulatedPreset::makeFactory (0));
    for (int i = 0; i < paste.size() - 1; ++i)
        ask (paste[i]);

    ASSERT_TRUE (
        buildPatchEnd (message, 1 ^ xorWords16 (patch.words.getRawDataPointer(), (size_t) patch.words.size())));
    EXPECT_EQ (statusOf (*ask (message)).result, SimulatedKestrel::resultBadChecksum);
    EXPECT_EQ (unit.getEditBuffer().name, "Preset 0");

    // A data message without a start is out of sequence.
    EXPECT_EQ (statusOf (*ask (paste[1])).result, SimulatedKestrel::resultBadSequence);
}

TEST_F (SimulatedKestrelTest, AnswersCabQueriesAndThePresetWithItsCabs)
{
    unit.setCabCounts (10, 20);
    int expected = 0;
    juce::MidiMessage message;

    ASSERT_TRUE (buildCabName (message, cabNumberAll, expected));
    auto names = ask (message, expected);
    ASSERT_EQ (names->getStatus(), SysExRequest::stateComplete);
    EXPECT_EQ (names->getNumReplies(), 32);
    juce::Array<CabNameRecord> records;
    ASSERT_TRUE (collectCabNames (*names, records));
    ASSERT_EQ (records.size(), 30);
    EXPECT_EQ (records[10].getName(), juce::String ("User Cab 1").paddedRight (' ', 31));

    ASSERT_TRUE (buildCabDump (message, 12, expected, 8));
    auto cab = ask (message, expected);
    ASSERT_EQ (cab->getStatus(), SysExRequest::stateComplete);
    auto data = std::make_unique<CabDumpData>();
    ASSERT_TRUE (collectCabDump (*cab, *data));
    EXPECT_EQ (data->cabNumber, 12u);

    // A capture is acknowledged, then comes back as the first scratchpad cab.
    auto capture = ask (bare (SYSEX_CONTROL_IRCAP), 1 + 66);
    ASSERT_EQ (capture->getStatus(), SysExRequest::stateComplete);
    EXPECT_EQ (statusOf (*capture).function, SYSEX_CONTROL_IRCAP);
    ASSERT_TRUE (collectCabDump (*capture, *data));
    EXPECT_EQ (data->cabNumber, 30u);

    // The current preset's cab block uses cabs 0 and 1: two cab dumps follow.
    ASSERT_TRUE (buildPatchPlusCabDump (message, 127, 127));
    auto bundle = ask (message, 3);
    ASSERT_EQ (bundle->getStatus(), SysExRequest::stateComplete);
    EXPECT_EQ (bundle->getNumReplies(), 1 + 66 + 2 * 66);
    PatchPlusCabHeader header;
    juce::OwnedArray<juce::MemoryBlock> blocks;
    ASSERT_TRUE (collectPatchPlusCabDump (*bundle, header, blocks));
    EXPECT_EQ (header.cabFlags, 0x03);
    EXPECT_EQ (blocks.size(), 3);
}

TEST_F (SimulatedKestrelTest, EditorDisconnectIsAnsweredAndItsUnaskedEchoReported)
{
    auto disconnect = ask (bare (SYSEX_EDITOR_DISCONNECT));
    ASSERT_EQ (disconnect->getStatus(), SysExRequest::stateComplete);
    EXPECT_EQ (statusOf (*disconnect).function, SYSEX_EDITOR_DISCONNECT);
    EXPECT_FALSE (link->takeEditorDisconnected()) << "an answer, not a disconnect from the unit";

    unit.sendEditorDisconnectEcho();
    link->processPass();
    EXPECT_TRUE (link->takeEditorDisconnected());

    EXPECT_EQ (unit.countReceived (SYSEX_EDITOR_DISCONNECT), 1);
    EXPECT_EQ (unit.getReceived().size(), 1);
}

TEST_F (SimulatedKestrelTest, SilenceErrorsAndBadChecksumsEndInTheExpectedStates)
{
    // Every answer kept from the program is told, once; an answer that
    // arrives is not.
    juce::Array<int> lost;
    unit.setOnAnswerLost ([&lost] (int function) { lost.add (function); });

    unit.setSilentFor (SYSEX_GET_SYSINFO);
    auto silent = ask (bare (SYSEX_GET_SYSINFO));
    EXPECT_EQ (silent->getStatus(), 0);
    expire (*silent);
    EXPECT_EQ (unit.countReceived (SYSEX_GET_SYSINFO), 1) << "still logged";

    unit.setErrorStatusFor (SYSEX_GET_GRID, 5);
    auto error = ask (bare (SYSEX_GET_GRID));
    ASSERT_EQ (error->getStatus(), SysExRequest::stateComplete);
    EXPECT_EQ (statusOf (*error).result, 5);

    // A spoilt checksum is dropped by the link: the request times out; the
    // next one is answered normally.
    unit.corruptNextReplies (SYSEX_PATCHNUM);
    auto corrupt = ask (bare (SYSEX_PATCHNUM));
    EXPECT_EQ (corrupt->getStatus(), 0);
    expire (*corrupt);
    EXPECT_EQ (corrupt->getNumReplies(), 0);
    EXPECT_EQ (ask (bare (SYSEX_PATCHNUM))->getStatus(), SysExRequest::stateComplete);

    // A dump that stops after 10 messages, and one that loses every 20th.
    int expected = 0;
    juce::MidiMessage message;
    ASSERT_TRUE (buildPatchDump (message, 127, 127, expected, 8));
    unit.goSilentAfterMessages (10);
    auto cut = ask (message, expected);
    expire (*cut);
    EXPECT_EQ (cut->getNumReplies(), 10);

    unit.goSilentAfterMessages (-1);
    unit.dropEveryNthMessage (20);
    auto lossy = ask (message, expected);
    expire (*lossy);
    EXPECT_EQ (lossy->getNumReplies(), 66 - 3);

    unit.dropEveryNthMessage (0);
    unit.setUnansweredFor (SYSEX_PATCHNUM);
    expire (*ask (bare (SYSEX_PATCHNUM)));
    EXPECT_EQ (lost, (juce::Array<int>{ SYSEX_GET_SYSINFO, SYSEX_PATCHNUM, SYSEX_PATCH_DUMP, SYSEX_PATCH_DUMP,
                                        SYSEX_PATCHNUM }));
}

TEST_F (SimulatedKestrelTest, DelayedRepliesArriveWhenTheClockHasMoved)
{
    int lost = 0;
    unit.setOnAnswerLost ([&lost] (int) { ++lost; });
    unit.setReplyDelayFor (SYSEX_PATCHNUM, 2000);
    auto late = ask (bare (SYSEX_PATCHNUM));
    EXPECT_EQ (unit.getNumHeldReplies(), 1);

    clock.advance (1999);
    unit.pump();
    link->processPass();
    EXPECT_EQ (late->getStatus(), 0);

    clock.advance (1);
    unit.pump();
    link->processPass();
    EXPECT_EQ (late->getStatus(), SysExRequest::stateComplete);

    // Held longer than the time-out: the request has given up by then.
    unit.setReplyDelayFor (SYSEX_PATCHNUM, 4000);
    auto tooLate = ask (bare (SYSEX_PATCHNUM));
    clock.advance (3001);
    unit.pump();
    link->processPass();
    EXPECT_EQ (tooLate->getStatus(), SysExRequest::stateTimedOut);
    EXPECT_EQ (lost, 0) << "a held answer is on its way";
}

TEST_F (SimulatedKestrelTest, SendsUnsolicitedMessagesToTheMailboxes)
{
    unit.selectPresetOnUnit (42);
    unit.sendStatesChanged();
    unit.sendTempoTick();
    unit.sendTunerReading (9, 2, 64);
    unit.sendKnobBroadcast ({ { 12, 100 }, { 13, 5 } });
    unit.sendModifierBroadcast (3);
    link->processPass();

    PresetNumberRecord change;
    ASSERT_TRUE (link->takePresetChange (&change));
    EXPECT_EQ (change.getNumber(), 42);
    EXPECT_TRUE (link->takeStatesChanged());
    EXPECT_TRUE (link->takeTempoChanged());
    TunerReading tuner;
    ASSERT_TRUE (link->takeTunerData (&tuner));
    EXPECT_EQ (tuner.values[0], 9);
    KnobBroadcast knobs;
    ASSERT_TRUE (link->takeKnobBroadcast (&knobs));
    EXPECT_EQ (knobs.count, 2u);
    EXPECT_EQ (knobs.paramIds[1], 13);
    ModifierBroadcast modifier;
    EXPECT_TRUE (link->takeModifierBroadcast (&modifier));

    // A scene change is followed by a resync, which the link swallows once told to.
    juce::MidiMessage message;
    ASSERT_TRUE (buildSetScene (message, 3));
    link->setResyncSkipNext (true);
    ask (message);
    link->processPass();
    EXPECT_FALSE (link->takeResyncRequest());
    EXPECT_EQ (unit.getCurrentScene(), 3);

    unit.sendResync();
    link->processPass();
    EXPECT_TRUE (link->takeResyncRequest());
}

TEST_F (SimulatedKestrelTest, VanishesFromAndReturnsToTheDeviceList)
{
    unit.vanish();
    link->timerCallback();
    clock.advance (1001);
    link->checkPorts();
    EXPECT_FALSE (link->isConnected());

    auto lost = ask (bare (SYSEX_PATCHNUM));
    EXPECT_EQ (lost->getStatus(), SysExRequest::stateTimedOut);

    // The watchdog reopens the ports at one check and sees them at the next.
    unit.reappear();
    link->timerCallback();
    clock.advance (1001);
    link->checkPorts();
    clock.advance (1001);
    link->checkPorts();
    EXPECT_TRUE (link->isConnected());
    EXPECT_EQ (ask (bare (SYSEX_PATCHNUM))->getStatus(), SysExRequest::stateComplete);
}

// The link on its own thread, the unit's replies on the backend's delivery thread.
TEST (SimulatedKestrelThreadTest, AnswersTheLinkThread)
{
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    SimulatedKestrel unit (backend);
    currentSysExModel = 8;
    unit.startAutoPump();

    {
        ZOLMidiProcessing link;
        ASSERT_TRUE (link.getPorts().openInputByName ("Kestrel MIDI"));
        ASSERT_TRUE (link.getPorts().openOutputByName ("Kestrel MIDI"));
        ASSERT_TRUE (link.startProcessing());

        int expected = 0;
        juce::MidiMessage message;
        ASSERT_TRUE (buildPatchDump (message, 127, 127, expected, 8));
        SysExRequest version (bare (SYSEX_QUERY_VERSION)), dump (message);
        dump.setExpectedCount (expected);
        link.queueRequest (&version);
        link.queueRequest (&dump);

        for (int i = 0; i < 6000 && dump.getStatus() == 0; ++i)
            juce::Thread::sleep (5);

        EXPECT_EQ (version.getStatus(), SysExRequest::stateComplete);
        ASSERT_EQ (dump.getStatus(), SysExRequest::stateComplete);
        CollectedPatch patch;
        EXPECT_TRUE (collectPatchDump (dump, patch));
        link.stopProcessing();
    }

    EXPECT_EQ (unit.getReceived().size(), 2);
    currentSysExModel = 3;
}

TEST (SimulatedPresetTest, ImageKeepsThePresetAndForeignImagesGiveTheNameOnly)
{
    auto preset = SimulatedPreset::makeFactory (3);
    preset.name = "Round Trip";
    preset.scene = 2;
    ASSERT_TRUE (preset.placeBlock (9, 114));
    EXPECT_FALSE (preset.placeBlock (12, 114)) << "a block sits in one cell only";
    EXPECT_FALSE (preset.placeBlock (48, 110));
    EXPECT_FALSE (preset.connectCells (0, 8, true)) << "only from the column to the left";
    ASSERT_TRUE (preset.setParam (114, 117, 4000));
    ASSERT_TRUE (preset.setParam (106, 255, 1));
    ASSERT_TRUE (preset.setChannel (108, SimulatedPreset::channelY));

    const auto words = preset.toWords();
    ASSERT_EQ (words.size(), (size_t) SimulatedPreset::wordCount);
    const auto copy = SimulatedPreset::fromWords (words.data(), (int) words.size());
    EXPECT_EQ (copy.name, "Round Trip");
    EXPECT_EQ (copy.scene, 2);
    EXPECT_EQ (copy.cells[9].blockId, 114);
    EXPECT_EQ (copy.cells[4].inputMask, 1);
    uint16 value = 0;
    EXPECT_TRUE (copy.getParam (114, 117, value));
    EXPECT_EQ (value, 4000);
    EXPECT_EQ (copy.getStateWords(), preset.getStateWords());
    EXPECT_EQ (copy.getChannel (108), SimulatedPreset::channelY);

    // A blank preset of the unit (all 0xFF) and a cut image: a name, no grid, no crash.
    std::vector<uint16> blank ((size_t) SimulatedPreset::wordCount, 0xFFFF);
    const auto fromBlank = SimulatedPreset::fromWords (blank.data(), (int) blank.size());
    EXPECT_TRUE (fromBlank.name.isEmpty());
    EXPECT_TRUE (fromBlank.getStateWords().isEmpty());

    const auto cut = SimulatedPreset::fromWords (words.data(), 200);
    EXPECT_EQ (cut.name, "Round Trip");
    EXPECT_EQ (cut.cells[9].blockId, 114);
    EXPECT_TRUE (cut.getParam (114, 117, value));
    EXPECT_NE (value, 4000) << "block records past the end are not read";
}

TEST (SimulatedReplyChannelTest, HeldMessagesKeepLaterOnesBehindThem)
{
    ManualClock clock;
    ManualClock::Installed useClock (clock);
    SimulatedReplyChannel channel;
    juce::Array<int> arrived;
    channel.setDeliver ([&] (const juce::MidiMessage& m) { arrived.add (m.getRawData()[5]); });

    channel.send (bare (1), 100);
    channel.send (bare (2));
    EXPECT_TRUE (arrived.isEmpty());
    EXPECT_EQ (channel.getNumHeld(), 2);

    clock.advance (100);
    channel.pump();
    EXPECT_EQ (arrived, juce::Array<int> ({ 1, 2 }));

    // Corruption spoils only the checksum byte.
    juce::MidiMessage spoilt;
    channel.setDeliver ([&] (const juce::MidiMessage& m) { spoilt = m; });
    const auto original = bare (SYSEX_PATCHNUM);
    channel.send (original, 0, true);
    ASSERT_EQ (spoilt.getRawDataSize(), original.getRawDataSize());
    EXPECT_NE (spoilt.getRawData()[6], original.getRawData()[6]);
    EXPECT_EQ (spoilt.getRawData()[7], 0xF7);
}
