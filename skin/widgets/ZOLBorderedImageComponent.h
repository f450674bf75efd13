#pragma once

#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// A picture inside a coloured border, optionally on a filled background.
class ZOLBorderedImageComponent : public juce::ImageComponent, public ZOLResizableComponent, public ZOLEffectParam
{
public:
    ZOLBorderedImageComponent() = default;

    int borderWidth = 0;
    juce::Colour borderColour{ 0xFFFFFFFF };
    bool fillBackground = false;
    juce::Colour backgroundColour{ 0xFF000000 };

    // Where the image goes: inside the border (empty when the border leaves no room).
    juce::Rectangle<int> getImageArea() const;

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }
    void paint (juce::Graphics& g) override;
};
