#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/grid/KestrelBlockComponent.h"
#include "app/grid/KestrelFootswitchGrid.h"
#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "model/UserFolders.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLBorderedImageComponent.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "support/ConnectedProgram.h"
#include "support/PumpMessages.h"
#include "support/QuickClick.h"
#include "support/RecordingNotifier.h"
#include "support/RedirectedUserFolders.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

// The main window's content holds the front panel, the grid editor and the
// effect editor one below the other, and what the grid selects the effect
// editor shows.
TEST (GridInMainWindow, SelectingInTheGridShowsTheBlockInTheEffectEditor)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-grid-window" };
    RecordingNotifier notices;
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());

    {
        MainAppWindow window ("Kestrel-Edit", &skin);
        auto* content = dynamic_cast<KestrelContentComponent*> (window.getContentComponent());
        ASSERT_NE (content, nullptr);
        auto* grid = dynamic_cast<GridUnitContent*> (content->getPane (ContentPane::grid));
        auto* editor = dynamic_cast<EffectEditorContent*> (content->getPane (ContentPane::effectEditor));
        ASSERT_NE (grid, nullptr);
        ASSERT_NE (editor, nullptr);

        // Front panel, grid and editor stand one below the other inside the content.
        const juce::Component* panes[] = { content->getPane (ContentPane::frontPanel), grid, editor };
        ASSERT_NE (panes[0], nullptr);

        for (int i = 0; i < 3; ++i)
        {
            EXPECT_TRUE (content->getLocalBounds().contains (panes[i]->getBounds())) << panes[i]->getBounds().toString();

            if (i > 0)
            {
                EXPECT_LE (panes[i - 1]->getBottom(), panes[i]->getY()) << i;
            }
        }

        EXPECT_TRUE (grid->selectBlockById (blockIdControllers));
        EXPECT_EQ (editor->getShownBlock(), blockIdControllers);
        grid->selectPage (GridUnitContent::midiSelected);
        EXPECT_EQ (editor->getShownBlock(), blockIdLayoutMidi);
        grid->selectPage (GridUnitContent::footswitchesSelected);
        EXPECT_EQ (editor->getShownBlock(), blockIdGlobal);
        EXPECT_EQ (editor->getGridSelectionState(), GridUnitContent::footswitchesSelected);
        grid->selectCell (0); // an empty cell
        EXPECT_EQ (editor->getShownBlock(), 0);
    }

}

// Right-click an empty cell > Insert > a block: the new tile is framed and
// the effect editor shows that block with its page.
TEST (GridInMainWindow, ABlockInsertedFromTheCellsMenuIsShownInTheEditor)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-grid-window-insert" };
    ASSERT_TRUE (program.open());
    auto* grid = program.grid;
    auto* editor = program.editor;
    constexpr int emptyCell = 16, delayBlock = 112;
    ASSERT_EQ (program.unit.getEditBuffer().cells[emptyCell].blockId, 0);

    ScriptedInteraction user;
    user.answerMenuWithItem ("Delay 1");
    ASSERT_TRUE (clickBackToBack (*grid->getTile (emptyCell), true));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.unit.getEditBuffer().cells[emptyCell].blockId == delayBlock; }));
    ASSERT_TRUE (program.settle());
    ASSERT_EQ (user.menus.size(), 1u);

    EXPECT_TRUE (grid->getTile (emptyCell)->current);
    EXPECT_EQ (editor->getShownBlock(), delayBlock);
    EXPECT_NE (editor->getEffectNameLabel()->getText(), "(Nothing Selected)");
    EXPECT_GT (editor->getNumPageControls(), 0);
    saveScreenshot (*program.window, "grid-inserted-block-shown");
}

