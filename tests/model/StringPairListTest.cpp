#include "model/StringPairList.h"
#include "model/SnapshotMenu.h"

#include <gtest/gtest.h>

namespace
{
StringPairList listOf (int count)
{
    StringPairList list;

    for (int i = 0; i < count; ++i)
        list.insertAtStart ({ "snap" + juce::String (i), "/snaps/" + juce::String (i) + ".syx" });

    return list;
}

struct MenuItemInfo
{
    int id;
    juce::String text;
    bool enabled;
    bool ticked;
};

// The items of the "Load Snapshot" submenu; fails the test when the parent
// does not hold exactly that one submenu. (JUCE greys a submenu that has no
// items, so the submenu's own state is checked only where it has some.)
std::vector<MenuItemInfo> snapshotItems (const juce::PopupMenu& parent)
{
    std::vector<MenuItemInfo> items;
    int submenus = 0;

    for (juce::PopupMenu::MenuItemIterator it (parent); it.next();)
    {
        auto& item = it.getItem();
        EXPECT_EQ (item.text, "Load Snapshot");

        if (item.subMenu != nullptr && item.subMenu->getNumItems() > 0)
        {
            EXPECT_TRUE (item.isEnabled);
        }

        if (item.subMenu == nullptr)
            continue;

        ++submenus;

        for (juce::PopupMenu::MenuItemIterator sub (*item.subMenu); sub.next();)
        {
            auto& entry = sub.getItem();
            items.push_back ({ entry.itemID, entry.text, entry.isEnabled, entry.isTicked });
        }
    }

    EXPECT_EQ (submenus, 1);
    return items;
}
} // namespace

TEST (StringPairList, InsertAtStartKeepsNewestFirstAndOutOfRangeIsSafe)
{
    auto list = listOf (3);
    ASSERT_EQ (list.size(), 3);
    EXPECT_EQ (list.getPair (0), (StringPair{ "snap2", "/snaps/2.syx" }));
    EXPECT_EQ (list.getPair (2).first, "snap0");

    EXPECT_EQ (list.getPair (-1), StringPair());
    EXPECT_EQ (list.getPair (3), StringPair());

    juce::String path = "unchanged";
    EXPECT_FALSE (list.getSecond (3, path));
    EXPECT_FALSE (list.getSecond (-1, path));
    EXPECT_EQ (path, "unchanged");
    EXPECT_TRUE (list.getSecond (1, path));
    EXPECT_EQ (path, "/snaps/1.syx");

    EXPECT_EQ (list.removeAndReturn (3), StringPair());
    list.remove (3);
    list.remove (-1);
    EXPECT_EQ (list.size(), 3);

    EXPECT_EQ (list.removeAndReturn (1), (StringPair{ "snap1", "/snaps/1.syx" }));
    ASSERT_EQ (list.size(), 2);
    EXPECT_EQ (list.getPair (1).first, "snap0");

    list.destroyElements();
    EXPECT_TRUE (list.isEmpty());
    EXPECT_EQ (list.getPair (0), StringPair());
}

TEST (StringPairList, RemovingTheFirstOfTwentyKeepsTheOrder)
{
    auto list = listOf (20);
    list.remove (0);
    ASSERT_EQ (list.size(), 19);

    for (int i = 0; i < 19; ++i)
        EXPECT_EQ (list.getPair (i).first, "snap" + juce::String (18 - i));
}

TEST (SnapshotMenu, ListsNewestFirstWithIndexInTheHighBits)
{
    juce::ApplicationCommandManager commands;
    juce::ApplicationCommandInfo load (loadSnapshotCommandId);
    load.shortName = "Load Snapshot";
    commands.registerCommand (load);

    StringPairList list;
    list.insertAtStart ({ "first", "/a.syx" });
    list.insertAtStart ({ "second", "/b.syx" });
    list.insertAtStart ({ "third", "/c.syx" });

    juce::PopupMenu parent;
    buildLoadSnapshotMenu (list, &parent, &commands);
    auto items = snapshotItems (parent);

    ASSERT_EQ (items.size(), 3u);
    EXPECT_EQ (items[0].text, "3: third");
    EXPECT_EQ (items[1].text, "2: second");
    EXPECT_EQ (items[2].text, "1: first");
    EXPECT_EQ (items[0].id, 2003);
    EXPECT_EQ (items[1].id, 65536 + 2003);
    EXPECT_EQ (items[2].id, 131072 + 2003);

    for (auto& item : items)
    {
        EXPECT_TRUE (item.enabled);
        EXPECT_FALSE (item.ticked);
        EXPECT_EQ (item.id & 0xffff, loadSnapshotCommandId);
    }

    // The handler's way back from a result to the list entry.
    juce::String path;
    EXPECT_TRUE (list.getSecond (items[1].id >> 16, path));
    EXPECT_EQ (path, "/b.syx");
}

TEST (SnapshotMenu, ItemsAreDisabledUnlessTheLoadCommandIsAvailable)
{
    auto list = listOf (2);

    {
        juce::PopupMenu parent;
        buildLoadSnapshotMenu (list, &parent, nullptr);
        for (auto& item : snapshotItems (parent))
            EXPECT_FALSE (item.enabled);
    }

    juce::ApplicationCommandManager commands;

    {
        juce::PopupMenu parent;
        buildLoadSnapshotMenu (list, &parent, &commands); // command not known
        for (auto& item : snapshotItems (parent))
            EXPECT_FALSE (item.enabled);
    }

    juce::ApplicationCommandInfo load (loadSnapshotCommandId);
    load.shortName = "Load Snapshot";
    load.flags = juce::ApplicationCommandInfo::isDisabled;
    commands.registerCommand (load);

    {
        juce::PopupMenu parent;
        buildLoadSnapshotMenu (list, &parent, &commands);
        auto items = snapshotItems (parent);
        EXPECT_EQ (items.size(), 2u);
        for (auto& item : items)
            EXPECT_FALSE (item.enabled);
    }

    // Registered disabled, but its target enables it now: what the target
    // says when the menu is built counts.
    struct Target : juce::ApplicationCommandTarget
    {
        bool active = true;
        juce::ApplicationCommandTarget* getNextCommandTarget() override { return nullptr; }
        void getAllCommands (juce::Array<juce::CommandID>& ids) override { ids.add (loadSnapshotCommandId); }
        void getCommandInfo (juce::CommandID id, juce::ApplicationCommandInfo& info) override
        {
            info.setInfo ("Load Snapshot", {}, {}, 0);
            info.setActive (active && id == loadSnapshotCommandId);
        }
        bool perform (const InvocationInfo&) override { return true; }
    } target;
    commands.setFirstCommandTarget (&target);

    for (bool active : { true, false })
    {
        target.active = active;
        juce::PopupMenu parent;
        buildLoadSnapshotMenu (list, &parent, &commands);
        for (auto& item : snapshotItems (parent))
            EXPECT_EQ (item.enabled, active);
    }

    commands.setFirstCommandTarget (nullptr);
}

TEST (SnapshotMenu, EmptyListStillAddsTheSubmenuAndNoParentIsIgnored)
{
    StringPairList list;
    juce::PopupMenu parent;
    buildLoadSnapshotMenu (list, &parent, nullptr);
    EXPECT_TRUE (snapshotItems (parent).empty());
    EXPECT_EQ (parent.getNumItems(), 1);

    buildLoadSnapshotMenu (listOf (2), nullptr, nullptr); // must not crash
}
