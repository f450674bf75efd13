#pragma once

#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// A two-image indicator, lit while enabled and unlit while disabled.
class ZOLLedComponent : public juce::Component, public ZOLResizableComponent, public juce::SettableTooltipClient
{
public:
    // Sized to the on image (0 by 0 without one) and placed at (x, y).
    ZOLLedComponent (int x, int y, const juce::String& tooltip, const juce::Image& onImage,
                     const juce::Image& offImage);

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }
    void paint (juce::Graphics& g) override;
    void enablementChanged() override { repaint(); }

private:
    juce::Image onImage, offImage;
};
