#pragma once

#include "skin/knobs/ZOLGraphDisplay.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// A curve of 128 values on a background image, such as a modifier's curve or
// the live graph.
class ZOLGraphComponent : public juce::Component, public ZOLResizableComponent
{
public:
    // The graph takes the background image's size, or the bounds' size without
    // an image; the curve is placed at the bounds.
    ZOLGraphComponent (const juce::Image& background, juce::Rectangle<int> bounds, juce::Colour lineColour,
                       float lineThickness, bool bipolar);

    void setValues (const float* values) { display->setValues (values); }
    void setMarkerIndex (juce::uint16 index);
    ZOLGraphDisplay& getDisplay() { return *display; }

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }
    void paint (juce::Graphics& g) override;

private:
    juce::Image background;
    juce::Rectangle<int> backgroundRect;
    juce::Rectangle<int> displayRect;
    std::unique_ptr<ZOLGraphDisplay> display;
};