// Block > Copy on the amp, Block > Paste on the cab: the unit refuses words
// that do not fit the cab. The failure is told once, the cab keeps its
// values, the outputs the paste muted are on again, and the paste ends with
// its end code: the window reads the block back and takes clicks again.
TEST (GridInMainWindow, ABlockPasteTheUnitRefusesIsToldOnceAndLeavesTheOutputsOn)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-grid-refused-paste" };
    ASSERT_TRUE (program.open());
    auto& unit = program.unit;
    constexpr int ampBlock = 106, cabBlock = 108;
    auto cellOf = [&] (int blockId)
    {
        const auto buffer = unit.getEditBuffer();
        for (int cell = 0; cell < (int) buffer.cells.size(); ++cell)
            if (buffer.cells[(size_t) cell].blockId == blockId)
                return cell;
        return -1;
    };
    const int ampCell = cellOf (ampBlock), cabCell = cellOf (cabBlock);
    ASSERT_GE (ampCell, 0);
    ASSERT_GE (cabCell, 0);
    auto& commands = program.window->getCommandManager();

    program.grid->selectCell (ampCell);
    ASSERT_TRUE (commands.invokeDirectly (1201, false));
    ASSERT_TRUE (program.settle());
    program.grid->selectCell (cabCell);
    ASSERT_TRUE (program.settle());
    auto cabValues = [&]
    {
        const auto buffer = unit.getEditBuffer();
        const auto* block = buffer.findBlock (cabBlock);
        return block != nullptr ? std::make_pair (block->values[0], block->values[1])
                                : std::pair<std::vector<juce::uint16>, std::vector<juce::uint16>>();
    };
    const auto cabBefore = cabValues();
    ASSERT_FALSE (cabBefore.first.empty());
    unit.clearReceived();

    ASSERT_TRUE (commands.invokeDirectly (1202, false));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > 0; }));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.notices.count(), 1) << program.notices.lastMessage();
    EXPECT_EQ (program.notices.get (0).title, "Block Paste");
    EXPECT_TRUE (cabValues() == cabBefore);

    // Muted as the paste began, on again at its end; then read back.
    juce::Array<int> mutes, afterUnmute;
    for (auto& message : unit.getReceived())
    {
        const int function = message.getRawData()[5];
        if (function == SYSEX_MUTE)
            mutes.add (message.getRawData()[6]);
        else if (mutes.size() == 2)
            afterUnmute.add (function);
    }
    EXPECT_EQ (mutes, juce::Array<int> ({ 0, 1 }));
    EXPECT_TRUE (afterUnmute.contains (SYSEX_QUERY_STATES));

    auto* save = program.content->getFrontPanel()->getButtonNamed ("saveButton");
    ASSERT_NE (save, nullptr);
    EXPECT_TRUE (save->isEnabled());
    EXPECT_EQ (program.editor->getShownBlock(), cabBlock);
    ASSERT_GT (program.editor->getNumPageControls(), 0);
    auto* control = dynamic_cast<juce::Component*> (program.editor->getPageControl (0));
    ASSERT_NE (control, nullptr);
    EXPECT_TRUE (control->isEnabled());
}

namespace
{
// The popup menu the program shows, on the desktop or inside the window.
juce::Component* findShownMenu (juce::Component* within)
{
    if (within != nullptr)
    {
        for (auto* child : within->getChildren())
            if (auto* found = findShownMenu (child))
                return found;

        return within->getName() == "menu" && within->isShowing() ? within : nullptr;
    }

    for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i)
        if (auto* found = findShownMenu (juce::Desktop::getInstance().getComponent (i)))
            return found;

    return nullptr;
}
} // namespace

