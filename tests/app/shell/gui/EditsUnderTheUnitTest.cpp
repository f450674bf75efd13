// Edits the user pastes from the program's window while the unit refuses
// them, falls silent or changes preset: the run stops, says so once, writes
// nothing to the preset the unit moved to, turns on again the outputs it
// muted, and the window follows the unit. Then the outputs a request left
// muted when the window closes, when the link drops, or when the unit never
// answers their unmute.
//
// Block Paste (grid: Block > Copy on one EQ, Block > Paste on the other):
//   refused         GridInMainWindow.ABlockPasteTheUnitRefusesIsToldOnceAndLeavesTheOutputsOn (the block
//                   data's end); ABlockPasteTheUnitMovesUnder... (the X write after the data; a modifier
//                   read refused after it: no name write, the preset read again)
//   silent          ABlockPasteTheUnitMovesUnder... (a block data message)
//   moved at start  APasteTheUnitMovesUnderAsItStartsWritesNothingAndLeavesTheOutputsOn (the unit's report
//                   waiting untaken as the paste starts; the report before the answer to the mute)
//   moved middle    ABlockPasteTheUnitMovesUnder... (as the block data reaches the unit)
//   moved at end    ABlockPasteTheUnitMovesUnder... (right after the answer to the block data's end)
// Scene Paste (scene menu: Copy Current Scene on scene 1, scene 2 chosen, Paste to Current Scene):
//   refused         AScenePasteTheUnitMovesUnder... (the first X/Y write)
//   silent          AScenePasteTheUnitMovesUnder... (the first X/Y write)
//   moved at start  APasteTheUnitMovesUnderAsItStarts... (as for Block Paste); AScenePaste... (the preset
//                   reloaded as the mute reaches the unit puts it on the scene the preset stores, scene 1:
//                   told as that change of scene, nothing written)
//   moved middle    AScenePasteTheUnitMovesUnder... (right after the first X/Y write's answer; the same
//                   preset reloaded there is told as reloaded)
//   moved at end    AScenePasteTheUnitMovesUnder... (right after the answer to its unmute: all was written,
//                   so the window follows the unit, with no box)
//   scene changed   AScenePasteTheUnitChangesSceneUnder... (right after the mute, right after the first X/Y
//                   write's answer or before it, right after the last write's answer or before it, after
//                   the unmute; a states report of the same scene; a scene chosen in the window as the
//                   paste is given; Paste to All Scenes right after its first scene set or its last
//                   write, Swap, "All Scenes" > "Bypass" and Bypass All Blocks right after their first write)
//   ended early     ASceneRunThatEndsEarly... ("All Scenes" > "Bypass" and Paste to All Scenes refused or
//                   unanswered in the first scene they set: the unit goes back to the scene shown)
// A write answered, then the unit moved (a knob turned, Bypass Block, Block Paste's name write):
//                   AWriteTheUnitMovesAwayFromOnceAnswered... (no box, the request ends as done)
// Bypass Block moved under before its write's answer (the report untaken as it starts, or before the
//                   answer): ABypassTheUnitMovesUnderBeforeItsAnswer... (one box)
// Paste Preset (Preset > Import of a ".syx" preset file); it does not mute:
//   refused         APastedPresetFileTheUnitMovesUnder... (a preset data message)
//   silent          APastedPresetFileTheUnitMovesUnder... (a preset data message)
//   moved at start  APastedPresetFileTheUnitMovesUnder... (as the transfer's start reaches the unit)
//   moved middle    APastedPresetFileTheUnitMovesUnder... (as a preset data message reaches it)
//   moved at end    APastedPresetFileTheUnitMovesUnder... (right after the answer to the transfer's end,
//                   as the paste waits for the unit's report of the preset it took: the window follows, no box)

#include "app/grid/GridUnitContent.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExLayouts.h"
#include "device/wire/SysExParsers.h"
#include "support/FrontPanelRoad.h"
#include "support/PresetDumpFile.h"
#include "support/Screenshot.h"
#include "support/SkippingClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace frontPanelRoad;

namespace
{
constexpr int cabBlock = 108, eq1Block = 104, eq2Block = 105, eq1Cell = 1, eq2Cell = 2;

const char* const movedTo1 = "The Kestrel changed from 1-1 \"Preset 0\" to 1-2 \"Preset 1\" during ";

// The function codes the unit received, in order, a mute with its value.
juce::String receivedFunctions (const SimulatedKestrel& unit)
{
    juce::StringArray codes;
    for (auto& message : unit.getReceived())
    {
        const auto* bytes = message.getRawData();
        codes.add (juce::String (bytes[5]) + (bytes[5] == SYSEX_MUTE ? "(" + juce::String (bytes[6]) + ")" : ""));
    }
    return codes.joinIntoString (" ");
}

// Whether the message asks the unit its scene.
bool asksScene (const juce::MidiMessage& message)
{
    return message.getRawData()[5] == SYSEX_SET_SCENE &&
           readSysExField (message, singleByteLayout, 0) == ZOLMidiProcessing::sceneQuestion;
}

// How many messages of this function the unit received that change
// something (a parameter or X/Y query, or the question of the scene,
// changes nothing).
int writesReceived (const SimulatedKestrel& unit, int function)
{
    int count = 0;
    for (auto& message : unit.getReceived())
        if (message.getRawData()[5] == function &&
            ! (function == SYSEX_PARAM_SET && readSysExField (message, paramSetRequestLayout, 3) == 0) &&
            ! (function == SYSEX_XY && readSysExField (message, xyRequestLayout, 2) == 0) && ! asksScene (message))
            ++count;
    return count;
}

int sceneQuestionsReceived (const SimulatedKestrel& unit)
{
    const auto received = unit.getReceived();
    return (int) std::count_if (received.begin(), received.end(), asksScene);
}

// The amp's and the cab's X/Y and bypass states in one scene of the preset.
juce::String sceneStates (const SimulatedPreset& preset, int scene)
{
    juce::StringArray states;
    for (auto [id, name] : { std::pair (ampBlock, "amp"), std::pair (cabBlock, "cab") })
        if (const auto* block = preset.findBlock (id))
            states.add (juce::String (name) + (block->onX[(size_t) scene] ? " X" : " Y") +
                        (block->engaged[(size_t) scene] ? "" : " bypassed"));
    return states.joinIntoString (", ");
}

void invoke (ConnectedProgram& program, int commandId)
{
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (commandId, false));
}

