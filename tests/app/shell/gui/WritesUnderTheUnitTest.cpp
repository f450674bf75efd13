// Writes to the unit from the program's window while the unit refuses them,
// falls silent or changes preset: a write is never told as done when it was
// not, nothing is stored on a preset the unit moved to, and the outputs a
// write muted are on again at its end.
//
// SAVE (also Ctrl+S: the same command) and Save to New Number:
//   refused         ASaveTheUnitRefusesOrDoesNotAnswerStoresNothingAndSaysSo
//   silent          ASaveTheUnitRefusesOrDoesNotAnswerStoresNothingAndSaysSo
//   moved at start  FrontPanelEndToEnd.APresetChangeReportedJustAfterTheAnswerStopsTheWrite (the unit
//                   turned after the question before the save, or with its report waiting as it starts)
//   moved middle    FrontPanelEndToEnd.APresetChangeAsTheSaveGoesOutIsToldAndTheListNamesTheLocationAsStored
//                   (turned as the save reaches the unit); ASaveWhoseAnswerWasLostGoesOutAgainOnlyWhileTheUnitStaysPut
//                   (turned between a save whose answer was lost and its second try);
//                   ASaveTheUnitMovesAwayFromBeforeItsAnswer... (turned once the unit stored the save, before
//                   its answer: the location's name is read back)
//   moved at end    FrontPanelEndToEnd.APresetChangeAsTheSaveGoesOut... (turned after the save's answer);
//                   ASaveTheUnitMovesAwayFromOnceAnswered... (renamed, turned after the save's or the flags'
//                   answer: the location keeps the typed name);
//                   ASaveTheUnitAnswersFromTheSlotItStoredIsSavedAndNamedAsTyped (the unit reports the
//                   location it saved into before its answer: no move)
// Save Preset-Cab Bundle (SAVE on a bundle's preset) and Import Preset-Cab Bundle:
//   see ABundle... below.

#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelCommandTarget.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/KestrelGlobalConfiguration.h"
#include "support/FrontPanelRoad.h"
#include "support/Screenshot.h"
#include "support/SkippingClock.h"

#include <gtest/gtest.h>

using namespace frontPanelRoad;

namespace
{
// The program on preset 0 with its amp knob turned: an edit to save. Time-outs
// of answers the unit loses are skipped.
struct EditedRoad
{
    explicit EditedRoad (const char* folder)
        : program (folder)
    {
    }

    ::testing::AssertionResult open()
    {
        if (auto opened = program.open(); ! opened)
            return opened;
        clock.skipTimeOutsOf (program.unit);
        if (! pumpMessagesUntil ([&] { return showsPreset (program, 0); }))
            return ::testing::AssertionFailure() << "not on preset 0";
        if (! turnAmpKnob (program, param, edited))
            return ::testing::AssertionFailure() << "the amp knob did not turn";
        return ::testing::AssertionSuccess();
    }

    // The preset renamed in the window as the user types a name; the unit's
    // edit buffer takes it.
    ::testing::AssertionResult rename (const juce::String& typed)
    {
        auto* name = program.content->getFrontPanel()->getPresetName();
        if (! program.window->getCommandManager().invokeDirectly (1108, false))
            return ::testing::AssertionFailure() << "Rename refused";
        auto* entry = name->getEditor();
        if (entry == nullptr || ! name->isEditorVisible())
            return ::testing::AssertionFailure() << "no name to type";
        entry->setText ({}, false);
        entry->insertTextAtCaret (typed);
        name->keyPressed (juce::KeyPress (juce::KeyPress::returnKey), entry);
        if (! pumpMessagesUntil ([&] { return program.unit.getEditBuffer().name == typed; }))
            return ::testing::AssertionFailure() << "the unit never took the name";
        if (! program.settle())
            return ::testing::AssertionFailure() << "the program never settled";
        return ::testing::AssertionSuccess();
    }

