#include "app/presetlists/PresetListContent.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UserFolders.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/lists/ScrollableListCell.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLToggleButton.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ManualClock.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace
{
constexpr int red = 1, green = 4;

// Records the window's results as the opener reads them.
struct Opener : juce::ChangeListener
{
    void changeListenerCallback (juce::ChangeBroadcaster*) override
    {
        juce::uint16 value = 0;
        results.add (list->getPickResult (value));
        values.add (value);
    }

    PresetListContent* list = nullptr;
    juce::Array<int> results, values;
};

class PresetListContentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserFolders::redirectTo (scratch.folder);
        ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
        depot.readColourMenuSection (skin, *skin.getSkinRoot()->getChildByName ("ColorFilterMenu"));
        config = std::make_unique<KestrelGlobalConfiguration>();
        list = std::make_unique<PresetListContent> (&skin, config.get(), &depot, nullptr);
        opener.list = list.get();
    }

    void TearDown() override
    {
        list.reset();
        config.reset();
        UserFolders::redirectTo ({});
    }

    // count items "001".. named "Preset 1".., with the names given first.
    void open (int count, int current, int mode, bool banks, juce::Array<juce::uint16> sizes = {},
               juce::StringArray names = {})
    {
        juce::StringArray numbers;
        for (int i = 0; i < count; ++i)
        {
            numbers.add (juce::String (i + 1).paddedLeft ('0', 3));
            if (i >= names.size())
                names.add ("Preset " + juce::String (i + 1) + "  ");
        }
        list->openWithNames (&opener, numbers, names, current, {}, mode, 0, banks, sizes);
    }

    juce::Array<int> range (int first, int count)
    {
        juce::Array<int> ids;
        for (int i = first; i < first + count; ++i)
            ids.add (i);
        return ids;
    }

    bool key (int code, int mods = 0)
    {
        return list->keyPressed (juce::KeyPress (code, juce::ModifierKeys (mods), 0));
    }

    ScratchFolder scratch{ "kestrel-preset-list" };
    SkinManager skin;
    KestrelImageDepot depot;
    std::unique_ptr<KestrelGlobalConfiguration> config;
    std::unique_ptr<PresetListContent> list;
    Opener opener;
    ManualClock clock;
    ManualClock::Installed useClock{ clock };
};
} // namespace

TEST_F (PresetListContentTest, TabsCutTheListIntoBanksAndTheSearchLooksAtEveryItem)
{
    // Without bank sizes a bank is 128 items; the current item's bank is shown.
    open (300, 130, PresetListContent::changeTo, true, {}, { "Clean", "LEAD 12", "Crunch" });
    EXPECT_TRUE (list->isVisible());
    EXPECT_FALSE (list->isTitleVisible());
    EXPECT_EQ (list->getCurrentTab(), 2);
    EXPECT_EQ (list->getShownItemIds(), range (128, 128));
    EXPECT_EQ (list->getItems()[1]->name, "LEAD 12");
    EXPECT_EQ (list->getItems()[5]->name, "Preset 6"); // trailing blanks dropped

    // A search entered on a bank tab searches every item, ignoring case, and
    // also the number texts while the option is on.
    list->enterSearchText ("lead");
    EXPECT_EQ (list->getCurrentTab(), 0);
    EXPECT_EQ (list->getShownItemIds(), juce::Array<int> ({ 1 }));
    list->enterSearchText ("012");
    EXPECT_EQ (list->getShownItemIds(), juce::Array<int> ({ 11 })); // number "012", name "Preset 12"
    config->SEARCH_NUMBER_AND_NAME = false;
    list->enterSearchText ("012");
    EXPECT_TRUE (list->getShownItemIds().isEmpty());
    config->SEARCH_NUMBER_AND_NAME = true;
    list->clearSearch();

    // With bank sizes the banks follow them; a tab past them is empty.
    open (300, 0, PresetListContent::changeTo, true, { 100, 50 });
    list->selectBank (2);
    EXPECT_EQ (list->getShownItemIds(), range (100, 50));
    list->selectBank (3);
    EXPECT_TRUE (list->getShownItemIds().isEmpty());

    // Ctrl+Right steps to the next tab with a button and wraps to the first.
    list->selectBank (6);
    EXPECT_TRUE (key (juce::KeyPress::rightKey, juce::ModifierKeys::ctrlModifier));
    EXPECT_EQ (list->getCurrentTab(), 0);
    EXPECT_TRUE (key (juce::KeyPress::leftKey, juce::ModifierKeys::ctrlModifier));
    EXPECT_EQ (list->getCurrentTab(), 6);

    // A tab without a label has no button and is stepped over.
    list->close();
    list->setTabEntry (5, 2, {});
    list->setTabEntry (6, 2, {});
    open (300, 0, PresetListContent::changeTo, true);
    EXPECT_EQ (list->getTabButton (5), nullptr);
    EXPECT_EQ (list->stepBank (4, true), 0);
    EXPECT_EQ (list->getTabButton (1)->getLabelText(), "Bank A");
}