// Presets 0 and 1 hold both parametric EQs, preset 0's first set apart from
// its second; the program opens on preset 0.
::testing::AssertionResult openWithTwoEqs (ConnectedProgram& program)
{
    for (int number : { 0, 1 })
    {
        auto preset = program.unit.getPreset (number);
        if (! preset.placeBlock (eq1Cell, eq1Block) || ! preset.placeBlock (eq2Cell, eq2Block))
            return ::testing::AssertionFailure() << "the EQs were not placed";
        if (number == 0)
        {
            preset.setParam (eq1Block, 2, 1234);
            program.unit.setEditBuffer (preset);
        }
        program.unit.setPreset (number, preset);
    }
    return program.open();
}

// Block > Copy on the first EQ, then the second selected.
void copyEq1SelectEq2 (ConnectedProgram& program)
{
    program.grid->selectCell (eq1Cell);
    invoke (program, 1201);
    ASSERT_TRUE (program.settle());
    program.grid->selectCell (eq2Cell);
}

// Preset 0, played, with the amp on Y and the cab bypassed in scene 1 only:
// a paste of scene 1 onto scene 2 has something to write.
SimulatedPreset setScene1ApartFromScene2 (SimulatedKestrel& unit)
{
    auto preset0 = unit.getPreset (0);
    preset0.findBlock (ampBlock)->onX[0] = false;
    preset0.findBlock (cabBlock)->engaged[0] = false;
    unit.setPreset (0, preset0);
    unit.setEditBuffer (preset0);
    return preset0;
}

// Copy Current Scene on scene 1, then scene 2 chosen.
void copyScene1ChooseScene2 (ConnectedProgram& program)
{
    invoke (program, 1600);
    invoke (program, 1110);
}

// The program on preset 0 as the unit stores it, read again.
::testing::AssertionResult backToPreset0 (ConnectedProgram& program)
{
    program.unit.clearFaults();
    const auto loads = program.presets->getRequest (loadPreset).getRunCount();
    program.unit.selectPresetOnUnit (0);
    if (! pumpMessagesUntil (
            [&] { return program.presets->getRequest (loadPreset).getRunCount() > loads && showsPreset (program, 0); }))
        return ::testing::AssertionFailure() << "not back on preset 0";
    return ::testing::AssertionSuccess();
}

// One way the unit meets a write, and what the program leaves.
struct Case
{
    const char* when;
    std::function<void()> stage;
    int playing;                 // the preset the unit and the window end on
    juce::Array<int> mutes;      // the value of every SYSEX_MUTE received, in order
    juce::String told;           // what the one box says; empty: no box
    juce::Array<int> notWritten; // functions none of whose writes may reach the unit
    int scene = -1;              // the scene the unit and the window end on; -1: any they agree on
};

// The scene the window shows: the one scene button lit, which is the scene
// the program takes the unit to play; -1 when it is not.
int windowScene (ConnectedProgram& program)
{
    auto* panel = program.content->getFrontPanel();
    int lit = -1;
    for (int scene = 0; scene < SimulatedPreset::sceneCount; ++scene)
        if (auto* button = panel->getSceneButton (scene); button != nullptr && button->getToggleState())
            lit = lit < 0 ? scene : -2;
    juce::uint16 preset = 0, played = 0;
    return program.presets->getCurrentPresetAndScene (preset, played) && lit == played ? lit : -1;
}

// Acts on the unit right after its answer to the n-th next request of this function.
void actAfterAnswerNumber (SimulatedKestrel& unit, int function, int n, std::function<void()> action)
{
    if (n <= 1)
        unit.actAfterNextAnswerTo (function, std::move (action));
    else
        unit.actAfterNextAnswerTo (function, [&unit, function, n, action]
                                   { actAfterAnswerNumber (unit, function, n - 1, action); });
}