    SkippingClock clock;
    ConnectedProgram program;
    int param = 0;          // the parameter turned
    juce::uint16 edited = 0; // its value in the edit
};
} // namespace

// The unit refuses the save, or never answers it: SAVE and Save to New
// Number each say so once, nothing is stored, no "Preset saved." shows, the
// EDITED lamp stays lit, and Save to New Number stays on the edited preset.
TEST (WritesUnderTheUnit, ASaveTheUnitRefusesOrDoesNotAnswerStoresNothingAndSaysSo)
{
    KESTREL_REQUIRE_DISPLAY();
    EditedRoad road{ "kestrel-save-refused" };
    ASSERT_TRUE (road.open());
    auto& program = road.program;
    auto& unit = program.unit;
    auto* panel = program.content->getFrontPanel();
    const auto param = road.param;
    const auto edited = road.edited;
    const auto stored0 = unit.getPreset (0).toWords();
    const auto stored12 = unit.getPreset (12).toWords();
    const struct
    {
        bool refused;
        int slot; // -1: SAVE
        const char* told;
    } cases[] = {
        { true, -1, "The Kestrel refused to save 1-1 \"Preset 0\" (error 1): nothing was stored." },
        { true, 12, "The Kestrel refused to save 2-5 \"Preset 12\" (error 1): nothing was stored." },
        { false, -1, "Kestrel-Edit was unable to complete the following communication request: Save Preset : preset_save" },
        { false, 12, "Kestrel-Edit was unable to complete the following communication request: Save Preset : preset_save" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.told);
        unit.clearReceived();
        const int before = program.notices.count();

        if (c.refused)
            unit.setErrorStatusFor (SYSEX_SAVE_PATCH, SimulatedKestrel::resultBadValue);
        else
            unit.setSilentFor (SYSEX_SAVE_PATCH);

        if (c.slot < 0)
            panel->getButtonNamed ("saveButton")->triggerClick();
        else
            ASSERT_TRUE (saveToNewNumber (program, c.slot));

        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before && ! program.presets->hasWork(); }))
            << program.notices.lastMessage();
        ASSERT_TRUE (program.settle());
        unit.clearFaults();
        EXPECT_EQ (program.notices.count(), before + (c.slot < 0 ? 1 : 2)) << program.notices.lastMessage();
        EXPECT_TRUE (program.notices.lastMessage().endsWith (c.told)) << program.notices.lastMessage();
        EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), c.refused ? 1 : PresetManager::maxStepAttempts);
        EXPECT_EQ (unit.countReceived (SYSEX_RECALL_PATCH), 0) << "went to the number not saved";
        EXPECT_EQ (panel->getBubbleText(), "");
        EXPECT_TRUE (panel->getEditLed()->isEnabled());
        EXPECT_TRUE (unit.isModified());
        EXPECT_TRUE (showsPreset (program, 0));
        EXPECT_EQ (unit.getCurrentPresetNumber(), 0);
        EXPECT_TRUE (unit.getPreset (0).toWords() == stored0) << "preset 0 written";
        EXPECT_TRUE (unit.getPreset (12).toWords() == stored12) << "preset 12 written";
    }

    // Answered again, the edit is stored.
    panel->getButtonNamed ("saveButton")->triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return storedParam (program, 0, param) == edited && ! program.presets->hasWork(); }));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return panel->getBubbleText() == "Preset saved."; }));
}

