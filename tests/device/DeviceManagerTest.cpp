#include "device/engines/DeviceManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExBuilders.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExLayouts.h"
#include "device/wire/SysExReplyBuilders.h"
#include "model/GlobalConfiguration.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"
#include "support/ManualClock.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{
const juce::String unitName ("1- Kestrel MIDI");

// The preset manager's part, reduced to what the tests watch: the amp-name
// request and the hook that may claim a reply before the base parses it.
class TestDeviceManager : public DeviceManager
{
public:
    using DeviceManager::DeviceManager;

    bool requestAmpNames() override
    {
        ++ampNameRequests;
        return true;
    }

    bool handleReplyFirst (SysExRequest& request) override
    {
        offered.push_back (request.getFunctionCode());
        return claim != nullptr && claim (request);
    }

    int ampNameRequests = 0;
    std::vector<int> offered;
    std::function<bool (SysExRequest&)> claim;
};

// Records each notice together with what the dispatcher had done by the
// time it was shown.
class WatchingSink : public UserNotifier::Sink
{
public:
    struct Seen
    {
        Notice notice;
        bool stillPending = false;
        bool markedDone = false;
    };

    WatchingSink()
        : previous (UserNotifier::getSink())
    {
        UserNotifier::setSink (this);
    }
    ~WatchingSink() override { UserNotifier::setSink (previous); }

    void show (Notice notice) override
    {
        Seen seen;
        seen.notice = std::move (notice);
        seen.stillPending = manager != nullptr && watched != nullptr && manager->isPending (watched);
        seen.markedDone = watched != nullptr && DeviceManager::isRequestDone (watched);
        notices.push_back (std::move (seen));
    }

    DeviceManager* manager = nullptr;
    const SysExRequest* watched = nullptr;
    std::vector<Seen> notices;

private:
    UserNotifier::Sink* previous;
};

juce::MidiMessage gridReply (int pairs, juce::uint16 firstBlock = 100)
{
    juce::MemoryBlock payload;

    for (int i = 0; i < pairs; ++i)
    {
        packSeptets (payload, payload.getSize(), (juce::uint32) (firstBlock + (i % 50)), 2);
        packSeptets (payload, payload.getSize(), (juce::uint32) (i % 16), 2);
    }

    juce::MidiMessage message;
    buildSysExMessage (message, SYSEX_GET_GRID, payload, SimulatedKestrel::model);
    return message;
}

// The real link over virtual devices with synchronous delivery, driven by
// hand with the manual clock, and the simulated unit behind it.
class DeviceManagerTest : public ::testing::Test
{
protected:
    DeviceManagerTest()
        : backend (VirtualMidiBackend::Delivery::synchronous)
        , useBackend (backend)
        , useClock (clock)
        , unit (backend, unitName)
        , previousModel (currentSysExModel.load())
    {
        link = std::make_unique<ZOLMidiProcessing>();
        manager = std::make_unique<TestDeviceManager> (link.get(), &effects, &configuration);
        currentSysExModel.store (SimulatedKestrel::model);
    }

    ~DeviceManagerTest() override
    {
        manager.reset();
        link.reset();
        currentSysExModel.store (previousModel);
    }

    void SetUp() override
    {
        ASSERT_TRUE (link->getPorts().openInputByName ("Kestrel MIDI"));
        ASSERT_TRUE (link->getPorts().openOutputByName ("Kestrel MIDI"));
        ASSERT_TRUE (link->startProcessing (false));
    }

    // One tick of the program: a link pass, then one dispatch.
    void tick()
    {
        link->processPass();
        unit.pump();
        manager->handleNextReply();
    }

    // Ticks until the dispatcher has handled the request; gives its status
    // (-1 when it never got done) and deletes it, as its caller would.
    int complete (SysExRequest* request)
    {
        if (request == nullptr)
            return -1;

        for (int i = 0; i < 100 && ! DeviceManager::isRequestDone (request); ++i)
            tick();

        if (! DeviceManager::isRequestDone (request))
        {
            manager->abandonRequest (request); // the link may still hold it
            return -1;
        }

        auto status = request->getStatus();
        delete request;
        return status;
    }

    ManualClock clock;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend;
    ManualClock::Installed useClock;
    SimulatedKestrel unit;
    juce::uint8 previousModel;
    EffectManager effects;
    GlobalConfiguration configuration{ "Kestrel MIDI", "Kestrel MIDI" };
    std::unique_ptr<ZOLMidiProcessing> link;
    std::unique_ptr<TestDeviceManager> manager;
};
} // namespace

