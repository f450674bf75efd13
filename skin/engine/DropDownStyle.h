#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The look of every drop-down, read from the skin's "DropDownMenu" control
// template: the pictures of the four child buttons, the four field
// backgrounds (field sizes 0 to 3), the label and field fonts (by typeface
// file name), colours, heights and justifications, and three offsets.
struct DropDownStyle
{
    juce::Image modifierNormal, modifierOver, modifierOn;
    juce::Image plusNormal, plusOver, plusOn;
    juce::Image upNormal, upOver, upOn;
    juce::Image downNormal, downOver, downOn;
    juce::Image fieldSmall, fieldNormal, fieldLarge, fieldHuge;
    juce::String labelFontName;
    juce::Colour labelColour;
    float labelFontHeight = 0.0f;
    int labelAboveJustification = 0, labelBelowJustification = 0, labelBesideJustification = 0;
    juce::String fieldFontName, fieldItalicFontName;
    juce::Colour fieldColour;
    float fieldFontHeight = 0.0f;
    int fieldJustification = 0;
    int xOffsetBtnFromField = 0;
    int yOffsetField = 0;
    int yOffsetLabel = 0;
};
