#include "app/presetlists/KestrelPresetPicker.h"
#include "app/presetlists/PresetListCommands.h"
#include "bench/BenchRig.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"
#include "skin/lists/ScrollableListCell.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace
{
juce::Array<int> range (int first, int count)
{
    juce::Array<int> ids;
    for (int i = first; i < first + count; ++i)
        ids.add (i);
    return ids;
}

// The picker against the simulated unit, through the program's link stack.
class KestrelPresetPickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
        auto preset = rig.unit->getPreset (130);
        preset.name = "Bank B Lead   ";
        rig.unit->setPreset (130, preset);
        ASSERT_TRUE (rig.connectAndLoad());
        // As the command target does once the unit's firmware is accepted.
        rig.manager->resetPresetList();
        rig.manager->resetCabLists();
        picker = std::make_unique<KestrelPresetPicker> (&skin, nullptr, nullptr, nullptr, rig.manager.get());
    }

    void TearDown() override { picker.reset(); }

    bool settled (std::function<bool()> also = [] { return true; })
    {
        return bench::runMessageLoopUntil (
            [this, also]
            {
                // The end code reaches the picker a tick after the request ends.
                return ! rig.manager->getRequest (refreshPresetNames).isRunning()
                       && ! rig.manager->getRequest (refreshCabNames).isRunning()
                       && (picker->getCellList() == nullptr || picker->getCellList()->isEnabled()) && also();
            },
            20000);
    }

    bench::ProgramRig rig;
    SkinManager skin;
    std::unique_ptr<KestrelPresetPicker> picker;
};
} // namespace

TEST_F (KestrelPresetPickerTest, ABankTabReadsItsMissingNamesAndShowsThemWhenTheyArrive)
{
    PresetListCommands commands (*picker, rig.manager.get());
    ASSERT_TRUE (commands.openPresetList());
    EXPECT_EQ (picker->getListKind(), KestrelPresetPicker::presetList);
    EXPECT_EQ (picker->getCurrentTab(), 1);
    ASSERT_TRUE (settled ([this] { return rig.manager->arePresetNamesLoaded (0, 128); }));
    EXPECT_FALSE (rig.manager->arePresetNamesLoaded (128, 128)); // only the bank shown was read

    picker->selectBank (2);
    EXPECT_EQ (picker->getCurrentTab(), 1) << "the tab changes once its names have arrived";
    ASSERT_TRUE (settled ([this] { return rig.manager->arePresetNamesLoaded (128, 128); }));
    EXPECT_EQ (picker->getCurrentTab(), 2);
    EXPECT_EQ (picker->getShownItemIds(), range (128, 128));
    EXPECT_EQ (picker->getItems()[130]->name, "Bank B Lead");
    EXPECT_TRUE (picker->getCellList()->isEnabled());

    // There are four banks of names to read: a later tab asks for the last.
    picker->selectBank (6);
    ASSERT_TRUE (settled ([this] { return rig.manager->arePresetNamesLoaded (384, 128); }));
    EXPECT_FALSE (rig.manager->arePresetNamesLoaded (256, 128));

    // Choosing from a file needs no names from the unit.
    const auto asked = rig.unit->countReceived (SYSEX_QUERY_NAME_BY_NUM);
    picker->openWithNames (nullptr, { "1", "2" }, { "A", "B" }, 0, {}, PresetListContent::selectFromFile,
                           KestrelPresetPicker::presetList, true, {});
    picker->selectBank (3);
    ASSERT_TRUE (settled());
    bench::runMessageLoopFor (50); // settled: a reading would have started already
    EXPECT_EQ (rig.unit->countReceived (SYSEX_QUERY_NAME_BY_NUM), asked);
}

TEST_F (KestrelPresetPickerTest, ASearchOverEveryBankReadsTheNamesNotReadYetAndFindsThem)
{
    PresetListCommands commands (*picker, rig.manager.get());
    ASSERT_TRUE (commands.openPresetList());
    ASSERT_TRUE (settled ([this] { return rig.manager->arePresetNamesLoaded (0, 128); }));
    ASSERT_FALSE (rig.manager->arePresetNamesLoaded (128, 128));

    picker->enterSearchText ("bank b lead");
    EXPECT_EQ (picker->getCurrentTab(), 0);
    ASSERT_TRUE (settled ([this] { return rig.manager->arePresetNamesLoaded (0, 512); }));
    EXPECT_EQ (picker->getShownItemIds(), juce::Array<int> ({ 130 }));
}

