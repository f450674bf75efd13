#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

// Style records of the control templates that the unit's effect pages use
// beside the common ones. Fonts are held by typeface file name and resolved
// when a widget is made.

// A two-label toggle ("toggle", "toggleSingleLine").
struct ToggleStyle
{
    struct Label
    {
        juce::String fontName;
        float fontSize = 12.0f;
        juce::String text;
        juce::Colour normal{ 0xFF000000 }, over{ 0xFF000000 }, down{ 0xFF000000 }, active{ 0xFF000000 };
        int justification = 0;
        juce::Rectangle<int> rect;
    };

    bool loaded = false;
    int controlWidth = 0, controlHeight = 0;
    juce::Image imageOn, imageOff;
    juce::Rectangle<int> imageRect;
    juce::Image imageModifierOn, imageModifierOff;
    int positionModX = 0, positionModY = 0;
    // First line, second line, on-label, off-label.
    std::array<Label, 4> labels;
    bool hasFillColour = false;
    juce::Colour fillColour;
};

// A two- or three-position slider ("tristate_slider", "bistate_slider").
struct TrackSliderStyle
{
    bool loaded = false;
    int controlWidth = 0, controlHeight = 0;
    juce::String orientation;
    juce::Image background, knob, knobModOn, knobModOff;
    int positionBackgroundX = 0, positionBackgroundY = 0, knobX = 0, knobY = 0;
    int knobMinPosition = 0, knobMaxPosition = 0;
    juce::Point<int> knobCenter;
    int trackMinPosition = 0, trackMaxPosition = 0;
    bool hasLabel = false;
    juce::String labelFontName;
    juce::Colour labelColour;
    float labelFontSize = 0.0f;
    juce::Rectangle<int> labelTextRect;
    int labelJustification = 0;
    bool hasSublabel = false;
    juce::String sublabelFontName;
    juce::Colour sublabelColour, sublabelOverColour;
    float sublabelFontSize = 0.0f;
    juce::Rectangle<int> sublabelTextRect;
    int sublabelJustification = 0;
    int sublabelOffset = 0;
};
