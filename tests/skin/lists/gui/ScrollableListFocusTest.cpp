#include "skin/lists/ZolScrollableListCtrl.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <deque>

namespace
{
// A window that counts the searches for a component to give the keyboard to.
struct CountingWindow : juce::Component
{
    std::unique_ptr<juce::ComponentTraverser> createKeyboardFocusTraverser() override
    {
        ++searches;
        return std::make_unique<juce::KeyboardFocusTraverser>();
    }
    int searches = 0;
};
} // namespace

// A rebuild while one of its cells has the keyboard gives it to the list
// before the cells go. Otherwise each focused cell, as it is removed, hands
// the keyboard to the first cell still there, found by a search of them all:
// in the librarian's one column of 512 presets, through every dying cell.
TEST (ScrollableListFocus, ARebuildGivesTheKeyboardToTheListAtOnce)
{
    KESTREL_REQUIRE_DISPLAY();
    std::deque<ScrollableListItem> records (100);
    juce::Array<ScrollableListItem*> items;
    for (auto& record : records)
    {
        record.number = juce::String (items.size());
        record.name = "Preset";
        record.itemId = items.size() + 1;
        items.add (&record);
    }

    ZolScrollableListCtrl list (0, 0, 300, 200);
    list.layoutMode = 1; // one column, as the librarian's
    list.fixedCount = 1;
    list.setItems (items);
    CountingWindow window;
    window.setSize (300, 200);
    window.addAndMakeVisible (list);
    window.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    window.setVisible (true);
    window.toFront (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return window.getPeer() != nullptr && window.getPeer()->isFocused(); }));
    list.getCell (0)->grabKeyboardFocus();
    ASSERT_TRUE (list.getCell (0)->hasKeyboardFocus (false));

    window.searches = 0;
    list.setItems (items);
    EXPECT_EQ (window.searches, 0) << "the keyboard was handed from cell to cell as they went";
    EXPECT_TRUE (list.hasKeyboardFocus (false));
}