TEST_F (KestrelPresetPickerTest, FollowsThePresetChosenOnTheUnitAndChangesToAPick)
{
    PresetListCommands commands (*picker, rig.manager.get());
    ASSERT_TRUE (commands.openPresetList());
    ASSERT_TRUE (settled());

    rig.unit->selectPresetOnUnit (5);
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return picker->getCurrentValue() == 5; }, 10000));
    EXPECT_EQ (picker->getCellList()->getHighlightedItemId(), 5);

    // The guard is a time: it is over once that much has passed.
    bench::runMessageLoopFor ((int) PresetListContent::pickGuardMs + 50);
    auto* cell = picker->getCellList()->findCellByItemId (9);
    ASSERT_NE (cell, nullptr);
    picker->pickCell (cell, 1);
    EXPECT_FALSE (picker->isVisible()); // not pinned: closed by the pick
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return rig.unit->getCurrentPresetNumber() == 9; }, 10000));

    // Opened to choose where to save: the pick goes to the opener alone.
    int chosen = -1;
    ASSERT_TRUE (commands.openPresetList (PresetListContent::saveTo, [&chosen] (int n) { chosen = n; }));
    // The guard is a time: it is over once that much has passed.
    bench::runMessageLoopFor ((int) PresetListContent::pickGuardMs + 50);
    auto* target = picker->getCellList()->findCellByItemId (12);
    ASSERT_NE (target, nullptr);
    picker->getCellList()->selectCell (picker->getCellList()->getCellIndex (target), true, true, false);
    picker->buttonClicked (picker->getSaveButton());
    EXPECT_EQ (chosen, 12);
    EXPECT_FALSE (picker->isVisible());
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return ! rig.manager->hasWork(); }, 20000));
    bench::runMessageLoopFor (100); // idle: a change of preset would have been under way
    EXPECT_EQ (rig.unit->getCurrentPresetNumber(), 9);
}

TEST_F (KestrelPresetPickerTest, CabTabsReadTheirTablesAndShowTheUnitsNames)
{
    const int factory = rig.unit->getNumFactoryCabs(), user = rig.unit->getNumUserCabs();
    rig.unit->setCabName (0, "BRIT 4X12 GREEN   ");
    rig.unit->setCabName (factory, "my Cab  ", 0x20);
    rig.unit->setCabName (factory + user + 1, "Scratch Two");

    const int count = factory + user + 4;
    juce::StringArray numbers, names;
    for (int i = 0; i < count; ++i)
        numbers.add (juce::String (i + 1)), names.add ({});

    for (int tab = 0; tab < PresetListContent::numTabs; ++tab)
        picker->setTabEntry (tab, 2, juce::StringArray ({ "All", "Factory", "User", "Scratchpad" })[tab]);

    picker->openWithNames (nullptr, numbers, names, 0, {}, PresetListContent::changeTo, KestrelPresetPicker::cabList,
                           true, { (juce::uint16) factory, (juce::uint16) user, 4 });
    picker->selectBank (3);
    ASSERT_TRUE (settled());
    bool f = false, u = false, s = false;
    rig.manager->areCabTablesFilled (f, u, s);
    EXPECT_FALSE (u); // only the table the tab needs
    EXPECT_EQ (picker->getShownItemIds(), range (factory + user, 4));
    EXPECT_EQ (picker->getItems()[factory + user]->name, "EMPTY");
    EXPECT_EQ (picker->getItems()[factory + user + 1]->name, "Scratch Two");

    picker->selectBank (0);
    ASSERT_TRUE (settled ([this] {
        bool a = false, b = false, c = false;
        rig.manager->areCabTablesFilled (a, b, c);
        return a && b;
    }));
    juce::String titled ("BRIT 4X12 GREEN");
    toTitleCaseName (titled);
    EXPECT_EQ (picker->getItems()[0]->name, titled);
    EXPECT_EQ (picker->getItems()[factory]->name, "my Cab");
    EXPECT_TRUE (picker->getItems()[factory]->italic);
    EXPECT_EQ (picker->getShownItemIds().size(), count);
}