TEST_F (PresetListContentTest, PicksWaitForTheWindowToSettleAndSaveModePicksOnlyWithSave)
{
    open (20, 3, PresetListContent::changeTo, false);
    auto* cells = list->getCellList();
    ASSERT_NE (cells, nullptr);

    list->pickCell (cells->getCell (5), 1); // the click that opened the window
    EXPECT_TRUE (opener.results.isEmpty());

    clock.advance (PresetListContent::pickGuardMs);
    list->pickCell (cells->getCell (5), 1);
    EXPECT_EQ (opener.results, juce::Array<int> ({ 1 }));
    EXPECT_EQ (opener.values, juce::Array<int> ({ 5 }));
    EXPECT_EQ (cells->getHighlightedItemId(), 5);
    list->pickCell (cells->getCell (30), 1); // an empty cell or none picks nothing
    EXPECT_EQ (opener.results.size(), 1);

    // Save mode: a click only selects; Save picks the selected cell.
    list->close();
    open (20, 3, PresetListContent::saveTo, false);
    clock.advance (PresetListContent::pickGuardMs);
    ASSERT_NE (list->getSaveButton(), nullptr);
    EXPECT_TRUE (list->getSaveButton()->isVisible());
    EXPECT_FALSE (list->getPushpin()->isVisible());
    list->getCellList()->selectCell (7, true, true, false);
    list->pickCell (list->getCellList()->getCell (7), 1);
    EXPECT_EQ (opener.results.size(), 1);
    list->buttonClicked (list->getSaveButton());
    EXPECT_EQ (opener.results.getLast(), 1);
    EXPECT_EQ (opener.values.getLast(), 7);
    EXPECT_EQ (list->getStatusBarBounds (PresetListContent::saveTo), juce::Rectangle<int> (33, 607, 794, 31));
    EXPECT_TRUE (list->getStatusBarBounds (PresetListContent::changeTo).isEmpty());

    // Escape, Cancel and a click beside the dialog close without a pick.
    EXPECT_TRUE (key (juce::KeyPress::escapeKey));
    list->buttonClicked (list->getCancelButton());
    list->mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), { 5.0f, 5.0f },
                                       juce::ModifierKeys(), 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, list.get(), list.get(),
                                       juce::Time(), { 5.0f, 5.0f }, juce::Time(), 1, false));
    EXPECT_EQ (opener.results, juce::Array<int> ({ 1, 1, 2, 2, 2 }));

    // Mode 2 opens pinned.
    list->close();
    open (20, 0, PresetListContent::selectFromFile, false);
    EXPECT_TRUE (list->isPinned());
}

TEST_F (PresetListContentTest, ColoursAreKeptByNameSavedAtOnceAndFilterTheList)
{
    open (10, 0, PresetListContent::changeTo, false, {}, { "Clean", "Lead", "Crunch", "EMPTY" });
    list->setColorFilter (true, 8);
    EXPECT_TRUE (list->getFilterLabel()->isVisible());

    ScriptedInteraction user;
    list->getCellList()->multipleSelection = true;
    list->getCellList()->selectCell (0, true, false, false);
    list->getCellList()->selectCell (2, true, false, false);
    user.answerMenuWith (PresetListContent::assignColourFirstId + red);
    list->showAssignColorMenu();
    ASSERT_EQ (user.menus.size(), 1u);
    EXPECT_TRUE (user.menus[0].itemTexts.contains ("Red"));
    EXPECT_EQ (list->getItemColour (0), (juce::uint32) red);
    EXPECT_EQ (list->getCellList()->getNumSelectedCells(), 0);

    // Kept in the store under the list's key, and in the file at once.
    EXPECT_EQ (config->colorAssignments.getColorOfName (8, "Clean"), (juce::uint32) red);
    EXPECT_EQ (config->colorAssignments.getColorOfName (8, "Crunch"), (juce::uint32) red);
    EXPECT_EQ (config->colorAssignments.getColorOfName (9, "Clean"), 0u);
    {
        KestrelGlobalConfiguration reread;
        EXPECT_TRUE (reread.loadColorAssignments());
        EXPECT_EQ (reread.colorAssignments.getColorOfName (8, "Crunch"), (juce::uint32) red);
    }

    // The filter shows only that colour; "None" shows everything again.
    user.answerMenuWith (red + 1);
    list->showColorFilterMenu();
    EXPECT_EQ (list->getFilterColour(), (juce::uint32) red);
    EXPECT_EQ (list->getShownItemIds(), juce::Array<int> ({ 0, 2 }));
    list->chooseFilterColour (0);
    EXPECT_EQ (list->getShownItemIds().size(), 10);

    // Colour 0 takes a colour away; opened again, the items carry their colours.
    list->getCellList()->selectCell (2, true, true, false);
    list->assignColorToSelection (0);
    list->close();
    open (10, 0, PresetListContent::changeTo, false, {}, { "Clean", "Lead", "Crunch" });
    list->setColorFilter (true, 8);
    EXPECT_EQ (list->getItemColour (0), (juce::uint32) red);
    EXPECT_EQ (list->getItemColour (2), 0u);
    EXPECT_TRUE (list->getItems()[0]->hasBackground);
    EXPECT_EQ (list->getItems()[0]->background, list->swatchOf (red));

    // In the cab group an empty slot is never coloured.
    list->setColorFilter (true, PresetListContent::cabColourKey);
    list->getCellList()->selectCell (3, true, true, false);
    list->assignColorToSelection (green);
    EXPECT_EQ (config->colorAssignments.getColorOfName (PresetListContent::cabColourKey, "EMPTY"), 0u);

    // A colour that cannot be kept is told.
    RecordingNotifier notices;
    auto file = GlobalConfiguration::getColorAssignmentsFile();
    ASSERT_TRUE (file.deleteFile() && file.createDirectory());
    list->getCellList()->selectCell (0, true, true, false);
    list->assignColorToSelection (green);
    EXPECT_EQ (notices.count(), 1);
}