TEST_F (DeviceManagerTest, StartsEmptyAndTheConnectionReadsFillTheModel)
{
    auto preset = SimulatedPreset::makeFactory (300);
    preset.scene = 3;
    unit.setPreset (300, preset);
    unit.selectPresetOnUnit (300);
    unit.setMidiChannel (4);
    unit.setCpuLoad (37);
    unit.setCabName (0, "FACTORY ONE");
    unit.setCabName (100, "my cab", 0x20);

    juce::uint16 number = 99, scene = 99;
    EXPECT_FALSE (manager->getCurrentPresetAndScene (number, scene));
    EXPECT_EQ (number, 99) << "outputs untouched before the first report";
    EXPECT_EQ (manager->getCurrentPresetNumber(), -1);
    EXPECT_EQ (manager->getTempo(), 30);
    EXPECT_FALSE (manager->isFirmwareValid());
    EXPECT_FALSE (manager->isSystemInfoValid());
    EXPECT_EQ (manager->getNumPresetNames(), 0);
    EXPECT_EQ (manager->requestPresetNames (0x7F, 0x7F), nullptr) << "no preset count before the firmware";

    currentSysExModel.store (3);
    EXPECT_EQ (complete (manager->requestIdentity()), SysExRequest::stateComplete);
    EXPECT_TRUE (manager->isIdentityValid());
    EXPECT_EQ (manager->getIdentityModel(), 8);

    EXPECT_EQ (complete (manager->requestFirmwareVersion (8)), SysExRequest::stateComplete);
    EXPECT_TRUE (manager->isFirmwareValid());
    EXPECT_EQ (manager->getFirmware().major, 6u);
    EXPECT_EQ (manager->getFirmware().model, 8);
    EXPECT_EQ (currentSysExModel.load(), 8) << "later messages go to the model that answered";

    EXPECT_EQ (complete (manager->requestSystemInfo()), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getNumFactoryCabs(), 100);
    EXPECT_EQ (manager->getNumFactoryAndUserCabs(), 612);
    EXPECT_EQ (manager->getFirstScratchpadCabIndex(), 612);

    manager->resetPresetList();
    manager->resetCabLists();
    EXPECT_EQ (manager->getNumPresetNames(), 512);
    EXPECT_FALSE (manager->arePresetNamesLoaded (-1, 0));

    EXPECT_EQ (complete (manager->requestPresetNumber()), SysExRequest::stateComplete);
    EXPECT_EQ (complete (manager->requestCurrentScene()), SysExRequest::stateComplete);
    ASSERT_TRUE (manager->getCurrentPresetAndScene (number, scene));
    EXPECT_EQ (number, 300);
    EXPECT_EQ (scene, 3);
    int bank = 0, program = 0;
    ASSERT_TRUE (manager->getCurrentBankAndProgram (bank, program));
    EXPECT_EQ (bank, 2);
    EXPECT_EQ (program, 44);

    EXPECT_EQ (complete (manager->requestMidiChannel()), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getUnitMidiChannel(), 5) << "1-based";
    EXPECT_EQ (complete (manager->requestCpuLoad()), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getCpuLoad(), 37);
    unit.setConfigValue (1);
    EXPECT_EQ (complete (manager->requestConfig()), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getDisplayOffset(), 1) << "the value behind the key, not the key";

    EXPECT_EQ (complete (manager->requestBlockStates()), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getBlockStates(), unit.getEditBuffer().getStateWords());
    int channel = -1;
    EXPECT_TRUE (manager->getBlockXYState (106, channel));
    EXPECT_EQ (channel, unit.getEditBuffer().getChannel (106) == SimulatedPreset::channelX ? 0 : 1);
    juce::uint8 disabled = 9;
    EXPECT_FALSE (manager->getBlockEngaged (300, disabled)) << "a shunt is never engaged";
    EXPECT_EQ (disabled, 0);

    EXPECT_EQ (complete (manager->requestGrid()), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getPresetGrid().getBlockIdAt (0), 106);
    EXPECT_EQ (manager->getPresetGrid().getBlockIdAt (4), 108);
    juce::Array<int> feeding, fed;
    EXPECT_TRUE (manager->getGridCellConnections (0, feeding, fed));
    EXPECT_EQ (fed, juce::Array<int> ({ 4 }));
    feeding.clear();
    fed.clear();
    EXPECT_TRUE (manager->getGridCellConnections (4, feeding, fed));
    EXPECT_EQ (feeding, juce::Array<int> ({ 0 }));
    juce::uint16 unused = 0;
    EXPECT_FALSE (manager->findUnusedBlockId (effectTypeOfBlock (106), unused)) << "the unit's one amp is in use";
    EXPECT_TRUE (manager->findUnusedBlockId (effectTypeOfBlock (100), unused));
    EXPECT_EQ (unused, 100);

    EXPECT_EQ (complete (manager->requestPresetName()), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getCurrentPresetName(), preset.name.trimEnd());

    EXPECT_EQ (complete (manager->requestTempo()), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getTempo(), SimulatedPreset::defaultTempo);

    // One bank of names: 128 replies.
    EXPECT_EQ (complete (manager->requestPresetNames (2, 0x7F)), SysExRequest::stateComplete);
    EXPECT_TRUE (manager->arePresetNamesLoaded (256, 128));
    EXPECT_FALSE (manager->arePresetNamesLoaded (0, 128));
    juce::String name;
    ASSERT_TRUE (manager->getPresetName (257, name));
    EXPECT_EQ (name, unit.getPreset (257).name.trimEnd());
    juce::StringArray names;
    manager->getPresetNames (names);
    EXPECT_EQ (names[300], preset.name.trimEnd()) << "the current slot shows the live name";

    // Every cab name: record 100 is the first user cab.
    EXPECT_EQ (complete (manager->requestCabNames (DeviceManager::cabNamesAll)), SysExRequest::stateComplete);
    juce::String label;
    ASSERT_TRUE (manager->getCabLabel (0, name, label));
    EXPECT_EQ (label, "F001");
    EXPECT_EQ (name, "Factory One");
    ASSERT_TRUE (manager->getCabLabel (100, name, label));
    EXPECT_EQ (label, "U001");
    EXPECT_EQ (name, "my cab") << "user names stay as the unit holds them";
    juce::Array<juce::uint8> formats;
    manager->getCabFormats (true, formats);
    EXPECT_EQ (formats[0], 0x20);

    // A single scratchpad slot without a name is stored as "EMPTY".
    EXPECT_EQ (complete (manager->requestCabNames (613)), SysExRequest::stateComplete);
    ASSERT_TRUE (manager->getCabLabel (613, name, label));
    EXPECT_EQ (label, "S002");
    EXPECT_EQ (name, "EMPTY") << "spelled as the cab lists spell it, not title-cased";
    juce::StringArray scratchNames;
    juce::Array<juce::uint16> slots;
    formats.clear();
    manager->getScratchpadCabs (scratchNames, slots, formats);
    EXPECT_EQ (scratchNames[1], "EMPTY");

    // Modifiers: an assignment made on the unit comes back with its id.
    EXPECT_EQ (complete (manager->requestSetModifier (106, 0, 0, 5, 1)), SysExRequest::stateComplete);
    EXPECT_EQ (complete (manager->requestModifierInfo (100)), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getModifierInfoReply().modifierId, 100);
    auto* modifier = effects.getModifier (100);
    ASSERT_NE (modifier, nullptr);
    EXPECT_EQ (modifier->blockId, manager->getModifierInfoReply().blockId);

    EXPECT_EQ (manager->getNumPendingRequests(), 0);
}

