#pragma once

#include "skin/widgets/WidgetLabel.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The meter control of the effect pages: shows the value the unit reports as
// a fraction of the binding's range, revealing the lit image over the unlit
// one in its fill direction. A press posts code 1.
class ZOLMeterComponent : public juce::Component, public ZOLEffectParam, public ZOLResizableComponent
{
public:
    enum FillDirection
    {
        fillRight = 0,
        fillLeft = 1,
        fillDown = 2,
        fillUp = 3
    };

    ZOLMeterComponent (juce::Rectangle<int> bounds, int imageX, int imageY, const juce::Image& onImage,
                       const juce::Image& offImage, bool vertical);

    int fillDirection;

    void setLabelStyle (juce::Rectangle<int> rect, juce::Justification justification, juce::Typeface::Ptr typeface,
                        juce::Colour colour, float fontSize);
    void setLabelText (const juce::String& text);

    double getFraction() const { return fraction; }
    // Where the lit part is drawn, and the part of the lit image it shows.
    juce::Rectangle<int> getLitArea() const;
    juce::Rectangle<int> getLitSource() const;

    int getUnitValue() override { return value; }
    void setFromDevice (juce::uint16 newValue, juce::uint16 position, const juce::String& text) override;
    void rangeChanged() override;

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }
    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

private:
    void updateFraction();

    juce::Image onImage, offImage;
    bool vertical;
    int imageX, imageY;
    juce::uint16 value = 0;
    double fraction = 0.0;
    WidgetLabel label;
};
