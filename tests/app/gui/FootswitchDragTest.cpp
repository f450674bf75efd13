#include "app/GridUnitContent.h"
#include "app/KestrelFootswitchGrid.h"
#include "skin/KestrelControlManager.h"
#include "skin/KestrelImageDepot.h"
#include "skin/SkinManager.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

// A block dragged with the mouse from one switch to an empty one moves
// there, through the framework's own drag and drop.
TEST (FootswitchDrag, AMouseDragMovesABlockToAnEmptySwitch)
{
    KESTREL_REQUIRE_DISPLAY();
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    KestrelControlManager controls;
    controls.loadFromSkin (&skin, skin.getSkinRoot());
    KestrelImageDepot depot;
    GridUnitContent effectGrid (&skin, nullptr, &depot);

    KestrelFootswitchGrid grid (&skin, &depot, &controls, nullptr, 1);
    grid.fillChoices();
    grid.setTopLeftPosition (0, 0);
    grid.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    grid.setVisible (true);
    pumpMessagesFor (200);
    auto* peer = grid.getPeer();
    ASSERT_NE (peer, nullptr);

    auto& from = *grid.getTile (0, 0);
    auto& to = *grid.getTile (0, 1);
    from.setBlockId (106);

    const auto source = juce::MouseInputSource::InputSourceType::mouse;
    auto send = [&] (juce::Point<int> at, int buttons)
    {
        peer->handleMouseEvent (source, at.toFloat(), juce::ModifierKeys (buttons),
                                juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                juce::Time::currentTimeMillis());
        pumpMessagesFor (30);
    };
    const auto start = from.getBounds().getCentre(), end = to.getBounds().getCentre();
    const int left = juce::ModifierKeys::leftButtonModifier;

    send (start, 0);
    send (start, left);

    for (int step = 1; step <= 10; ++step)
        send (start + (end - start) * step / 10, left);

    EXPECT_EQ (grid.getHoveredBlockId(), 0); // over an empty switch
    send (end, 0);
    pumpMessagesFor (200);

    EXPECT_EQ (to.getBlockId(), 106);
    EXPECT_EQ (from.getBlockId(), 0);
    EXPECT_EQ (from.getShownDropMode(), 0);
    grid.removeFromDesktop();
}