TEST_F (DeviceManagerTest, ATimedOutCabTableRequestLeavesTheTablesToLaterSingleNames)
{
    unit.setCabName (0, "FACTORY ONE");
    unit.setCabName (100, "my cab");
    EXPECT_EQ (complete (manager->requestSystemInfo()), SysExRequest::stateComplete);
    manager->resetCabLists();
    EXPECT_EQ (complete (manager->requestCabNames (DeviceManager::cabNamesAll)), SysExRequest::stateComplete);

    // The user table is asked for and never answered.
    unit.setSilentFor (SYSEX_CABNAME);
    auto* lost = manager->requestCabNames (DeviceManager::cabNamesUser);
    link->processPass();
    clock.advance (3001);
    EXPECT_EQ (complete (lost), SysExRequest::stateTimedOut);
    unit.setSilentFor (SYSEX_CABNAME, false);

    // One name later: stored in its row, the tables stay whole.
    EXPECT_EQ (complete (manager->requestCabNames (613)), SysExRequest::stateComplete);
    juce::String name, label;
    ASSERT_TRUE (manager->getCabLabel (0, name, label));
    EXPECT_EQ (name, "Factory One");
    ASSERT_TRUE (manager->getCabLabel (100, name, label));
    EXPECT_EQ (label, "U001");
    EXPECT_EQ (name, "my cab");
    ASSERT_TRUE (manager->getCabLabel (613, name, label));
    EXPECT_EQ (label, "S002");
}

