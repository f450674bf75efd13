#include "support/WidgetTestKit.h"

#include "skin/lists/DropDownLargeList.h"
#include "support/ScriptedInteraction.h"

using namespace WidgetTestKit;

namespace
{
// The large list as the drop-down sees it: records what it was given and
// answers as the user would.
struct FakePanel : juce::Component, juce::ChangeBroadcaster, PickListPanel
{
    juce::Component& getPanelComponent() override { return *this; }
    juce::ChangeBroadcaster& getPickBroadcaster() override { return *this; }
    void setTitleText (const juce::String& text) override { title = text; }
    void setTabEntry (int index, int, const juce::String& label) override { tabs.set (index, label); }
    juce::String getDefaultTabLabel (int index) const override { return index == 0 ? "All" : "?"; }
    void setListLayout (int, int) override {}
    void openWithItems (juce::ChangeListener* newListener, const juce::OwnedArray<ScrollableListItem>& given,
                        int current, int, int kind, bool, const juce::Array<juce::uint16>& sizes) override
    {
        removeAllChangeListeners();
        addChangeListener (newListener);
        listener = newListener;
        items.clear();
        for (auto* item : given)
            items.add (new ScrollableListItem (*item));
        currentValue = current;
        listKind = kind;
        bankSizes = sizes;
        open = true;
        ++opened;
    }
    void setColorFilter (bool on, int key) override { filterOn = on, filterKey = key; }
    int getPickResult (juce::uint16& value) const override { return value = resultValue, resultCode; }
    bool isPinned() const override { return pinned; }
    bool isOpenFor (const juce::ChangeListener* l) const override { return open && l == listener; }
    void close() override
    {
        open = false;
        removeAllChangeListeners();
    }

    void answer (int code, int value)
    {
        resultCode = code;
        resultValue = (juce::uint16) value;
        sendSynchronousChangeMessage();
    }

    juce::String title;
    juce::StringArray tabs;
    juce::OwnedArray<ScrollableListItem> items;
    juce::ChangeListener* listener = nullptr;
    int currentValue = -1, listKind = -1, opened = 0, resultCode = 0, filterKey = 0;
    juce::uint16 resultValue = 0;
    juce::Array<juce::uint16> bankSizes;
    bool open = false, pinned = false, filterOn = false;
};

DropDownStyle largeListStyle()
{
    DropDownStyle s;
    s.fieldNormal = field (60, 18);
    s.upNormal = s.downNormal = solid (12, 9, rim);
    return s;
}

struct LargeList : DropDownLargeList
{
    explicit LargeList (int count)
        : DropDownLargeList (largeListStyle(), nullptr, nullptr, nullptr)
    {
        juce::StringArray shortTexts, texts;
        juce::Array<juce::uint16> values;
        for (int i = 0; i < count; ++i)
        {
            shortTexts.add (juce::String (i + 1).paddedLeft ('0', 2) + "  ");
            texts.add ("  CAB " + juce::String (i) + " ");
            values.add ((juce::uint16) (i * 2));
        }
        setItems (shortTexts, texts, values, {}, 1);
        setLabel (1, "Cab");
    }
};

struct Located
{
    explicit Located (PickListPanel* panel) { DropDownLargeList::setPanelLocator ([panel] { return panel; }); }
    ~Located() { DropDownLargeList::setPanelLocator ({}); }
};
} // namespace

