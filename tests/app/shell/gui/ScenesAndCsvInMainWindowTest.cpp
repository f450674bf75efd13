#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExLayouts.h"
#include "device/wire/SysExParsers.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "support/ConnectedProgram.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace
{
constexpr int unitModel = SimulatedKestrel::model;

// The unit plays "Rich Tone" (blocks whose X and Y values differ) in preset 0.
::testing::AssertionResult openOnTheShowcase (ConnectedProgram& program, const SimulatedPreset& preset)
{
    program.unit.setPreset (0, preset);
    program.unit.setEditBuffer (preset);
    return program.open();
}

bool invoke (ConnectedProgram& program, int commandId)
{
    return program.window->getCommandManager().invokeDirectly (commandId, false) && program.settle();
}

int functionOf (const juce::MidiMessage& message)
{
    return message.getRawDataSize() > sysExFunctionOffset ? message.getRawData()[sysExFunctionOffset] : -1;
}
} // namespace

// Export Preset to CSV dumps each block with X and Y states while it is on X
// and again while it is on Y, and the file carries both channels' texts as
// the unit reports them. The unit turned to another preset while the chooser
// stands open, the file named after the preset read holds all that was read.
TEST (ScenesAndCsvInMainWindow, ExportPresetToCsvReadsAndWritesBothChannels)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-csv-xy" };
    const auto preset = SimulatedPreset::makeShowcase();
    ASSERT_TRUE (openOnTheShowcase (program, preset));
    ScriptedInteraction interaction;
    auto& unit = program.unit;

    // Replaying the log's X/Y switches gives the channel of each dump.
    std::map<int, int> channelOf;
    for (auto& entry : preset.blocks)
        channelOf[entry.first] = unit.getEditBuffer().getChannel (entry.first);

    const auto csv = program.scratch.folder.getChildFile ("rich.csv");
    interaction.answerWithFile (csv);
    unit.clearReceived();
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1007, false));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return csv.existsAsFile(); })) << program.notices.lastMessage();
    ASSERT_TRUE (program.settle());

    std::map<int, std::set<int>> dumpedOn;
    for (auto& message : unit.getReceived())
    {
        if (functionOf (message) == SYSEX_XY && readSysExField (message, xyRequestLayout, 2) != 0)
            channelOf[(int) readSysExField (message, xyRequestLayout, 0)] =
                (int) readSysExField (message, xyRequestLayout, 1);

        if (functionOf (message) == SYSEX_PARAM_DUMP)
        {
            const auto blockId = (int) readSysExField (message, paramDumpRequestLayout, 0);
            dumpedOn[blockId].insert (channelOf[blockId]);
        }
    }

    std::set<juce::String> rolesChecked;
    const auto lines = juce::StringArray::fromLines (csv.loadFileAsString());

    for (auto& [id, block] : preset.blocks)
    {
        if (! preset.isInGrid (id) || ! hasXYChannels (id, unitModel))
            continue;

        SCOPED_TRACE (id);
        EXPECT_EQ (dumpedOn[id], (std::set<int>{ SimulatedPreset::channelX, SimulatedPreset::channelY }));

        juce::String name;
        ASSERT_TRUE (getBlockName (id, name));
        const std::pair<int, const char*> roles[] = { { getTypeParamId (id), "Effect Type" },
                                                      { getBypassParamId (id), "Bypassed" },
                                                      { getGlobalMixParamId (id), "Global Mix" } };

        for (auto [paramId, label] : roles)
        {
            if (paramId < 0)
                continue;

            SCOPED_TRACE (label);
            juce::StringArray expected{ name, label };
            for (int channel : { SimulatedPreset::channelX, SimulatedPreset::channelY })
                expected.add (
                    SimulatedPreset::describeValue (id, paramId, block.values[channel][(size_t) paramId]).text);

            const auto found =
                std::find_if (lines.begin(), lines.end(),
                              [&] (const juce::String& line) { return line.startsWith (name + "," + label + ","); });
            ASSERT_NE (found, lines.end());
            juce::StringArray fields;
            fields.addTokens (*found, ",", {});
            fields.removeRange (4, fields.size());
            EXPECT_EQ (fields.joinIntoString ("|"), expected.joinIntoString ("|"));
            rolesChecked.insert (label);
        }
    }

    EXPECT_EQ (rolesChecked.size(), 3u);

    const auto written = csv.loadFileAsString();
    const auto whileMoved = program.scratch.folder.getChildFile ("moved.csv");
    interaction.answerWithFile (whileMoved);
    interaction.holdChoosers = true;
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1007, false));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return interaction.isChooserHeld(); })) << program.notices.lastMessage();
    EXPECT_EQ (interaction.fileRequests.back().initial.getFileName(), preset.name);
    unit.selectPresetOnUnit (1);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.presets->getCurrentPresetName() == unit.getPreset (1).name; }));
    ASSERT_TRUE (program.settle());
    interaction.answerHeldChooser();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return whileMoved.existsAsFile(); })) << program.notices.lastMessage();
    EXPECT_EQ (whileMoved.loadFileAsString(), written);
    EXPECT_EQ (program.notices.count(), 0) << program.notices.lastMessage();
}

