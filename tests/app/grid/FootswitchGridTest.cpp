#include "app/grid/GridUnitContent.h"
#include "app/grid/KestrelBlockComponent.h"
#include "app/grid/KestrelFootswitchGrid.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLToggleButton.h"

#include <gtest/gtest.h>

namespace
{
constexpr juce::uint16 delay1 = 112, delay2 = 113, filter3 = 164, scene1 = 184, amp = 106, cab = 108;

// The program's skin and templates, and the effect grid that fills the
// image depot, as the editor has them.
class FootswitchGrid : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
        controls.loadFromSkin (&skin, skin.getSkinRoot());
        effectGrid = std::make_unique<GridUnitContent> (&skin, nullptr, &depot);
    }

    std::unique_ptr<KestrelFootswitchGrid> makeGrid (int mode)
    {
        auto grid = std::make_unique<KestrelFootswitchGrid> (&skin, &depot, &controls, nullptr, mode);
        grid->fillChoices();
        return grid;
    }

    static juce::DragAndDropTarget::SourceDetails from (juce::Component& source)
    {
        return { BlockComponent::dragDescription, &source, {} };
    }

    // A drag from the source that enters the target and is dropped there.
    static void drop (BlockComponent& source, FootswitchBlockComponent& target)
    {
        target.itemDragEnter (from (source));
        target.itemDropped (from (source));
    }

    SkinManager skin;
    KestrelControlManager controls;
    KestrelImageDepot depot;
    std::unique_ptr<GridUnitContent> effectGrid;
};

juce::Image paint (juce::Component& c)
{
    juce::Image image (juce::Image::ARGB, c.getWidth(), c.getHeight(), true);
    juce::Graphics g (image);
    c.paintEntireComponent (g, false);
    return image;
}

struct ModifiersHeld
{
    explicit ModifiersHeld (int flags) { juce::ModifierKeys::currentModifiers = juce::ModifierKeys (flags); }
    ~ModifiersHeld() { juce::ModifierKeys::currentModifiers = juce::ModifierKeys(); }
};
} // namespace

TEST_F (FootswitchGrid, BuildsItsControlsFromTheSkin)
{
    auto grid = makeGrid (1);
    auto& tile = *grid->getTile (0, 0);

    // Tiles: the skin's block size at the block offset, the styles of both looks.
    EXPECT_EQ (tile.getBounds(), juce::Rectangle<int> (113, 104, 102, 46));
    EXPECT_TRUE (tile.emptyStyle.icon.isValid());
    EXPECT_TRUE (tile.effectStyle.overlay2.isValid());

    // Number labels: switch 5 at the top left, switch 4 at the bottom right, in the skin's look.
    EXPECT_EQ (grid->getNumberLabel (0, 0)->getText(), "5");
    EXPECT_EQ (grid->getNumberLabel (1, 3)->getBounds(), juce::Rectangle<int> (713, 236, 102, 16));
    EXPECT_EQ (grid->getGlobalLabel (0, 0)->getJustificationType(), juce::Justification (12));

    // The Global button takes the size of its picture; the switches their template.
    auto* global = dynamic_cast<juce::DrawableButton*> (grid->getGlobalButton (0, 1));
    ASSERT_NE (global, nullptr);
    EXPECT_EQ (global->getBounds(), juce::Rectangle<int> (332, 156, 64, 20));
    EXPECT_NE (global->getNormalImage(), nullptr);
    auto* modeSwitch = grid->getGlobalModeSwitch (0, 0);
    ASSERT_NE (modeSwitch, nullptr);
    EXPECT_EQ (modeSwitch->onLabel.text + modeSwitch->offLabel.text, "LatchMomt.");
    EXPECT_EQ (modeSwitch->getPosition(), juce::Point<int> (113, 180));

    // Without templates there are no mode switches.
    KestrelFootswitchGrid bare (&skin, &depot, nullptr, nullptr, 0);
    EXPECT_EQ (bare.getPresetModeSwitch (0, 0), nullptr);
}

