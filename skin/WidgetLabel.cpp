#include "skin/WidgetLabel.h"

#include "skin/WidgetSupport.h"

WidgetLabel::WidgetLabel (juce::Colour defaultColour, juce::Justification defaultJustification, float defaultSize)
    : colour (defaultColour)
    , justification (defaultJustification)
    , font (WidgetSupport::makeFont (nullptr, defaultSize))
{
}

void WidgetLabel::setStyle (juce::Rectangle<int> newRect, juce::Justification newJustification,
                            juce::Typeface::Ptr typeface, juce::Colour newColour, float size,
                            juce::Rectangle<int> ownerBounds)
{
    newRect = WidgetSupport::withoutNegativeSize (newRect);
    if (newRect.getWidth() == 0)
        newRect.setWidth (ownerBounds.getWidth());
    if (newRect.getHeight() == 0)
        newRect.setHeight (ownerBounds.getHeight());
    rect = newRect;
    justification = newJustification;
    font = WidgetSupport::makeFont (typeface, size);
    colour = newColour;
    on = true;
}

void WidgetLabel::paint (juce::Graphics& g) const
{
    if (! on || text.isEmpty())
        return;
    g.setFont (font);
    g.setColour (colour);
    g.drawFittedText (text, rect, justification, 2, 1.0f);
}
