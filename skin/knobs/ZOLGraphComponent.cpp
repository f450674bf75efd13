#include "skin/knobs/ZOLGraphComponent.h"

#include "skin/widgets/WidgetSupport.h"

ZOLGraphComponent::ZOLGraphComponent (const juce::Image& backgroundImage, juce::Rectangle<int> bounds,
                                      juce::Colour lineColour, float lineThickness, bool bipolar)
    : background (backgroundImage)
    , displayRect (WidgetSupport::withoutNegativeSize (bounds))
{
    auto size = background.isValid() ? background.getBounds() : displayRect.withZeroOrigin();
    if (background.isValid())
        backgroundRect = background.getBounds();
    setBounds (0, 0, size.getWidth(), size.getHeight());

    display = std::make_unique<ZOLGraphDisplay> (lineColour, lineThickness, bipolar);
    display->setBounds (displayRect);
    addAndMakeVisible (*display);
}

void ZOLGraphComponent::setMarkerIndex (juce::uint16 index)
{
    if (index == display->markerIndex)
        return;
    display->markerIndex = index;
    display->repaint();
}

void ZOLGraphComponent::paint (juce::Graphics& g)
{
    WidgetSupport::drawImageInto (g, background, backgroundRect);
}
