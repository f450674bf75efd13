#include "support/WidgetTestKit.h"

#include "skin/knobs/ZOLSliderComponent.h"

using namespace WidgetTestKit;

namespace
{
struct SliderTest : ::testing::Test
{
    void click (int y, int clicks = 1, int x = 20) { slider.mouseDown (mouse (slider, { x, y }, {}, clicks)); }

    std::unique_ptr<ZOLSliderComponent> owned = makeSlider (30, 40);
    ZOLSliderComponent& slider = *owned;
    CodeRecorder codes{ slider };
};
} // namespace

TEST_F (SliderTest, DetentsSnapFractionsAndGiveConsecutiveIntegers)
{
    slider.steps = 3;
    EXPECT_EQ (slider.quantiseFraction (0.3), 0.0);
    EXPECT_EQ (slider.quantiseFraction (0.34), 0.5);
    EXPECT_EQ (slider.quantiseFraction (0.67), 1.0);
    slider.steps = 12;
    EXPECT_EQ (slider.quantiseFraction (1.0), 1.0);
    slider.steps = 1;
    EXPECT_EQ (slider.quantiseFraction (0.9), 0.0);

    slider.valueType = 1;
    slider.rangeMin = 2.0f;
    slider.rangeMax = 200.0f;
    for (int n = 2; n <= 64; ++n)
    {
        slider.steps = (juce::uint8) n;
        for (int i = 0; i < n; ++i)
        {
            slider.setFraction ((double) i / (n - 1));
            ASSERT_EQ (slider.getUnitValue(), 2 + i) << "detent " << i << " of " << n;
        }
    }
}

TEST_F (SliderTest, ClicksOnTheTrackSetTheValueAndDoubleClicksPost9)
{
    click (26);
    EXPECT_EQ (slider.getUnitValue(), 65534);
    EXPECT_EQ (codes.take(), std::vector<int>{ 4 });
    click (114);
    EXPECT_EQ (slider.getUnitValue(), 0);
    EXPECT_EQ (slider.getThumb()->getY(), 108);
    codes.take();

    click (114);      // no movement, no code
    click (60, 1, 2); // beside the track and the thumb
    EXPECT_TRUE (codes.take().empty());
    click (60, 2, 2);
    EXPECT_EQ (codes.take(), std::vector<int>{ 9 });

    slider.mouseDown (mouse (slider, { 20, 50 }, juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier)));
    EXPECT_TRUE (codes.take().empty());
    slider.setHasModifier (true);
    slider.mouseDown (mouse (slider, { 20, 50 }, juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier)));
    slider.modifierActive = true;
    click (26);
    EXPECT_EQ (codes.take(), std::vector<int>{ 3 });
    EXPECT_EQ (slider.getUnitValue(), 0);
}

TEST_F (SliderTest, TrackPositionsLimitThePointer)
{
    slider.trackMin = 10; // pointer range y 30..110 with the track at y 20
    slider.trackMax = 90;
    click (30);
    EXPECT_EQ (slider.getFraction(), 1.0);
    click (70);
    EXPECT_DOUBLE_EQ (slider.getFraction(), 0.5);
    click (119);
    EXPECT_EQ (slider.getFraction(), 0.0);
}

TEST_F (SliderTest, ThumbDragsMoveItAndHoldValuesFromTheUnitUntilReleased)
{
    auto* thumb = slider.getThumb();
    thumb->mouseDown (mouse (*thumb, { 12, 6 }));
    thumb->mouseDrag (mouse (*thumb, { 12, -38 })); // pointer at slider y 70
    EXPECT_EQ (thumb->getY(), 64);
    EXPECT_EQ (codes.take(), std::vector<int>{ 4 });

    slider.setFromDevice (0, 0, "-40.0");
    EXPECT_EQ (thumb->getY(), 64);
    EXPECT_EQ (slider.getReadout()->getText(), "-40.0");
    EXPECT_DOUBLE_EQ (slider.getValueAsDouble(), -40.0);
    thumb->mouseUp (mouse (*thumb, { 12, 6 }));
    EXPECT_EQ (thumb->getY(), 108);

    slider.setFromDevice (0, 300, "0.0");
    EXPECT_EQ (thumb->getY(), 20);
}

TEST_F (SliderTest, AUnitGrowsTheSliderAndNoUnitShrinksItInPlace)
{
    slider.setUnit (1);
    EXPECT_EQ (slider.getBounds(), juce::Rectangle<int> (30, 40, 56, 140));
    EXPECT_EQ (slider.getReadout()->unitText, "dB");
    slider.setUnit (0);
    EXPECT_EQ (slider.getBounds(), juce::Rectangle<int> (30, 40, 40, 140));
}

TEST_F (SliderTest, AcceptedEntriesBecomeTheLastShownValue)
{
    auto* readout = slider.getReadout();
    EXPECT_TRUE (slider.keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    ASSERT_TRUE (slider.isValueEntryActive());
    readout->getEditor()->setText ("3.5", false);
    readout->keyPressed (juce::KeyPress (juce::KeyPress::returnKey), readout->getEditor());
    readout->dispatchPendingMessages();
    EXPECT_DOUBLE_EQ (slider.getValueAsDouble(), 3.5);
    EXPECT_EQ (codes.take(), std::vector<int>{ 10 });
}