TEST_F (DeviceManagerTest, GridRepliesAreCappedAndShortGridsAreNotReadPast)
{
    unit.setSilentFor (SYSEX_GET_GRID);

    auto answerGridWith = [this] (const juce::MidiMessage& reply)
    {
        auto* request = manager->requestGrid();
        link->processPass(); // sent; the unit stays silent
        backend.pushToInput (unitName, reply);
        return complete (request);
    };

    EXPECT_EQ (answerGridWith (gridReply (60)), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getGridVectors().blockIds.size(), 48);
    EXPECT_EQ (manager->getGridVectors().inputMasks.size(), 48);
    EXPECT_EQ (manager->getPresetGrid().getNumCells(), 48);
    EXPECT_EQ (manager->getPresetGrid().getBlockIdAt (47), 100 + 47);

    // Five cells (masks 0..4): cell 4 is fed by row 2 only, and nothing lies
    // to its right.
    EXPECT_EQ (answerGridWith (gridReply (5)), SysExRequest::stateComplete);
    ASSERT_EQ (manager->getPresetGrid().getNumCells(), 5);
    juce::Array<int> feeding, fed;
    EXPECT_TRUE (manager->getGridCellConnections (2, feeding, fed));
    EXPECT_EQ (fed, juce::Array<int> ({ 4 }));
    feeding.clear();
    fed.clear();
    EXPECT_FALSE (manager->getGridCellConnections (3, feeding, fed)) << "cells 5..7 do not exist";
    EXPECT_TRUE (fed.isEmpty());
    EXPECT_TRUE (manager->getGridCellConnections (4, feeding, fed));
    EXPECT_EQ (feeding, juce::Array<int> ({ 2 }));
    EXPECT_TRUE (fed.isEmpty()) << "column 2 does not exist";
    EXPECT_FALSE (manager->getGridCellConnections (5, feeding, fed));
    EXPECT_FALSE (manager->getGridCellConnections (-1, feeding, fed));

    // An empty grid reply does not decode: the model keeps the last grid.
    EXPECT_EQ (answerGridWith (gridReply (0)), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getPresetGrid().getNumCells(), 5);
}

TEST_F (DeviceManagerTest, ASilentUnitGivesOneTimeOutNoticeAfterTheRequestIsRemoved)
{
    WatchingSink sink;
    sink.manager = manager.get();
    unit.setSilentFor (SYSEX_QUERY_NAME);

    auto* request = manager->requestPresetName();
    ASSERT_NE (request, nullptr);
    request->setFlags (request->getFlags() | SysExRequest::flagAlertOnTimeOut);
    sink.watched = request;

    link->processPass();
    clock.advance (3000);
    tick();
    EXPECT_TRUE (sink.notices.empty()) << "not yet: the time-out is more than 3000 ms";
    EXPECT_FALSE (DeviceManager::isRequestDone (request));

    clock.advance (1);
    tick();
    ASSERT_EQ (sink.notices.size(), 1u);
    EXPECT_EQ (sink.notices[0].notice.title,
               "DeviceManager: Message timed out for opCode: SYSEX_QUERY_NAME. Recvd 0, expected 1");
    EXPECT_FALSE (sink.notices[0].stillPending) << "reported only once the request is off the queue";
    EXPECT_TRUE (sink.notices[0].markedDone);
    EXPECT_EQ (request->getStatus(), SysExRequest::stateTimedOut);
    EXPECT_TRUE (manager->getCurrentPresetName().isEmpty()) << "no parser ran";

    for (int i = 0; i < 5; ++i)
        tick();

    EXPECT_EQ (sink.notices.size(), 1u) << "reported once";
    sink.watched = nullptr;
    delete request;

    // Without the alert flag the caller sees it done, and no notice is shown.
    auto* quiet = manager->requestPresetName();
    link->processPass();
    clock.advance (3001);
    EXPECT_EQ (complete (quiet), SysExRequest::stateTimedOut);
    EXPECT_EQ (sink.notices.size(), 1u);
}

TEST_F (DeviceManagerTest, DispatchesOnlyTheOldestRequestOncePerTick)
{
    unit.setReplyDelayFor (SYSEX_PATCHNUM, 1000);

    auto* first = manager->requestPresetNumber();
    auto* second = manager->requestCurrentScene();
    auto* third = manager->requestMidiChannel();
    ASSERT_TRUE (first != nullptr && second != nullptr && third != nullptr);

    for (int i = 0; i < 10; ++i)
        tick();

    EXPECT_EQ (first->getStatus(), 0) << "its reply is still held by the unit";
    EXPECT_FALSE (DeviceManager::isRequestDone (first));
    EXPECT_FALSE (DeviceManager::isRequestDone (second));
    EXPECT_EQ (manager->getNumPendingRequests(), 3);
    EXPECT_TRUE (manager->offered.empty());

    // All three complete at the link; the dispatcher still takes one per tick.
    clock.advance (1000);

    for (int i = 0; i < 10; ++i)
    {
        unit.pump();
        link->processPass();
    }

    ASSERT_EQ (third->getStatus(), SysExRequest::stateComplete);

    manager->handleNextReply();
    EXPECT_TRUE (DeviceManager::isRequestDone (first));
    EXPECT_FALSE (DeviceManager::isRequestDone (second));
    EXPECT_FALSE (DeviceManager::isRequestDone (third));
    EXPECT_EQ (manager->getNumPendingRequests(), 2);

    manager->handleNextReply();
    EXPECT_TRUE (DeviceManager::isRequestDone (second));
    EXPECT_FALSE (DeviceManager::isRequestDone (third));

    manager->handleNextReply();
    EXPECT_TRUE (DeviceManager::isRequestDone (third));
    EXPECT_EQ (manager->offered, (std::vector<int>{ SYSEX_PATCHNUM, SYSEX_SET_SCENE, SYSEX_GET_MIDI_CHANNEL }));
    EXPECT_EQ (manager->getUnitMidiChannel(), 1);

    delete first;
    delete second;
    delete third;
}

