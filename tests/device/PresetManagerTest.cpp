#include "device/engines/PresetManager.h"
#include "device/engines/CommStep.h"
#include "device/engines/NamedRequestTable.h"
#include "device/engines/PresetStateMachine.h"
#include "device/engines/Singletons.h"
#include "device/link/ZOLInterprocessConnection.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExCodec.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "model/UserFolders.h"
#include "support/ForgetSingletons.h"
#include "support/ManualClock.h"
#include "support/RecordingNotifier.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
// Runs the machine's completion tests alone, as the processor would after a
// step that needed no reply; gives the step ids visited, in order.
std::vector<int> walk (PresetStateMachine& machine, int maxSteps = 200)
{
    std::vector<int> visited;

    for (int i = 0; i < maxSteps && machine.getCurrentState() != ZolStateMachine::stepComplete; ++i)
    {
        auto step = machine.getCurrentState();
        visited.push_back (step);

        if (step == stepLoopEnd)
            ++machine.loopCounter;

        machine.advance();
    }

    return visited;
}

juce::MemoryBlock makePatchDump (juce::uint8 model, juce::uint8 bank, juce::uint8 program,
                                 juce::uint16 firstLetter = 0x42)
{
    juce::MemoryBlock dump;
    juce::MidiMessage message;
    juce::uint16 words[patchDataWords];
    juce::uint32 check = 0;

    EXPECT_TRUE (buildPatchStart (message, bank, program, 4096, model));
    dump.append (message.getRawData(), (size_t) message.getRawDataSize());

    for (int m = 0; m < 64; ++m)
    {
        for (int w = 0; w < patchDataWords; ++w)
        {
            // Words 2 to 33, the name, hold letters a name on the unit holds.
            const bool name = m == 0 && w >= 2 && w <= 33;
            words[w] = (juce::uint16) (name ? (w == 2 ? firstLetter : 0x40 + w) : (m * 64 + w) & 0xFFFF);
            check ^= words[w];
        }

        EXPECT_TRUE (buildPatchData (message, words, patchDataWords, model));
        dump.append (message.getRawData(), (size_t) message.getRawDataSize());
    }

    EXPECT_TRUE (buildPatchEnd (message, check, model));
    dump.append (message.getRawData(), (size_t) message.getRawDataSize());
    return dump;
}

class ModelByte
{
public:
    explicit ModelByte (juce::uint8 model)
        : previous (currentSysExModel.load())
    {
        currentSysExModel.store (model);
    }
    ~ModelByte() { currentSysExModel.store (previous); }

private:
    juce::uint8 previous;
};
} // namespace

//==============================================================================
TEST (ZolStateMachineTest, CursorResultAndRestart)
{
    ManualClock clock (5000);
    ManualClock::Installed use (clock);
    ZolStateMachine machine;

    EXPECT_EQ (machine.getCurrentState(), ZolStateMachine::stepComplete) << "an empty script ends at once";

    machine.addStep (0);
    machine.addStep (4, 0);
    machine.addStep (5);
    machine.start();
    EXPECT_TRUE (machine.isRunning());
    EXPECT_EQ (machine.getResult(), ZolStateMachine::resultRunning);
    machine.advance();
    EXPECT_EQ (machine.getCurrentState(), 4);
    EXPECT_FALSE (machine.isCurrentStepRequired());
    machine.addAttempt();

    // Started again while running: back to the first step, attempts cleared.
    auto run = machine.getRunCount();
    machine.start();
    EXPECT_EQ (machine.getStepIndex(), 0);
    EXPECT_EQ (machine.getAttempts(), 0);
    EXPECT_EQ (machine.getRunCount(), run + 1);

    machine.advance();
    machine.advance();
    clock.advance (250);
    machine.stop (ZolStateMachine::resultTimedOut);
    EXPECT_FALSE (machine.isRunning());
    EXPECT_EQ (machine.getLastState(), 5);
    EXPECT_EQ (machine.getPreviousStartTime(), 5000u);
    EXPECT_EQ (machine.getEndTime(), 5250u);
    EXPECT_EQ (machine.getSteps().size(), 3) << "reset keeps the script";
}