// Copy Current Scene on scene 3, scene 0 chosen, Paste to Current Scene: the
// unit's scene 0 takes scene 3's X/Y and bypass states and its scene
// parameters' values; scene 3 keeps them. Nothing copied, nothing is pasted.
TEST (ScenesAndCsvInMainWindow, PasteToCurrentSceneWritesTheCopiedScene)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-scene-paste" };
    auto preset = SimulatedPreset::makeShowcase();
    preset.scene = 0;

    for (auto& [id, block] : preset.blocks)
        if (preset.isInGrid (id))
        {
            block.engaged[3] = ! block.engaged[0];
            block.onX[3] = ! block.onX[0];
        }

    ASSERT_TRUE (openOnTheShowcase (program, preset));
    auto& unit = program.unit;

    unit.clearReceived();
    EXPECT_FALSE (program.window->getCommandManager().invokeDirectly (1601, false));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (unit.getReceived().size(), 0);

    ASSERT_TRUE (invoke (program, 1112));
    ASSERT_EQ (unit.getCurrentScene(), 3);
    ASSERT_TRUE (invoke (program, 1600));
    ASSERT_TRUE (invoke (program, 1109));
    ASSERT_EQ (unit.getCurrentScene(), 0);
    ASSERT_TRUE (invoke (program, 1601));

    const auto pasted = unit.getEditBuffer();
    int differed = 0;

    for (auto& [id, block] : preset.blocks)
    {
        if (! preset.isInGrid (id))
            continue;

        SCOPED_TRACE (id);
        auto* now = pasted.findBlock (id);
        ASSERT_NE (now, nullptr);

        if (hasBypass (id, unitModel))
        {
            EXPECT_EQ (now->engaged[0], block.engaged[3]) << "bypass";
            EXPECT_EQ (now->engaged[3], block.engaged[3]) << "bypass";
            ++differed;
        }

        if (hasXYChannels (id, unitModel))
        {
            EXPECT_EQ (now->onX[0], block.onX[3]) << "X/Y";
            EXPECT_EQ (now->onX[3], block.onX[3]) << "X/Y";
            ++differed;
        }
    }

    EXPECT_GE (differed, 4);

    // Each scene has its own parameter of the output and the controllers:
    // scene 0's take the values of scene 3's.
    auto onScene3 = preset;
    onScene3.scene = 3;
    const std::pair<int, int> sceneParams[] = { { blockIdGridOutput, 8 },
                                                { blockIdControllers, 74 },
                                                { blockIdControllers, 82 },
                                                { blockIdControllers, 92 },
                                                { blockIdControllers, 100 } };

    for (auto [blockId, first] : sceneParams)
    {
        juce::uint16 copied = 0, now = 0;
        ASSERT_TRUE (onScene3.getParam (blockId, first + 3, copied) && pasted.getParam (blockId, first, now));
        EXPECT_EQ (now, copied) << blockId << " " << first;
    }
}