TEST_F (FootswitchGrid, TilesShowTheBlockIconAndTheInstanceBadgeOfNumberedBlocks)
{
    auto grid = makeGrid (0);
    auto& tile = *grid->getTile (1, 0);
    const auto one = juce::Colour (0xff00ff00), two = juce::Colour (0xff0000ff);
    juce::Image badge1 (juce::Image::ARGB, 6, 4, true), badge2 (juce::Image::ARGB, 6, 4, true);
    badge1.clear (badge1.getBounds(), one);
    badge2.clear (badge2.getBounds(), two);
    tile.effectStyle.overlay1 = badge1;
    tile.effectStyle.overlay2 = badge2;
    tile.effectStyle.overlayAlphaInactive = 0.5f;

    // The badge hangs one pixel below the icon's top, centred across.
    const int badgeX = 3 + (96 / 2 - 3), badgeY = 3 + 2;
    auto badgeAt = [&] (juce::uint16 id)
    {
        tile.setBlockId (id);
        return paint (tile).getPixelAt (badgeX, badgeY);
    };

    EXPECT_EQ (badgeAt (delay1), one);
    EXPECT_EQ (badgeAt (delay2), two);
    EXPECT_NE (badgeAt (filter3), one);
    EXPECT_NE (badgeAt (filter3), two);
    EXPECT_NE (badgeAt (scene1), one); // a footswitch function, no instance

    // A block that is not engaged shows its badge at the inactive alpha.
    tile.setStates (false, false);
    const auto dimmed = badgeAt (delay1);
    tile.effectStyle.overlay1 = {};
    const auto under = badgeAt (delay1);
    EXPECT_GT (dimmed.getGreen(), under.getGreen() + 40);
    EXPECT_LT (dimmed.getGreen(), 220);

    // The icon is the depot's picture of the block, drawn into the tile less its margin.
    tile.setStates (true, false);
    tile.setBlockId (amp);
    const auto icon = depot.getBlockImage (amp, BlockImageSet::icon).getPixelAt (5, 10);
    const auto shown = paint (tile).getPixelAt (3 + 10, 3 + 20);
    EXPECT_NEAR (shown.getRed(), icon.getRed(), 6);
    EXPECT_NEAR (shown.getGreen(), icon.getGreen(), 6);
    EXPECT_NEAR (shown.getBlue(), icon.getBlue(), 6);
}

TEST_F (FootswitchGrid, DroppingATileOnAnotherSwapsOrMovesTheBlocks)
{
    auto grid = makeGrid (1);
    auto& a = *grid->getTile (0, 0);
    auto& b = *grid->getTile (0, 1);
    auto& c = *grid->getTile (0, 2);
    a.setBlockId (amp);
    b.setBlockId (cab);

    // Onto an occupied tile: a swap, which reaches the assignments.
    ASSERT_TRUE (b.isInterestedInDragSource (from (a)));
    EXPECT_FALSE (a.isInterestedInDragSource (from (a)));
    EXPECT_EQ (grid->getDropMode(), FootswitchBlockComponent::dropMove);
    b.itemDragEnter (from (a));
    EXPECT_EQ (grid->getDropMode(), FootswitchBlockComponent::dropSwap);
    b.itemDropped (from (a));
    EXPECT_EQ (a.getBlockId(), cab);
    EXPECT_EQ (b.getBlockId(), amp);
    EXPECT_EQ (grid->getAssignments()[footswitchIndexAt (0, 1)].globalBlockId, amp);
    EXPECT_EQ (grid->getHoveredBlockId(), 0);

    // With Ctrl held: a move, the source left empty.
    {
        ModifiersHeld ctrl (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::commandModifier);
        drop (a, b);
    }
    EXPECT_EQ (a.getBlockId(), 0);
    EXPECT_EQ (b.getBlockId(), cab);

    // Onto an empty tile: a move.
    drop (b, c);
    EXPECT_EQ (b.getBlockId(), 0);
    EXPECT_EQ (c.getBlockId(), cab);
}

TEST_F (FootswitchGrid, ABlockDroppedFromTheEffectGridMovesToTheSwitch)
{
    auto grid = makeGrid (1);
    auto& looper = *effectGrid->getTile (0);
    auto& ampOnGrid = *effectGrid->getTile (1);
    auto& shunt = *effectGrid->getTile (2);
    looper.setBlockId (FootswitchBlockComponent::looperBlockId);
    ampOnGrid.setBlockId (amp);
    shunt.setBlockId (300);

    // The looper is switched by its control block.
    drop (looper, *grid->getTile (1, 0));
    EXPECT_EQ (grid->getTile (1, 0)->getBlockId(), FootswitchBlockComponent::looperControlBlockId);

    // A block another switch holds leaves that switch.
    grid->getTile (1, 1)->setBlockId (amp);
    drop (ampOnGrid, *grid->getTile (0, 3));
    EXPECT_EQ (grid->getTile (0, 3)->getBlockId(), amp);
    EXPECT_EQ (grid->getTile (1, 1)->getBlockId(), 0);

    // On the per-preset page a global switch showing the block keeps it: the
    // switch that really holds it is cleared.
    auto perPreset = makeGrid (0);
    auto& locked = *perPreset->getTile (0, 0);
    locked.setBlockId (amp);
    locked.isGlobalLocked = true;
    perPreset->getTile (1, 1)->setBlockId (amp);
    perPreset->clearBlockId (amp);
    EXPECT_EQ (locked.getBlockId(), amp);
    EXPECT_EQ (perPreset->getTile (1, 1)->getBlockId(), 0);

    // The effect grid takes no footswitch tile.
    EXPECT_FALSE (effectGrid->getTile (3)->isInterestedInDragSource (from (*grid->getTile (1, 0))));

    // A shunt is no block a switch can hold.
    EXPECT_FALSE (grid->getTile (1, 2)->isInterestedInDragSource (from (shunt)));
    drop (shunt, *grid->getTile (1, 2));
    EXPECT_EQ (grid->getTile (1, 2)->getBlockId(), 0);
}
