#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The style of the program's common message dialog, read by the look-and-feel
// from the skin section "GenericDialog".
struct GenericDialogStyle
{
    bool valid = false;
    juce::Image logo;
    juce::Rectangle<int> logoBounds;
    juce::Image questionIcon, questionIconSmall, warningIcon, warningIconSmall, stopIcon, stopIconSmall;
    juce::Font textFont;
    float textFontSize = 0.0f;
    juce::Colour textColour, backgroundColour;
    int imageYOffset = 0;
    juce::Image okButtonUp, okButtonDown;
    juce::Rectangle<int> okButtonBounds;
    juce::Font labelFont;
    float labelFontSize = 0.0f;
    juce::Rectangle<int> labelTextRect;
    int labelJustification = 0;
    juce::Colour labelColourNormal, labelColourOver, labelColourDown, labelColourActive;
};