TEST (PresetStateMachineTest, LoopsListsAndResetRules)
{
    PresetStateMachine machine;
    appendScript (machine, "0 2 76 3 82 1");

    machine.start();
    machine.loopCount = 3;
    auto visited = walk (machine);
    EXPECT_EQ (std::count (visited.begin(), visited.end(), 76), 3);
    EXPECT_EQ (machine.loopCounter, 3u);

    machine.start(); // loop count back to 0: the body runs once
    visited = walk (machine);
    EXPECT_EQ (std::count (visited.begin(), visited.end(), 76), 1);

    // A list step stays until its list is empty.
    PresetStateMachine list;
    appendScript (list, "0 74 1");
    list.start();
    list.paramWrites.add ({ 106, 1, 2, 1 });
    list.advance();
    list.advance();
    EXPECT_EQ (list.getCurrentState(), stepSetParams);
    list.paramWrites.clear();
    list.advance();
    EXPECT_EQ (list.getCurrentState(), ZolStateMachine::stepComplete);

    // Reset clears every parameter but keeps the preset name; write mode 1.
    list.presetName = "Kept";
    list.writeMode = 7;
    list.cabSlot = 3;
    list.data.setSize (10);
    list.start();
    EXPECT_EQ (list.presetName, "Kept");
    EXPECT_EQ (list.writeMode, 1);
    EXPECT_EQ (list.cabSlot, 0);
    EXPECT_TRUE (list.data.isEmpty());
    EXPECT_EQ (list.sceneRecord.sceneNumber, -1);
}

TEST (PresetStateMachineTest, WaitForPresetNumber)
{
    ManualClock clock (1000);
    ManualClock::Installed use (clock);
    PresetStateMachine machine;
    appendScript (machine, "0 119 1");

    auto toWait = [&]
    {
        machine.start();
        machine.advance();
        EXPECT_EQ (machine.getCurrentState(), stepWaitPatchnum);
    };

    // Delay enabled but 0: moves on at once.
    toWait();
    machine.delayEnabled = 1;
    machine.startDelayTimer();
    machine.advance();
    EXPECT_EQ (machine.getCurrentState(), ZolStateMachine::stepComplete);

    // 2000 ms: waits, then moves on once the time has passed.
    toWait();
    machine.delayEnabled = 1;
    machine.delay = 2000;
    machine.startDelayTimer();
    clock.advance (1999);
    machine.advance();
    EXPECT_EQ (machine.getCurrentState(), stepWaitPatchnum);
    clock.advance (1);
    machine.advance();
    EXPECT_EQ (machine.getCurrentState(), ZolStateMachine::stepComplete);
    EXPECT_EQ (machine.delayTimerStarted, 0);

    // The unit's report ends the wait early and is consumed.
    toWait();
    machine.delayEnabled = 1;
    machine.delay = 2000;
    machine.startDelayTimer();
    clock.advance (10);
    machine.presetNumberArrived = 1;
    machine.advance();
    EXPECT_EQ (machine.getCurrentState(), ZolStateMachine::stepComplete);
    EXPECT_EQ (machine.presetNumberArrived, 0);
}

//==============================================================================
TEST (NamedRequestTableTest, RowsCodesAndScripts)
{
    std::set<int> pairsSeen;

    for (auto& row : namedRequestRows)
    {
        EXPECT_EQ (row.beginCode % 2, 0) << row.name;
        EXPECT_EQ (row.endCode, row.beginCode + 1) << row.name;
        EXPECT_GE (row.beginCode, 2);
        EXPECT_LE (row.endCode, 145);
        EXPECT_NE (row.beginCode, 124);
        EXPECT_NE (row.beginCode, 126);
        pairsSeen.insert (row.beginCode);

        PresetStateMachine machine;
        buildNamedRequest (machine, row);

        if (row.script != nullptr)
        {
            ASSERT_GE (machine.getSteps().size(), 2) << row.name;
            EXPECT_EQ (machine.getSteps().getFirst(), 0) << row.name;
            EXPECT_EQ (machine.getSteps().getLast(), 1) << row.name;

            for (auto step : machine.getSteps())
                EXPECT_FALSE (getNameForId (CommStepNames, step).isEmpty()) << row.name << " step " << step;
        }
    }

    // Several rows share a pair; 84/85 is set by the XY clipboard starters;
    // 124/125 and 126/127 belong to no request.
    EXPECT_EQ (pairsSeen.size(), 69u);
    EXPECT_EQ (pairsSeen.count (84), 0u);
    EXPECT_EQ (getTableRowCount (CommStepNames), 127);

    PresetStateMachine query;
    buildNamedRequest (query, namedRequestRows[queryDeviceVersion]);
    EXPECT_EQ (query.getStepFlags()[1], 0) << "query_device_model is optional";
    EXPECT_EQ (query.getStepFlags()[2], 1);

    PresetStateMachine setParamRow;
    buildNamedRequest (setParamRow, namedRequestRows[setParam]);
    EXPECT_EQ (setParamRow.showWaitIndicator, 0);
    EXPECT_EQ (setParamRow.showWaitCursor, 0);
    EXPECT_EQ (setParamRow.alertOnTimeOut, 1);

    PresetStateMachine names;
    buildNamedRequest (names, namedRequestRows[refreshPresetNames]);
    EXPECT_EQ (names.statusText, "Reading preset names...");

    PresetStateMachine init;
    buildNamedRequest (init, namedRequestRows[initializePreset]);
    EXPECT_EQ (init.presetName, "INIT");

    PresetStateMachine bad;
    EXPECT_FALSE (appendScript (bad, "0 x 1"));
}

