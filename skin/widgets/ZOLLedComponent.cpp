#include "skin/widgets/ZOLLedComponent.h"

#include "skin/widgets/WidgetSupport.h"

ZOLLedComponent::ZOLLedComponent (int x, int y, const juce::String& tooltip, const juce::Image& on,
                                  const juce::Image& off)
    : onImage (on)
    , offImage (off)
{
    setTooltip (tooltip);
    setBounds (x, y, onImage.getWidth(), onImage.getHeight());
}

void ZOLLedComponent::paint (juce::Graphics& g)
{
    WidgetSupport::drawImageInto (g, isEnabled() ? onImage : offImage, getLocalBounds());
}
