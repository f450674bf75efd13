#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The look of one kind of menu bar: its font and colours, and the bounds the
// window that holds it places it by.
struct MenuBarStyle
{
    juce::Font font;
    float fontSize = 0.0f;
    juce::Colour selectedTextColour;
    juce::Colour textColour;
    juce::Colour itemHighlightColour;
    int positionX = 0, positionY = 0, width = 0, height = 0;

    juce::Rectangle<int> getBounds() const { return { positionX, positionY, width, height }; }
};
