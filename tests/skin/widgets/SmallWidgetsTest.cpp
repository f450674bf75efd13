#include "support/WidgetTestKit.h"

#include "skin/knobs/BrakFxMeter.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/WidgetLabel.h"
#include "skin/widgets/ZOLBorderedImageComponent.h"
#include "skin/knobs/ZOLGraphComponent.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLLedComponent.h"
#include "skin/knobs/ZOLMeterComponent.h"
#include "skin/widgets/ZOLProgressBar.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/knobs/ZOLSliderComponent.h"

#include <limits>

using namespace WidgetTestKit;

namespace
{
ZOLLabelComponent makeLabel (juce::Justification justification = juce::Justification::centred)
{
    return ZOLLabelComponent (0, 0, 120, 20, juce::Font(), 14.0f, juce::Colours::white, justification);
}

int maxAlpha (const juce::Image& image)
{
    int most = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            most = juce::jmax (most, (int) image.getPixelAt (x, y).getAlpha());
    return most;
}
} // namespace

TEST (Label, DisabledTextIsDimmedUnlessAlphaIsOff)
{
    auto label = makeLabel();
    label.setText ("Feedback", juce::dontSendNotification);
    EXPECT_GT (maxAlpha (snapshot (label)), 250);
    label.setEnabled (false);
    auto dimmed = maxAlpha (snapshot (label));
    EXPECT_GE (dimmed, 120);
    EXPECT_LE (dimmed, 135);
    label.setUseAlpha (false);
    EXPECT_GT (maxAlpha (snapshot (label)), 250);
}

TEST (Label, StateColoursFollowSelectionBeforeMouseOver)
{
    auto label = makeLabel();
    label.selected = true;
    label.applyStateColours();
    EXPECT_EQ (label.findColour (juce::Label::textColourId), juce::Colours::white);

    const juce::Colour n (0xFF101010), s (0xFF202020), o (0xFF303030);
    label.setStateColours (n, n, s, s, o, o);
    label.mouseEnter (mouse (label, { 2, 2 }));
    EXPECT_EQ (label.findColour (juce::Label::textColourId), s);
    EXPECT_EQ (label.findColour (juce::Label::backgroundColourId), s);
    label.selected = false;
    label.applyStateColours();
    EXPECT_EQ (label.findColour (juce::Label::textColourId), o);
    label.mouseExit (mouse (label, { 2, 2 }));
    EXPECT_EQ (label.findColour (juce::Label::textColourId), n);
}

TEST (Label, SideLinesOnlyForCentredTitlesAndPressesOnlyWhenClickable)
{
    for (auto centred : { true, false })
    {
        auto label = makeLabel (centred ? juce::Justification::centred : juce::Justification::centredLeft);
        label.setText ("Mix", juce::dontSendNotification);
        label.sideLines = true;
        label.sideLineColour = accent;
        EXPECT_EQ (countNear (snapshot (label), { 0, 0, 120, 20 }, accent) > 0, centred);
    }

    auto label = makeLabel();
    CodeRecorder codes (label);
    label.mouseDown (mouse (label, { 2, 2 }));
    EXPECT_TRUE (codes.take().empty());
    label.clickable = true;
    label.mouseDown (mouse (label, { 2, 2 }));
    EXPECT_EQ (codes.take(), std::vector<int>{ 1 });

    label.setText ("Level", juce::dontSendNotification);
    label.fitWidthToText();
    EXPECT_EQ (label.getWidth(), juce::roundToInt (label.getFont().getStringWidthFloat ("Level   ")));
}

TEST (Label, SkinFontsFallBackToTheSkinsStandIn)
{
    SkinManager skin;
    auto standIn = juce::Font ("DejaVu Serif", 10.0f, juce::Font::plain).getTypefacePtr();
    skin.addTypeface (SkinManager::missingFontName, standIn);
    ZOLLabelComponent unknown (&skin, 0, 0, 50, 20, "caption", "Gain", "_nope.stf", 11.0f, ink,
                               juce::Justification::centred);
    EXPECT_EQ (unknown.getFont().getTypefacePtr(), standIn);
    EXPECT_EQ (unknown.getFont().getHeight(), 11.0f);
    ZOLLabelComponent unnamed (&skin, 0, 0, 50, 20, "caption", "Gain", "", -3.0f, ink, juce::Justification::centred);
    EXPECT_EQ (unnamed.getFont().getTypefaceName(), juce::Font().getTypefaceName());
    EXPECT_EQ (unnamed.getFont().getHeight(), 14.0f);
    EXPECT_TRUE (skin.getImage ("none.png").isValid());
}

TEST (Led, ShowsItsOffImageWhileDisabled)
{
    ZOLLedComponent led (4, 5, "Clip", solid (12, 12, accent), solid (12, 12, bezel));
    EXPECT_EQ (led.getBounds(), juce::Rectangle<int> (4, 5, 12, 12));
    led.setEnabled (false);
    EXPECT_EQ (countNear (snapshot (led), led.getLocalBounds(), bezel), 144);
    led.setEnabled (true);
    EXPECT_EQ (countNear (snapshot (led), led.getLocalBounds(), accent), 144);
}

