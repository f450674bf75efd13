#include "app/grid/CableComponent.h"
#include "app/grid/GridUnitContent.h"
#include "app/grid/KestrelBlockComponent.h"
#include "bench/BenchRig.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinManager.h"
#include "support/ScriptedInteraction.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace
{
// A press of the main mouse button at a point of the component.
juce::MouseEvent pressAt (juce::Component& component, juce::Point<int> at, int clicks = 1)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(),
             at.toFloat(),
             juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier),
             juce::MouseInputSource::defaultPressure,
             0.0f,
             0.0f,
             0.0f,
             0.0f,
             &component,
             &component,
             now,
             at.toFloat(),
             now,
             clicks,
             false };
}

constexpr int moveFunction = 0x24, placeFunction = 0x05;

// The grid editor on the program's skin against the simulated unit holding
// a preset with blocks, shunts, cables and bypassed blocks.
class GridAgainstUnit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
        preset = SimulatedPreset::makeShowcase();
        rig.unit->setEditBuffer (preset);
        ASSERT_TRUE (rig.connectAndLoad());
        grid = std::make_unique<GridUnitContent> (&skin, rig.manager.get(), &depot);
        // The load's end reaches the grid on the next tick; a selection made
        // before that would be dropped with the old preset.
        ASSERT_TRUE (settle());
    }

    // Runs the message loop until the preset manager has nothing left to
    // do or to tell, and no chained request of the grid waits.
    bool settle()
    {
        return bench::runMessageLoopUntil ([this] { return ! rig.manager->hasWork() && ! grid->isWaitingForUnit(); },
                                           10000);
    }

    // Every tile shows what the unit's edit buffer holds.
    void expectGridShowsUnit()
    {
        auto held = rig.unit->getEditBuffer();
        for (int cell = 0; cell < gridCellCount; ++cell)
            EXPECT_EQ (grid->getTile (cell)->getBlockId(), held.cells[(size_t) cell].blockId) << "cell " << cell;
    }

    int countCablesHeld()
    {
        auto held = rig.unit->getEditBuffer();
        int n = 0;
        for (int cell = gridRows; cell < gridCellCount; ++cell)
            for (int row = 0; row < gridRows; ++row)
                if ((held.cells[(size_t) cell].inputMask & (1 << row)) != 0 && held.cells[(size_t) cell].blockId != 0 &&
                    held.cells[(size_t) (cell - gridRows - cell % gridRows + row)].blockId != 0)
                    ++n;
        return n;
    }

    bench::ProgramRig rig;
    SkinManager skin;
    KestrelImageDepot depot;
    SimulatedPreset preset;
    std::unique_ptr<GridUnitContent> grid;
};
} // namespace

TEST_F (GridAgainstUnit, ShowsThePresetWithItsStatesAndCables)
{
    expectGridShowsUnit();
    EXPECT_EQ (grid->getNumCables(), 8);
    EXPECT_NE (grid->findCable (1, 5), nullptr);
    EXPECT_EQ (grid->findCable (0, 5), nullptr);

    // States as the unit reports them for its current scene.
    auto held = rig.unit->getEditBuffer();
    for (int cell : { 0, 4, 5, 8, 12 })
    {
        auto* tile = grid->getTile (cell);
        const int id = tile->getBlockId();
        EXPECT_EQ (tile->isEngaged(), held.blocks[id].engaged[(size_t) held.scene]) << id;
        EXPECT_EQ (tile->showXYBadge, hasXYChannels (id, 8)) << id;
        if (tile->showXYBadge)
        {
            EXPECT_EQ (tile->xyState, held.blocks[id].onX[(size_t) held.scene] ? 0 : 1) << id;
        }
    }

    EXPECT_FALSE (grid->getTile (1)->showXYBadge); // a shunt

    // The grid's skin section filled the image depot: icon sets with their ids, overlays, cursors.
    EXPECT_NE (depot.findImageSetForBlock (106), nullptr);
    EXPECT_NE (depot.findImageSetForBlock (305), nullptr);
    EXPECT_FALSE (depot.getOverlay (ImageDepot::warningOverlay) == depot.missingImage);
    ASSERT_NE (depot.getCursor (ImageDepot::notAllowedCursor), nullptr);
    EXPECT_EQ (grid->cursorFor (GridUnitContent::DropKind::refused), depot.getCursor (ImageDepot::notAllowedCursor));
    EXPECT_EQ (grid->cursorFor (GridUnitContent::DropKind::swap), depot.getCursor (ImageDepot::swapCursor));

    grid->selectBlockById (106);
    saveScreenshot (*grid, "grid-full-preset");
}

