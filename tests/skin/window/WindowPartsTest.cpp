#include "support/WidgetTestKit.h"
#include "skin/engine/ColoredMenuItem.h"
#include "skin/window/ZolBoundsConstrainer.h"

#include <gtest/gtest.h>

namespace
{
// The main window's values: a 1024 by 647 content in a 4-pixel frame with a
// 28-pixel title bar.
struct MainWindowConstrainer : ZolBoundsConstrainer
{
    MainWindowConstrainer() { setUp (*this); }
    static void setUp (ZolBoundsConstrainer& c)
    {
        c.designWidth = 1024;
        c.designHeight = 647;
        c.borderTop = c.borderLeft = c.borderBottom = c.borderRight = 4;
        c.titleBarHeight = 28;
    }
};

juce::Rectangle<int> resize (ZolBoundsConstrainer& c, juce::Rectangle<int> wanted, bool bottom, bool right)
{
    c.checkBounds (wanted, { 0, 0, 1032, 683 }, {}, false, false, bottom, right);
    return wanted;
}
} // namespace

TEST (ZolBoundsConstrainer, TheHeightDecidesAndTheWidthFollowsTheDesignRatio)
{
    MainWindowConstrainer c;

    // Dragging the bottom edge to a content height of 323.
    EXPECT_EQ (resize (c, { 0, 0, 1032, 4 + 4 + 28 + 323 }, true, false), juce::Rectangle<int> (0, 0, 8 + 511, 359));

    // Dragging only the right edge: the width snaps back to the ratio.
    EXPECT_EQ (resize (c, { 0, 0, 1400, 683 }, false, true), juce::Rectangle<int> (0, 0, 1032, 683));

    // Squeezed below its frame: no content, the frame's width.
    EXPECT_EQ (resize (c, { 0, 0, 300, 20 }, true, true), juce::Rectangle<int> (0, 0, 8, 36));
}

TEST (ZolBoundsConstrainer, AWidthBeyondTheSizeLimitsMakesTheHeightFollowInstead)
{
    MainWindowConstrainer c;
    c.setSizeLimits (520, 359, 1500, 1330);

    auto tall = resize (c, { 0, 0, 1032, 1330 }, true, false);
    EXPECT_EQ (tall.getWidth(), 1500);
    EXPECT_NEAR ((tall.getWidth() - 8) / (double) (tall.getHeight() - 36), 1024.0 / 647.0, 0.01);

    // Without a design size the window is only kept within its limits.
    ZolBoundsConstrainer unset;
    EXPECT_EQ (resize (unset, { 0, 0, 300, 200 }, true, true), juce::Rectangle<int> (0, 0, 300, 200));
}

TEST (ColoredMenuItem, ASwatchWithItsCaptionFramedWhileTheMouseIsOverIt)
{
    ColoredMenuItem item;
    item.setBounds (0, 0, 60, 20);
    item.colour = juce::Colour (0xffc0504d);
    item.text = "";

    auto shot = [&item] { return item.createComponentSnapshot (item.getLocalBounds()); };
    auto plain = shot();
    EXPECT_EQ (plain.getPixelAt (2, 2), item.colour);
    EXPECT_EQ (plain.getPixelAt (30, 10), item.colour) << "an empty caption shows only the swatch";

    item.mouseEnter (WidgetTestKit::mouse (item, { 5, 5 }));
    auto framed = shot();
    EXPECT_EQ (framed.getPixelAt (2, 10), juce::Colours::black);
    EXPECT_EQ (framed.getPixelAt (30, 10), item.colour);

    item.mouseExit (WidgetTestKit::mouse (item, { 70, 5 }));
    EXPECT_EQ (shot().getPixelAt (2, 10), item.colour);

    item.text = "Red";
    item.textColour = juce::Colours::white;
    item.font = juce::Font (16.0f);
    auto captioned = shot();
    bool textDrawn = false;
    for (int x = 20; x < 40 && ! textDrawn; ++x)
        for (int y = 4; y < 16 && ! textDrawn; ++y)
            textDrawn = captioned.getPixelAt (x, y) != item.colour;
    EXPECT_TRUE (textDrawn);
}