TEST_F (DeviceManagerTest, TheHookGetsFirstRefusal)
{
    manager->claim = [] (SysExRequest& request) { return request.getFunctionCode() == SYSEX_GET_GRID; };

    EXPECT_EQ (complete (manager->requestGrid()), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getPresetGrid().getNumCells(), 0) << "claimed: the base did not parse it";

    EXPECT_EQ (complete (manager->requestPresetName()), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getCurrentPresetName(), unit.getEditBuffer().name.trimEnd()) << "declined: parsed as usual";
    EXPECT_EQ (manager->offered, (std::vector<int>{ SYSEX_GET_GRID, SYSEX_QUERY_NAME }));
}

TEST_F (DeviceManagerTest, RecallAndSceneChangesSetTheLinksMarks)
{
    // A recall marks the unit's coming preset report as the editor's own.
    EXPECT_EQ (complete (manager->requestRecallPreset (0, 5)), SysExRequest::stateComplete);
    link->processPass();
    PresetNumberRecord reported;
    bool editorAsked = false;
    ASSERT_TRUE (link->takePresetChange (&reported, &editorAsked));
    EXPECT_EQ (reported.getNumber(), 5);
    EXPECT_TRUE (editorAsked);

    // A scene change: the unit's resync that follows is swallowed.
    EXPECT_EQ (complete (manager->requestSetScene (2)), SysExRequest::stateComplete);
    link->processPass();
    EXPECT_EQ (unit.getCurrentScene(), 2);
    EXPECT_EQ (manager->getSceneWord() & 0xFFFF, 2u);
    EXPECT_FALSE (link->takeResyncRequest());

    unit.sendResync(); // one the editor did not cause
    link->processPass();
    EXPECT_TRUE (link->takeResyncRequest());
}

TEST_F (DeviceManagerTest, ParameterEchoesUpdateTempoAndBypass)
{
    EXPECT_EQ (complete (manager->requestBlockStates()), SysExRequest::stateComplete);

    EXPECT_EQ (complete (manager->requestSetTempo (20)), SysExRequest::stateComplete);
    juce::uint16 value = 0;
    ASSERT_TRUE (unit.getParam (blockIdControllers, 32, value));
    EXPECT_EQ (value, 30) << "clamped up";
    EXPECT_EQ (manager->getTempo(), 30);

    EXPECT_EQ (complete (manager->requestSetTempo (300)), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getTempo(), 250);

    juce::uint8 disabled = 0;
    EXPECT_EQ (complete (manager->requestSetParam (106, 255, 1, 1)), SysExRequest::stateComplete);
    EXPECT_FALSE (manager->getBlockEngaged (106, disabled)) << "bypass value 1 clears the engaged bit";
    EXPECT_EQ (complete (manager->requestSetParam (106, 255, 0, 1)), SysExRequest::stateComplete);
    EXPECT_TRUE (manager->getBlockEngaged (106, disabled));

    EXPECT_EQ (complete (manager->requestSetParam (106, 3, 1234, 1)), SysExRequest::stateComplete);
    EffectParamValue stored;
    int channel = 0;
    ASSERT_TRUE (manager->getBlockXYState (106, channel));
    ASSERT_TRUE (effects.getParamValue (106, 3, channel, stored));
    EXPECT_EQ (stored.value, 1234);
    EXPECT_EQ (manager->getLastParamValue().paramId, 3);
}

TEST_F (DeviceManagerTest, PlacingAndEmptyingAnAmp)
{
    EXPECT_EQ (complete (manager->requestGrid()), SysExRequest::stateComplete);
    ASSERT_GT (manager->getPresetGrid().getNumCells(), 8);
    ASSERT_EQ (manager->getPresetGrid().getBlockIdAt (0), 106);

    EXPECT_EQ (complete (manager->requestParamDump (106)), SysExRequest::stateComplete);
    auto* amp = effects.findEffect (106);
    ASSERT_NE (amp, nullptr);
    EXPECT_GT (amp->getNumParams (0) + amp->getNumParams (1), 0);

    // Emptying the amp's cell forgets what was known of it.
    EXPECT_EQ (complete (manager->requestPlaceBlock (0, 0)), SysExRequest::stateComplete);
    EXPECT_EQ (amp->getNumParams (0), 0);
    EXPECT_EQ (amp->getNumParams (1), 0);
    EXPECT_EQ (amp->globalUsedMask, EffectRecord::globalMaskUnknown);
    EXPECT_EQ (manager->ampNameRequests, 0);

    // Placing an amp asks for the amp names.
    EXPECT_EQ (complete (manager->requestPlaceBlock (8, 106)), SysExRequest::stateComplete);
    EXPECT_EQ (manager->ampNameRequests, 1);
    EXPECT_EQ (manager->getPlaceResult(), 0);

    // A refused placement keeps its result code and asks for nothing.
    unit.setErrorStatusFor (SYSEX_PLACE_EFFECT, SimulatedKestrel::resultBadValue);
    EXPECT_EQ (complete (manager->requestPlaceBlock (9, 106)), SysExRequest::stateComplete);
    EXPECT_EQ (manager->getPlaceResult(), SimulatedKestrel::resultBadValue);
    EXPECT_EQ (manager->ampNameRequests, 1);
}

