#pragma once

#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/LibrarianWindows.h"
#include "skin/lists/ScrollableListCell.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "support/ConnectedProgram.h"
#include "support/PumpMessages.h"
#include "support/QuickClick.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <functional>

// What a person does in the librarian's windows (Brak-Manage and the raw
// preset dialog) of the program's window against the simulated unit.
namespace librarianRoad
{
inline juce::Button* findButton (juce::Component& parent, const juce::String& text)
{
    for (auto* child : parent.getChildren())
        if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getButtonText() == text)
            return button;

    return nullptr;
}

template <typename Child>
Child* findChild (juce::Component& parent, int nth = 0)
{
    for (auto* child : parent.getChildren())
        if (auto* found = dynamic_cast<Child*> (child); found != nullptr && nth-- == 0)
            return found;

    return nullptr;
}

// Clicks as the user does: the click arrives through the message loop.
inline ::testing::AssertionResult click (juce::Component& parent, const juce::String& text)
{
    auto* button = findButton (parent, text);
    if (button == nullptr || ! button->isShowing() || ! button->isEnabled())
        return ::testing::AssertionFailure() << "no button \"" << text << "\" to click";
    button->triggerClick();
    pumpPostedMessages();
    return ::testing::AssertionSuccess();
}

// The cell of the librarian's unit list (0) or disk list (1) with the item id, scrolled into view.
inline ScrollableListCell* findLibrarianCell (BankManagerListContent& librarian, int list, int itemId)
{
    int index = 0;
    for (auto* child : librarian.getChildren())
        if (auto* cells = dynamic_cast<ZolScrollableListCtrl*> (child); cells != nullptr && index++ == list)
            if (auto* cell = cells->findCellByItemId (itemId))
            {
                cells->scrollCellIntoView (cell);
                return cell;
            }
    return nullptr;
}

// A key as the window's peer gets it from the keyboard.
inline bool pressKey (MainAppWindow& window, int keyCode, juce::juce_wchar character = 0)
{
    auto* peer = window.getPeer();
    return peer != nullptr && peer->handleKeyPress (juce::KeyPress (keyCode, 0, character));
}

inline void typeText (MainAppWindow& window, const juce::String& text)
{
    for (auto c : text)
        pressKey (window, (int) juce::CharacterFunctions::toUpperCase (c), c);
}

// Brak-Manage Presets, opened from the main window's command, once it lists the unit's names.
inline BankManagerListContent* openPresetLibrarian (ConnectedProgram& program)
{
    if (! program.window->getCommandManager().invokeDirectly (LibrarianWindows::managePresetsCommand, false))
        return nullptr;
    auto* librarian = program.content->getPaneAs<BankManagerListContent> (ContentPane::librarian);
    return librarian != nullptr &&
                   pumpMessagesUntil ([&] { return librarian->getUnitEntryText (5).contains ("Preset"); })
               ? librarian
               : nullptr;
}

// Right-click > Rename on the slot's cell, as the user chooses it: a click on
// the menu takes the keyboard to the menu's window (as the window system
// does), and the main window gets it back only after the command has run.
// What is given runs while the menu shows, before its item is clicked. The
// slot's cell, once its name is open for typing.
inline ScrollableListCell* openRenameField (ConnectedProgram& program, BankManagerListContent& librarian, int slot,
                                            const std::function<void()>& whileTheMenuShows = {})
{
    ScrollableListCell* cell = nullptr;
    pumpMessagesUntil ([&] { return (cell = findLibrarianCell (librarian, 0, slot + 1)) != nullptr; });
    auto* peer = program.window->getPeer();
    if (cell == nullptr || peer == nullptr || ! clickBackToBack (*cell, true))
        return nullptr;
    ScriptedInteraction interaction;
    interaction.holdMenus = whileTheMenuShows != nullptr;
    interaction.answerMenuWithItem ("Rename");
    if (! interaction.holdMenus)
        peer->handleFocusLoss();
    if (! pumpMessagesUntil ([&] { return ! interaction.menus.empty(); }))
        return nullptr;
    if (whileTheMenuShows)
    {
        whileTheMenuShows();
        peer->handleFocusLoss();
        interaction.answerHeldMenu();
    }

    // The field opens once the menu's command has run, and the rows may be
    // built anew meanwhile: the cell is looked for until its field is open.
    peer->handleFocusGain();
    const auto editing = [&]
    {
        cell = findLibrarianCell (librarian, 0, slot + 1);
        return cell != nullptr && cell->isEditingName();
    };
    return pumpMessagesUntil (editing) ? cell : nullptr;
}
} // namespace librarianRoad