TEST_F (GridAgainstUnit, DropsMoveCopyAndSwapThroughTheUnit)
{
    using Kind = GridUnitContent::DropKind;
    EXPECT_EQ (grid->classifyDrop (4, 24, false), Kind::move);  // same row
    EXPECT_EQ (grid->classifyDrop (4, 6, false), Kind::move);   // same column
    EXPECT_EQ (grid->classifyDrop (4, 27, false), Kind::move);  // across both, via an empty corner
    EXPECT_EQ (grid->classifyDrop (4, 8, false), Kind::swap);
    EXPECT_EQ (grid->classifyDrop (5, 24, true), Kind::copy);
    EXPECT_EQ (grid->classifyDrop (4, 24, true), Kind::refused); // the unit has one amp only
    EXPECT_EQ (grid->classifyDrop (4, 8, true), Kind::refused); // copy onto a block
    EXPECT_EQ (grid->classifyDrop (20, 24, false), Kind::refused); // nothing to drag
    EXPECT_EQ (grid->classifyDrop (4, 4, false), Kind::refused);
    EXPECT_EQ (grid->classifyDrop (4, 48, false), Kind::refused);
    EXPECT_EQ (grid->classifyDrop (-1, 4, false), Kind::refused);
    EXPECT_FALSE (grid->dropTile (4, 300, false));

    // Move across rows and columns: two moves, the amp ends where it was dropped.
    ASSERT_TRUE (grid->dropTile (4, 27, false));
    ASSERT_TRUE (settle());
    EXPECT_EQ (rig.unit->getEditBuffer().cells[27].blockId, 106);
    EXPECT_EQ (rig.unit->getEditBuffer().cells[4].blockId, 0);
    expectGridShowsUnit();

    // Swap: both blocks keep their settings and the cables stay.
    auto before = rig.unit->getEditBuffer();
    ASSERT_TRUE (grid->dropTile (8, 12, false));
    ASSERT_TRUE (settle());
    auto after = rig.unit->getEditBuffer();
    EXPECT_EQ (after.cells[8].blockId, 110);
    EXPECT_EQ (after.cells[12].blockId, 108);
    EXPECT_EQ (after.blocks[108].values[0], before.blocks[108].values[0]);
    EXPECT_EQ (after.blocks[110].values[1], before.blocks[110].values[1]);
    EXPECT_EQ (after.cells[12].inputMask, before.cells[12].inputMask);
    expectGridShowsUnit();

    // Copy: the source is copied, then a second block of its type placed.
    ASSERT_TRUE (grid->dropTile (5, 30, true));
    ASSERT_TRUE (settle());
    const int copy = rig.unit->getEditBuffer().cells[30].blockId;
    EXPECT_EQ (effectTypeOfBlock (copy), effectTypeOfBlock (102));
    EXPECT_NE (copy, 102);
    expectGridShowsUnit();
}

TEST_F (GridAgainstUnit, BypassAndXYCommandsReachTheUnitAndTheTileFollows)
{
    auto held = rig.unit->getEditBuffer();
    const bool wasEngaged = held.blocks[106].engaged[(size_t) held.scene];
    const bool wasX = held.blocks[106].onX[(size_t) held.scene];

    ASSERT_TRUE (grid->selectBlockById (106));
    ASSERT_TRUE (grid->performCommand (1206));
    ASSERT_TRUE (settle());
    ASSERT_TRUE (grid->performCommand (1207));
    ASSERT_TRUE (settle());

    held = rig.unit->getEditBuffer();
    EXPECT_NE (held.blocks[106].engaged[(size_t) held.scene], wasEngaged);
    EXPECT_NE (held.blocks[106].onX[(size_t) held.scene], wasX);
    EXPECT_EQ (grid->getTile (4)->isEngaged(), ! wasEngaged);
    EXPECT_EQ (grid->getTile (4)->xyState, wasX ? 1 : 0);

    // Nothing selected, or a shunt: the commands do nothing.
    ASSERT_TRUE (grid->selectBlockById (300));
    EXPECT_FALSE (grid->performCommand (1206));
    grid->selectPage (GridUnitContent::globalSelected);
    EXPECT_FALSE (grid->performCommand (1203));
}

TEST_F (GridAgainstUnit, ARefusedRequestLeavesTheGridShowingWhatTheUnitHolds)
{
    rig.unit->setErrorStatusFor (moveFunction, 1);
    grid->dropTile (4, 24, false);
    ASSERT_TRUE (settle());
    EXPECT_EQ (rig.unit->getEditBuffer().cells[4].blockId, 106);
    expectGridShowsUnit();

    // The second move of a diagonal is not sent once the first did nothing.
    grid->dropTile (4, 27, false);
    ASSERT_TRUE (settle());
    expectGridShowsUnit();
    EXPECT_EQ (grid->getTile (4)->getBlockId(), 106);

    rig.unit->setErrorStatusFor (placeFunction, 1);
    grid->dropTile (5, 30, true);
    ASSERT_TRUE (settle());
    EXPECT_EQ (rig.unit->getEditBuffer().cells[30].blockId, 0);
    expectGridShowsUnit();
}