TEST (DeviceManagerWithoutLink, SendsNothing)
{
    EffectManager effects;
    TestDeviceManager manager (nullptr, &effects, nullptr);
    CableConnection cable;
    MoveBlockRecord move;

    EXPECT_EQ (manager.requestIdentity(), nullptr);
    EXPECT_EQ (manager.requestFirmwareVersion (8), nullptr);
    EXPECT_EQ (manager.requestGrid(), nullptr);
    EXPECT_EQ (manager.requestConnectBlocks (&cable), nullptr);
    EXPECT_EQ (manager.requestMoveBlock (&move), nullptr);
    EXPECT_EQ (manager.requestSetTempo (120), nullptr);
    EXPECT_EQ (manager.getNumPendingRequests(), 0);
    manager.handleNextReply(); // nothing to do, nothing breaks
}

TEST_F (DeviceManagerTest, DumpsReachTheModelOnlyWhenWhole)
{
    EXPECT_EQ (complete (manager->requestBlockStates()), SysExRequest::stateComplete);

    EXPECT_EQ (complete (manager->requestPatchDump (127, 127)), SysExRequest::stateComplete);
    EXPECT_GT (manager->getPatchDumpBuffer().getSize(), 8192u) << "66 messages of the current preset";

    EXPECT_EQ (complete (manager->requestAllParams (106)), SysExRequest::stateComplete);
    auto* amp = effects.findEffect (106);
    ASSERT_NE (amp, nullptr);
    EXPECT_GT (amp->allParamsData.getSize(), 0u);
    EXPECT_EQ (amp->allParamsData, manager->getAllParamsData());

    // A dump whose end does not arrive is not taken.
    auto before = manager->getPatchDumpBuffer();
    unit.goSilentAfterMessages (10);
    auto* cut = manager->requestPatchDump (0, 1);

    for (int i = 0; i < 20; ++i)
        tick();

    EXPECT_FALSE (DeviceManager::isRequestDone (cut));
    clock.advance (3001);
    EXPECT_EQ (complete (cut), SysExRequest::stateTimedOut);
    EXPECT_EQ (manager->getPatchDumpBuffer(), before);
}

TEST_F (DeviceManagerTest, FillsARawPresetFromTheModel)
{
    for (auto* request : { manager->requestFirmwareVersion (8), manager->requestPresetNumber(),
                           manager->requestPresetName(), manager->requestBlockStates(), manager->requestGrid(),
                           manager->requestParamDump (106), manager->requestParamDump (108) })
        EXPECT_EQ (complete (request), SysExRequest::stateComplete);

    RawPreset raw;
    manager->fillRawPreset (raw);
    EXPECT_EQ (raw.model, 8);
    EXPECT_EQ (raw.firmwareMajor, 6);
    EXPECT_EQ (raw.presetNumber, unit.getCurrentPresetNumber());
    EXPECT_EQ (raw.name, unit.getEditBuffer().name.trim());
    EXPECT_EQ (raw.grid.getBlockIdAt (0), 106);

    auto* amp = raw.findBlock (106);
    ASSERT_NE (amp, nullptr);
    EXPECT_FALSE (amp->xValues.isEmpty());
    juce::uint16 firstValue = 0;
    ASSERT_TRUE (unit.getParam (106, (int) (amp->xValues[0] & 0xFFFF), firstValue));
    EXPECT_EQ (amp->xValues[0] >> 16, firstValue) << "parameter id low, value high";

    auto* state = amp->findSceneState (unit.getCurrentScene());
    ASSERT_NE (state, nullptr);
    EXPECT_EQ (state->xy, unit.getEditBuffer().getChannel (106) == SimulatedPreset::channelX ? 0 : 1);
}

