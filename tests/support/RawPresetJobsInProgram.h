#pragma once

#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/LibrarianWindows.h"
#include "librarian/RawPresetThreadDlg.h"
#include "librarian/SlotTexts.h"
#include "support/ConnectedProgram.h"
#include "support/LibrarianRoad.h"
#include "support/PumpMessages.h"
#include "support/ScriptedInteraction.h"
#include "support/SkippingClock.h"

#include <gtest/gtest.h>

#include <memory>

// The program as the user has it: the main window with the librarian's
// windows, connected to the simulated unit, whose preset 3 is the showcase.
// The raw preset dialog is reached as the user reaches it: Brak-Manage
// Presets, the preset chosen in the unit's list, "Export...".
class RawPresetJobsInProgram : public ::testing::Test
{
protected:
    static constexpr int ampBlock = 106;
    static constexpr int slot = 3;

    void SetUp() override
    {
        LibrarianWindows::registerPanes();
        showcase = SimulatedPreset::makeShowcase();
        showcase.scene = 2; // where its amp is on X
        program.unit.setPreset (slot, showcase);
        ASSERT_TRUE (program.open());
        windows = std::make_unique<LibrarianWindows> (*program.content);
        offset = program.presets->getDisplayOffset();
    }

    // The user closes the windows, which hand the unit back to the editor.
    void TearDown() override
    {
        if (program.content == nullptr)
            return;
        program.content->closeAllDialogs();
        pumpPostedMessages();
        program.settle();
    }

    RawPresetThreadDlg* openDialog()
    {
        if (! program.window->getCommandManager().invokeDirectly (LibrarianWindows::managePresetsCommand, false))
            return nullptr;

        auto* librarian = program.content->getPaneAs<BankManagerListContent> (ContentPane::librarian);
        auto* dialog = program.content->getPaneAs<RawPresetThreadDlg> (ContentPane::rawPreset);
        if (librarian == nullptr || dialog == nullptr || ! program.settle() ||
            ! pumpMessagesUntil ([&] { return librarian->getNumUnitEntries() > slot; }))
            return nullptr;

        librarian->selectUnitEntry (slot);
        if (librarian->getSelectedUnitSlots() != juce::Array<int> ({ slot }) ||
            ! librarianRoad::click (*librarian, "Export...") ||
            ! pumpMessagesUntil ([&] { return dialog->isVisible(); }))
            return nullptr;

        return dialog;
    }

    bool runToEnd (RawPresetThreadDlg& dialog)
    {
        return pumpMessagesUntil ([&] { return ! dialog.isTransferRunning(); }, 120000);
    }

    // The folder chosen as the user chooses it.
    ::testing::AssertionResult chooseFolder (RawPresetThreadDlg& dialog, const juce::File& folder)
    {
        ScriptedInteraction chooser;
        chooser.answerWithFile (folder);
        auto clicked = librarianRoad::click (dialog, "Folder...");
        if (clicked && dialog.getFolder() != folder)
            return ::testing::AssertionFailure() << "the folder was not taken";
        return clicked;
    }

    // Types the range into the two fields and presses Add.
    ::testing::AssertionResult addRange (RawPresetThreadDlg& dialog, int first, int last)
    {
        auto* from = librarianRoad::findChild<juce::TextEditor> (dialog, 0);
        auto* to = librarianRoad::findChild<juce::TextEditor> (dialog, 1);
        if (from == nullptr || to == nullptr)
            return ::testing::AssertionFailure() << "no range fields";
        from->setText (juce::String (first + offset));
        to->setText (juce::String (last + offset));
        return librarianRoad::click (dialog, "Add");
    }

    juce::String slotName (int preset) { return presetSlotNumber (preset, offset); }

    // The unit's edit buffer holds unsaved changes of preset 0: a new name and
    // an amp value, with EDITED lit.
    void editCurrentPreset()
    {
        edited = SimulatedPreset::makeFactory (0);
        edited.name = "Renamed Unsaved";
        edited.setParam (ampBlock, 1, 4321);
        program.unit.setEditBuffer (edited, true);
        program.unit.sendResync(); // the editor reads the unit again
    }

    ::testing::AssertionResult unitKeepsTheEdits()
    {
        juce::uint16 value = 0;
        const auto buffer = program.unit.getEditBuffer();
        if (buffer.name.trim() != edited.name || ! buffer.getParam (ampBlock, 1, value) || value != 4321 ||
            ! program.unit.isModified())
            return ::testing::AssertionFailure() << "the unit holds \"" << buffer.name << "\", amp " << value;
        return ::testing::AssertionSuccess();
    }

    SkippingClock clock; // the program's clock; it skips nothing until it is handed the unit
    ConnectedProgram program{ "kestrel-raw-preset-jobs" };
    std::unique_ptr<LibrarianWindows> windows;
    SimulatedPreset showcase, edited;
    int offset = 0;
};
