#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "app/shell/PreferencesDialogContent.h"
#include "device/engines/PresetManager.h"
#include "model/BlockLibraryEntry.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/UnitIds.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/lists/DropDownLargeList.h"
#include "support/ConnectedProgram.h"
#include "support/FastTicks.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"
#include "support/SkippingClock.h"

#include <gtest/gtest.h>

// What the window asks of the unit by itself, on the user's road: connecting
// reads the block library for the unit, and Rename Preset (F2) gives the
// unit the name typed on the front panel.
TEST (WindowStartedRequests, ConnectingReadsTheBlockLibraryAndRenamePresetNamesTheUnitsPreset)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-window-started" };
    constexpr int ampBlock = 106;

    // An amp entry waits in the library folder; nothing has read it yet.
    const auto folder = KestrelBlockLibraryManager::getInstance()->getLibraryFolder();
    ASSERT_TRUE (folder.isAChildOf (program.scratch.folder)) << folder.getFullPathName();
    BlockLibraryEntry crunch (effectTypeOfBlock (ampBlock), 8, 6, 0);
    crunch.name = "Crunch";
    crunch.paramData.setSize (64, true);
    ASSERT_TRUE (folder.getChildFile ("Amp").createDirectory());
    ASSERT_TRUE (crunch.writeToFile (folder.getChildFile ("Amp/Crunch.blk")));

    ASSERT_TRUE (program.open());
    ASSERT_TRUE (program.grid->selectBlockById (ampBlock));
    ASSERT_TRUE (program.settle());
    auto* entries = program.editor->getLibraryDropDown();
    ASSERT_NE (entries, nullptr);
    ASSERT_EQ (entries->getNumItems(), 1);
    EXPECT_EQ (entries->getItem (0)->text, "Crunch");

    // Rename Preset opens the name field; the typed name is the unit's and the panel's.
    auto* name = program.content->getFrontPanel()->getPresetName();
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1108, false));
    auto* entry = name->getEditor();
    ASSERT_TRUE (entry != nullptr && name->isEditorVisible());
    entry->setText ({}, false);
    entry->insertTextAtCaret ("Lead Rhythm");
    name->keyPressed (juce::KeyPress (juce::KeyPress::returnKey), entry);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return program.unit.getEditBuffer().name == "Lead Rhythm"; }))
        << program.unit.getEditBuffer().name;
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (name->getText(), "Lead Rhythm");
}

// Preferences > Cache reads the unit's names again: a preset name in a later
// bank and a user cab name changed on the unit reach the program's tables,
// and each reading that ends well says so in a bubble. A click while the
// same reading is already under way is refused and leaves the buttons
// usable.
TEST (WindowStartedRequests, PreferencesRefreshButtonsReadEveryPresetAndCabNameAgain)
{
    KESTREL_REQUIRE_DISPLAY();
    SkippingClock clock;
    ConnectedProgram program{ "kestrel-refresh-names" };
    ASSERT_TRUE (program.open());
    clock.skipTimeOutsOf (program.unit);
    FastTicks ticks{ *program.window };
    ASSERT_TRUE (
        program.window->getCommandManager().invokeDirectly (PreferencesDialogContent::preferencesCommandId, false));
    auto* preferences = program.content->getPaneAs<PreferencesDialogContent> (ContentPane::preferences);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return preferences->isShowing(); }));
    preferences->showPage (PreferencesDialogContent::Page::cache);
    auto& cabNames = preferences->getRefreshButton (0);
    auto& presetNames = preferences->getRefreshButton (1);
    auto& blockDefinitions = preferences->getRefreshButton (2);
    ASSERT_EQ (presetNames.getButtonText(), "Refresh Preset Names");
    ASSERT_EQ (blockDefinitions.getButtonText(), "Refresh Block Definitions");
    auto allEnabled = [&] { return cabNames.isEnabled() && presetNames.isEnabled() && blockDefinitions.isEnabled(); };
    // The bubble that says a reading has ended well.
    auto endsTelling = [&] (const juce::String& told, int boundMs = 30000)
    { return pumpMessagesUntil ([&] { return allEnabled() && program.content->getBubbleText() == told; }, boundMs); };

    // The preset list reads every name (its replies held back a while).
    program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 1000);
    program.unit.startAutoPump();
    ASSERT_TRUE (program.presets->requestPresetNames (0x7F));
    presetNames.triggerClick();
    ASSERT_TRUE (pumpPostedMessages());
    EXPECT_TRUE (allEnabled());
    ASSERT_TRUE (program.settle());
    program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 0);
    EXPECT_EQ (program.content->getBubbleText(), juce::String()) << "a refused click waits for nothing";

    // So is Refresh Block Definitions while the definitions are being read.
    // A reading that fails (the unit answers no query) is told in its own
    // box, and leaves the buttons usable, without a bubble.
    program.unit.setSilentFor (SYSEX_GET_PARAM_INFO);
    ASSERT_TRUE (program.presets->requestParamDefinitions());
    blockDefinitions.triggerClick();
    ASSERT_TRUE (pumpPostedMessages());
    EXPECT_TRUE (allEnabled());
    ASSERT_TRUE (program.settle());
    const int told = program.notices.count();
    blockDefinitions.triggerClick();
    ASSERT_TRUE (pumpPostedMessages());
    EXPECT_FALSE (allEnabled()) << "while the reading runs";
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > told; }));
    EXPECT_TRUE (pumpMessagesUntil (allEnabled)) << "after a failed reading";
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.content->getBubbleText(), juce::String());
    EXPECT_EQ (program.notices.count(), told + 1) << program.notices.lastMessage();
    program.unit.setSilentFor (SYSEX_GET_PARAM_INFO, false);

    auto renamed = program.unit.getPreset (300);
    renamed.name = "Late Bank Lead";
    program.unit.setPreset (300, renamed);
    program.unit.setCabName (program.unit.getNumFactoryCabs() + 2, "Fresh Room");

    juce::String name;
    presetNames.triggerClick();
    EXPECT_TRUE (pumpMessagesUntil ([&] { return program.presets->getPresetName (300, name) && name == renamed.name; }))
        << name;
    ASSERT_TRUE (endsTelling ("Preset names refreshed.")) << program.content->getBubbleText();
    cabNames.triggerClick();
    juce::StringArray userCabs;
    EXPECT_TRUE (pumpMessagesUntil (
        [&]
        {
            juce::Array<juce::uint16> slots;
            userCabs.clear();
            program.presets->getCabNames (true, userCabs, slots);
            return userCabs.contains ("Fresh Room");
        }))
        << userCabs.joinIntoString (", ");
    EXPECT_TRUE (endsTelling ("Cab names refreshed.")) << program.content->getBubbleText();

    // The block definitions are read type by type, each parameter's range
    // and texts: some two thousand queries, one a tick.
    program.unit.clearReceived();
    blockDefinitions.triggerClick();
    EXPECT_TRUE (endsTelling ("Block definitions refreshed.", 600000)) << program.content->getBubbleText();
    EXPECT_GT (program.unit.countReceived (SYSEX_GET_PARAM_INFO), 0);
    EXPECT_GT (program.unit.countReceived (SYSEX_GET_PARAM_STRINGS), 0);
    preferences->closeDialog();
}