TEST_F (GridAgainstUnit, CablesAreMadeFromJacksAndCutByADoubleClick)
{
    // Output of the compressor (cell 0) to the graphic EQ (cell 5), clicked on the jacks.
    grid->mouseDown (pressAt (*grid, grid->getJackCentre (0, true)));
    EXPECT_EQ (grid->getArmedJack(), 0);
    grid->mouseDown (pressAt (*grid, grid->getJackCentre (5, false)));
    ASSERT_TRUE (settle());
    EXPECT_NE (rig.unit->getEditBuffer().cells[5].inputMask & 1, 0);
    ASSERT_NE (grid->findCable (0, 5), nullptr);

    // Not one column apart, or an empty end: nothing is sent.
    EXPECT_FALSE (grid->connectCells (0, 8, true));
    EXPECT_FALSE (grid->connectCells (0, 6, true));
    grid->clickJack (0, true);
    grid->clickJack (20, false);
    EXPECT_EQ (grid->getArmedJack(), -1);

    auto* cable = grid->findCable (0, 4);
    ASSERT_NE (cable, nullptr);

    // A request that leaves the grid alone leaves the cables (and the selected one) alone.
    cable->setToggleState (true, juce::dontSendNotification);
    ASSERT_TRUE (rig.manager->requestSetParam (106, 1, 1234));
    ASSERT_TRUE (settle());
    ASSERT_EQ (grid->findCable (0, 4), cable);
    EXPECT_TRUE (cable->getToggleState());
    EXPECT_EQ (grid->getTile (4)->getTooltip(), "Amp");

    // Output then input again cuts the cable; a double click on a cable's middle cuts it too.
    grid->clickJack (0, true);
    grid->clickJack (4, false);
    ASSERT_TRUE (settle());
    EXPECT_EQ (rig.unit->getEditBuffer().cells[4].inputMask & 1, 0);
    EXPECT_EQ (grid->findCable (0, 4), nullptr);

    cable = grid->findCable (1, 4);
    ASSERT_NE (cable, nullptr);
    const auto middle = cable->getLocalBounds().getCentre();
    ASSERT_TRUE (cable->hitTest (middle.x, middle.y));
    cable->mouseDown (pressAt (*cable, middle, 2));
    EXPECT_EQ (cable->getChangeCode(), CableComponent::disconnectCode);
    cable->dispatchPendingMessages();
    ASSERT_TRUE (settle());
    EXPECT_EQ (rig.unit->getEditBuffer().cells[4].inputMask & 2, 0);
    EXPECT_EQ (grid->findCable (1, 4), nullptr);
    EXPECT_EQ (grid->getNumCables(), countCablesHeld());
}

TEST_F (GridAgainstUnit, TileMenusInsertAndDeleteAndSelectionReachesItsListener)
{
    ScriptedInteraction user;
    int shown = -1, state = -1;
    grid->onSelectionChanged = [&] (int id, int s)
    {
        shown = id;
        state = s;
    };

    user.answerMenuWithItem ("Delay 1");
    grid->showTileMenu (16);
    ASSERT_TRUE (settle());
    EXPECT_EQ (rig.unit->getEditBuffer().cells[16].blockId, 112);
    expectGridShowsUnit();

    user.answerMenuWithItem ("Delete Block");
    grid->showTileMenu (16);
    ASSERT_TRUE (settle());
    EXPECT_EQ (rig.unit->getEditBuffer().cells[16].blockId, 0);
    expectGridShowsUnit();

    // The Block menu's "Insert" submenu offers blocks for the selected cell only while it is empty.
    ASSERT_TRUE (grid->selectCell (16));
    EXPECT_GT (grid->buildInsertMenu().getNumItems(), 0);
    EXPECT_TRUE (grid->insertIntoSelectedCell (GridUnitContent::insertMenuBase + 112));
    ASSERT_TRUE (settle());
    EXPECT_EQ (rig.unit->getEditBuffer().cells[16].blockId, 112);
    EXPECT_EQ (grid->buildInsertMenu().getNumItems(), 0) << "the cell is taken";
    EXPECT_FALSE (grid->insertIntoSelectedCell (GridUnitContent::insertMenuBase + 113));

    EXPECT_TRUE (grid->selectBlockById (110));
    EXPECT_EQ (shown, 110);
    EXPECT_EQ (state, GridUnitContent::blockSelected);
    EXPECT_EQ (grid->getChangeCode(), GridUnitContent::selectionChangedCode);
    EXPECT_TRUE (grid->getTile (12)->current);

    EXPECT_TRUE (grid->selectBlockById (blockIdControllers));
    EXPECT_EQ (state, GridUnitContent::controllersSelected);
    EXPECT_FALSE (grid->getTile (12)->current);
    grid->selectPage (GridUnitContent::footswitchesSelected);
    EXPECT_EQ (shown, blockIdGlobal);
    EXPECT_EQ (state, GridUnitContent::footswitchesSelected);

    EXPECT_FALSE (grid->selectBlockById (205)); // not in the preset
    EXPECT_FALSE (grid->selectCell (48));
    EXPECT_EQ (state, GridUnitContent::footswitchesSelected);

    // The selection follows its block when the unit moves it.
    ASSERT_TRUE (grid->selectBlockById (110)); // cell 12
    ASSERT_TRUE (grid->performCommand (1211)); // row down
    ASSERT_TRUE (settle());
    EXPECT_EQ (rig.unit->getEditBuffer().cells[13].blockId, 110);
    EXPECT_EQ (grid->getSelectedCell(), 13);
    EXPECT_EQ (grid->getSelectedBlockId(), 110);
}