// The unit stores the save but its answer is lost; before the save goes out
// again the user turns the unit to another preset. Nothing more is sent: the
// location keeps the edit the first save stored, the user is told what it
// holds, and the window follows the unit.
TEST (WritesUnderTheUnit, ASaveWhoseAnswerWasLostGoesOutAgainOnlyWhileTheUnitStaysPut)
{
    KESTREL_REQUIRE_DISPLAY();
    EditedRoad road{ "kestrel-save-lost-answer" };
    ASSERT_TRUE (road.open());
    auto& program = road.program;
    auto& unit = program.unit;
    auto* panel = program.content->getFrontPanel();
    const auto param = road.param;
    const auto edited = road.edited;
    const auto stored2 = unit.getPreset (2).toWords();
    const int before = program.notices.count();
    unit.clearReceived();

    unit.setUnansweredFor (SYSEX_SAVE_PATCH);
    unit.actAfterNextAnswerTo (SYSEX_SAVE_PATCH,
                               [&]
                               {
                                   unit.setUnansweredFor (SYSEX_SAVE_PATCH, false);
                                   unit.selectPresetOnUnit (2);
                               });
    panel->getButtonNamed ("saveButton")->triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before && showsPreset (program, 2); }))
        << program.notices.lastMessage();
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.notices.count(), before + 1) << program.notices.lastMessage();
    EXPECT_EQ (program.notices.lastMessage(), "The Kestrel did not answer the save and then changed to 1-3 \"Preset 2\": "
                                              "nothing more was sent; 1-1 now holds \"Preset 0\".");
    EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 1);
    EXPECT_EQ (storedParam (program, 0, param), edited) << "the first save stored the edit";
    EXPECT_TRUE (unit.getPreset (2).toWords() == stored2) << "preset 2 written";
    EXPECT_EQ (panel->getBubbleText(), "");
}

// Renamed in the window, the preset is saved to another number; the unit
// reports the slot it saved into, and moved to, before it answers. That is
// no change of preset: the save is told as done, the slot's name is the one
// typed (taken from the unit, not read back), and the window goes there.
TEST (WritesUnderTheUnit, ASaveTheUnitAnswersFromTheSlotItStoredIsSavedAndNamedAsTyped)
{
    KESTREL_REQUIRE_DISPLAY();
    EditedRoad road{ "kestrel-save-reports-slot" };
    ASSERT_TRUE (road.open());
    auto& program = road.program;
    auto& unit = program.unit;
    auto* panel = program.content->getFrontPanel();
    const auto param = road.param;
    const auto edited = road.edited;

    auto* name = panel->getPresetName();
    ASSERT_TRUE (road.rename ("Typed Name"));
    const int before = program.notices.count();
    unit.clearReceived();

    unit.reportPresetBeforeNextAnswerTo (SYSEX_SAVE_PATCH);
    ASSERT_TRUE (saveToNewNumber (program, 12));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.presets->getCurrentPresetNumber() == 12 && ! program.presets->hasWork(); }))
        << program.notices.lastMessage();
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.notices.count(), before + 1) << program.notices.lastMessage(); // the replace question
    // The list read the names before the save; after it, none is read back.
    // (Messages are skipped by index: removing from an array of them leaks in this JUCE.)
    const auto received = unit.getReceived();
    int save = 0;
    while (save < received.size() && received.getReference (save).getRawData()[5] != SYSEX_SAVE_PATCH)
        ++save;
    ASSERT_LT (save, received.size());
    for (int i = save; i < received.size(); ++i)
        EXPECT_NE (received.getReference (i).getRawData()[5], SYSEX_QUERY_NAME_BY_NUM) << "the name was read back";
    EXPECT_EQ (storedParam (program, 12, param), edited);
    EXPECT_EQ (unit.getPreset (12).name.trim(), "Typed Name");
    juce::String listed;
    EXPECT_TRUE (program.presets->getPresetName (12, listed));
    EXPECT_EQ (listed.trim(), "Typed Name");
    EXPECT_EQ (name->getText(), "Typed Name");
    EXPECT_EQ (unit.getCurrentPresetNumber(), 12);
}