TEST_F (DeviceManagerTest, NameTablesStayInBounds)
{
    // Before firmware and system information there are no tables to write.
    EXPECT_FALSE (manager->setPresetName (0, "x"));
    manager->setCabName (0, "x", 0);
    juce::String name, label;
    EXPECT_FALSE (manager->getCabLabel (0, name, label));

    for (auto* request : { manager->requestFirmwareVersion (8), manager->requestSystemInfo() })
        EXPECT_EQ (complete (request), SysExRequest::stateComplete);

    manager->resetPresetList();
    manager->resetCabLists();

    // Slots not read yet show the spelling of slots the unit reports blank.
    for (int slot : { 0, 100, 612 })
    {
        ASSERT_TRUE (manager->getCabLabel (slot, name, label));
        EXPECT_EQ (name, "EMPTY") << slot;
    }

    EXPECT_TRUE (manager->setPresetName (511, juce::String::repeatedString ("N", 40)));
    ASSERT_TRUE (manager->getPresetName (511, name));
    EXPECT_EQ (name.length(), 31);
    EXPECT_FALSE (manager->setPresetName (512, "x"));
    EXPECT_FALSE (manager->getPresetName (-1, name));
    EXPECT_FALSE (manager->arePresetNamesLoaded (600, 1));

    // setCabName counts user slots, then scratchpad slots.
    manager->setCabName (512, "PAD ONE", 0x20);
    ASSERT_TRUE (manager->getCabLabel (612, name, label));
    EXPECT_EQ (label, "S001");
    EXPECT_EQ (name, "Pad One");
    manager->setCabName (516, "past the end", 0);
    EXPECT_FALSE (manager->getCabLabel (616, name, label));

    bool factory = true, user = true, scratchpad = true;
    manager->areCabTablesFilled (factory, user, scratchpad);
    EXPECT_FALSE (factory);
    EXPECT_FALSE (scratchpad);

    // Only the factory names asked for: the user table keeps its rows.
    unit.setCabName (0, "FIRST");
    EXPECT_EQ (complete (manager->requestCabNames (DeviceManager::cabNamesFactory)), SysExRequest::stateComplete);
    manager->areCabTablesFilled (factory, user, scratchpad);
    EXPECT_TRUE (factory);
    ASSERT_TRUE (manager->getCabLabel (100, name, label));
    EXPECT_EQ (label, "U001");
}

TEST_F (DeviceManagerTest, ModifierSetRepliesAreFiledByTheRequestsMode)
{
    auto valueOf = [] (const ModifierRecord& record, int setting)
    {
        ModifierValueEntry entry;
        EXPECT_TRUE (record.getSlot (setting, entry));
        return entry.value;
    };

    // A query (mode 0) of an unassigned parameter takes no record.
    EXPECT_EQ (complete (manager->requestSetModifier (106, 5, 2, 0, 0)), SysExRequest::stateComplete);
    EXPECT_EQ (effects.findModifierForParam (106, 5), nullptr);

    // A write takes the first free record and stores the setting.
    EXPECT_EQ (complete (manager->requestSetModifier (106, 5, 2, 7, 1)), SysExRequest::stateComplete);
    auto* record = effects.findModifierForParam (106, 5);
    ASSERT_NE (record, nullptr);
    EXPECT_EQ (record->modifierId, EffectManager::firstModifierId);
    EXPECT_EQ (valueOf (*record, 2), 7);

    // A query of an assigned parameter refreshes it and clears its mark.
    record->flag = 1;
    record->settings[2].value = 0;
    EXPECT_EQ (complete (manager->requestSetModifier (106, 5, 2, 0, 0)), SysExRequest::stateComplete);
    EXPECT_EQ (valueOf (*record, 2), 7);
    EXPECT_EQ (record->flag, 0);

    // A query leaves the other settings of a driven modifier alone; a direct
    // write starts them afresh; one to an unassigned parameter is not filed.
    EXPECT_EQ (complete (manager->requestSetModifier (106, 5, 0, 4, 1)), SysExRequest::stateComplete);
    EXPECT_EQ (complete (manager->requestSetModifier (106, 5, 3, 9, 1)), SysExRequest::stateComplete);
    EXPECT_EQ (complete (manager->requestSetModifier (106, 5, 2, 0, 0)), SysExRequest::stateComplete);
    ASSERT_EQ (record->getControllerId(), 4);
    EXPECT_EQ (valueOf (*record, 3), 9);
    EXPECT_EQ (complete (manager->requestSetModParamDirect (106, 5, 2, 0.5f)), SysExRequest::stateComplete);
    EXPECT_EQ (record->getControllerId(), 0);
    EXPECT_EQ (valueOf (*record, 3), 0);
    EXPECT_EQ (valueOf (*record, 2), manager->getModifierSetReply().value);
    EXPECT_EQ (record->blockId, 106);
    EXPECT_EQ (record->reportedParamId, 5) << "what a raw export names";
    EXPECT_EQ (complete (manager->requestSetModParamDirect (106, 6, 2, 0.5f)), SysExRequest::stateComplete);
    EXPECT_EQ (effects.findModifierForParam (106, 6), nullptr);

    // With all 16 records taken, a write to another parameter is not filed.
    for (int id = EffectManager::firstModifierId + 1; id <= EffectManager::lastModifierId; ++id)
        effects.getModifier (id)->blockId = 200;

    EXPECT_EQ (complete (manager->requestSetModifier (106, 8, 2, 7, 1)), SysExRequest::stateComplete);
    EXPECT_EQ (effects.findModifierForParam (106, 8), nullptr);
    EXPECT_EQ (effects.findModifierForParam (106, 5), record);
}