TEST_F (GridAgainstUnit, UnknownBlocksAndCablesFromEmptyCellsDoNotBreakTheGrid)
{
    auto odd = SimulatedPreset::makeShowcase();
    odd.cells[20].blockId = 299;       // no block of this unit
    odd.cells[24].blockId = 100 + 99;  // beyond every set
    odd.cells[24].inputMask = 0x0F;    // fed by cells 20..23, three of them empty
    rig.unit->setEditBuffer (odd);
    rig.manager->getRequest (loadPreset).start();
    ASSERT_TRUE (settle());

    EXPECT_EQ (grid->getTile (20)->getBlockId(), 299);
    EXPECT_NE (grid->findCable (20, 24), nullptr);
    EXPECT_EQ (grid->findCable (21, 24), nullptr);
    EXPECT_EQ (grid->getNumCables(), 9);

    juce::Image image (juce::Image::ARGB, grid->getWidth(), grid->getHeight(), true);
    juce::Graphics g (image);
    grid->paintEntireComponent (g, true);
    // The missing-image picture is drawn where the unknown block sits.
    auto centre = grid->getTile (20)->getBounds().getCentre();
    auto emptyCell = grid->getCellArea (16).getCentre(); // same row, empty
    EXPECT_NE (image.getPixelAt (centre.x, centre.y), image.getPixelAt (emptyCell.x, emptyCell.y));
    saveScreenshot (*grid, "grid-unknown-blocks");
}

TEST_F (GridAgainstUnit, ScreenshotOfADragInProgress)
{
    struct Holder : juce::Component, juce::DragAndDropContainer
    {
    } holder;
    holder.setSize (grid->getWidth(), grid->getHeight());
    holder.addAndMakeVisible (*grid);

    auto* source = grid->getTile (4);
    auto* target = grid->getTile (24);
    juce::DragAndDropTarget::SourceDetails details (BlockComponent::dragDescription, source, { 10, 10 });
    EXPECT_FALSE (source->isInterestedInDragSource (details));
    EXPECT_TRUE (target->isInterestedInDragSource (details));
    target->itemDragEnter (details);
    EXPECT_EQ (grid->getHoveredCell(), 24);
    EXPECT_EQ (grid->classifyDrop (4, grid->getHoveredCell(), false), GridUnitContent::DropKind::move);

    // What the user sees: the hovered cell lit and the tile's picture under the pointer.
    auto shot = grid->createComponentSnapshot (grid->getLocalBounds());
    {
        juce::Graphics g (shot);
        g.setOpacity (0.7f);
        g.drawImageAt (source->createComponentSnapshot (source->getLocalBounds()), target->getX() + 14,
                       target->getY() + 10);
    }
    auto folder = juce::File (KESTREL_TEST_OUTPUT_DIR).getChildFile ("screenshots");
    folder.createDirectory();
    juce::FileOutputStream out (folder.getChildFile ("grid-drag-in-progress.png"));
    out.setPosition (0);
    out.truncate();
    juce::PNGImageFormat().writeImageToStream (shot, out);

    target->itemDragExit (details);
    EXPECT_EQ (grid->getHoveredCell(), -1);
    holder.removeChildComponent (grid.get());
}