// Each case from preset 0: prepared, staged, started as the user starts it;
// then the box, the outputs, what the unit holds and what the window shows.
void runCases (ConnectedProgram& program, const std::vector<Case>& cases, const std::function<void()>& prepare,
               const std::function<void()>& start, NamedRequest request)
{
    auto& unit = program.unit;
    auto& run = program.presets->getRequest (request);
    const auto stored0 = unit.getPreset (0).toWords();
    const auto stored1 = unit.getPreset (1).toWords();

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.when);
        ASSERT_TRUE (backToPreset0 (program));
        prepare();
        ASSERT_TRUE (program.settle());
        unit.clearReceived();
        const int before = program.notices.count(), boxes = c.told.isEmpty() ? 0 : 1;
        const auto runs = run.getRunCount();
        c.stage();
        start();
        EXPECT_TRUE (pumpMessagesUntil (
            [&]
            {
                return run.getRunCount() > runs && ! run.isRunning() && program.notices.count() >= before + boxes &&
                       showsPreset (program, c.playing);
            }))
            << program.notices.lastMessage() << "\n"
            << receivedFunctions (unit);
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (program.notices.count(), before + boxes) << program.notices.messages().joinIntoString ("\n---\n");
        if (boxes > 0)
        {
            EXPECT_TRUE (program.notices.lastMessage().contains (c.told)) << program.notices.lastMessage();
        }
        EXPECT_EQ (mutesReceived (unit), c.mutes) << receivedFunctions (unit);
        EXPECT_FALSE (unit.areOutputsMuted());
        for (auto function : c.notWritten)
            EXPECT_EQ (writesReceived (unit, function), 0) << function << ": " << receivedFunctions (unit);
        EXPECT_EQ (unit.getCurrentPresetNumber(), c.playing);
        if (c.scene >= 0)
        {
            EXPECT_EQ (unit.getCurrentScene(), c.scene) << receivedFunctions (unit);
        }
        EXPECT_TRUE (pumpMessagesUntil ([&] { return windowScene (program) == unit.getCurrentScene(); }))
            << windowScene (program) << " shown, " << unit.getCurrentScene() << " played";
        EXPECT_TRUE (unit.getPreset (0).toWords() == stored0) << "preset 0 stored";
        EXPECT_TRUE (unit.getPreset (1).toWords() == stored1) << "preset 1 stored";
        if (c.playing == 1)
        {
            EXPECT_TRUE (unit.getEditBuffer().toWords() == stored1) << "written to the preset moved to";
            EXPECT_FALSE (unit.isModified());
        }
    }
}
} // namespace

// Block Paste of the first EQ onto the second: refused at its X write or
// left unanswered in its block data, it stops there; turned to preset 1 as
// its block data reaches the unit or right after the data's end, it writes
// nothing more (no rename), preset 1 stays as stored, and the window shows
// it under its name. A modifier read refused after the block was written
// stops it before its name write, and the preset is read again.
TEST (EditsUnderTheUnit, ABlockPasteTheUnitMovesUnderRefusesOrLeavesUnansweredStopsAndSaysSo)
{
    KESTREL_REQUIRE_DISPLAY();
    SkippingClock clock;
    ConnectedProgram program{ "kestrel-block-paste-under" };
    ASSERT_TRUE (openWithTwoEqs (program));
    clock.skipTimeOutsOf (program.unit);
    auto& unit = program.unit;
    const auto moved = juce::String (movedTo1) + "Block Paste: nothing more was sent.";
    const std::vector<Case> cases = {
        { "refused",
          [&] { unit.setErrorStatusFor (SYSEX_XY, SimulatedKestrel::resultBadValue); },
          0,
          { 0, 1 },
          "The Kestrel refused Block Paste at block_paste_set_x (error 1): nothing more was sent.",
          { SYSEX_SET_NAME } },
        { "a modifier read refused", // the block is written: no name write, and the preset is read again
          [&]
          {
              unit.setErrorStatusFor (SYSEX_GET_MODIFIER_INFO, SimulatedKestrel::resultBadValue);
              unit.actAfterNextAnswerTo (SYSEX_GET_MODIFIER_INFO,
                                         [&] { unit.setErrorStatusFor (SYSEX_GET_MODIFIER_INFO, 0); });
          },
          0,
          { 0, 1 },
          "The Kestrel refused Block Paste at modifier_query_all_ids (error 1): nothing more was sent; the preset "
          "is read again.",
          { SYSEX_SET_NAME } },
        { "silent",
          [&] { unit.setSilentFor (SYSEX_EFFECT_DATA); },
          0,
          { 0, 1 },
          "The unit did not answer message 2 of 3.\nNothing was stored.",
          { SYSEX_EFFECT_END, SYSEX_SET_NAME } },
        { "as the block data reaches the unit",
          [&] { unit.selectPresetOnNextRequestOf (SYSEX_EFFECT_DATA, 1); },
          1,
          { 0, 1 },
          moved,
          { SYSEX_EFFECT_END, SYSEX_SET_NAME } },
        { "right after its end",
          [&] { unit.selectPresetAfterNextAnswerTo (SYSEX_EFFECT_END, 1); },
          1,
          { 0, 1 },
          moved,
          { SYSEX_XY, SYSEX_SET_NAME } },
    };
    runCases (
        program, cases, [&] { copyEq1SelectEq2 (program); }, [&] { invoke (program, 1202); }, blockPaste);
}

// Scene 1 pasted onto scene 2 (the amp on Y, the cab bypassed): refused or
// unanswered at its first X/Y write it stops there; turned to preset 1
// after that write it writes nothing to preset 1, and after its unmute (all
// written) the window follows without a box; the same preset reloaded after
// a write is told as such; reloaded as the mute goes out, it is on the scene
// it stores (scene 1), told as a change of scene before any write.
TEST (EditsUnderTheUnit, AScenePasteTheUnitMovesUnderRefusesOrLeavesUnansweredStopsAndSaysSo)
{
    KESTREL_REQUIRE_DISPLAY();
    SkippingClock clock;
    ConnectedProgram program{ "kestrel-scene-paste-under" };
    auto& unit = program.unit;
    setScene1ApartFromScene2 (unit);
    ASSERT_TRUE (program.open());
    clock.skipTimeOutsOf (unit);
    const auto moved = juce::String (movedTo1) + "Scene Paste: nothing more was sent.";
    const std::vector<Case> cases = {
        { "refused",
          [&] { unit.setErrorStatusFor (SYSEX_XY, SimulatedKestrel::resultBadValue); },
          0,
          { 0, 1 },
          "The Kestrel refused Scene Paste at scene_paste_xy (error 1): nothing more was sent.",
          { SYSEX_PARAM_SET } },
        { "silent",
          [&] { unit.setSilentFor (SYSEX_XY); },
          0,
          { 0, 1 },
          "communication request: Scene Paste : scene_paste_xy",
          { SYSEX_PARAM_SET } },
        { "middle",
          [&] { unit.selectPresetAfterNextAnswerTo (SYSEX_XY, 1); },
          1,
          { 0, 1 },
          moved,
          { SYSEX_PARAM_SET } },
        { "after its unmute",
          [&] { unit.actAfterNextAnswerTo (SYSEX_MUTE, [&] { unit.selectPresetAfterNextAnswerTo (SYSEX_MUTE, 1); }); },
          1,
          { 0, 1 },
          {},
          {} },
        { "reloaded in the middle",
          [&] { unit.selectPresetAfterNextAnswerTo (SYSEX_XY, 0); },
          0,
          { 0, 1 },
          "The Kestrel reloaded 1-1 \"Preset 0\" during Scene Paste: nothing more was sent.",
          { SYSEX_PARAM_SET } },
        { "reloaded as it mutes",
          [&] { unit.selectPresetOnNextRequestOf (SYSEX_MUTE, 0); },
          0,
          { 0, 1 },
          "The Kestrel changed from Scene 2 to Scene 1 during Scene Paste: nothing more was sent.",
          { SYSEX_XY, SYSEX_PARAM_SET } },
    };
    runCases (
        program, cases, [&] { copyScene1ChooseScene2 (program); }, [&] { invoke (program, 1601); }, scenePaste);
}

