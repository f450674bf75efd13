#include "app/host/CommandTables.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelMenuBarModel.h"

#include <gtest/gtest.h>

namespace
{
juce::StringArray subMenuTitles (const juce::PopupMenu& menu)
{
    juce::StringArray titles;

    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        if (it.getItem().subMenu != nullptr)
            titles.add (it.getItem().text);

    return titles;
}

const juce::PopupMenu::Item* findItem (const juce::PopupMenu& menu, int id)
{
    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
        if (it.getItem().itemID == id)
            return &it.getItem();

    return nullptr;
}

const CommandRecord* const allTables[] = {
    PresetMenuCommands,      BlockMenuCommands,        ToolsMenuCommands,         SettingsMenuCommands,
    HelpMenuCommands,        SceneMenuCommands,        XYMenuCommands,            BlockLibraryMenuCommands,
    TempoToUseMenuCommands,  SnapshotsMenuCommands,    PresetBrowserMenuCommands, CabBrowserMenuCommands,
    BlockContextMenuCommands, BlockButtonMenuCommands, BlockLibraryItemMenuCommands, SaveButtonMenuCommands,
    BrowserListMenuCommands, LibrarianPresetListMenuCommands, LibrarianCabListMenuCommands, UnlistedCommands,
};
} // namespace

TEST (CommandTables, EveryTableIsBalancedAndEndsWithItsEndRow)
{
    for (auto* table : allTables)
    {
        int depth = 0, rows = 0;
        auto* row = table;

        for (; row->commandId != CommandTableIds::end && rows < 200; ++row, ++rows)
        {
            if (row->commandId == CommandTableIds::submenuStart)
                ++depth;
            else if (row->commandId == CommandTableIds::submenuEnd)
                --depth;
            else if (! CommandTableIds::isSpecial (row->commandId))
            {
                EXPECT_TRUE (row->commandId >= 1000 && row->commandId <= 2500) << row->commandId;
            }

            EXPECT_GE (depth, 0);
        }

        EXPECT_EQ (row->commandId, CommandTableIds::end);
        EXPECT_EQ (depth, 0) << table[0].shortName;
    }
}

TEST (CommandTables, BuildsMenusWithTheirSubmenusAndDefaults)
{
    auto cabs = createMenuFromCommandTable (CabBrowserMenuCommands, nullptr);
    ASSERT_NE (cabs, nullptr);
    EXPECT_EQ (subMenuTitles (*cabs),
               juce::StringArray ({ "Cab Bank", "Favorites", "Select", "Audition to", "IR Processing Mode",
                                    "IR Output Format" }));

    auto* easySetup = findItem (*cabs, 2223);
    ASSERT_NE (easySetup, nullptr);
    EXPECT_EQ (easySetup->text, "Easy Setup...");

    // Without a command manager the rows' own enablement shows.
    auto preset = createMenuFromCommandTable (PresetMenuCommands, nullptr);
    ASSERT_NE (findItem (*preset, 1119), nullptr);
    EXPECT_FALSE (findItem (*preset, 1119)->isEnabled);
    EXPECT_TRUE (findItem (*preset, 1118)->isEnabled);

    auto librarian = createMenuFromCommandTable (LibrarianPresetListMenuCommands, nullptr);
    EXPECT_FALSE (findItem (*librarian, 2109)->isEnabled);

    EXPECT_EQ (createMenuFromCommandTable (nullptr, nullptr), nullptr);
}

TEST (CommandTables, AnEmptySubmenuIsKeptAndAnOpenSubmenuIsClosedByTheEndRow)
{
    const CommandRecord emptySub[] = {
        { CommandTableIds::submenuStart, "Empty", "", "", true, false },
        { CommandTableIds::submenuEnd, "", "", "", true, false },
        { CommandTableIds::end, "", "", "", true, false },
    };
    juce::PopupMenu menu;
    fillMenuFromCommandTable (menu, emptySub, nullptr);
    EXPECT_EQ (subMenuTitles (menu), juce::StringArray ({ "Empty" }));

    // The walk stops at the end row: the row behind it is never read.
    const CommandRecord unbalanced[] = {
        { CommandTableIds::submenuStart, "Open", "", "", true, false },
        { 1001, "Inside", "", "", true, false },
        { CommandTableIds::end, "", "", "", true, false },
        { 1002, "Behind the end", "", "", true, false },
        { CommandTableIds::end, "", "", "", true, false },
    };
    juce::PopupMenu cut;
    fillMenuFromCommandTable (cut, unbalanced, nullptr);
    EXPECT_EQ (subMenuTitles (cut), juce::StringArray ({ "Open" }));
    EXPECT_NE (findItem (cut, 1001), nullptr);
    EXPECT_EQ (findItem (cut, 1002), nullptr);

    const CommandRecord empty[] = { { CommandTableIds::end, "", "", "", true, false } };
    juce::Array<juce::CommandID> ids;
    juce::String name, description, category;
    EXPECT_TRUE (addCommandTableIds (empty, &ids));
    EXPECT_TRUE (ids.isEmpty());
    EXPECT_FALSE (findCommandText (empty, 1000, name, description, category));
    EXPECT_EQ (createMenuFromCommandTable (empty, nullptr)->getNumItems(), 0);
}