// The table of named requests as the unit's protocol documents it, in
// request-list order, kept apart from the program's own table on purpose:
// steps as written there, "(opt)" after an optional step, null for the
// scripts that their starters build; then the wait indicator and wait cursor
// options, and the status text and preset name where a row has its own.
struct DocumentedRequest
{
    const char* name;
    int beginCode;
    int endCode;
    const char* steps;
    int showWaitIndicator;
    int showWaitCursor;
    const char* statusText;
    const char* presetName;
};

// clang-format off
const DocumentedRequest documentedRequests[] = {
        { "Mute Outputs", 120, 121, "0 113 1", 1, 1, nullptr, nullptr },
        { "Editor Disconnect", 122, 123, "0 118 (opt) 1", 1, 1, nullptr, nullptr },
        { "Query device version", 8, 9, "0 4 (opt) 5 6 1", 1, 1, nullptr, nullptr },
        { "Initialization", 10, 11, "0 13 14 15 1", 1, 1, nullptr, nullptr },
        { "Retrigger Midi Traffic", 130, 131, "0 5 1", 1, 1, nullptr, nullptr },
        { "Query Param Definitions", 62, 63, "0 59 58 1", 1, 1, nullptr, nullptr },
        { "Block Library Load", 60, 61, "0 106 107 1", 1, 1, nullptr, nullptr },
        { "Refresh Config", 14, 15, "0 15 1", 1, 1, nullptr, nullptr },
        { "Refresh Preset Names", 16, 17, "0 7 1", 1, 1, "Reading preset names...", nullptr },
        { "Refresh Cab Names", 18, 19, nullptr, 1, 1, "Reading cabinet names...", nullptr },
        { "Refresh Cab Name", 18, 19, "0 11 1", 1, 1, nullptr, nullptr },
        { "VST Heartbeat", 132, 133, "0 41 29 47 57 17 54 120 74 55 121 74 99 2 76 122 79 80 81 3 82 1", 1, 1, nullptr, nullptr },
        { "Import Preset-Cab Bundle", 134, 135, "0 114 36 32 33 119 25 74 2 37 111 112 3 38 12 115 1", 1, 1, nullptr, nullptr },
        { "Recall Preset", 30, 31, "0 35 1", 1, 1, nullptr, nullptr },
        { "Save Preset", 26, 27, "0 34 26 27 28 1", 1, 1, nullptr, nullptr },
        { "File Snapshot", 106, 107, "0 114 30 115 1", 1, 1, nullptr, nullptr },
        { "Save Preset-Cab Bundle", 136, 137, "0 114 74 34 2 39 111 112 3 115 26 7 10 1", 1, 1, nullptr, nullptr },
        { "Paste Preset", 50, 51, "0 32 33 119 1", 1, 1, nullptr, nullptr },
        { "Clear Preset", 46, 47, "0 76 41 44 45 29 17 26 24 27 96 1", 1, 1, nullptr, "" },
        { "Initialize Preset", 48, 49, "0 76 43 44 45 29 26 25 27 18 20 22 21 23 77 74 96 1", 1, 1, nullptr, "INIT" },
        { "Query Current Preset Number", 12, 13, "0 13 14 1", 1, 1, nullptr, nullptr },
        { "Change Preset", 28, 29, "0 35 119 26 1", 1, 1, nullptr, nullptr },
        { "Load Preset", 20, 21, "0 25 17 18 20 22 21 23 24 26 27 101 103 77 74 96 126 1", 1, 1, nullptr, nullptr },
        { "File Export to Sysex", 98, 99, "0 114 30 115 1", 1, 1, nullptr, nullptr },
        { "File Export Binary", 100, 101, "0 35 25 17 108 2 76 25 81 3 82 96 97 54 25 68 69 55 25 69 109 25 26 1", 1, 1, nullptr, nullptr },
        { "File Export to Templates", 102, 103, "0 114 30 115 1", 1, 1, nullptr, nullptr },
        { "Get Preset Data", 104, 105, "0 114 30 115 1", 1, 1, nullptr, nullptr },
        { "File Export CSV", 108, 109, "0 114 96 97 108 54 25 68 69 55 25 69 109 115 25 26 1", 1, 1, nullptr, nullptr },
        { "Resync Preset", 22, 23, "0 25 17 18 20 22 21 23 24 26 27 101 103 77 74 96 126 105 1", 1, 1, nullptr, nullptr },
        { "Export Preset-Cab Bundle", 98, 99, "0 114 31 115 1", 1, 1, nullptr, nullptr },
        { "Get Preset Data", 116, 117, "0 114 110 115 1", 1, 1, nullptr, nullptr },
        { "Change Scene", 24, 25, "0 76 25 18 20 22 21 23 77 74 24 1", 1, 1, nullptr, nullptr },
        { "Set Name", 32, 33, "0 29 26 27 1", 1, 1, nullptr, nullptr },
        { "Block Copy", 52, 53, "0 60 61 62 1", 1, 1, nullptr, nullptr },
        { "Delete Block", 34, 35, "0 40 17 26 25 24 96 1", 1, 1, nullptr, nullptr },
        { "Insert Block", 36, 37, "0 47 17 26 25 24 1", 1, 1, nullptr, nullptr },
        { "Block Paste", 54, 55, "0 114 63 64 65 66 73 67 73 66 96 116 115 26 25 1", 1, 1, nullptr, nullptr },
        { "Edit Effect", 128, 129, "0 56 1", 1, 1, nullptr, nullptr },
        { "Initialize Block", 6, 7, "0 42 74 26 24 1", 1, 1, nullptr, nullptr },
        { "Block Connect", 42, 43, "0 57 17 26 1", 1, 1, nullptr, nullptr },
        { "Block Swap", 40, 41, "0 114 47 57 115 17 26 25 24 1", 1, 1, nullptr, nullptr },
        { "Move Block", 38, 39, "0 114 48 115 17 26 25 1", 1, 1, nullptr, nullptr },
        { "Insert and Connect", 42, 43, "0 114 46 47 57 115 17 26 25 24 1", 1, 1, nullptr, nullptr },
        { "Query Effect All Params", 64, 65, nullptr, 1, 1, nullptr, nullptr },
        { "Query Effect Subset Params", 66, 67, "0 74 1", 1, 0, nullptr, nullptr },
        { "Set Param Direct", 68, 69, "0 75 26 24 1", 0, 0, nullptr, nullptr },
        { "Set Param", 68, 69, "0 73 26 24 1", 0, 0, nullptr, nullptr },
        { "Set Multiple Params", 70, 71, "0 74 26 24 1", 0, 0, nullptr, nullptr },
        { "Set XY", 80, 81, "0 52 26 24 25 72 20 22 21 23 1", 1, 1, nullptr, nullptr },
        { "Query Effect Graph", 72, 73, "0 50 1", 0, 0, nullptr, nullptr },
        { "Query Effect Graph Index", 72, 73, "0 51 1", 0, 0, nullptr, nullptr },
        { "Scene Paste", 74, 75, "0 114 79 80 78 74 115 25 26 1", 1, 1, nullptr, nullptr },
        { "Scene Paste All", 74, 75, "0 114 2 76 79 80 78 74 81 3 82 115 25 26 1", 1, 1, nullptr, nullptr },
        { "Scene Swap", 76, 77, "0 114 83 87 76 25 77 74 84 85 79 80 78 74 88 76 86 79 80 78 74 115 25 26 18 20 22 21 23 77 74 1", 1, 1, nullptr, nullptr },
        { "Scene Block Bypass", 78, 79, "0 2 76 49 81 3 82 25 26 1", 1, 1, nullptr, nullptr },
        { "Scene Block Set XY", 78, 79, "0 2 76 53 81 3 82 25 26 24 1", 1, 1, nullptr, nullptr },
        { "XY Clipboard", 82, 83, nullptr, 1, 1, nullptr, nullptr },
        { "ModifierId Query All", 86, 87, "0 96 1", 1, 1, nullptr, nullptr },
        { "ModifierId Query Values", 88, 89, "0 98 1", 1, 1, nullptr, nullptr },
        { "Set Modifier", 90, 91, "0 99 26 1", 0, 0, nullptr, nullptr },
        { "Set Modifier Direct", 90, 91, "0 100 26 1", 0, 0, nullptr, nullptr },
        { "Set Tempo", 92, 93, "0 102 26 1", 1, 1, nullptr, nullptr },
        { "Set Tempo To Use", 94, 95, "0 104 26 101 1", 1, 1, nullptr, nullptr },
        { "Get Tempo", 96, 97, "0 101 1", 1, 1, nullptr, nullptr },
        { "Query Block States", 110, 111, "0 24 25 1", 0, 0, nullptr, nullptr },
        { "Block Library Query", 56, 57, "0 60 61 1", 1, 1, nullptr, nullptr },
        { "Block Library Query All", 58, 59, "0 70 71 2 60 61 71 3 1", 1, 1, nullptr, nullptr },
        { "Set Footswitch Grid", 138, 139, "0 123 26 1", 1, 1, nullptr, nullptr },
        { "Get Footswitch Grid", 140, 141, "0 123 1", 1, 1, nullptr, nullptr },
        { "Query Amp Names", 44, 45, "0 25 18 1", 1, 1, nullptr, nullptr },
        { "Bypass Block", 2, 3, "0 49 26 1", 0, 0, nullptr, nullptr },
        { "Bypass All Blocks", 4, 5, "0 74 26 1", 0, 0, nullptr, nullptr },
        { "Plover Set Layout", 142, 143, "0 124 1", 1, 1, nullptr, nullptr },
        { "Plover Get Layout", 144, 145, "0 125 1", 1, 1, nullptr, nullptr },
        { "Manage Preset", 112, 113, nullptr, 1, 1, nullptr, nullptr },
        { "Import User Cab", 114, 115, "0 111 112 1", 1, 1, nullptr, nullptr },
        { "Delete Cab", 118, 119, "0 117 1", 1, 1, nullptr, nullptr },
};
// clang-format on