// Scene 1 pasted onto scene 2 while the user picks scene 3 on the unit: right
// after the paste's mute, right after its first X/Y write's answer, or with
// that answer trailing the unit's report. The unit is asked its scene before
// the next write, which does not go out; the box names both scenes, saying
// when the last write may have met scene 3; scene 3 and every other scene
// keep their states, and the outputs are on. Picked once the last write was
// answered (or after the unmute), nothing is told and nothing asked: the
// unmute goes out, Paste to All Scenes still goes back to scene 2, and the
// window shows where the unit ends; picked before that answer, the last
// write may have met scene 3, and the paste's reading of the states tells
// so. A states report of the same scene (a block switched on the unit)
// costs one question, and the paste goes on. Scene 3 chosen in the window
// as the paste is given is the scene pasted to. Paste to All Scenes (the
// unit on scene 3), Swap with scene 4 (the unit on scene 1, whose states
// differ from scene 2's) and "All Scenes" > "Bypass" on the amp stop the
// same way right after their first scene set, and Bypass All Blocks after
// its first bypass: no other scene takes anything, and the window follows
// the unit to the scene picked.
TEST (EditsUnderTheUnit, AScenePasteTheUnitChangesSceneUnderWritesNoOtherSceneAndSaysSo)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-scene-changed-under" };
    auto& unit = program.unit;
    const auto preset0 = setScene1ApartFromScene2 (unit);
    ASSERT_TRUE (program.open());
    const auto toScene3 = [&] { unit.selectSceneOnUnit (2); };
    const auto moved = [] (int from, int to, const char* during)
    {
        return "The Kestrel changed from Scene " + juce::String (from) + " to Scene " + juce::String (to) + " during " +
               during + ": ";
    };
    const juce::Array<int> written = { SYSEX_XY, SYSEX_PARAM_SET };
    // The parameter writes of one scene pasted, counted on the accepted row.
    int pasteWrites = 0;
    const juce::String pasted = "amp Y, cab X bypassed";
    std::map<int, juce::String> everyScene;
    for (int scene = 0; scene < SimulatedPreset::sceneCount; ++scene)
        everyScene[scene] = pasted;
    const struct
    {
        Case c;
        NamedRequest request;
        int command;
        std::map<int, juce::String> scenes; // the scenes that change, and their states on the unit at the end
        int sceneQuestions;                 // how often the unit was asked its scene
        int sceneSets;                      // how many scene sets it received
        int sceneButton = 0;                // a scene button pressed just before the command, in the same turn
        int cell = -1;                      // the grid cell selected for the command
    } rows[] = {
        { { "accepted", [] {}, 0, { 0, 1 }, {}, {} }, scenePaste, 1601, { { 1, pasted } }, 0, 0 },
        { { "right after the mute",
            [&] { unit.actAfterNextAnswerTo (SYSEX_MUTE, toScene3); },
            0,
            { 0, 1 },
            moved (2, 3, "Scene Paste") + "nothing more was sent.",
            written,
            2 },
          scenePaste,
          1601,
          {},
          1,
          0 },
        { { "right after the first X/Y write",
            [&] { unit.actAfterNextAnswerTo (SYSEX_XY, toScene3); },
            0,
            { 0, 1 },
            moved (2, 3, "Scene Paste") + "nothing more was sent.",
            { SYSEX_PARAM_SET },
            2 },
          scenePaste,
          1601,
          { { 1, "amp Y, cab X" } },
          1,
          0 },
        { { "before the first X/Y write's answer",
            [&] { unit.actPartWayThroughNextAnswerTo (SYSEX_XY, 0, toScene3); },
            0,
            { 0, 1 },
            moved (2, 3, "Scene Paste") + "its last write may have reached Scene 3; nothing more was sent.",
            { SYSEX_PARAM_SET },
            2 },
          scenePaste,
          1601,
          { { 1, "amp Y, cab X" } },
          1,
          0 },
        { { "right after its last write",
            [&] { actAfterAnswerNumber (unit, SYSEX_PARAM_SET, pasteWrites, toScene3); },
            0,
            { 0, 1 },
            {},
            {},
            2 },
          scenePaste,
          1601,
          { { 1, pasted } },
          0,
          0 },
        { { "before its last write's answer",
            [&]
            {
                actAfterAnswerNumber (unit, SYSEX_PARAM_SET, pasteWrites - 1,
                                      [&] { unit.actPartWayThroughNextAnswerTo (SYSEX_PARAM_SET, 0, toScene3); });
            },
            0,
            { 0, 1 },
            moved (2, 3, "Scene Paste") + "its last write may have reached Scene 3; nothing more was sent.",
            {},
            2 },
          scenePaste,
          1601,
          { { 1, pasted } },
          0,
          0 },
        { { "after the unmute",
            [&] { unit.actAfterNextAnswerTo (SYSEX_MUTE, [&] { unit.actAfterNextAnswerTo (SYSEX_MUTE, toScene3); }); },
            0,
            { 0, 1 },
            {},
            {},
            2 },
          scenePaste,
          1601,
          { { 1, pasted } },
          0,
          0 },
        { { "a block switched on the unit",
            [&] { unit.actAfterNextAnswerTo (SYSEX_XY, [&] { unit.sendStatesChanged(); }); },
            0,
            { 0, 1 },
            {},
            {} },
          scenePaste,
          1601,
          { { 1, pasted } },
          1,
          0 },
        { { "scene 3 chosen in the window as it is given, a block switched on the unit",
            [&] { unit.actAfterNextAnswerTo (SYSEX_XY, [&] { unit.sendStatesChanged(); }); },
            0,
            { 0, 1 },
            {},
            {},
            2 },
          scenePaste,
          1601,
          { { 2, pasted } },
          1,
          1,
          1111 },
        { { "right after the first scene set",
            [&] { unit.actAfterNextAnswerTo (SYSEX_SET_SCENE, toScene3); },
            0,
            { 0, 1 },
            moved (1, 3, "Scene Paste All") + "nothing more was sent.",
            written,
            2 },
          scenePasteAll,
          1602,
          {},
          1,
          1 },
        { { "right after its last write",
            [&] { actAfterAnswerNumber (unit, SYSEX_PARAM_SET, pasteWrites * SimulatedPreset::sceneCount, toScene3); },
            0,
            { 0, 1 },
            {},
            {},
            1 },
          scenePasteAll,
          1602,
          everyScene,
          0,
          9 },
        { { "scene 3 chosen in the window as it is given", [] {}, 0, { 0, 1 }, {}, {}, 2 },
          scenePasteAll,
          1602,
          everyScene,
          0,
          10,
          1111 },
        { { "right after the first scene set",
            [&] { unit.actAfterNextAnswerTo (SYSEX_SET_SCENE, [&] { unit.selectSceneOnUnit (0); }); },
            0,
            { 0, 1 },
            moved (4, 1, "Scene Swap") + "nothing more was sent.",
            written,
            0 },
          sceneSwap,
          1606,
          {},
          0,
          1 },
        { { "right after the first bypass write",
            [&] { unit.actAfterNextAnswerTo (SYSEX_PARAM_SET, toScene3); },
            0,
            {},
            moved (2, 3, "Bypass All Blocks") + "nothing more was sent.",
            {},
            2 },
          bypassAllBlocks,
          1611,
          { { 1, "amp X bypassed, cab X" } },
          1,
          0 },
        { { "right after the first scene set",
            [&] { unit.actAfterNextAnswerTo (SYSEX_SET_SCENE, toScene3); },
            0,
            {},
            moved (1, 3, "Scene Block Bypass") + "nothing more was sent.",
            { SYSEX_PARAM_SET },
            2 },
          sceneBlockBypass,
          1214,
          {},
          1,
          1,
          0,
          0 },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (std::to_string (row.command) + " " + row.c.when);
        runCases (
            program, { row.c }, [&] { copyScene1ChooseScene2 (program); },
            [&]
            {
                if (row.cell >= 0)
                    program.grid->selectCell (row.cell);
                if (row.sceneButton != 0)
                    invoke (program, row.sceneButton);
                invoke (program, row.command);
            },
            row.request);
        if (pasteWrites == 0)
            pasteWrites = writesReceived (unit, SYSEX_PARAM_SET);
        const auto edited = unit.getEditBuffer();
        for (int scene = 0; scene < SimulatedPreset::sceneCount; ++scene)
        {
            const auto changed = row.scenes.find (scene);
            EXPECT_EQ (sceneStates (edited, scene),
                       changed != row.scenes.end() ? changed->second : sceneStates (preset0, scene))
                << "scene " << scene + 1;
        }
        EXPECT_EQ (sceneQuestionsReceived (unit), row.sceneQuestions) << receivedFunctions (unit);
        EXPECT_EQ (writesReceived (unit, SYSEX_SET_SCENE), row.sceneSets) << receivedFunctions (unit);
    }
}