TEST_F (PresetListContentTest, ExportWritesOneLinePerItemAndReportsAFileItCannotWrite)
{
    open (3, 0, PresetListContent::changeTo, false, {}, { "Clean", "Lead", "Crunch" });
    ScriptedInteraction user;
    RecordingNotifier notices;

    auto target = scratch.folder.getChildFile ("names.txt");
    user.answerWithFile (target);
    list->exportListItems();
    ASSERT_EQ (user.fileRequests.size(), 1u);
    EXPECT_EQ (user.fileRequests[0].title, "Export List Items");
    EXPECT_EQ (user.fileRequests[0].mode, FileRequest::Mode::save);
    EXPECT_EQ (target.loadFileAsString(), "001,Clean\n002,Lead\n003,Crunch\n");

    // A path that cannot be written is reported and nothing there is touched.
    auto folder = scratch.folder.getChildFile ("taken");
    ASSERT_TRUE (folder.createDirectory());
    user.answerWithFile (folder);
    list->exportListItems();
    EXPECT_TRUE (folder.isDirectory());
    EXPECT_EQ (notices.count(), 1);

    // Cancelled: nothing written, nothing said.
    list->exportListItems();
    EXPECT_EQ (notices.count(), 1);
}

#if JUCE_LINUX || JUCE_MAC
TEST_F (PresetListContentTest, AnExportThatFillsTheDiskKeepsTheOldFileAndSaysSo)
{
    open (300, 0, PresetListContent::changeTo, false);
    ScriptedInteraction user;
    RecordingNotifier notices;
    const auto target = scratch.folder.getChildFile ("lists").getChildFile ("names.txt");
    ASSERT_TRUE (target.create().wasOk() && target.replaceWithText ("the previous list"));

    user.answerWithFile (target);
    {
        FileSizeLimit fullDisk (1000);
        ASSERT_TRUE (fullDisk.active);
        list->exportListItems();
    }

    ASSERT_EQ (notices.count(), 1);
    EXPECT_TRUE (notices.lastMessage().startsWith ("Unable to export the list to\n" + target.getFullPathName()));
    EXPECT_EQ (target.loadFileAsString(), "the previous list");
    EXPECT_EQ (target.getParentDirectory().findChildFiles (juce::File::findFiles, false, "*").size(), 1);
}
#endif

TEST_F (PresetListContentTest, Screenshot)
{
    juce::StringArray names;
    const char* words[] = { "Clean Studio", "Lead Tone", "Crunch Rhythm", "Ambient Swell", "Blues Break",
                            "Metal Chug", "Funk Wah", "Jazz Warm" };
    for (int i = 0; i < 512; ++i)
        names.add (juce::String (words[i % 8]) + " " + juce::String (i / 8 + 1));

    juce::StringArray numbers;
    for (int i = 0; i < 512; ++i)
        numbers.add (juce::String (i / 8 + 1) + "-" + juce::String (i % 8 + 1) + "  ");

    list->setTabEntry (5, 2, {});
    list->setTabEntry (6, 2, {});
    list->openWithNames (&opener, numbers, names, 10, {}, PresetListContent::changeTo, 1, true, {});
    list->getCellList()->multipleSelection = true;
    list->setColorFilter (true, 8);
    for (int i : { 1, 9, 17 })
        list->getCellList()->selectCell (i, true, false, false);
    list->assignColorToSelection (red);
    list->getCellList()->selectCell (4, true, false, false);
    list->assignColorToSelection (green);

    juce::Component desk;
    desk.setSize (1024, 647);
    desk.addAndMakeVisible (*list);
    auto file = saveScreenshot (desk, "preset-list-window");
    EXPECT_TRUE (file.existsAsFile());

    // As a drop-down's pick list: one flat list under a title.
    list->close();
    juce::StringArray types;
    for (int i = 0; i < 60; ++i)
        types.add ("Amp Type " + juce::String (i + 1));
    list->setTitleText ("Amp Type : Select an entry from the list");
    list->openWithNames (&opener, {}, types, 7, {}, PresetListContent::changeTo, 0, false, {});
    EXPECT_TRUE (saveScreenshot (desk, "preset-list-window-pick").existsAsFile());
    desk.removeChildComponent (list.get());
}