TEST (CommandTables, RegistersSharedIdsOnceAndLooksUpTextsAndKeys)
{
    juce::Array<juce::CommandID> ids;
    EXPECT_TRUE (addCommandTableIds (BlockMenuCommands, &ids));
    const auto count = ids.size();
    EXPECT_TRUE (addCommandTableIds (BlockContextMenuCommands, &ids));
    EXPECT_EQ (ids.size(), count) << "the context menu adds no id the Block menu lacks";
    EXPECT_EQ (ids.size(), 17);
    EXPECT_FALSE (addCommandTableIds (nullptr, &ids));
    EXPECT_FALSE (addCommandTableIds (BlockMenuCommands, nullptr));

    juce::String name, description, category;
    ASSERT_TRUE (findCommandText (PresetMenuCommands, 1000, name, description, category));
    EXPECT_EQ (name, "Save Snapshot");
    EXPECT_EQ (description, "Exports the current preset to the Snapshots folder set in the Workspace Preferences");
    EXPECT_EQ (category, "Preset");
    EXPECT_FALSE (findCommandText (nullptr, 1000, name, description, category));

    juce::KeyPress key;
    ASSERT_TRUE (findCommandKeyPress (MainKeyBindings, 1000, key));
    EXPECT_EQ (key, juce::KeyPress ('S', juce::ModifierKeys (7), 0));
    ASSERT_TRUE (findCommandKeyPress (MainKeyBindings, 1124, key));
    EXPECT_EQ (key, juce::KeyPress (juce::KeyPress::pageDownKey, juce::ModifierKeys::ctrlModifier, 0));
    EXPECT_FALSE (findCommandKeyPress (MainKeyBindings, 1303, key));
    ASSERT_TRUE (findCommandKeyPress (ExtraKeyBindings, 1303, key));
    EXPECT_EQ (key, juce::KeyPress ('M', juce::ModifierKeys (3), 0));

    auto copy = copyCommandTable (SceneMenuCommands);
    ASSERT_FALSE (copy.empty());
    EXPECT_EQ (copy.back().commandId, CommandTableIds::end);
    EXPECT_EQ (copy.size(), 17u);
    EXPECT_TRUE (copyCommandTable (nullptr).empty());
}

namespace
{
struct Performer : CommandPerformer
{
    int owned = 0, offline = 0, performed = 0;
    bool ownsCommand (int id) const override { return id == owned; }
    bool performCommand (int id) override { performed = id; return true; }
    bool worksWithoutUnit (int id) const override { return id == offline; }
};
} // namespace

TEST (CommandTarget, PerformersTakeTheirCommandsNewestFirstAndNeedTheUnitUnlessTheySayNot)
{
    auto& target = *KestrelCommandTarget::getInstance();
    Performer older, newer;
    older.owned = newer.owned = 1003;
    target.addPerformer (&older);
    target.addPerformer (&newer);

    EXPECT_FALSE (target.invokeCommand (1003)) << "no unit is connected";
    EXPECT_EQ (newer.performed, 0);

    newer.offline = 1003;
    EXPECT_TRUE (target.invokeCommand (1003));
    EXPECT_EQ (newer.performed, 1003);
    EXPECT_EQ (older.performed, 0);

    target.removePerformer (&newer);
    older.offline = 1003;
    EXPECT_TRUE (target.invokeCommand (1003));
    EXPECT_EQ (older.performed, 1003);
    target.removePerformer (&older);
    KestrelCommandTarget::resetForTests();
}

TEST (MenuBar, TheBlockMenuEndsWithItsInsertAndLibrarySubmenus)
{
    auto* target = KestrelCommandTarget::getInstance();
    juce::ApplicationCommandManager commands;
    commands.registerAllCommandsForTarget (target);
    KestrelMenuBarModel bar (target, &commands);

    auto block = bar.getMenuForIndex (KestrelMenuBarModel::blockMenu, "Block");
    auto titles = subMenuTitles (block);
    ASSERT_GE (titles.size(), 2);
    titles.removeRange (0, titles.size() - 2);
    EXPECT_EQ (titles, juce::StringArray ({ "Insert", "Library" }));

    juce::Array<int> libraryIds;
    for (juce::PopupMenu::MenuItemIterator it (block); it.next();)
        if (it.getItem().text == "Library" && it.getItem().subMenu != nullptr)
            for (juce::PopupMenu::MenuItemIterator item (*it.getItem().subMenu); item.next();)
                if (item.getItem().itemID != 0)
                    libraryIds.add (item.getItem().itemID);

    EXPECT_EQ (libraryIds, juce::Array<int> ({ 1700, 1701, 1702, 1703 }));
    KestrelCommandTarget::resetForTests();
}