// Renamed in the window, the preset is saved; the unit stores the save, and
// the user turns it to preset 2 before its answer goes out. The unit moved as
// the save went out, so what the location holds is read back from it: the box
// names the location with the typed name, as the unit stores it there, and
// the window follows the unit.
TEST (WritesUnderTheUnit, ASaveTheUnitMovesAwayFromBeforeItsAnswerNamesTheLocationAsTheUnitStoresIt)
{
    KESTREL_REQUIRE_DISPLAY();
    EditedRoad road{ "kestrel-save-moved-before-answer" };
    ASSERT_TRUE (road.open());
    auto& program = road.program;
    auto& unit = program.unit;
    auto* panel = program.content->getFrontPanel();
    const auto preset0 = unit.getPreset (0);
    const auto stored2 = unit.getPreset (2).toWords();
    const struct
    {
        int slot; // -1: SAVE
        const char* holds;
    } cases[] = {
        { -1, "1-1 now holds \"Typed Name\"" },
        { 12, "2-5 now holds \"Typed Name\"" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.holds);
        if (c.slot >= 0)
        {
            unit.setPreset (0, preset0);
            unit.selectPresetOnUnit (0);
            ASSERT_TRUE (pumpMessagesUntil ([&] { return showsPreset (program, 0); }));
            ASSERT_TRUE (turnAmpKnob (program, road.param, road.edited));
        }
        ASSERT_TRUE (road.rename ("Typed Name"));
        const int before = program.notices.count() + (c.slot < 0 ? 0 : 1); // the replace question
        unit.clearReceived();

        unit.actPartWayThroughNextAnswerTo (SYSEX_SAVE_PATCH, 0, [&] { unit.selectPresetOnUnit (2); });
        if (c.slot < 0)
            panel->getButtonNamed ("saveButton")->triggerClick();
        else
            ASSERT_TRUE (saveToNewNumber (program, c.slot));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before && showsPreset (program, 2); }))
            << program.notices.lastMessage();
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (program.notices.count(), before + 1) << program.notices.lastMessage();
        const auto told = "The Kestrel changed to 1-3 \"Preset 2\" as the save went out: " + juce::String (c.holds);
        EXPECT_TRUE (program.notices.lastMessage().startsWith (told)) << program.notices.lastMessage();
        const int location = c.slot < 0 ? 0 : c.slot;
        EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 1);
        EXPECT_EQ (unit.getPreset (location).name.trim(), "Typed Name");
        EXPECT_EQ (storedParam (program, location, road.param), road.edited);
        juce::String listed;
        EXPECT_TRUE (program.presets->getPresetName (location, listed));
        EXPECT_EQ (listed.trim(), "Typed Name");
        EXPECT_TRUE (unit.getPreset (2).toWords() == stored2) << "preset 2 written";
        EXPECT_EQ (unit.getCurrentPresetNumber(), 2);
    }
}

// Renamed in the window, the preset is saved; the user turns the unit to
// preset 2 once the save, or the question after it, is answered, before the
// save reads the name it stored. The edit was saved: no box, and the list
// names the location as typed, not by the name of the preset the unit plays
// by then.
TEST (WritesUnderTheUnit, ASaveTheUnitMovesAwayFromOnceAnsweredNamesTheLocationAsTyped)
{
    KESTREL_REQUIRE_DISPLAY();
    EditedRoad road{ "kestrel-save-moved-after-answer" };
    ASSERT_TRUE (road.open());
    auto& program = road.program;
    auto& unit = program.unit;
    auto& run = program.presets->getRequest (savePreset);
    const auto preset0 = unit.getPreset (0);
    const auto stored2 = unit.getPreset (2).toWords();

    for (const int function : { SYSEX_SAVE_PATCH, SYSEX_GET_FLAGS })
    {
        SCOPED_TRACE (function);
        if (function != SYSEX_SAVE_PATCH)
        {
            unit.setPreset (0, preset0);
            unit.selectPresetOnUnit (0);
            ASSERT_TRUE (pumpMessagesUntil ([&] { return showsPreset (program, 0); }));
            ASSERT_TRUE (turnAmpKnob (program, road.param, road.edited));
        }
        ASSERT_TRUE (road.rename ("Typed Name"));
        const int before = program.notices.count();
        const auto runs = run.getRunCount();

        unit.selectPresetAfterNextAnswerTo (function, 2);
        program.content->getFrontPanel()->getButtonNamed ("saveButton")->triggerClick();
        // The name the save gave the location, as it ends.
        juce::String listed;
        ASSERT_TRUE (pumpMessagesUntil (
            [&]
            {
                if (run.getRunCount() == runs || run.isRunning())
                    return false;
                program.presets->getPresetName (0, listed);
                return true;
            }));
        EXPECT_EQ (run.getResult(), ZolStateMachine::resultCompleted);
        EXPECT_EQ (listed.trim(), juce::String ("Typed Name")) << "the location named by another preset's name";
        ASSERT_TRUE (pumpMessagesUntil ([&] { return showsPreset (program, 2); }));
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (program.notices.count(), before) << program.notices.lastMessage();
        EXPECT_EQ (unit.getPreset (0).name.trim(), "Typed Name");
        EXPECT_EQ (storedParam (program, 0, road.param), road.edited);
        EXPECT_TRUE (unit.getPreset (2).toWords() == stored2) << "preset 2 written";
    }
}