TEST (NamedRequestTableTest, EveryRequestIsBuiltAsDocumented)
{
    EffectManager effects;
    PresetManager manager (nullptr, &effects, nullptr);
    ASSERT_EQ (manager.getNumRequests(), (int) std::size (documentedRequests));

    for (int i = 0; i < manager.getNumRequests(); ++i)
    {
        auto& expected = documentedRequests[i];
        auto& machine = *manager.getRequestAt (i);
        SCOPED_TRACE (juce::String (i) + " " + expected.name);

        EXPECT_EQ (machine.name, expected.name);
        EXPECT_EQ (machine.beginCode, expected.beginCode);
        EXPECT_EQ (machine.endCode, expected.endCode);
        EXPECT_EQ (machine.showWaitIndicator, expected.showWaitIndicator);
        EXPECT_EQ (machine.showWaitCursor, expected.showWaitCursor);
        EXPECT_EQ (machine.alertOnTimeOut, 1);
        EXPECT_EQ (machine.statusText,
                   expected.statusText != nullptr ? expected.statusText : "Please wait... Communicating");
        EXPECT_EQ (machine.presetName, expected.presetName != nullptr ? expected.presetName : "");

        if (expected.steps == nullptr)
            continue;

        juce::Array<juce::int32> steps;
        juce::Array<juce::uint8> flags;

        for (auto& token : juce::StringArray::fromTokens (expected.steps, false))
        {
            if (token == "(opt)")
            {
                flags.set (flags.size() - 1, 0);
                continue;
            }

            steps.add (token.getIntValue());
            flags.add (1);
        }

        EXPECT_EQ (machine.getSteps(), steps);
        EXPECT_EQ (machine.getStepFlags(), flags);
    }
}

