#include "app/grid/GridUnitContent.h"
#include "app/grid/KestrelBlockComponent.h"
#include "app/grid/KestrelFootswitchGrid.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinManager.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace
{
void sendMouse (juce::ComponentPeer& peer, juce::Point<int> at, int buttons)
{
    peer.handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at.toFloat(), juce::ModifierKeys (buttons),
                           juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                           juce::Time::currentTimeMillis());
    pumpPostedMessages();
}

// The built-in skin, its control templates and image depot, and a way to
// show a component as a window of its own.
class FootswitchDrag : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KESTREL_REQUIRE_DISPLAY();
        ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
        controls.loadFromSkin (&skin, skin.getSkinRoot());
    }

    static juce::ComponentPeer* showOnDesktop (juce::Component& component)
    {
        component.addToDesktop (juce::ComponentPeer::windowIsTemporary);
        component.setVisible (true);
        // Focused once the display has mapped the window, so its own events for the showing are in.
        component.toFront (true);
        pumpMessagesUntil ([&] { return component.getPeer() != nullptr && component.getPeer()->isFocused(); });
        return component.getPeer();
    }

    SkinManager skin;
    KestrelControlManager controls;
    KestrelImageDepot depot;
};
} // namespace

// A block dragged with the mouse from one switch to an empty one moves
// there, through the framework's own drag and drop.
TEST_F (FootswitchDrag, AMouseDragMovesABlockToAnEmptySwitch)
{
    GridUnitContent effectGrid (&skin, nullptr, &depot);

    KestrelFootswitchGrid grid (&skin, &depot, &controls, nullptr, 1);
    grid.fillChoices();
    grid.setTopLeftPosition (0, 0);
    auto* peer = showOnDesktop (grid);
    ASSERT_NE (peer, nullptr);

    auto& from = *grid.getTile (0, 0);
    auto& to = *grid.getTile (0, 1);
    from.setBlockId (106);

    auto send = [peer] (juce::Point<int> at, int buttons) { sendMouse (*peer, at, buttons); };
    const auto start = from.getBounds().getCentre(), end = to.getBounds().getCentre();
    const int left = juce::ModifierKeys::leftButtonModifier;

    send (start, 0);
    send (start, left);

    for (int step = 1; step <= 10; ++step)
        send (start + (end - start) * step / 10, left);

    // The drag reached the empty switch, which shows a move.
    EXPECT_TRUE (to.isDragOver());
    EXPECT_EQ (from.getShownDropMode(), FootswitchBlockComponent::dropMove);
    send (end, 0);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return to.getBlockId() == 106; }));

    EXPECT_EQ (to.getBlockId(), 106);
    EXPECT_EQ (from.getBlockId(), 0);
    EXPECT_EQ (from.getShownDropMode(), 0);

    // A right click clicks the switch first (it is selected, so its menu acts on it), then opens the menu.
    ScriptedInteraction interaction;
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! grid.isDragAndDropActive(); }));
    ASSERT_FALSE (to.getToggleState());
    send (end, juce::ModifierKeys::rightButtonModifier);
    send (end, 0);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return ! interaction.menus.empty(); }));
    EXPECT_EQ (interaction.menus.size(), 1u);
    EXPECT_TRUE (to.getToggleState());
    grid.removeFromDesktop();
}

namespace
{
// Both grids in one window, as in the editor.
struct BothGrids : juce::Component, juce::DragAndDropContainer
{
    BothGrids (SkinManager& skin, KestrelImageDepot& depot, KestrelControlManager& controls)
        : effectGrid (&skin, nullptr, &depot), footswitches (&skin, &depot, &controls, nullptr, 1)
    {
        footswitches.fillChoices();
        addAndMakeVisible (effectGrid);
        addAndMakeVisible (footswitches);
        effectGrid.setTopLeftPosition (0, 0);
        footswitches.setTopLeftPosition (0, effectGrid.getBottom());
        setSize (juce::jmax (effectGrid.getWidth(), footswitches.getWidth()), footswitches.getBottom());
    }

    GridUnitContent effectGrid;
    KestrelFootswitchGrid footswitches;
};
} // namespace

// An effect-grid block dragged over a footswitch shows the move cursor
// before it is dropped there.
TEST_F (FootswitchDrag, AnEffectGridBlockOverASwitchShowsAMove)
{
    BothGrids window (skin, depot, controls);
    auto* peer = showOnDesktop (window);
    ASSERT_NE (peer, nullptr);

    // Every group of a switch's block menu carries its type's icon (or the depot's stand-in).
    auto menu = window.footswitches.createBlockMenu (0, 0);
    ASSERT_NE (menu, nullptr);
    int groups = 0;
    for (juce::PopupMenu::MenuItemIterator it (*menu); it.next();)
        if (auto& item = it.getItem(); (item.itemID > 0 && item.itemID != 65535) || item.subMenu != nullptr)
        {
            ++groups;
            EXPECT_NE (item.image, nullptr) << item.text;
        }
    EXPECT_GT (groups, 1);

    auto& block = *window.effectGrid.getTile (1);
    auto& target = *window.footswitches.getTile (0, 0);
    block.setBlockId (106);

    auto send = [peer] (juce::Point<int> at, int buttons) { sendMouse (*peer, at, buttons); };
    const auto* moveCursor = depot.getCursor (ImageDepot::moveCursor);
    ASSERT_NE (moveCursor, nullptr);

    const auto start = window.getLocalPoint (&block, block.getLocalBounds().getCentre());
    const auto end = window.getLocalPoint (&target, target.getLocalBounds().getCentre());
    send (start, 0);

    for (int step = 0; step <= 10; ++step)
        send (start + (end - start) * step / 10, juce::ModifierKeys::leftButtonModifier);

    EXPECT_TRUE (target.isDragOver());
    EXPECT_TRUE (block.getMouseCursor() == *moveCursor);
    send (end, 0);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return target.getBlockId() == 106; }));
    EXPECT_EQ (target.getBlockId(), 106);
    window.removeFromDesktop();
}