// A scene run the unit refuses or leaves unanswered at its first write, in
// the first scene it set: "All Scenes" > "Bypass" on the amp and Paste to
// All Scenes, given on scene 2. It stops there and says so once; no scene
// takes anything, and the unit ends on scene 2, which the window shows.
TEST (EditsUnderTheUnit, ASceneRunThatEndsEarlyLeavesTheUnitOnTheSceneTheWindowShows)
{
    KESTREL_REQUIRE_DISPLAY();
    SkippingClock clock;
    ConnectedProgram program{ "kestrel-scene-run-ends-early" };
    auto& unit = program.unit;
    const auto preset0 = setScene1ApartFromScene2 (unit);
    ASSERT_TRUE (program.open());
    clock.skipTimeOutsOf (unit);
    const struct
    {
        Case c;
        NamedRequest request;
        int command;
    } rows[] = {
        { { "refused",
            [&] { unit.setErrorStatusFor (SYSEX_PARAM_SET, SimulatedKestrel::resultBadValue); },
            0,
            {},
            "The Kestrel refused Scene Block Bypass at effect_bypass (error 1): nothing more was sent.",
            {},
            1 },
          sceneBlockBypass,
          1214 },
        { { "unanswered",
            [&] { unit.ignoreNextRequests (SYSEX_PARAM_SET, 3); },
            0,
            {},
            "communication request: Scene Block Bypass : effect_bypass",
            {},
            1 },
          sceneBlockBypass,
          1214 },
        { { "refused",
            [&] { unit.setErrorStatusFor (SYSEX_XY, SimulatedKestrel::resultBadValue); },
            0,
            { 0, 1 },
            "The Kestrel refused Scene Paste All at scene_paste_xy (error 1): nothing more was sent.",
            {},
            1 },
          scenePasteAll,
          1602 },
        { { "unanswered",
            [&] { unit.ignoreNextRequests (SYSEX_XY, 3); },
            0,
            { 0, 1 },
            "communication request: Scene Paste All : scene_paste_xy",
            {},
            1 },
          scenePasteAll,
          1602 },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (std::to_string (row.command) + " " + row.c.when);
        runCases (
            program, { row.c }, [&] { copyScene1ChooseScene2 (program); },
            [&]
            {
                program.grid->selectCell (0);
                invoke (program, row.command);
            },
            row.request);
        const auto edited = unit.getEditBuffer();
        for (int scene = 0; scene < SimulatedPreset::sceneCount; ++scene)
            EXPECT_EQ (sceneStates (edited, scene), sceneStates (preset0, scene)) << "scene " << scene + 1;
    }
}

