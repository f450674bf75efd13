#include "skin/knobs/ZOLSliderButton.h"

#include "skin/widgets/WidgetSupport.h"
#include "skin/knobs/ZOLSliderComponent.h"

ZOLSliderButton::ZOLSliderButton (ZOLSliderComponent& owner, bool isVertical, const juce::Image& thumb,
                                  const juce::Image& thumbDown)
    : juce::DrawableButton ("GridSlider", juce::DrawableButton::ImageOnButtonBackgroundOriginalSize)
    , slider (owner)
    , vertical (isVertical)
{
    WidgetSupport::setButtonImages (*this, thumb, {}, thumbDown, thumb, {});
    WidgetSupport::clearButtonBackground (*this);
    setSize (thumb.getWidth(), thumb.getHeight());
}

void ZOLSliderButton::applyScale (bool apply)
{
    applyCommonScale (*this, apply);
}

void ZOLSliderButton::mouseDown (const juce::MouseEvent& e)
{
    juce::DrawableButton::mouseDown (e);
    slider.mouseDown (e.getEventRelativeTo (&slider));
}

void ZOLSliderButton::mouseDrag (const juce::MouseEvent& e)
{
    if (slider.isEnabled() && ! slider.modifierActive)
    {
        dragging = true;
        juce::DrawableButton::mouseDrag (e);
        slider.thumbDragged (e.getEventRelativeTo (&slider));
        return;
    }
    juce::DrawableButton::mouseDrag (e);
}

void ZOLSliderButton::mouseUp (const juce::MouseEvent& e)
{
    juce::DrawableButton::mouseUp (e);
    auto wasDragging = dragging;
    dragging = false;
    slider.thumbReleased (e.getEventRelativeTo (&slider), wasDragging);
}