TEST (DropDownLargeList, LongListsAndShiftOpenThePanelOthersThePopup)
{
    FakePanel panel;
    Located located (&panel);
    ScriptedInteraction user;

    LargeList shortList (39);
    shortList.showMenu();
    EXPECT_EQ (user.menus.size(), 1u);
    EXPECT_EQ (panel.opened, 0);

    LargeList longList (40);
    longList.groupTitles = { "Factory", "User", "Scratchpad", "" };
    longList.bankSizes = { 30, 6, 4 };
    longList.listKind = 2;
    longList.colourFilterOn = true;
    longList.colourKey = 6;
    longList.showMenu();
    ASSERT_EQ (panel.opened, 1);
    EXPECT_TRUE (longList.isListOpen());
    EXPECT_EQ (panel.items.size(), 40);
    EXPECT_EQ (panel.items[3]->number, "04  ");
    EXPECT_EQ (panel.items[3]->name, "CAB 3");
    EXPECT_EQ (panel.items[3]->itemId, 3);
    EXPECT_EQ (panel.currentValue, 1);
    EXPECT_EQ (panel.listKind, 2);
    EXPECT_EQ (panel.bankSizes, juce::Array<juce::uint16> ({ 30, 6, 4 }));
    EXPECT_EQ (panel.tabs, juce::StringArray ({ "All", "Factory", "User", "Scratchpad", "", "", "" }));
    EXPECT_TRUE (panel.title.startsWith ("Cab : "));
    EXPECT_TRUE (panel.filterOn);
    EXPECT_EQ (panel.filterKey, 6);

    {
        HeldKeys shift (juce::ModifierKeys::shiftModifier);
        LargeList few (3);
        few.showMenu();
        EXPECT_EQ (panel.opened, 2);
        EXPECT_EQ (user.menus.size(), 1u);
    }

    // Without a panel the popup serves.
    DropDownLargeList::setPanelLocator ({});
    LargeList orphan (50);
    orphan.showMenu();
    EXPECT_EQ (user.menus.size(), 2u);
}

TEST (DropDownLargeList, PicksSelectAndCloseUnlessPinnedAndClosingLeavesTheChoice)
{
    FakePanel panel;
    Located located (&panel);
    LargeList list (45);
    CodeRecorder codes (list);

    // The current choice again: nothing posted, the panel closes.
    list.showMenu();
    panel.answer (PickListPanel::resultPicked, 1);
    EXPECT_TRUE (codes.take().empty());
    EXPECT_FALSE (panel.open);
    EXPECT_FALSE (list.isListOpen());

    // ... unless the drop-down always notifies.
    list.alwaysNotify = true;
    list.showMenu();
    panel.answer (PickListPanel::resultPicked, 1);
    EXPECT_EQ (codes.take(), std::vector<int> ({ 4 }));
    list.alwaysNotify = false;

    // Pinned: the choice is taken and the panel stays for more; a value
    // outside the list changes nothing.
    panel.pinned = true;
    list.showMenu();
    panel.answer (PickListPanel::resultPicked, 7);
    EXPECT_EQ (list.getSelectedIndex(), 7);
    EXPECT_EQ (list.getUnitValue(), 14);
    panel.answer (PickListPanel::resultPicked, 45);
    EXPECT_EQ (list.getSelectedIndex(), 7);
    EXPECT_EQ (codes.take(), std::vector<int> ({ 4 }));
    EXPECT_TRUE (panel.open);

    // Closed by the user: code 1, the choice stays.
    panel.answer (PickListPanel::resultClosed, 0);
    EXPECT_EQ (codes.take(), std::vector<int> ({ 1 }));
    EXPECT_EQ (list.getSelectedIndex(), 7);
    EXPECT_FALSE (panel.open);
}

TEST (DropDownLargeList, OnlyTheLastOpenerOwnsThePanelAndAGonePanelIsNotTouched)
{
    auto panel = std::make_unique<FakePanel>();
    FakePanel* raw = panel.get();
    Located located (raw);
    LargeList first (40), second (40);

    first.showMenu();
    second.showMenu();
    EXPECT_FALSE (first.closeList()); // the panel is the second's now
    EXPECT_TRUE (raw->open);
    EXPECT_TRUE (second.closeList());
    EXPECT_FALSE (raw->open);

    // The panel goes first (as the window's panes are deleted in turn): the
    // drop-down that had it open forgets it, and is deleted without harm.
    auto third = std::make_unique<LargeList> (40);
    third->showMenu();
    DropDownLargeList::setPanelLocator ({});
    panel.reset();
    EXPECT_FALSE (third->closeList());
    third.reset();
}