//==============================================================================
// Starters, without a link: what they refuse and what they store.
class PresetManagerStarterTest : public ::testing::Test
{
protected:
    PresetManagerStarterTest()
        : useClock (clock)
        , manager (nullptr, &effects, nullptr)
    {
    }

    ManualClock clock{ 100000 };
    ManualClock::Installed useClock;
    EffectManager effects;
    PresetManager manager;
};

TEST_F (PresetManagerStarterTest, ListIsBuiltInPriorityOrder)
{
    ASSERT_EQ (manager.getNumRequests(), numNamedRequests);
    EXPECT_EQ (manager.getRequestAt (0)->name, "Mute Outputs");
    EXPECT_EQ (manager.getRequestAt (1)->name, "Editor Disconnect");
    EXPECT_EQ (manager.getRequestAt (2)->name, "Query device version");
    EXPECT_EQ (manager.getRequestAt (3)->name, "Initialization");
    EXPECT_EQ (&manager.getRequest (managePreset), manager.getRequestAt (74));
    EXPECT_EQ (manager.getStatus(), 0);
    EXPECT_EQ (manager.getActiveRequest(), nullptr);
}

TEST_F (PresetManagerStarterTest, BusyAndBadBlockRefusals)
{
    EXPECT_FALSE (manager.requestSetParam (0, 1, 2));
    EXPECT_FALSE (manager.requestSetParam (300, 1, 2));
    EXPECT_FALSE (manager.requestSetParam (335, 1, 2));
    EXPECT_FALSE (manager.requestBypassBlock (0, true));
    EXPECT_FALSE (manager.requestEffectAllParams (310, false));
    EXPECT_FALSE (manager.getRequest (setParam).isRunning());

    ASSERT_TRUE (manager.requestSetParam (106, 1, 1234));
    auto& m = manager.getRequest (setParam);
    EXPECT_EQ (m.blockId, 106);
    EXPECT_EQ (m.secondId, 1);
    EXPECT_EQ (m.value, 1234);
    EXPECT_EQ (m.writeMode, 1);

    // A second value while one is being sent: refused, the first one kept.
    EXPECT_FALSE (manager.requestSetParam (106, 1, 99));
    EXPECT_FALSE (manager.requestStepParam (106, 1, true, false));
    EXPECT_EQ (m.value, 1234);

    EXPECT_FALSE (manager.requestPastePreset ({}, false)) << "no data";
    EXPECT_FALSE (manager.getRequest (pastePreset).isRunning());
    EXPECT_FALSE (manager.requestSetMultipleParams ({}));
    EXPECT_FALSE (manager.requestEffectParamSubset ({}));
    EXPECT_FALSE (manager.requestFileOperation (0, 0, 6));
    EXPECT_FALSE (manager.requestScenePasteAll()) << "empty scene clipboard";
    EXPECT_FALSE (manager.requestSavePresetCabBundle (0, 0, {})) << "no bundle imported";
}