// A modifier on a block's bypass-mode parameter is kept under 255, whether the
// unit's info reply names the parameter by its own id (as the simulated unit
// does) or as 255: the value queries, which address it as 255, fill that one
// record, and a write keeps to it.
TEST_F (DeviceManagerTest, ABypassModeModifierIsOneRecordUnder255WhicheverIdTheUnitNames)
{
    constexpr int comp = 100, keptUnder = 255;
    const int bypassMode = getBypassModeParamId (comp);
    ASSERT_GE (bypassMode, 0);
    auto buffer = unit.getEditBuffer();
    ASSERT_TRUE (buffer.placeBlock (1, comp));
    auto* onUnit = buffer.assignModifier (comp, bypassMode);
    ASSERT_NE (onUnit, nullptr);
    const auto modifierId = (juce::uint16) (SimulatedPreset::firstModifierId + (onUnit - buffer.modifiers.data()));
    for (int k = 0; k < SimulatedPreset::modifierSettings; ++k)
        onUnit->settings[(size_t) k] = (juce::uint16) (k == 0 ? 5 : 2000 + k);
    unit.setEditBuffer (buffer);

    auto valueOf = [] (const ModifierRecord& record, int setting)
    {
        ModifierValueEntry entry;
        EXPECT_TRUE (record.getSlot (setting, entry));
        return (int) entry.value;
    };

    for (const int named : { bypassMode, keptUnder })
    {
        SCOPED_TRACE (named);
        effects.resetAllModifiers();
        SysExRequest* info = nullptr;

        if (named == bypassMode)
        {
            info = manager->requestModifierInfo (modifierId);
        }
        else
        {
            // The unit's reply is replaced by one naming 255.
            unit.setSilentFor (SYSEX_GET_MODIFIER_INFO);
            info = manager->requestModifierInfo (modifierId);
            tick();
            juce::MidiMessage reply;
            ASSERT_TRUE (buildSysExByLayout (reply, SYSEX_GET_MODIFIER_INFO, modifierInfoReplyLayout,
                                             { modifierId, 5u, (juce::uint32) comp, (juce::uint32) keptUnder },
                                             SimulatedKestrel::model));
            unit.sendRaw (reply);
            unit.setSilentFor (SYSEX_GET_MODIFIER_INFO, false);
        }

        ASSERT_EQ (complete (info), SysExRequest::stateComplete);
        auto* record = effects.getModifier (modifierId);
        ASSERT_NE (record, nullptr);
        EXPECT_EQ (record->blockId, comp);
        EXPECT_EQ (record->paramId, keptUnder);
        EXPECT_EQ (record->getControllerId(), 5);
        EXPECT_EQ (effects.findModifierForParam (comp, bypassMode), record);

        for (int k = 0; k < SimulatedPreset::modifierSettings; ++k)
            EXPECT_EQ (complete (manager->requestSetModifier (comp, keptUnder, (juce::uint16) k, 0, 0)),
                       SysExRequest::stateComplete);

        for (int k = 0; k < SimulatedPreset::modifierSettings; ++k)
            EXPECT_EQ (valueOf (*record, k), onUnit->settings[(size_t) k]) << k;

        EXPECT_EQ (complete (manager->requestSetModifier (comp, keptUnder, 3, 4321, 1)), SysExRequest::stateComplete);
        EXPECT_EQ (valueOf (*record, 3), 4321);
        EXPECT_EQ (unit.getEditBuffer().findModifier (comp, bypassMode)->settings[3], 4321);
        juce::Array<ModifierRecord*> onComp;
        effects.getModifiersForBlock (comp, onComp);
        EXPECT_EQ (onComp.size(), 1);
        onUnit->settings[3] = 4321;
    }

    // A write's reply naming the parameter by its own id makes the record under 255.
    effects.resetAllModifiers();
    unit.setSilentFor (SYSEX_MODIFIER_SET);
    auto* write = manager->requestSetModifier (comp, (juce::uint16) bypassMode, 3, 77, 1);
    tick();
    ModifierSetReply named;
    named.blockId = comp;
    named.selector1 = (juce::uint16) bypassMode;
    named.selector2 = 3;
    named.value = 77;
    juce::MidiMessage reply;
    ASSERT_TRUE (buildModifierSetReply (reply, named, SimulatedKestrel::model));
    unit.sendRaw (reply);
    unit.setSilentFor (SYSEX_MODIFIER_SET, false);
    ASSERT_EQ (complete (write), SysExRequest::stateComplete);
    auto* record = effects.findModifierForParam (comp, keptUnder);
    ASSERT_NE (record, nullptr);
    EXPECT_EQ (record->paramId, keptUnder);
}
