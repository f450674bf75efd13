#include "skin/knobs/TriStateSlider.h"
#include "support/WidgetTestKit.h"

#include <gtest/gtest.h>

namespace
{
using namespace WidgetTestKit;

struct Switch
{
    Switch()
    {
        for (int i = 0; i < 3; ++i)
            slider.createPositionLabel (i, { 24, 4 + 16 * i, 0, 14 }, juce::Font (12.0f), 12.0f, ink, accent,
                                        juce::Justification::centredLeft);
    }

    // A click on a position label, delivered as the message loop would.
    void click (int index)
    {
        auto* label = slider.getPositionLabel (index);
        label->mouseDown (mouse (*label, { 2, 2 }, juce::ModifierKeys::leftButtonModifier));
        label->dispatchPendingMessages();
    }

    TriStateSlider slider{ { 0, 0, 80, 56 },   0, 0, 0, 20, 0, 40, "Mode", true, solid (14, 56, bezel),
                           solid (14, 12, ink) };
};
} // namespace

TEST (TriStateSlider, PositionsAreSetOnlyFromListsOfEqualLengthAndAtMostThree)
{
    Switch s;
    ASSERT_TRUE (s.slider.setPositions ({ "Low", "Mid", "High" }, { 0, 32767, 65534 }));

    EXPECT_TRUE (s.slider.setPositions ({ "Off", "On" }, { 0, 65534 }));
    EXPECT_EQ (s.slider.getPositionLabel (0)->getText(), "Off");
    EXPECT_EQ (s.slider.getPositionLabel (1)->getText(), "On");
    EXPECT_EQ (s.slider.getPositionLabel (2)->getText(), "High") << "left untouched";
    EXPECT_EQ (s.slider.getPositionValue (2), 65534);
    EXPECT_EQ (s.slider.getPositionLabel (0)->getWidth(),
               juce::roundToInt (s.slider.getPositionLabel (0)->getFont().getStringWidthFloat ("Off   ")));

    EXPECT_FALSE (s.slider.setPositions ({ "A", "B", "C" }, { 1, 2 }));
    EXPECT_EQ (s.slider.getPositionLabel (0)->getText(), "Off");
    EXPECT_EQ (s.slider.getPositionValue (1), 65534);

    EXPECT_TRUE (s.slider.setPositions ({ "A", "B", "C", "D" }, { 1, 2, 3, 4 }));
    EXPECT_EQ (s.slider.getPositionValue (2), 3);
    EXPECT_EQ (s.slider.getPositionLabel (3), nullptr);
}

TEST (TriStateSlider, AClickOnAPositionLabelReportsItsValueAsATypedValue)
{
    Switch s;
    s.slider.setPositions ({ "Low", "Mid", "High" }, { 0, 32767, 65534 });
    s.slider.setFraction (1.0);
    EXPECT_EQ (s.slider.getValueAsDouble(), 0.0) << "not derived from the thumb";

    s.click (1);
    EXPECT_EQ (s.slider.getChangeCode(), 10);
    EXPECT_EQ (s.slider.getValueAsDouble(), 32767.0);

    s.click (2);
    EXPECT_EQ (s.slider.getValueAsDouble(), 65534.0);

    // Messages from other sources go to the slider itself, not to the positions.
    juce::ChangeBroadcaster stranger;
    s.slider.changeListenerCallback (&stranger);
    s.slider.changeListenerCallback (nullptr);
    EXPECT_EQ (s.slider.getValueAsDouble(), 65534.0);
}

TEST (TriStateSlider, ReplacedAndOutOfRangeLabelsAndLabelsWithoutSize)
{
    Switch s;
    auto* first = s.slider.getPositionLabel (0);
    s.slider.createPositionLabel (0, { 30, 0, 0, 0 }, juce::Font (12.0f), 12.0f, ink, accent,
                                  juce::Justification::centredLeft);
    EXPECT_NE (s.slider.getPositionLabel (0), first);
    EXPECT_EQ (s.slider.getPositionLabel (0)->getBounds(), juce::Rectangle<int> (30, 0, 80, 56));
    EXPECT_TRUE (s.slider.getPositionLabel (0)->clickable);
    EXPECT_EQ (s.slider.getNumChildComponents(), 4) << "the thumb and three labels";

    s.slider.createPositionLabel (3, { 0, 0, 10, 10 }, juce::Font (12.0f), 12.0f, ink, accent,
                                  juce::Justification::left);
    s.slider.createPositionLabel (-1, { 0, 0, 10, 10 }, juce::Font (12.0f), 12.0f, ink, accent,
                                  juce::Justification::left);
    EXPECT_EQ (s.slider.getNumChildComponents(), 4);
}

TEST (TriStateSlider, TheThumbShowsTheModifierPicturesOnlyWhenItHasThem)
{
    Switch s;
    auto thumbImage = [&s]
    {
        auto* drawable = dynamic_cast<juce::DrawableImage*> (s.slider.getThumb()->getNormalImage());
        return drawable != nullptr ? drawable->getImage() : juce::Image();
    };
    auto original = thumbImage();

    s.slider.setHasModifier (true);
    EXPECT_EQ (thumbImage(), original) << "no modifier pictures";

    s.slider.modifierOnThumb = solid (14, 12, accent);
    s.slider.modifierOffThumb = solid (14, 12, rim);
    s.slider.modifierActive = true;
    s.slider.modifierChanged();
    EXPECT_EQ (thumbImage().getPixelAt (5, 5), accent);

    s.slider.modifierActive = false;
    s.slider.modifierChanged();
    EXPECT_EQ (thumbImage().getPixelAt (5, 5), rim);
}