// Import Preset-Cab Bundle (Preset > Import of a bundle file):
//   refused         FrontPanelEndToEnd.ABundleCabTheUnitRefusesIsToldOnceAndLeavesTheOutputsOn (a cab)
//   silent          ABundleImportTheUnitMovesUnderOrLeavesUnansweredIsNotToldAsLoaded (a cab)
//   moved at start  ABundleImport... (the unit's report still waiting to be taken as the import starts)
//   moved middle    ABundleImport... (as a cab reaches the unit)
//   moved at end    ABundleImport... (after its last write, as it reads the cab names back)
// Save Preset-Cab Bundle (SAVE on a bundle's preset, through its dialog):
//   refused         ABundleSaveTheUnitRefusesMovesUnderOrLeavesUnansweredIsNotToldAsSaved (the save;
//                   a cab after it: FrontPanelEndToEnd.ABundleCabTheUnitRefuses...);
//                   ARefusedBundleSaveNamesTheSlotByWhatTheUnitHoldsThere (the save, into a slot
//                   holding another preset than the bundle's)
//   silent          ABundleSave... (the save)
//   moved at start  ABundleSave... (as its first write reaches the unit); FrontPanelEndToEnd.
//                   ABundleSavedAfterTheUnitChangedPresetIsNotSavedAndSaysWhatItPlays (before it starts)
//   moved middle    ABundleSave... (as the save reaches the unit)
//   moved at end    ABundleSave... (after the save's answer: its cabs go on, and it is told as saved)

namespace
{
// The program on preset 0, with a bundle of preset 0 exported into a file.
struct BundleRoad
{
    explicit BundleRoad (const char* folder)
        : program (folder)
    {
    }

    ::testing::AssertionResult open()
    {
        if (auto opened = program.open(); ! opened)
            return opened;
        clock.skipTimeOutsOf (program.unit);
        if (! pumpMessagesUntil ([&] { return showsPreset (program, 0); }))
            return ::testing::AssertionFailure() << "not on preset 0";
        return exportBundle (program, interaction, bundle);
    }

    // Back on preset 0, as stored, and read again.
    ::testing::AssertionResult backToPreset0()
    {
        program.unit.clearFaults();
        const auto loads = program.presets->getRequest (loadPreset).getRunCount();
        program.unit.selectPresetOnUnit (0);
        if (! pumpMessagesUntil ([&]
                                 {
                                     return program.presets->getRequest (loadPreset).getRunCount() > loads
                                            && showsPreset (program, 0);
                                 }))
            return ::testing::AssertionFailure() << "not back on preset 0";
        program.unit.clearReceived();
        return ::testing::AssertionSuccess();
    }

