#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/grid/KestrelBlockComponent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "model/UnitIds.h"
#include "model/UserFolders.h"
#include "skin/engine/SkinManager.h"
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