// The unit turns to preset 1 right after its answer to the last write of a
// knob turned in the effect editor, of Bypass Block or of Block Paste: the
// write went into preset 0's edit buffer, nothing is told, the request ends
// as done, the outputs are on and the window follows the unit to preset 1,
// which holds what it stores.
TEST (EditsUnderTheUnit, AWriteTheUnitMovesAwayFromOnceAnsweredEndsAsDoneWithoutABox)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-moved-after-last-write" };
    ASSERT_TRUE (openWithTwoEqs (program));
    auto& unit = program.unit;
    SimulatedPreset held; // the edit buffer as the unit moved away from it
    int param = 0;
    juce::uint16 before = 0, now = 0;
    const struct
    {
        const char* what;
        NamedRequest request;
        int lastWrite;
        std::function<void()> prepare, start;
        std::function<bool()> written;
        juce::Array<int> mutes;
    } rows[] = {
        { "a knob turned",
          setParam,
          SYSEX_PARAM_SET,
          [&] { program.editor->showBlock (ampBlock); },
          [&] { ASSERT_TRUE (dragAmpKnob (program, param, before)); },
          [&] { return held.getParam (ampBlock, param, now) && now != before; },
          {} },
        { "Bypass Block",
          bypassBlock,
          SYSEX_PARAM_SET,
          [&] { program.grid->selectCell (eq1Cell); },
          [&] { invoke (program, 1206); },
          [&]
          {
              const auto* eq = held.findBlock (eq1Block);
              return eq != nullptr && ! eq->engaged[(size_t) held.scene];
          },
          {} },
        { "Block Paste",
          blockPaste,
          SYSEX_SET_NAME,
          [&] { copyEq1SelectEq2 (program); },
          [&] { invoke (program, 1202); },
          [&] { return held.getParam (eq2Block, 2, now) && now == 1234; },
          { 0, 1 } },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.what);
        held = {};
        const Case c{ row.what,
                      [&]
                      {
                          unit.actAfterNextAnswerTo (row.lastWrite,
                                                     [&]
                                                     {
                                                         held = unit.getEditBuffer();
                                                         unit.selectPresetOnUnit (1);
                                                     });
                      },
                      1,
                      row.mutes,
                      {},
                      {} };
        runCases (program, { c }, row.prepare, row.start, row.request);
        EXPECT_EQ (program.presets->getRequest (row.request).getResult(), ZolStateMachine::resultCompleted);
        EXPECT_EQ (held.name, "Preset 0");
        EXPECT_TRUE (row.written());
    }
}

// Bypass Block on the first EQ while the unit turns to preset 1: its report
// still waits in the link as the user bypasses (nothing goes out), or it
// comes before the answer to the bypass write (the write may have met either
// preset). One box names preset 1, nothing more is sent, and the window
// follows the unit.
TEST (EditsUnderTheUnit, ABypassTheUnitMovesUnderBeforeItsAnswerIsToldAndSendsNothingMore)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-bypass-moved-under" };
    ASSERT_TRUE (openWithTwoEqs (program));
    auto& unit = program.unit;
    const auto told = juce::String (movedTo1) + "Bypass Block: nothing more was sent.";
    const std::vector<Case> cases = {
        { "untaken", [&] { turnUnitUntaken (program, 1); }, 1, {}, told, { SYSEX_PARAM_SET } },
        { "before its answer",
          [&] { unit.actPartWayThroughNextAnswerTo (SYSEX_PARAM_SET, 0, [&] { unit.selectPresetOnUnit (1); }); },
          1,
          {},
          told,
          {} },
    };
    runCases (
        program, cases, [&] { program.grid->selectCell (eq1Cell); }, [&] { invoke (program, 1206); }, bypassBlock);
}