// The grid's FOOT button: the page heads as the global block, says that
// a right-click opens a switch's menu, and that menu (really shown) carries
// a picture of each footswitch function.
TEST (GridInMainWindow, TheFootswitchPageSaysWhatOpensTheMenuWhichPicturesEachFunction)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-grid-window-footswitches" };
    // The unit's switch 1 (the lower left) holds scene 3.
    constexpr juce::uint16 scene2 = 185, scene3 = 186;
    auto held = program.unit.getFootswitchAssignments();
    held.set (0, { scene3, 0, 0 });
    program.unit.setFootswitchAssignments (held);
    ASSERT_TRUE (program.open());
    auto* editor = program.editor;

    juce::Button* footButton = nullptr;
    for (auto* child : program.grid->getChildren())
        if (auto* button = dynamic_cast<juce::TextButton*> (child); button != nullptr && button->getButtonText() == "FOOT")
            footButton = button;
    ASSERT_NE (footButton, nullptr);
    footButton->triggerClick();
    auto footswitches = [editor] { return dynamic_cast<KestrelFootswitchGrid*> (editor->getSpecialPageComponent()); };
    ASSERT_TRUE (pumpMessagesUntil ([&] { return footswitches() != nullptr; }));
    ASSERT_TRUE (program.settle());
    auto* page = footswitches();
    // Opened, the page shows what the unit holds.
    EXPECT_EQ (page->getTile (1, 0)->getBlockId(), scene3);

    // The header is the global block's: its display name, and no picture,
    // for no image set of the skin serves the global block (nor the
    // layout's MIDI page); the MIDI blocks have theirs.
    auto* depot = KestrelImageDepot::getInstance();
    EXPECT_EQ (editor->getShownBlock(), blockIdGlobal);
    EXPECT_EQ (editor->getEffectNameLabel()->getText(), getNameForId (BlockDisplayNames, blockIdGlobal));
    EXPECT_FALSE (editor->getEffectIcon()->isVisible());
    for (juce::uint16 block : { (juce::uint16) blockIdGlobal, (juce::uint16) blockIdLayoutMidi })
        EXPECT_EQ (depot->findImageSetForBlock (block), nullptr) << block;
    for (juce::uint16 block : { (juce::uint16) 171, (juce::uint16) 172 })
    {
        ASSERT_NE (depot->findImageSetForBlock (block), nullptr) << block;
        EXPECT_EQ (depot->findImageSetForBlock (block)->name, "Midi");
    }

    juce::String hint;
    for (auto* child : page->getChildren())
        if (auto* info = dynamic_cast<juce::TextEditor*> (child))
            hint = info->getText();
    EXPECT_TRUE (hint.startsWith ("Right-click a footswitch")) << hint;
    saveScreenshot (*program.window, "footswitch-page");

    // A right-click on a switch opens its menu, where every entry has its own picture.
    auto* tile = page->getTile (0, 0);
    ASSERT_TRUE (clickBackToBack (*tile, true));
    ASSERT_TRUE (pumpMessagesUntil ([] { return findShownMenu (nullptr) != nullptr; }));
    saveScreenshot (*findShownMenu (nullptr), "footswitch-menu");

    auto menu = page->createBlockMenu (tile->getRow(), tile->getColumn());
    ASSERT_NE (menu, nullptr);
    juce::StringArray entries;
    for (juce::PopupMenu::MenuItemIterator it (*menu); it.next();)
    {
        auto& item = it.getItem();
        if ((item.itemID == 0 && item.subMenu == nullptr) || item.itemID == FootswitchGridPanel::menuNone)
            continue; // a separator, or "None"
        entries.add (item.text);
        const auto* picture = dynamic_cast<const juce::DrawableImage*> (item.image.get());
        ASSERT_NE (picture, nullptr) << item.text;
        EXPECT_NE (picture->getImage(), depot->missingImage) << item.text;
    }
    for (auto* name : { "AMP X/Y Toggle", "Looper Control", "Preset/Bank", "Scene", "Control Switch" })
        EXPECT_TRUE (entries.contains (name)) << name << " in " << entries.joinIntoString (", ");

    juce::PopupMenu::dismissAllActiveMenus();
    EXPECT_TRUE (pumpMessagesUntil ([] { return findShownMenu (nullptr) == nullptr; }));

    // Scene 2 picked there: the unit's switch 5 holds it, switch 1 keeps
    // scene 3, and the tile shows its own picture.
    ScriptedInteraction user;
    user.answerMenuWithItem ("Scene 2");
    ASSERT_TRUE (clickBackToBack (*tile, true));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.unit.getFootswitchAssignments()[4].a == scene2; }));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.unit.getFootswitchAssignments()[0].a, scene3);
    EXPECT_EQ (tile->getBlockId(), scene2);
    EXPECT_NE (depot->getBlockImage (scene2, BlockImageSet::icon), depot->missingImage);
    saveScreenshot (*page, "footswitch-page-scene-assigned");
}