    SkippingClock clock;
    ConnectedProgram program;
    ScriptedInteraction interaction;
    const juce::File bundle = program.scratch.folder.getChildFile ("bundle.syx");
};

const char* const movedDuringImport =
    "The Kestrel changed from 1-1 \"Preset 0\" to 1-2 \"Preset 1\" during Import Preset-Cab Bundle: nothing more was sent.";
} // namespace

// The unit changes preset before, during or right after a bundle import, or
// leaves a cab unanswered: the import stops, says so once, and never says the
// bundle is loaded; the outputs it muted are on again, the preset the unit
// went to is as it was, and the window follows the unit.
TEST (WritesUnderTheUnit, ABundleImportTheUnitMovesUnderOrLeavesUnansweredIsNotToldAsLoaded)
{
    KESTREL_REQUIRE_DISPLAY();
    BundleRoad road{ "kestrel-bundle-import-moved" };
    ASSERT_TRUE (road.open());
    auto& unit = road.program.unit;
    auto& notices = road.program.notices;
    const auto stored1 = unit.getPreset (1).toWords();
    const struct
    {
        const char* when;
        std::function<void()> stage;
        int playing;
        juce::Array<int> mutes;
        const char* told;
    } cases[] = {
        { "at start", [&] { turnUnitUntaken (road.program, 1); }, 1, {}, movedDuringImport },
        { "middle", [&] { unit.selectPresetOnNextRequestOf (SYSEX_CABIR_START, 1); }, 1, { 0, 1 }, movedDuringImport },
        { "at end", [&] { unit.selectPresetAfterNextAnswerTo (SYSEX_CABNAME, 1); }, 1, { 0, 1 }, movedDuringImport },
        { "silent", [&] { unit.setSilentFor (SYSEX_CABIR_DATA); }, 0, { 0, 1 }, "The unit did not answer message 2 of 66.\nNothing was stored." },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.when);
        ASSERT_TRUE (road.backToPreset0());
        const int before = notices.count();
        c.stage();
        ASSERT_TRUE (importBundle (road.program, road.interaction, road.bundle));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return showsPreset (road.program, c.playing); }))
            << notices.lastMessage();
        EXPECT_EQ (notices.count(), before + 1) << notices.messages().joinIntoString ("\n---\n");
        EXPECT_TRUE (notices.lastMessage().contains (c.told)) << notices.lastMessage();
        EXPECT_EQ (mutesReceived (unit), c.mutes);
        EXPECT_FALSE (unit.areOutputsMuted());
        EXPECT_EQ (unit.getCurrentPresetNumber(), c.playing);
        EXPECT_TRUE (unit.getPreset (1).toWords() == stored1) << "preset 1 written";
        EXPECT_TRUE (c.playing == 0 || ! unit.isModified()) << "written to the preset moved to";
    }
}