// A preset file imported while the unit refuses or leaves unanswered a data
// message, or turns to preset 1 as the transfer starts or in its middle:
// told once, nothing more sent, preset 1 as stored and shown. Turned right
// after its end (all written), the window follows without a box.
TEST (EditsUnderTheUnit, APastedPresetFileTheUnitMovesUnderRefusesOrLeavesUnansweredStopsAndSaysSo)
{
    KESTREL_REQUIRE_DISPLAY();
    SkippingClock clock;
    ConnectedProgram program{ "kestrel-paste-preset-under" };
    ASSERT_TRUE (program.open());
    clock.skipTimeOutsOf (program.unit);
    auto& unit = program.unit;
    ScriptedInteraction interaction;
    auto imported = SimulatedPreset::makeFactory (4);
    imported.name = "Imported";
    const auto dump = makePresetDumpFile (imported);
    const auto file = program.scratch.folder.getChildFile ("imported.syx");
    ASSERT_TRUE (file.replaceWithData (dump.getData(), dump.getSize()));
    const auto moved = juce::String (movedTo1) + "Paste Preset: nothing more was sent.";
    const std::vector<Case> cases = {
        { "refused",
          [&] { unit.setErrorStatusFor (SYSEX_PATCH_DATA, SimulatedKestrel::resultBadChecksum); },
          0,
          {},
          "Error: The data did not reach the unit. The unit refused message 2 of 66 (error 3).\nNothing was stored.",
          { SYSEX_PATCH_END } },
        { "silent",
          [&] { unit.setSilentFor (SYSEX_PATCH_DATA); },
          0,
          {},
          "The unit did not answer message 2 of 66.\nNothing was stored.",
          { SYSEX_PATCH_END } },
        { "at start",
          [&] { unit.selectPresetOnNextRequestOf (SYSEX_PATCH_START, 1); },
          1,
          {},
          moved,
          { SYSEX_PATCH_DATA } },
        { "middle",
          [&] { unit.selectPresetOnNextRequestOf (SYSEX_PATCH_DATA, 1); },
          1,
          {},
          moved,
          { SYSEX_PATCH_END } },
        { "at end", [&] { unit.selectPresetAfterNextAnswerTo (SYSEX_PATCH_END, 1); }, 1, {}, {}, {} },
    };
    runCases (
        program, cases, [] {},
        [&]
        {
            interaction.answerWithFile (file);
            invoke (program, 1001);
        },
        pastePreset);
}

// The unit turns to preset 1 as a Block Paste or a Scene Paste starts: its
// report still waits in the link as the user pastes (nothing goes out, not
// even the mute), or it comes before the answer to the mute (the unmute
// follows). Nothing is written, the box names preset 1, the outputs are on.
TEST (EditsUnderTheUnit, APasteTheUnitMovesUnderAsItStartsWritesNothingAndLeavesTheOutputsOn)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-paste-moved-at-start" };
    ASSERT_TRUE (openWithTwoEqs (program));
    auto& unit = program.unit;
    const auto moved = juce::String (movedTo1);
    // The staging that lets the mute out comes last: a mute left on would
    // stay on for the cases after it.
    const struct
    {
        const char* when;
        std::function<void()> stage;
        juce::Array<int> mutes;
    } stagings[] = {
        { "untaken", [&] { turnUnitUntaken (program, 1); }, {} },
        { "as it mutes", [&] { unit.selectPresetOnNextRequestOf (SYSEX_MUTE, 1); }, { 0, 1 } },
    };

    for (const auto& s : stagings)
    {
        runCases (
            program, { { s.when, s.stage, 1, s.mutes, moved + "Block Paste", { SYSEX_EFFECT_START } } },
            [&] { copyEq1SelectEq2 (program); }, [&] { invoke (program, 1202); }, blockPaste);
        runCases (
            program, { { s.when, s.stage, 1, s.mutes, moved + "Scene Paste", { SYSEX_XY } } },
            [&] { copyScene1ChooseScene2 (program); }, [&] { invoke (program, 1601); }, scenePaste);
    }
}

namespace
{
// Closes the main window as the user does and waits until it has closed;
// the unit then must have turned its outputs on before the editor's goodbye.
void closeAndCheckTheOutputsGoOnFirst (ConnectedProgram& program, const juce::Array<int>& mutes = { 0, 1 })
{
    auto& unit = program.unit;
    program.window->closeButtonPressed();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! program.window->isClosing(); }));
    EXPECT_EQ (mutesReceived (unit), mutes) << receivedFunctions (unit);
    EXPECT_FALSE (unit.areOutputsMuted());
    EXPECT_EQ (unit.countReceived (SYSEX_EDITOR_DISCONNECT), 1) << receivedFunctions (unit);
    int unmute = -1, goodbye = -1;
    const auto received = unit.getReceived();
    for (int i = 0; i < received.size(); ++i)
    {
        const auto* bytes = received.getReference (i).getRawData();
        if (bytes[5] == SYSEX_MUTE && bytes[6] == 1)
            unmute = i;
        if (bytes[5] == SYSEX_EDITOR_DISCONNECT)
            goodbye = i;
    }
    EXPECT_GE (unmute, 0);
    EXPECT_LT (unmute, goodbye) << receivedFunctions (unit);
}
} // namespace

// The window closes while a Block Paste waits for the answer to its block
// data, the outputs muted, or while Export Preset to CSV waits at its file
// chooser, the outputs on again: they are on before "Editor Disconnect".
TEST (EditsUnderTheUnit, ClosingTheWindowDuringAMutingRequestTurnsTheOutputsOnFirst)
{
    KESTREL_REQUIRE_DISPLAY();
    for (const bool pasting : { true, false })
    {
        SCOPED_TRACE (pasting ? "block data unanswered" : "chooser held");
        ConnectedProgram program{ "kestrel-close-while-muted" };
        ASSERT_TRUE (openWithTwoEqs (program));
        auto& unit = program.unit;
        ScriptedInteraction interaction;
        interaction.holdChoosers = true;
        if (pasting)
        {
            copyEq1SelectEq2 (program);
            unit.setSilentFor (SYSEX_EFFECT_DATA);
        }
        unit.clearReceived();
        invoke (program, pasting ? 1202 : 1007);
        ASSERT_TRUE (pumpMessagesUntil (
            [&] { return pasting ? unit.countReceived (SYSEX_EFFECT_DATA) > 0 : interaction.isChooserHeld(); }))
            << receivedFunctions (unit);
        closeAndCheckTheOutputsGoOnFirst (program);
    }
}