TEST_F (PresetManagerStarterTest, StepModesAndModifierWrites)
{
    struct Case
    {
        bool a, b;
        int mode;
    };

    for (auto c : { Case{ true, false, 3 }, Case{ false, false, 4 }, Case{ true, true, 5 }, Case{ false, true, 6 } })
    {
        manager.getRequest (setParam).stop (ZolStateMachine::resultCancelled);
        ASSERT_TRUE (manager.requestStepParam (106, 4, c.a, c.b));
        EXPECT_EQ (manager.getRequest (setParam).writeMode, c.mode);

        manager.getRequest (setModifier).stop (ZolStateMachine::resultCancelled);
        ASSERT_TRUE (manager.requestStepModifier (106, 4, 2, c.a, c.b));
        EXPECT_EQ (manager.getRequest (setModifier).modifierWrites.getFirst().mode, c.mode);
    }

    manager.getRequest (setParam).stop (ZolStateMachine::resultCancelled);
    ASSERT_TRUE (manager.requestParamMode2 (106, 4));
    EXPECT_EQ (manager.getRequest (setParam).writeMode, 2);
}

TEST_F (PresetManagerStarterTest, ChangePresetGuardAndScene)
{
    ASSERT_TRUE (manager.requestChangePreset (130, true));
    auto& m = manager.getRequest (changePreset);
    EXPECT_EQ (m.bank, 1);
    EXPECT_EQ (m.program, 2);
    EXPECT_EQ (m.delayEnabled, 1);
    EXPECT_EQ (m.delay, 2000u);

    EXPECT_FALSE (manager.requestChangePreset (131, false)) << "busy";
    m.stop (ZolStateMachine::resultCompleted);
    clock.advance (1000);
    EXPECT_FALSE (manager.requestChangePreset (131, false)) << "within 1000 ms of the last start";
    clock.advance (1);
    EXPECT_FALSE (manager.requestChangePreset (20000, false)) << "no slot for the number";
    EXPECT_TRUE (manager.requestChangePreset (131, false));

    // The preset buttons 1..8 pick a slot of the current bank ("2-5" here).
    PresetNumberRecord current;
    current.low = 12;
    manager.DeviceManager::setCurrentPresetNumber (current);
    m.stop (ZolStateMachine::resultCompleted);
    clock.advance (1001);
    EXPECT_FALSE (manager.selectPresetInBank (0));
    EXPECT_FALSE (manager.selectPresetInBank (9));
    ASSERT_TRUE (manager.selectPresetInBank (8));
    EXPECT_EQ (m.bank, 0);
    EXPECT_EQ (m.program, 15) << "preset 2-8";
    EXPECT_EQ (m.delayEnabled, 0);

    // Change Scene is never refused: a running one starts over.
    ASSERT_TRUE (manager.requestChangeScene (2));
    auto& scene = manager.getRequest (changeScene);
    scene.advance();
    ASSERT_TRUE (manager.requestChangeScene (5));
    EXPECT_EQ (scene.getStepIndex(), 0);
    EXPECT_EQ (scene.scene, 5);
}