// The unit refuses the save of a bundle's preset, leaves it unanswered, or
// changes preset as the save's first write or the save itself reaches it:
// nothing says the preset was saved, one box says what happened, the
// outputs are on again and the bundle stays to be saved again. Turned after
// the save's answer, the save and its cabs are stored and told as saved.
TEST (WritesUnderTheUnit, ABundleSaveTheUnitRefusesMovesUnderOrLeavesUnansweredIsNotToldAsSaved)
{
    KESTREL_REQUIRE_DISPLAY();
    BundleRoad road{ "kestrel-bundle-save-moved" };
    ASSERT_TRUE (road.open());
    auto& unit = road.program.unit;
    auto& notices = road.program.notices;
    auto* panel = road.program.content->getFrontPanel();
    KestrelGlobalConfiguration::getInstanceWithoutCreating()->PROMPT_PRESET_BUNDLE_IMPORT = false;
    const auto preset0 = unit.getPreset (0);
    const auto stored1 = unit.getPreset (1).toWords();
    const struct
    {
        const char* when;
        std::function<void()> stage;
        bool saved;
        int playing;
        const char* told;
    } cases[] = {
        { "refused", [&] { unit.setErrorStatusFor (SYSEX_SAVE_PATCH, SimulatedKestrel::resultBadValue); }, false, 0,
          "The Kestrel refused to save 1-1 \"Preset 0\" (error 1): nothing was stored." },
        { "silent", [&] { unit.setSilentFor (SYSEX_SAVE_PATCH); }, false, 0, "Save Preset-Cab Bundle : preset_save" },
        { "at start", [&] { unit.selectPresetOnNextRequestOf (SYSEX_PARAM_SET, 1); }, false, 1,
          "The Kestrel changed from 1-1 \"Preset 0\" to 1-2 \"Preset 1\" during Save Preset-Cab Bundle: nothing more "
          "was sent." },
        { "middle", [&] { unit.selectPresetOnNextRequestOf (SYSEX_SAVE_PATCH, 1); }, false, 0,
          "The Kestrel changed to 1-2 \"Preset 1\" as the save went out: 1-1 now holds \"Preset 1\"; the edit was not "
          "saved." },
        { "at end", [&] { unit.selectPresetAfterNextAnswerTo (SYSEX_SAVE_PATCH, 1); }, true, 1, nullptr },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.when);
        unit.setPreset (0, preset0);
        ASSERT_TRUE (road.backToPreset0());
        ASSERT_TRUE (importBundle (road.program, road.interaction, road.bundle));
        auto* dialog = openBundleSave (road.program);
        ASSERT_NE (dialog, nullptr);
        const int before = notices.count();
        unit.clearReceived();
        c.stage();
        dialog->findButton ("btnOK")->click();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return unit.countReceived (SYSEX_MUTE) >= 2; }));
        ASSERT_TRUE (road.program.settle());
        ASSERT_TRUE (pumpMessagesUntil ([&] { return showsPreset (road.program, c.playing) || ! c.saved; }));
        EXPECT_EQ (notices.count(), before + (c.told != nullptr ? 1 : 0)) << notices.messages().joinIntoString ("\n---\n");
        if (c.told != nullptr)
        {
            EXPECT_TRUE (notices.lastMessage().contains (c.told)) << notices.lastMessage();
        }
        EXPECT_EQ (mutesReceived (unit), juce::Array<int> ({ 0, 1 }));
        EXPECT_FALSE (unit.areOutputsMuted());
        EXPECT_EQ (panel->getBubbleText() == "Preset saved.", c.saved);
        EXPECT_EQ (unit.countReceived (SYSEX_CABIR_START) > 0, c.saved) << "a cab stored for a preset not saved";
        EXPECT_TRUE (unit.getPreset (1).toWords() == stored1) << "preset 1 written";
        // Refused or unanswered, the bundle stays to be saved again.
        EXPECT_EQ (road.program.presets->getBundleMask() != 0, juce::String (c.when) == "refused" || juce::String (c.when) == "silent");
    }
}

