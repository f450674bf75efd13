#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The caption that knobs, sliders and meters draw inside their own area: the
// parameter's name fitted into a rectangle on as many lines (two at most) as
// it holds at the caption's font size.
class WidgetLabel
{
public:
    WidgetLabel (juce::Colour defaultColour, juce::Justification defaultJustification, float defaultSize);

    // Stores the style and turns the caption on. A rectangle without width or
    // height takes the owner's width or height; without a typeface the
    // framework's default font is used at the size.
    void setStyle (juce::Rectangle<int> rect, juce::Justification justification, juce::Typeface::Ptr typeface,
                   juce::Colour colour, float size, juce::Rectangle<int> ownerBounds);

    void paint (juce::Graphics& g) const;

    static constexpr float minimumHorizontalScale = 0.75f;

    bool on = false;
    juce::String text;
    juce::Rectangle<int> rect;
    juce::Colour colour;
    juce::Justification justification;
    juce::Font font;
};
