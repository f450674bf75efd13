#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "model/BlockLibraryEntry.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/UnitIds.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/lists/DropDownLargeList.h"
#include "support/ConnectedProgram.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"

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
