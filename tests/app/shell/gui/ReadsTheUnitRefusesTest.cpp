// Readings the unit refuses on the roads a user takes in the program's
// window: the refusal is told once, the reading goes out once, and nothing
// acts on what it would have brought (no clipboard, deletion, cache or file
// from it); the outputs are on at the end. A reading refused after a run's
// writes leaves them done, and the preset is read again.
//
// Block > Copy and Cut:   ACopyOrCutWhoseReadingIsRefusedTakesNothingAndDeletesNothing (the block's values
//                         at the start, its modifiers in the middle, Cut's read-back after the delete at
//                         the end)
// Block definitions:      ADefinitionReadingRefusedOnAFirstConnectionIsNeverCached (a first connection,
//                         then a second start)
// Export Preset, Save Snapshot, Export Preset to CSV, Export Preset-Cab Bundle:
//                         AnExportWhoseReadingIsRefusedWritesNoFile (the dump; the CSV export's dump
//                         of Y values, its X/Y states put back)
// Scene Paste's read-back: AScenePasteWhoseReadBackIsRefusedStaysAndIsReadAgain
// A preset loaded:        ALoadWhoseReadingIsRefusedIsToldOnceAndNotAskedAgain

#include "app/grid/GridUnitContent.h"
#include "app/grid/KestrelBlockComponent.h"
#include "model/EffectManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "support/FrontPanelRoad.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

using namespace frontPanelRoad;

namespace
{
constexpr int cabBlock = 108, cutCommand = 1200, copyCommand = 1201;

int cellOf (const SimulatedKestrel& unit, int blockId)
{
    const auto buffer = unit.getEditBuffer();
    for (int cell = 0; cell < (int) buffer.cells.size(); ++cell)
        if (buffer.cells[(size_t) cell].blockId == blockId)
            return cell;
    return -1;
}

// Waits for one more box than before, then for the program to settle.
::testing::AssertionResult toldOnce (ConnectedProgram& program, int before)
{
    if (! pumpMessagesUntil ([&] { return program.notices.count() > before; }) || ! program.settle())
        return ::testing::AssertionFailure() << "no box";
    if (program.notices.count() != before + 1)
        return ::testing::AssertionFailure() << program.notices.messages().joinIntoString ("\n---\n");
    return ::testing::AssertionSuccess();
}

// The unit refuses the next request of the function, then answers again.
void refuseOnce (SimulatedKestrel& unit, int function)
{
    unit.setErrorStatusFor (function, SimulatedKestrel::resultBadValue);
    unit.actAfterNextAnswerTo (function, [&unit, function] { unit.setErrorStatusFor (function, 0); });
}

int countFiles (const juce::File& folder, const juce::String& pattern)
{
    return folder.getNumberOfChildFiles (juce::File::findFiles, pattern) +
           (int) folder.findChildFiles (juce::File::findFiles, true, pattern).size();
}
} // namespace

// Cut and Copy of the amp whose values or modifiers the unit refuses to
// read: the box names the reading, it goes out once, the amp stays on the
// unit, and nothing was copied, so Paste has nothing to write. Cut whose
// delete the unit takes but whose read-back of the grid it refuses: the amp
// is gone and copied, and the grid, read again, shows it gone.
TEST (ReadsTheUnitRefuses, ACopyOrCutWhoseReadingIsRefusedTakesNothingAndDeletesNothing)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-copy-refused" };
    ASSERT_TRUE (program.open());
    auto& unit = program.unit;
    auto& commands = program.window->getCommandManager();
    const int ampCell = cellOf (unit, ampBlock), cabCell = cellOf (unit, cabBlock);
    ASSERT_GE (ampCell, 0);
    ASSERT_GE (cabCell, 0);

    const struct
    {
        int command, function;
        const char* step;
    } rows[] = {
        { cutCommand, SYSEX_GET_ALL_PARAMS, "effect_get_all_params" },
        { copyCommand, SYSEX_GET_ALL_PARAMS, "effect_get_all_params" },
        { cutCommand, SYSEX_MODIFIER_DUMP, "modifier_dump" },
    };

    for (auto& row : rows)
    {
        SCOPED_TRACE (row.command == cutCommand ? "Cut" : "Copy");
        SCOPED_TRACE (row.step);
        program.grid->selectCell (ampCell);
        ASSERT_TRUE (program.settle());
        unit.clearReceived();
        const int before = program.notices.count();
        unit.setErrorStatusForBlock (row.function, ampBlock, SimulatedKestrel::resultBadValue);
        ASSERT_TRUE (commands.invokeDirectly (row.command, false));
        ASSERT_TRUE (toldOnce (program, before));
        unit.clearFaults();

        EXPECT_EQ (program.notices.lastMessage(), "The Kestrel refused Block Copy at " + juce::String (row.step) +
                                                      " (error 1): nothing more was sent.");
        EXPECT_EQ (unit.countReceived (row.function), 1) << "no second try";
        EXPECT_EQ (unit.countReceived (SYSEX_PLACE_EFFECT), 0) << "nothing deleted";
        EXPECT_EQ (cellOf (unit, ampBlock), ampCell);
        EXPECT_EQ (program.grid->getTile (ampCell)->getBlockId(), ampBlock);

        program.grid->selectCell (cabCell);
        ASSERT_TRUE (program.settle());
        commands.invokeDirectly (GridUnitContent::pasteCommand, false);
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (unit.countReceived (SYSEX_EFFECT_START), 0) << "nothing to paste";
        EXPECT_EQ (unit.countReceived (SYSEX_MUTE), 0);
    }

    // The delete taken, its read-back of the grid refused once.
    program.grid->selectCell (ampCell);
    ASSERT_TRUE (program.settle());
    const int before = program.notices.count();
    refuseOnce (unit, SYSEX_GET_GRID);
    ASSERT_TRUE (commands.invokeDirectly (cutCommand, false));
    ASSERT_TRUE (toldOnce (program, before));
    EXPECT_EQ (program.notices.lastMessage(),
               "The Kestrel refused Delete Block at preset_query_grid (error 1): what was written stays; the preset is "
               "read again.");
    EXPECT_EQ (cellOf (unit, ampBlock), -1);
    EXPECT_TRUE (program.presets->hasBlockClipboard());
    EXPECT_EQ (program.grid->getTile (ampCell)->getBlockId(), 0) << "the grid shows the unit's";
}