// The window closes while Export Preset to CSV, between its mute and its
// unmute, waits for the answer to one of its readings.
TEST (EditsUnderTheUnit, ClosingTheWindowDuringAReadingOfAMutingRequestTurnsTheOutputsOnFirst)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-close-while-reading" };
    ASSERT_TRUE (program.open());
    auto& unit = program.unit;
    unit.clearReceived();
    unit.setSilentFor (SYSEX_PARAM_DUMP);
    invoke (program, 1007);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return unit.countReceived (SYSEX_PARAM_DUMP) > 0; }))
        << receivedFunctions (unit);
    closeAndCheckTheOutputsGoOnFirst (program);
}

// The link drops while Export Preset to CSV has the outputs muted, waiting
// for the answer to a reading or to the mute itself; once the export has
// given up, the unit comes back: the first thing the program sends it turns
// the outputs on.
TEST (EditsUnderTheUnit, OutputsMutedWhenTheLinkDroppedAreTurnedOnFirstWhenItIsBack)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-drop-while-muted" };
    ASSERT_TRUE (program.open());
    auto& unit = program.unit;
    ScriptedInteraction interaction;

    for (const int unanswered : { SYSEX_PARAM_DUMP, SYSEX_MUTE })
    {
        SCOPED_TRACE (unanswered);
        unit.clearReceived();
        unit.setUnansweredFor (unanswered);
        invoke (program, 1007);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return unit.countReceived (unanswered) > 0; }))
            << receivedFunctions (unit);
        ASSERT_TRUE (unit.areOutputsMuted());
        unit.vanish();
        ASSERT_TRUE (
            pumpMessagesUntil ([&] { return ! program.window->isShowingConnected() && ! program.presets->hasWork(); }));
        unit.clearFaults();
        unit.clearReceived();
        unit.reappear();
        ASSERT_TRUE (
            pumpMessagesUntil ([&] { return program.window->isShowingConnected() && showsPreset (program, 0); }));

        const auto received = unit.getReceived();
        ASSERT_FALSE (received.isEmpty());
        EXPECT_EQ (received.getFirst().getRawData()[5], SYSEX_MUTE) << receivedFunctions (unit);
        EXPECT_EQ (mutesReceived (unit), juce::Array<int> ({ 1 })) << receivedFunctions (unit);
        EXPECT_FALSE (unit.areOutputsMuted());
    }
}

// The unit takes the mute of Export Preset to CSV and then never answers a
// mute again: the unmute goes out three times, the time-out is told once,
// and a request the user starts afterwards runs without its being tried
// again. The unit answering again, closing the window turns the outputs on
// before the editor's goodbye.
TEST (EditsUnderTheUnit, AnUnmuteTheUnitNeverAnswersIsTriedThreeTimesAndToldOnce)
{
    KESTREL_REQUIRE_DISPLAY();
    SkippingClock clock;
    ConnectedProgram program{ "kestrel-unmute-unanswered" };
    ASSERT_TRUE (program.open());
    clock.skipTimeOutsOf (program.unit);
    auto& unit = program.unit;
    ScriptedInteraction interaction;
    unit.clearReceived();
    unit.actAfterNextAnswerTo (SYSEX_MUTE, [&] { unit.setSilentFor (SYSEX_MUTE); });
    invoke (program, 1007);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > 0; })) << receivedFunctions (unit);
    ASSERT_TRUE (program.settle());

    invoke (program, 1110);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return unit.getCurrentScene() == 1; }));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (mutesReceived (unit), juce::Array<int> ({ 0, 1, 1, 1 })) << receivedFunctions (unit);
    EXPECT_EQ (program.notices.count(), 1) << program.notices.messages().joinIntoString ("\n---\n");
    EXPECT_TRUE (program.notices.lastMessage().contains ("File Export CSV : mute_disable"))
        << program.notices.lastMessage();
    ASSERT_TRUE (unit.areOutputsMuted());

    unit.clearFaults();
    unit.clearReceived();
    closeAndCheckTheOutputsGoOnFirst (program, { 1 });
}

// The unit takes the mute of Export Preset to CSV and refuses its unmute:
// told once, not sent again; closing the window tries once more.
TEST (EditsUnderTheUnit, AnUnmuteTheUnitRefusesIsToldOnceAndTriedAgainAtClose)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-unmute-refused" };
    ASSERT_TRUE (program.open());
    auto& unit = program.unit;
    ScriptedInteraction interaction;
    unit.clearReceived();
    unit.actAfterNextAnswerTo (SYSEX_MUTE,
                               [&] { unit.setErrorStatusFor (SYSEX_MUTE, SimulatedKestrel::resultBadValue); });
    invoke (program, 1007);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > 0; })) << receivedFunctions (unit);
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (mutesReceived (unit), juce::Array<int> ({ 0, 1 })) << receivedFunctions (unit);
    EXPECT_EQ (program.notices.count(), 1) << program.notices.messages().joinIntoString ("\n---\n");
    EXPECT_EQ (program.notices.lastMessage(),
               "The Kestrel refused File Export CSV at mute_disable (error 1): nothing more was sent.");
    EXPECT_TRUE (interaction.fileRequests.empty()) << "no file is offered";

    unit.clearFaults();
    unit.clearReceived();
    closeAndCheckTheOutputsGoOnFirst (program, { 1 });
}