TEST_F (PresetManagerStarterTest, BuiltScripts)
{
    auto steps = [&] (NamedRequest which) { return manager.getRequest (which).getSteps(); };
    auto dump = makePatchDump (8, 127, 127);
    juce::String name ("Moved");

    ASSERT_TRUE (manager.requestManagePreset (9, &dump, &name));
    EXPECT_EQ (steps (managePreset), juce::Array<juce::int32> ({ 0, 35, 119, 32, 33, 119, 29, 34, 1 }));
    EXPECT_EQ (manager.getRequest (managePreset).presetName, "Moved");
    EXPECT_EQ (manager.getRequest (managePreset).delay, 2000u);
    EXPECT_EQ (manager.getRequest (managePreset).program, 9);
    manager.getRequest (managePreset).stop (ZolStateMachine::resultCancelled);

    ASSERT_TRUE (manager.requestManagePreset (200, nullptr, nullptr));
    EXPECT_EQ (steps (managePreset), juce::Array<juce::int32> ({ 0, 35, 119, 34, 1 }));
    EXPECT_EQ (manager.getRequest (managePreset).bank, 1);
    manager.getRequest (managePreset).stop (ZolStateMachine::resultCancelled);
    EXPECT_FALSE (manager.requestManagePreset (-1, nullptr, nullptr));
    EXPECT_FALSE (manager.requestManagePreset (16384, nullptr, nullptr)) << "would wrap to another slot";
    const juce::String masked (juce::CharPointer_UTF8 ("Caf\xc3\xa9"));
    EXPECT_FALSE (manager.requestManagePreset (9, nullptr, &masked)) << "the name field would store \"Cafi\"";
    // A name that begins with a control character is refused by what the
    // dump holds, never taken as the "EMPTY" a list shows for it.
    RecordingNotifier notices;
    const auto control = makePatchDump (8, 127, 127, 0x1B);
    EXPECT_FALSE (manager.requestManagePreset (9, &control, nullptr));
    EXPECT_TRUE (notices.lastMessage().contains ("in a name: \\x1B.")) << notices.lastMessage();
    EXPECT_FALSE (manager.getRequest (managePreset).isRunning());

    ASSERT_TRUE (manager.requestCabNames (true, true, true));
    EXPECT_EQ (steps (refreshCabNames), juce::Array<juce::int32> ({ 0, 8, 1 }));
    manager.getRequest (refreshCabNames).stop (ZolStateMachine::resultCancelled);
    ASSERT_TRUE (manager.requestCabNames (false, true, true));
    EXPECT_EQ (steps (refreshCabNames), juce::Array<juce::int32> ({ 0, 10, 12, 1 }));

    ASSERT_TRUE (manager.requestEffectAllParams (106, true));
    EXPECT_EQ (steps (queryEffectAllParams), juce::Array<juce::int32> ({ 0, 56, 72, 1 }));

    // Block 0 reads the whole library; a shunt is refused.
    EXPECT_FALSE (manager.requestBlockLibraryQuery (301));
    ASSERT_TRUE (manager.requestBlockLibraryQuery (0));
    EXPECT_TRUE (manager.getRequest (blockLibraryQueryAll).isRunning());
    EXPECT_FALSE (manager.getRequest (blockLibraryQuery).isRunning());

    // Starters that start their request say so.
    EXPECT_TRUE (manager.requestXYSwap (106));
    EXPECT_EQ (manager.getRequest (xyClipboard).beginCode, 84);
    EXPECT_EQ (steps (xyClipboard), juce::Array<juce::int32> ({ 0,  92, 25, 72, 61, 89, 93, 25, 72, 91, 92, 25,
                                                                74, 93, 25, 90, 74, 92, 25, 25, 26, 94, 95, 1 }))
        << "the block is on X: it is switched back";
    EXPECT_FALSE (manager.requestXYCopy (106, 0, 1)) << "busy";
    manager.getRequest (xyClipboard).stop (ZolStateMachine::resultCancelled);
    EXPECT_FALSE (manager.requestXYCopy (106, 1, 1));
    EXPECT_TRUE (manager.requestXYCopy (106, 0, 1));
    EXPECT_EQ (steps (xyClipboard), juce::Array<juce::int32> ({ 0, 93, 25, 91, 74, 92, 25, 25, 26, 95, 1 }));
    manager.getRequest (xyClipboard).stop (ZolStateMachine::resultCancelled);

    ASSERT_TRUE (manager.requestXYCopyToClipboard (106, 1));
    EXPECT_EQ (manager.getRequest (xyClipboard).beginCode, 82);
    EXPECT_EQ (manager.getRequest (xyClipboard).endCode, 83);
    EXPECT_EQ (steps (xyClipboard), juce::Array<juce::int32> ({ 0, 93, 25, 72, 61, 89, 92, 25, 1 }));
}