// A first connection with no definitions cached: the unit refuses to read
// one of the amp's parameters. The reading stops there, once told, and no
// cache is written; the second start reads them all again, and caches them
// as the unit answers them.
TEST (ReadsTheUnitRefuses, ADefinitionReadingRefusedOnAFirstConnectionIsNeverCached)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-definitions-refused" };
    program.cacheDefinitions = false;
    program.tickFast = true;
    auto& unit = program.unit;
    unit.setErrorStatusForBlock (SYSEX_GET_PARAM_INFO, ampBlock, SimulatedKestrel::resultBadValue);
    ASSERT_TRUE (program.open());
    ASSERT_TRUE (toldOnce (program, 0));
    EXPECT_EQ (program.notices.lastMessage(),
               "The Kestrel refused Query Param Definitions at get_param_info (error 1): nothing more was sent.");
    EXPECT_EQ (unit.countReceived (SYSEX_GET_PARAM_STRINGS), 0);

    const juce::File folder (KestrelGlobalConfiguration().EFFECT_DEFS_DIR);
    const auto cache = EffectManager::getDefinitionsCacheFile (folder, SimulatedKestrel::model);
    EXPECT_FALSE (cache.existsAsFile());

    program.close();
    unit.clearFaults();
    ASSERT_TRUE (program.open());
    ASSERT_TRUE (pumpMessagesUntil ([&] { return cache.existsAsFile(); }));
    EXPECT_EQ (program.notices.count(), 1);

    KestrelEffectManager later;
    ASSERT_TRUE (later.loadDefinitionsCache (folder, SimulatedKestrel::model));
    for (int paramId = 0; paramId < getParamCount (ampBlock); ++paramId)
    {
        const auto* definition = later.findParamDefinition (ampBlock, paramId);
        ASSERT_NE (definition, nullptr) << paramId;
        const auto expected = SimulatedPreset::getParamInfo (ampBlock, paramId);
        EXPECT_EQ (definition->info.descriptor, expected.descriptor) << paramId;
        EXPECT_EQ (definition->info.maximum, expected.maximum) << paramId;
    }
}