// On preset 1, the bundle of preset 0 is imported and its save to 1, where
// the unit plays it, refused: the box names 1-2 by the name the unit holds
// there, not by the bundle's preset, which was never stored in it.
TEST (WritesUnderTheUnit, ARefusedBundleSaveNamesTheSlotByWhatTheUnitHoldsThere)
{
    KESTREL_REQUIRE_DISPLAY();
    BundleRoad road{ "kestrel-bundle-save-refused-elsewhere" };
    ASSERT_TRUE (road.open());
    auto& unit = road.program.unit;
    auto& notices = road.program.notices;
    KestrelGlobalConfiguration::getInstanceWithoutCreating()->PROMPT_PRESET_BUNDLE_IMPORT = false;
    const auto stored1 = unit.getPreset (1).toWords();
    unit.selectPresetOnUnit (1);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return showsPreset (road.program, 1); }));
    ASSERT_TRUE (importBundle (road.program, road.interaction, road.bundle));
    auto* dialog = openBundleSave (road.program);
    ASSERT_NE (dialog, nullptr);
    const int before = notices.count();
    unit.clearReceived();
    unit.setErrorStatusFor (SYSEX_SAVE_PATCH, SimulatedKestrel::resultBadValue);
    dialog->findButton ("btnOK")->click();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return unit.countReceived (SYSEX_MUTE) >= 2 && notices.count() > before; }));
    ASSERT_TRUE (road.program.settle());
    EXPECT_EQ (notices.count(), before + 1) << notices.messages().joinIntoString ("\n---\n");
    EXPECT_TRUE (notices.lastMessage().contains ("The Kestrel refused to save 1-2 \"Preset 1\" (error 1): nothing was stored."))
        << notices.lastMessage();
    EXPECT_FALSE (unit.areOutputsMuted());
    EXPECT_TRUE (unit.getPreset (1).toWords() == stored1) << "preset 1 written";
}

// Presets whose names hold an escape and a line break are named in the boxes
// that say what the unit plays, reloaded or changed to as the lists show
// them, escaped.
TEST (WritesUnderTheUnit, TheBoxesNamePresetsWithTheirControlCharactersEscaped)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-odd-names" };
    auto& unit = program.unit;
    for (auto [number, name] : { std::pair (0, "Zero\x1B"), std::pair (1, "One\nTwo") })
    {
        auto preset = unit.getPreset (number);
        preset.name = name;
        unit.setPreset (number, preset);
    }
    ASSERT_TRUE (program.open());
    auto* panel = program.content->getFrontPanel();
    const struct
    {
        std::function<void()> stage;
        const char* told;
    } cases[] = {
        { [&] { unit.selectPresetAfterNextAnswerTo (SYSEX_PATCHNUM, 1); },
          "The Kestrel plays 1-2 \"One\\x0ATwo\", not 1-1 \"Zero\\x1B\"; nothing was saved." },
        { [&] { unit.selectPresetAfterNextAnswerTo (SYSEX_PATCHNUM, 0); },
          "The Kestrel reloaded 1-1 \"Zero\\x1B\"; nothing was saved." },
        { [&] { unit.selectPresetOnNextRequestOf (SYSEX_SAVE_PATCH, 1); },
          "The Kestrel changed to 1-2 \"One\\x0ATwo\" as the save went out: 1-1 now holds \"One\\x0ATwo\"; the edit was "
          "not saved." },
    };
    const auto preset0 = unit.getPreset (0);
    // Preset 0 as stored, loaded again.
    auto backToPreset0 = [&]
    {
        unit.setPreset (0, preset0);
        const auto loads = program.presets->getRequest (loadPreset).getRunCount();
        unit.selectPresetOnUnit (0);
        return pumpMessagesUntil (
            [&]
            {
                return program.presets->getRequest (loadPreset).getRunCount() > loads
                       && program.presets->getCurrentPresetName() == preset0.name && ! program.presets->hasWork();
            });
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.told);
        ASSERT_TRUE (backToPreset0());
        int param = 0;
        juce::uint16 edited = 0;
        ASSERT_TRUE (turnAmpKnob (program, param, edited));
        const int before = program.notices.count();
        c.stage();
        panel->getButtonNamed ("saveButton")->triggerClick();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before; }));
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (program.notices.lastMessage(), c.told);
    }

    // A write the unit moves under: both presets named.
    ASSERT_TRUE (backToPreset0());
    const int before = program.notices.count();
    unit.selectPresetOnNextRequestOf (SYSEX_PARAM_SET, 1);
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1611, false)); // Bypass All Blocks
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before; }));
    EXPECT_EQ (program.notices.lastMessage(),
               "The Kestrel changed from 1-1 \"Zero\\x1B\" to 1-2 \"One\\x0ATwo\" during Bypass All Blocks: nothing more "
               "was sent.");
}
