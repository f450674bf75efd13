#pragma once

#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

class ZOLSliderComponent;

// The thumb of a slider: an image button that hands its presses and drags to
// the slider that owns it.
class ZOLSliderButton : public juce::DrawableButton, public ZOLResizableComponent
{
public:
    ZOLSliderButton (ZOLSliderComponent& owner, bool vertical, const juce::Image& thumb, const juce::Image& thumbDown);

    // Where the pointer holds the thumb; -1 means its middle.
    int grabOffsetX = -1;
    int grabOffsetY = -1;

    bool isDragging() const { return dragging; }

    void applyScale (bool apply) override;
    // Used by the owning slider, which is scaled itself.
    void followOwner (double ownerFactor) { followOwnerScale (*this, ownerFactor); }

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    ZOLSliderComponent& slider;
    bool vertical;
    bool dragging = false;
};
