#include "support/WidgetTestKit.h"

#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLResizableComponent.h"
#include "skin/knobs/ZOLRotaryKnob.h"

#include <cmath>
#include <limits>

using namespace WidgetTestKit;

namespace
{
struct UnitCounter : ZOLEffectParam
{
    int calls = 0;
    void unitChanged() override { ++calls; }
};

} // namespace

TEST (WidgetBases, MapsFractionsToUnitValuesWithinTheRange)
{
    ZOLEffectParam p;
    EXPECT_EQ (p.mapFractionToUnitValue (0.0), 0);
    EXPECT_EQ (p.mapFractionToUnitValue (1.0), 65534);

    p.valueType = 1;
    p.rangeMax = 10.0f;
    EXPECT_EQ (p.mapFractionToUnitValue (0.0), 0);
    EXPECT_EQ (p.mapFractionToUnitValue (0.5), 6);
    // Full travel ends on the range's last value, not one past it.
    EXPECT_EQ (p.mapFractionToUnitValue (1.0), 10);

    p.rangeMin = -12.0f;
    p.rangeMax = 12.0f;
    EXPECT_EQ (p.mapFractionToUnitValue (0.5), 13);
    EXPECT_EQ (p.mapFractionToUnitValue (1.0), 24);

    p.rangeMin = p.rangeMax = 0.0f;
    EXPECT_EQ (p.mapFractionToUnitValue (1.0), 65534);

    for (auto bad : { std::nan (""), std::numeric_limits<double>::infinity(), -5.0 })
        EXPECT_EQ (p.mapFractionToUnitValue (bad), 0);
    p.rangeMin = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ (p.mapFractionToUnitValue (1.0), 65534);
}

TEST (WidgetBases, KeyCombinationsMatchExactlyAndFlipWheelSteps)
{
    ZOLEffectParam p;
    {
        HeldKeys none (0);
        EXPECT_TRUE (p.areDoubleClickKeysHeld());
        EXPECT_EQ (p.getWheelChangeCode (true), 5);
        EXPECT_EQ (p.getWheelChangeCode (false), 7);
    }
    {
        HeldKeys ctrl (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::leftButtonModifier);
        EXPECT_TRUE (p.areFineKeysHeld());
        EXPECT_FALSE (p.areDoubleClickKeysHeld());
        EXPECT_EQ (p.getWheelChangeCode (true), 6);
        p.wheelFineByDefault = 1;
        EXPECT_EQ (p.getWheelChangeCode (true), 5);
        EXPECT_EQ (p.getWheelChangeCode (false), 7);
    }
    {
        HeldKeys shiftCtrl (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier);
        EXPECT_FALSE (p.areFineKeysHeld());
        EXPECT_EQ (p.getWheelChangeCode (false), 8);
    }
}

TEST (WidgetBases, SetUnitNotifiesOnlyOnChange)
{
    UnitCounter p;
    p.setUnit (0);
    EXPECT_EQ (p.calls, 0);
    p.setUnit (1);
    EXPECT_EQ (p.unitText, "dB");
    p.setUnit (1);
    EXPECT_EQ (p.calls, 1);
    p.setUnit (0);
    EXPECT_EQ (p.unitText, "");
    EXPECT_EQ (p.calls, 2);
}

TEST (WidgetBases, ScalingPlacesTheWidgetAndItsChildrenOnceAndScalesBack)
{
    juce::Component parent;
    parent.setSize (300, 300);
    auto knob = makeKnob (13, 21);
    parent.addAndMakeVisible (*knob);
    auto* readout = knob->getReadout();
    const juce::Rectangle<int> original (13, 21, 60, 106);

    for (auto factor : { 0.75, 1.0, 1.5 })
    {
        knob->scaleFactor = factor;
        knob->applyScale (true);
        EXPECT_EQ (knob->unscaledBounds, original);
        EXPECT_EQ (knob->getScaledBounds(), ZOLResizableComponent::scaleRectangle (original, factor));
        auto knobArea = parent.getLocalArea (knob.get(), knob->getLocalBounds().toFloat());
        EXPECT_NEAR (knobArea.getWidth(), 60.0 * factor, 0.01);

        // The readout sits inside the knob's transform: scaled once, font and all.
        auto readoutArea = parent.getLocalArea (readout, readout->getLocalBounds().toFloat());
        EXPECT_NEAR (readoutArea.getX(), (13 + 4) * factor, 0.01);
        EXPECT_NEAR (readoutArea.getWidth(), 52.0 * factor, 0.01);
        EXPECT_EQ (readout->scaleFactor, factor);
        readout->showEditor();
        auto editorArea = parent.getLocalArea (readout->getEditor(), readout->getEditor()->getLocalBounds().toFloat());
        EXPECT_NEAR (editorArea.getHeight(), 16.0 * factor, 0.01);
        readout->hideEditor();
    }

    EXPECT_EQ (ZOLResizableComponent::scaleRectangle ({ 5, 7, 3, 9 }, 0.5), juce::Rectangle<int> (2, 4, 2, 4));
    EXPECT_EQ (knob->getScaledBounds(), juce::Rectangle<int> (20, 32, 90, 159));
    knob->scaleFactor = 1.0;
    knob->applyScale (true);
    EXPECT_EQ (knob->getBoundsInParent(), original);
    EXPECT_EQ (readout->getBoundsInParent(), juce::Rectangle<int> (4, 58, 52, 16));
}

TEST (WidgetBases, UnusableScalesAreRefusedOrLimited)
{
    ZOLLabelComponent label (5, 5, 80, 20, juce::Font(), 14.0f, ink, juce::Justification::centred);
    for (auto bad : { 0.0, -2.0, std::nan (""), std::numeric_limits<double>::infinity() })
    {
        label.scaleFactor = bad;
        label.applyScale (true);
        EXPECT_TRUE (label.getTransform().isIdentity()) << bad;
    }
    label.scaleFactor = 1.0e6;
    label.applyScale (true);
    EXPECT_EQ (label.getTransform().mat00, (float) ZOLResizableComponent::maxScale);

    // A first rectangle stays remembered.
    label.setBounds (50, 50, 10, 10);
    label.applyScale (false);
    EXPECT_EQ (label.unscaledBounds, juce::Rectangle<int> (5, 5, 80, 20));
}

TEST (WidgetBases, ComponentFrameIsDrawnOnlyAroundVisibleComponents)
{
    juce::Component target;
    target.setBounds (10, 10, 20, 20);
    juce::Image image (juce::Image::ARGB, 40, 40, true);
    {
        juce::Graphics g (image);
        drawComponentFrame (g, &target);
        drawComponentFrame (g, nullptr);
    }
    auto inked = [&image] (juce::Rectangle<int> area)
    {
        int sum = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                sum += image.getPixelAt (x, y).getAlpha();
        return sum;
    };
    EXPECT_EQ (inked (image.getBounds()), 0);

    target.setVisible (true);
    {
        juce::Graphics g (image);
        drawComponentFrame (g, &target);
    }
    EXPECT_GT (inked ({ 8, 7, 24, 2 }), 0);
    EXPECT_GT (inked ({ 7, 8, 2, 24 }), 0);
    EXPECT_EQ (inked ({ 9, 9, 22, 22 }), 0);
    EXPECT_EQ (image.getPixelAt (10, 7).getRed(), 255);
}