TEST_F (PresetManagerStarterTest, PatchDumpPreparation)
{
    ModelByte model (8);
    auto dump = makePatchDump (8, 3, 17);
    auto prepared = dump;

    ASSERT_TRUE (manager.convertPatchDumpForModel (prepared));
    ASSERT_TRUE (manager.retargetPatchDump (prepared));
    ASSERT_EQ (prepared.getSize(), dump.getSize());

    // Only the location of the first message changed (and its checksum).
    auto* before = static_cast<const juce::uint8*> (dump.getData());
    auto* after = static_cast<const juce::uint8*> (prepared.getData());
    EXPECT_EQ (after[6], 127);
    EXPECT_EQ (after[7], 127);
    EXPECT_EQ (std::memcmp (before + 12, after + 12, dump.getSize() - 12), 0);

    // Data of a model the connected one cannot take.
    currentSysExModel.store (3);
    auto foreign = dump;
    EXPECT_FALSE (manager.convertPatchDumpForModel (foreign));

    juce::MemoryBlock notADump ("abc", 3);
    EXPECT_FALSE (manager.retargetPatchDump (notADump));
    juce::MemoryBlock wrongFirst;
    juce::MidiMessage end;
    buildPatchEnd (end, 0, 8);
    wrongFirst.append (end.getRawData(), (size_t) end.getRawDataSize());
    EXPECT_FALSE (manager.retargetPatchDump (wrongFirst));
    EXPECT_FALSE (manager.retargetEffectDump (106, wrongFirst));
}

TEST_F (PresetManagerStarterTest, LinkMissingEndsRequestsWithoutEndCode)
{
    ASSERT_TRUE (manager.requestBlockStates());
    manager.processRequests (false);
    EXPECT_FALSE (manager.getRequest (queryBlockStates).isRunning());
    EXPECT_EQ (manager.getRequest (queryBlockStates).getResult(), ZolStateMachine::resultLinkClosed);
    EXPECT_EQ (manager.getStatus(), 0);

    ASSERT_TRUE (manager.requestSavePreset (0, 1));
    manager.processRequests (true);
    EXPECT_EQ (manager.getRequest (savePreset).getResult(), ZolStateMachine::resultCancelled);
    EXPECT_EQ (manager.getStatus(), 0);
}

//==============================================================================
TEST (SingletonsTest, CreatedInOrderAndDeletedForGood)
{
    ScratchFolder scratch{ "kestrel-singletons" };
    UserFolders::redirectTo (scratch.folder);
    std::vector<juce::String> order;

    createSingletons ({ [&] { order.push_back ("depot"); }, [&] { order.push_back ("later"); } });
    auto* manager = PresetManager::getInstanceWithoutCreating();
    ASSERT_NE (manager, nullptr);
    EXPECT_EQ (manager->getLink(), ZOLMidiProcessing::getInstanceWithoutCreating());
    EXPECT_EQ (manager->getEffectManager(), KestrelEffectManager::getInstanceWithoutCreating());
    EXPECT_NE (LanguageStore::getInstanceWithoutCreating(), nullptr);
    EXPECT_NE (ZOLInterprocessConnection::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ (order, (std::vector<juce::String>{ "depot", "later" }));

    manager->requestBlockStates(); // something under way at shutdown
    manager->processRequests (false);

    deleteSingletons();
    EXPECT_EQ (PresetManager::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ (ZOLMidiProcessing::getInstance(), nullptr) << "never created a second time";

    forgetSingletons();
    UserFolders::redirectTo ({});
}

TEST (SingletonsTest, PresetManagerLeavesTheManagersAfterItToTheirTurn)
{
    ScratchFolder scratch{ "kestrel-singletons" };
    UserFolders::redirectTo (scratch.folder);

    auto* manager = PresetManager::getInstance();
    ASSERT_NE (manager, nullptr);
    EXPECT_EQ (KestrelEffectManager::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ (KestrelBlockLibraryManager::getInstanceWithoutCreating(), nullptr);

    createSingletons();
    ASSERT_NE (KestrelEffectManager::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ (manager->getEffectManager(), KestrelEffectManager::getInstanceWithoutCreating());

    // A manager deleted at shutdown reads as gone; it is not made anew.
    KestrelEffectManager::deleteInstance();
    EXPECT_EQ (manager->getEffectManager(), nullptr);

    deleteSingletons();
    forgetSingletons();
    UserFolders::redirectTo ({});
}