TEST (BorderedImage, DrawsTheImageInsideItsBorder)
{
    ZOLBorderedImageComponent picture;
    picture.setSize (40, 30);
    picture.setImage (solid (10, 10, accent));
    picture.borderWidth = 2;
    picture.borderColour = ink;
    EXPECT_EQ (picture.getImageArea(), juce::Rectangle<int> (2, 2, 36, 26));
    auto image = snapshot (picture);
    EXPECT_EQ (countNear (image, { 2, 2, 36, 26 }, accent), 36 * 26);
    EXPECT_EQ (countNear (image, { 0, 0, 40, 30 }, ink), 40 * 30 - 36 * 26);

    picture.setImage ({});
    picture.fillBackground = true;
    picture.backgroundColour = panel;
    EXPECT_EQ (countNear (snapshot (picture), { 2, 2, 36, 26 }, panel), 36 * 26);

    picture.borderWidth = 500;
    EXPECT_TRUE (picture.getImageArea().isEmpty());
    snapshot (picture);
}

TEST (BadInput, EmptyOrNegativeSizesAndUnusableNumbersAreTamed)
{
    const auto nan = std::numeric_limits<float>::quiet_NaN();
    juce::Image canvas (juce::Image::ARGB, 40, 40, true);
    juce::Graphics g (canvas);
    auto paint = [&g] (juce::Component& c) { c.paintEntireComponent (g, false); };

    ZOLRotaryKnob knob ({ 0, 0, -5, -5 }, {}, { 0, 0, -1, -1 }, knobTop(), {});
    knob.attachReadout ({ 0, 0, -3, 0 }, {}, nullptr, nan, ink, juce::Justification::centred, {}, nan);
    knob.setLabelStyle ({}, juce::Justification::centred, nullptr, ink, -4.0f);
    knob.angleMin = nan;
    knob.setFromDevice (0, 60000, juce::String::repeatedString ("8", 100000));
    EXPECT_EQ (knob.getBounds(), juce::Rectangle<int>());
    EXPECT_FLOAT_EQ (knob.getAngle(), -2.4f);
    paint (knob);

    ZOLSliderComponent slider ({ 0, 0, -9, -9 }, {}, 0, 0, 0, 0, 50, 10, {}, false, {}, {}, {});
    slider.setFraction (nan);
    EXPECT_TRUE (slider.setPositionFromPixel (1000000) == false);
    EXPECT_EQ (slider.getUnitValue(), 0);
    paint (slider);

    ZOLMeterComponent meter ({ 5, 5, -1, 10 }, -3, -3, {}, {}, false);
    meter.fillDirection = 9;
    meter.setFromDevice (7, 0, {});
    BrakFxMeter level (0, 0, {}, {}, {}, {});
    level.setLevel (std::numeric_limits<double>::infinity());
    level.timerCallback();
    level.stopTimer();
    ZOLGraphComponent graph ({}, { 0, 0, -10, -10 }, ink, nan, true);
    ZOLLabelComponent label (0, 0, -20, -20, juce::Font(), nan, ink, juce::Justification::centred);
    label.setBackgroundImage ({}, { 0, 0, -4, -4 });
    ZOLLedComponent led (0, 0, {}, {}, {});
    for (juce::Component* c : std::initializer_list<juce::Component*>{ &meter, &level, &graph, &label, &led })
    {
        EXPECT_GE (c->getWidth(), 0);
        paint (*c);
    }
    EXPECT_EQ (level.getShownFraction(), 0.0);

    ZOLProgressBar bar;
    bar.progress = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ (bar.getShownProgress(), 0.0);
    bar.progress = 7.0;
    EXPECT_EQ (bar.getShownProgress(), 1.0);
    EXPECT_EQ (label.getFont().getHeight(), 14.0f);
}

// A caption too long for its one-line cell keeps its font size: it is not
// broken onto a second line squeezed into the same height.
TEST (WidgetLabel, ACaptionTooLongForItsCellStaysOnOneLineAtItsSize)
{
    WidgetLabel caption (juce::Colours::white, juce::Justification::centred, 11.0f);
    caption.setStyle ({ 0, 0, 72, 13 }, juce::Justification::centred, nullptr, juce::Colours::white, 11.0f,
                      { 0, 0, 72, 80 });
    caption.text = "Input Trim Level Boost Amount";

    juce::Image image (juce::Image::ARGB, 72, 20, true);
    {
        juce::Graphics g (image);
        caption.paint (g);
    }

    // Bands of rows with ink, and the height of the tallest one.
    int bands = 0, tallest = 0, run = 0;
    for (int y = 0; y < image.getHeight(); ++y)
    {
        bool ink = false;
        for (int x = 0; x < image.getWidth() && ! ink; ++x)
            ink = image.getPixelAt (x, y).getAlpha() > 100;
        run = ink ? run + 1 : 0;
        bands += run == 1 ? 1 : 0;
        tallest = juce::jmax (tallest, run);
    }
    EXPECT_EQ (bands, 1);
    EXPECT_GE (tallest, 7);
}