// Export Preset, Save Snapshot and Export Preset-Cab Bundle whose dump the
// unit refuses, and Export Preset to CSV whose dump of the Y values it
// refuses: told once, the dump goes out once, no file is written, the
// outputs are on, and the blocks the CSV export switched to Y are back on
// the channels they played.
TEST (ReadsTheUnitRefuses, AnExportWhoseReadingIsRefusedWritesNoFile)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-export-refused" };
    ASSERT_TRUE (program.open());
    ScriptedInteraction interaction;
    auto& unit = program.unit;
    const auto folder = program.scratch.folder;
    const auto out = folder.getChildFile ("out");
    ASSERT_TRUE (out.createDirectory());
    const auto ampChannel = unit.getEditBuffer().getChannel (ampBlock);

    const struct
    {
        int command, function;
        const char *name, *step;
        int dumps; // of the function, the one refused included
    } rows[] = {
        { 1002, SYSEX_PATCH_DUMP, "File Export to Sysex", "preset_patch_dump", 1 },
        { 1000, SYSEX_PATCH_DUMP, "File Snapshot", "preset_patch_dump", 1 },
        { 1005, SYSEX_PATCH_PLUS_CAB_DUMP, "Export Preset-Cab Bundle", "preset_patch_plus_cab_dump", 1 },
        { 1007, SYSEX_PARAM_DUMP, "File Export CSV", "preset_param_dump", 0 },
    };

    for (auto& row : rows)
    {
        SCOPED_TRACE (row.name);
        const int files = countFiles (folder, "*.syx") + countFiles (folder, "*.csv");
        interaction.answerWithFile (
            out.getChildFile (juce::String (row.command) + (row.command == 1007 ? ".csv" : ".syx")));
        unit.clearReceived();
        const int before = program.notices.count();

        // The CSV export dumps every block on X, reads the states, switches
        // to Y and reads the states again: its dumps of Y are refused.
        if (row.command == 1007)
            unit.actAfterNextAnswerTo (
                SYSEX_QUERY_STATES,
                [&unit]
                {
                    unit.actAfterNextAnswerTo (
                        SYSEX_QUERY_STATES,
                        [&unit] { unit.setErrorStatusFor (SYSEX_PARAM_DUMP, SimulatedKestrel::resultBadValue); });
                });
        else
            unit.setErrorStatusFor (row.function, SimulatedKestrel::resultBadValue);
        ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (row.command, false));
        ASSERT_TRUE (toldOnce (program, before));
        unit.clearFaults();

        EXPECT_EQ (
            program.notices.lastMessage(),
            "The Kestrel refused " + juce::String (row.name) + " at " + row.step + " (error 1): " +
                (row.command == 1007 ? "nothing more was sent; the preset is read again." : "nothing more was sent."));
        EXPECT_EQ (countFiles (folder, "*.syx") + countFiles (folder, "*.csv"), files);
        EXPECT_EQ (mutesReceived (unit), juce::Array<int> ({ 0, 1 }));
        EXPECT_FALSE (unit.areOutputsMuted());
        if (row.dumps > 0)
        {
            EXPECT_EQ (unit.countReceived (row.function), row.dumps) << "no second try";
        }
        EXPECT_EQ (unit.getEditBuffer().getChannel (ampBlock), ampChannel);
    }
}

// Scene 1 pasted onto scene 2, the read-back of the states after its unmute
// refused once: the paste stays, the box says so, and the window reads the
// preset again and shows the states the unit plays.
TEST (ReadsTheUnitRefuses, AScenePasteWhoseReadBackIsRefusedStaysAndIsReadAgain)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-scene-readback-refused" };
    auto& unit = program.unit;
    auto preset = unit.getPreset (0);
    preset.findBlock (cabBlock)->engaged[0] = false;
    unit.setPreset (0, preset);
    unit.setEditBuffer (preset);
    ASSERT_TRUE (program.open());

    auto& commands = program.window->getCommandManager();
    ASSERT_TRUE (commands.invokeDirectly (1600, false) && program.settle()); // Copy Current Scene, scene 1
    ASSERT_TRUE (commands.invokeDirectly (1110, false) && program.settle()); // scene 2
    juce::uint8 disabled = 0;
    ASSERT_TRUE (program.presets->getBlockEngaged (cabBlock, disabled)) << "engaged in scene 2";

    const int before = program.notices.count();
    unit.actAfterNextAnswerTo (
        SYSEX_MUTE,
        [&unit] { unit.actAfterNextAnswerTo (SYSEX_MUTE, [&unit] { refuseOnce (unit, SYSEX_QUERY_STATES); }); });
    ASSERT_TRUE (commands.invokeDirectly (1601, false)); // Paste to Current Scene
    ASSERT_TRUE (toldOnce (program, before));
    EXPECT_EQ (program.notices.lastMessage(),
               "The Kestrel refused Scene Paste at preset_query_states (error 1): what was written stays; the preset "
               "is read again.");
    EXPECT_FALSE (unit.getEditBuffer().findBlock (cabBlock)->engaged[1]) << "scene 2 took scene 1's";
    EXPECT_FALSE (unit.areOutputsMuted());
    EXPECT_FALSE (program.presets->getBlockEngaged (cabBlock, disabled)) << "the window shows what the unit plays";
}

// A preset chosen on the unit whose grid the unit refuses to read as the
// window loads it: told once, the grid asked once, and nothing read after it.
TEST (ReadsTheUnitRefuses, ALoadWhoseReadingIsRefusedIsToldOnceAndNotAskedAgain)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-load-refused" };
    ASSERT_TRUE (program.open());
    auto& unit = program.unit;
    unit.clearReceived();
    unit.setErrorStatusFor (SYSEX_GET_GRID, SimulatedKestrel::resultBadValue);
    unit.selectPresetOnUnit (1);
    ASSERT_TRUE (toldOnce (program, 0));
    EXPECT_EQ (program.notices.lastMessage(),
               "The Kestrel refused Load Preset at preset_query_grid (error 1): nothing more was sent.");
    EXPECT_EQ (unit.countReceived (SYSEX_GET_GRID), 1);
    EXPECT_EQ (unit.countReceived (SYSEX_QUERY_NAME), 0);
}
