#include "skin/knobs/ZOLMeterComponent.h"

#include "skin/widgets/WidgetSupport.h"

#include <cmath>

ZOLMeterComponent::ZOLMeterComponent (juce::Rectangle<int> bounds, int x, int y, const juce::Image& on,
                                      const juce::Image& off, bool isVertical)
    : fillDirection (isVertical ? fillUp : fillRight)
    , onImage (on)
    , offImage (off)
    , vertical (isVertical)
    , imageX (x)
    , imageY (y)
    , label (juce::Colour (0xFF000000), juce::Justification (0), 14.0f)
{
    setBounds (WidgetSupport::withoutNegativeSize (bounds));
}

void ZOLMeterComponent::setLabelStyle (juce::Rectangle<int> rect, juce::Justification justification,
                                       juce::Typeface::Ptr typeface, juce::Colour colour, float fontSize)
{
    label.setStyle (rect, justification, typeface, colour, fontSize, getLocalBounds());
    repaint();
}

void ZOLMeterComponent::setLabelText (const juce::String& text)
{
    label.text = text;
    repaint();
}

void ZOLMeterComponent::setFromDevice (juce::uint16 newValue, juce::uint16, const juce::String&)
{
    value = newValue;
    updateFraction();
}

void ZOLMeterComponent::rangeChanged()
{
    updateFraction();
}

void ZOLMeterComponent::updateFraction()
{
    auto range = (double) rangeMax - (double) rangeMin;
    fraction = 0.0;
    if (range != 0.0 && std::isfinite (range))
    {
        auto f = ((double) value - rangeMin) / range;
        fraction = std::isfinite (f) ? juce::jlimit (0.0, 1.0, f) : 0.0;
    }
    repaint();
}

juce::Rectangle<int> ZOLMeterComponent::getLitSource() const
{
    auto w = onImage.getWidth(), h = onImage.getHeight();
    auto litW = (int) (w * fraction), litH = (int) (h * fraction);
    switch (fillDirection)
    {
        case fillRight: return { 0, 0, litW, h };
        case fillLeft: return { w - litW, 0, litW, h };
        case fillDown: return { 0, 0, w, litH };
        case fillUp: return { 0, h - litH, w, litH };
        default: return {};
    }
}

juce::Rectangle<int> ZOLMeterComponent::getLitArea() const
{
    return getLitSource().translated (imageX, imageY);
}

void ZOLMeterComponent::paint (juce::Graphics& g)
{
    WidgetSupport::drawImageInto (g, offImage, { imageX, imageY, offImage.getWidth(), offImage.getHeight() });
    WidgetSupport::drawImagePart (g, onImage, getLitArea(), getLitSource());
    label.paint (g);
}

void ZOLMeterComponent::mouseDown (const juce::MouseEvent&)
{
    postChangeCode (1);
}