// The user changes scene on the unit right behind its answer to a states
// query, or between the answer's states and scene messages, be the query the
// window's answer to a report of the unit's or part of a scene change chosen
// here: the unit's report is heard, the states are read again once the query
// has ended, and the window shows the unit's scene, on the front panel and in
// the effect editor.
TEST (ScenesAndCsvInMainWindow, ASceneChangedOnTheUnitInsideOrRightBehindAStatesAnswerIsShown)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-scene-behind-answer" };
    ASSERT_TRUE (openOnTheShowcase (program, SimulatedPreset::makeShowcase()));
    auto& unit = program.unit;
    auto* panel = program.content->getFrontPanel();
    ASSERT_NE (panel, nullptr);
    auto* editor = program.editor;
    program.grid->selectPage (GridUnitContent::controllersSelected);
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (editor->showPageByIndex (editor->findPageTabByName ("Scene")));

    auto shownScenes = [panel]
    {
        juce::StringArray lit;
        for (int i = 0; i < SimulatedPreset::sceneCount; ++i)
            if (panel->getSceneButton (i)->getToggleState())
                lit.add (juce::String (i));
        return lit.joinIntoString (" ");
    };

    // The Controllers' "Scene" page marks the two controls of the current
    // scene s, parameters 74 + s and 82 + s.
    auto editorMarks = [editor]
    {
        const juce::Colour mark (EffectEditorContent::sceneHighlightColour);
        juce::StringArray marked;
        for (int c = 0; c < editor->getNumPageControls(); ++c)
        {
            auto* control = editor->getPageControl (c);
            auto* knob = dynamic_cast<ZOLRotaryKnob*> (control);
            auto* dropDown = dynamic_cast<ZOLDropDownEx*> (control);
            if ((knob != nullptr && knob->getLabelColour() == mark) ||
                (dropDown != nullptr && dropDown->getLabelColour() == mark))
                marked.add (juce::String (control->paramId));
        }
        return marked.joinIntoString (" ");
    };
    auto marksOf = [] (int scene) { return juce::String (74 + scene) + " " + juce::String (82 + scene); };
    ASSERT_EQ (editorMarks(), marksOf (unit.getCurrentScene()));

    const std::pair<const char*, std::function<void (int)>> queries[] = {
        { "the unit's report", [&unit] (int) { unit.sendStatesChanged(); } },
        { "a scene chosen here", [panel] (int scene) { panel->getSceneButton (scene)->triggerClick(); } },
    };

    for (const bool inside : { false, true })
        for (const auto& [name, query] : queries)
        {
            SCOPED_TRACE (name);
            SCOPED_TRACE (inside ? "inside the answer" : "behind the answer");
            const int before = unit.getCurrentScene();
            const int chosen = (before + 1) % SimulatedPreset::sceneCount;
            const int onUnit = (before + 4) % SimulatedPreset::sceneCount;
            auto selectOnUnit = [&unit, onUnit] { unit.selectSceneOnUnit (onUnit); };

            if (inside)
                unit.actPartWayThroughNextAnswerTo (SYSEX_QUERY_STATES, 1, selectOnUnit);
            else
                unit.actAfterNextAnswerTo (SYSEX_QUERY_STATES, selectOnUnit);

            query (chosen);
            EXPECT_TRUE (pumpMessagesUntil (
                [&] { return shownScenes() == juce::String (onUnit) && editorMarks() == marksOf (onUnit); }))
                << shownScenes() << " | " << editorMarks();
            ASSERT_TRUE (program.settle());
            EXPECT_EQ (unit.getCurrentScene(), onUnit);
            EXPECT_EQ (shownScenes(), juce::String (onUnit));
            EXPECT_EQ (editorMarks(), marksOf (onUnit));
            juce::uint16 preset = 0, scene = 0;
            EXPECT_TRUE (program.presets->getCurrentPresetAndScene (preset, scene));
            EXPECT_EQ (scene, onUnit);
        }
}
