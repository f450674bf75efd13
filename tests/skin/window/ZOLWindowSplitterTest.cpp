#include "skin/window/ZOLWindowSplitter.h"
#include "support/WidgetTestKit.h"

#include <gtest/gtest.h>

namespace
{
using WidgetTestKit::mouse;

struct CodeLog : juce::ChangeListener
{
    explicit CodeLog (ZOLWindowSplitter& s)
        : splitter (s)
    {
        splitter.addChangeListener (this);
    }
    ~CodeLog() override { splitter.removeChangeListener (this); }
    void changeListenerCallback (juce::ChangeBroadcaster*) override { codes.push_back (splitter.getChangeCode()); }

    // Delivers what the splitter posted, as the message loop would.
    void deliver() { splitter.dispatchPendingMessages(); }

    ZOLWindowSplitter& splitter;
    std::vector<int> codes;
};

// A vertical bar 11 wide in a 211-wide window rectangle at x 100: 200 pixels of travel.
struct Bar
{
    Bar()
    {
        splitter.windowRect = { 100, 10, 211, 50 };
        splitter.setBounds (100, 10, 11, 50);
        splitter.defaultPosition = 0.25;
    }
    ZOLWindowSplitter splitter;
};

const auto left = juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
} // namespace

TEST (ZOLWindowSplitter, ADragStopsAtBothEndsAndReportsEachStepThenItsEnd)
{
    Bar bar;
    auto& s = bar.splitter;
    CodeLog log (s);

    s.mouseDown (mouse (s, { 5, 5 }, left));
    s.mouseDrag (mouse (s, { 55, 30 }, left));
    log.deliver();
    EXPECT_EQ (s.getPosition(), juce::Point<int> (150, 10)) << "moves along its axis only";
    EXPECT_DOUBLE_EQ (s.getProportionalPosition(), 0.25);

    s.mouseDrag (mouse (s, { 900, 5 }, left));
    log.deliver();
    EXPECT_EQ (s.getX(), 300);
    EXPECT_DOUBLE_EQ (s.getProportionalPosition(), 1.0);

    s.mouseDrag (mouse (s, { -900, 5 }, left));
    log.deliver();
    EXPECT_EQ (s.getX(), 100);
    EXPECT_DOUBLE_EQ (s.getProportionalPosition(), 0.0);

    s.mouseUp (mouse (s, { 5, 5 }));
    log.deliver();
    EXPECT_EQ (log.codes, (std::vector<int>{ 1, 1, 1, 2 }));
    EXPECT_FALSE (s.isDragging());
}

TEST (ZOLWindowSplitter, PositionsOutsideTheRangeMeanTheDefaultAndRoundHalvesToEven)
{
    Bar bar;
    auto& s = bar.splitter;
    CodeLog log (s);

    s.setProportionalPosition (true, 1.2);
    log.deliver();
    EXPECT_EQ (s.getX(), 150);
    EXPECT_EQ (log.codes, (std::vector<int>{ 2 }));

    s.setProportionalPosition (false, -0.1);
    EXPECT_EQ (s.getX(), 150);

    s.windowRect = { 0, 0, 22, 50 };
    s.setProportionalPosition (false, 0.5);
    EXPECT_EQ (s.getX(), 6) << "5.5 rounds to 6";
    s.setProportionalPosition (false, 4.5 / 11.0);
    EXPECT_EQ (s.getX(), 4) << "4.5 rounds to 4";
    EXPECT_EQ (log.codes.size(), 1u);
}

TEST (ZOLWindowSplitter, ADoubleClickResetsAnEnabledBarOnly)
{
    Bar bar;
    auto& s = bar.splitter;
    CodeLog log (s);
    s.setTopLeftPosition (280, 10);

    s.setEnabled (false);
    s.mouseDown (mouse (s, { 5, 5 }, left, 2));
    log.deliver();
    EXPECT_EQ (s.getX(), 280);
    EXPECT_TRUE (log.codes.empty());

    s.setEnabled (true);
    s.mouseDown (mouse (s, { 5, 5 }, left, 2));
    log.deliver();
    EXPECT_EQ (s.getX(), 150);
    EXPECT_EQ (log.codes, (std::vector<int>{ 2 }));
    EXPECT_FALSE (s.isDragging());
}

TEST (ZOLWindowSplitter, AWindowWithNoRoomGivesAFractionOfZeroNeverNaN)
{
    ZOLWindowSplitter s;
    s.vertical = false;
    s.windowRect = { 0, 40, 300, 11 };
    s.setBounds (0, 40, 300, 11);
    EXPECT_EQ (s.getProportionalPosition(), 0.0);
    s.setProportionalPosition (false, 0.7);
    EXPECT_EQ (s.getY(), 40);
}

TEST (ZOLWindowSplitter, PaintsItsStripeAndDotAndOffersTheResizeCursorOnItsAxis)
{
    ZOLWindowSplitter s;
    s.setBounds (0, 0, 11, 60);
    s.backgroundColour = juce::Colour (0xff272824);
    s.stripeColour = juce::Colour (0xff3a3e44);
    s.dotColour = juce::Colour (0xffd5d5d5);
    s.stripeWidth = 3;
    s.dotWidth = s.dotHeight = 5;

    auto image = s.createComponentSnapshot (s.getLocalBounds());
    EXPECT_EQ (image.getPixelAt (0, 5), s.backgroundColour);
    EXPECT_EQ (image.getPixelAt (5, 5), s.stripeColour);
    EXPECT_EQ (image.getPixelAt (5, 30), s.dotColour);

    EXPECT_TRUE (s.getMouseCursor() == juce::MouseCursor (juce::MouseCursor::ParentCursor));
    s.mouseEnter (mouse (s, { 5, 5 }));
    EXPECT_TRUE (s.getMouseCursor() == juce::MouseCursor (juce::MouseCursor::LeftRightResizeCursor));
    s.vertical = false;
    EXPECT_TRUE (s.getMouseCursor() == juce::MouseCursor (juce::MouseCursor::UpDownResizeCursor));
    s.resizeCursorAllowed = false;
    EXPECT_TRUE (s.getMouseCursor() == juce::MouseCursor (juce::MouseCursor::ParentCursor));
}