TEST (KestrelPresetPicker, ReadingNamesDisablesTheListUntilTheRequestEndsOrFails)
{
    PresetManager manager (nullptr, {}, nullptr);
    KestrelPresetPicker picker (nullptr, nullptr, nullptr, nullptr, &manager);
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    KestrelPresetPicker skinned (&skin, nullptr, nullptr, nullptr, &manager);
    skinned.openWithNames (nullptr, { "1" }, { "A" }, 0, {}, 0, KestrelPresetPicker::presetList, true, {});

    auto post = [&manager] (int code)
    {
        manager.setStatus (code, 0, 0);
        manager.sendSynchronousChangeMessage();
    };

    post (16);
    EXPECT_FALSE (skinned.getCellList()->isEnabled());
    post (1); // the request timed out: no end code comes
    EXPECT_TRUE (skinned.getCellList()->isEnabled());
    post (50);
    EXPECT_FALSE (skinned.getCellList()->isEnabled());
    post (51);
    EXPECT_TRUE (skinned.getCellList()->isEnabled());

    // Closed, it no longer listens.
    skinned.close();
    post (16);
    EXPECT_TRUE (skinned.getCellList()->isEnabled());

    // Without a skin nothing is built and nothing breaks.
    picker.openWithNames (nullptr, { "1" }, { "A" }, 0, {}, 0, KestrelPresetPicker::presetList, true, {});
    post (17);
    EXPECT_EQ (picker.getItems()[0]->name, "A");
}

TEST_F (KestrelPresetPickerTest, ListsExportAsTextAfterTheirNamesAreRead)
{
    ScratchFolder scratch{ "kestrel-list-export" };
    ScriptedInteraction user;
    const int factory = rig.unit->getNumFactoryCabs();
    rig.unit->setCabName (factory, "my Cab  ");
    PresetListCommands commands (*picker, rig.manager.get());

    auto presets = scratch.folder.getChildFile ("presets");
    user.answerWithFile (presets);
    ASSERT_TRUE (commands.performCommand (PresetListCommands::exportPresetList));
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return presets.withFileExtension ("txt").existsAsFile(); }, 20000));
    ASSERT_EQ (user.fileRequests.size(), 1u);
    EXPECT_EQ (user.fileRequests[0].initial.getFileName(), "preset names.txt");
    juce::StringArray lines;
    presets.withFileExtension ("txt").readLines (lines);
    lines.removeEmptyStrings();
    ASSERT_EQ (lines.size(), 512);
    EXPECT_EQ (lines[0], "1-1,Preset 0");
    EXPECT_EQ (lines[130], "17-3,Bank B Lead");

    auto cabs = scratch.folder.getChildFile ("cabs.txt");
    user.answerWithFile (cabs);
    ASSERT_TRUE (commands.performCommand (PresetListCommands::exportUserCabs));
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return cabs.existsAsFile(); }, 20000));
    lines.clear();
    cabs.readLines (lines);
    EXPECT_EQ (lines[0], "U001,my Cab");

    // Names the unit does not give: the time-out is told, no file is asked for.
    RecordingNotifier notices;
    rig.manager->resetCabLists();
    rig.unit->setSilentFor (SYSEX_CABNAME);
    auto none = scratch.folder.getChildFile ("factory.txt");
    user.answerWithFile (none);
    ASSERT_TRUE (commands.performCommand (PresetListCommands::exportFactoryCabs));
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return notices.count() > 0; }, 30000));
    bench::runMessageLoopFor (50); // told already: nothing may follow
    EXPECT_EQ (user.fileRequests.size(), 2u);
    EXPECT_FALSE (none.existsAsFile());
    rig.unit->setSilentFor (SYSEX_CABNAME, false);
    EXPECT_TRUE (commands.performCommand (PresetListCommands::exportFactoryCabs)) << "a failed reading does not block the next";
}
