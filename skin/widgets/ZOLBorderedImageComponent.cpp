#include "skin/widgets/ZOLBorderedImageComponent.h"

#include "skin/widgets/WidgetSupport.h"

juce::Rectangle<int> ZOLBorderedImageComponent::getImageArea() const
{
    auto b = juce::jmax (0, borderWidth);
    return WidgetSupport::withoutNegativeSize ({ b, b, getWidth() - 2 * b, getHeight() - 2 * b });
}

void ZOLBorderedImageComponent::paint (juce::Graphics& g)
{
    if (fillBackground)
        g.fillAll (backgroundColour);
    WidgetSupport::drawImageInto (g, getImage(), getImageArea());

    // A border wider than half the picture would only cover it twice over.
    auto b = juce::jlimit (0, juce::jmax (0, juce::jmin (getWidth(), getHeight()) / 2), borderWidth);
    if (b > 0)
    {
        g.setColour (borderColour);
        g.drawRect (getLocalBounds(), b);
    }
}
