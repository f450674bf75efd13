#include "skin/widgets/WidgetLabel.h"

#include "skin/widgets/WidgetSupport.h"

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
    // As many lines as the rectangle holds at the font's height (two at
    // most), never a smaller font: with room for two lines a caption too
    // long for one wraps and is never squeezed; on one line it is squeezed
    // only a little, then shortened.
    const int lines = juce::jlimit (1, 2, (int) ((float) rect.getHeight() / juce::jmax (1.0f, font.getHeight())));
    g.drawFittedText (text, rect, justification, lines, lines > 1 ? 1.0f : minimumHorizontalScale);
}
