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

// A rotary knob ("knob").
struct KnobStyle
{
    bool loaded = false;
    int controlWidth = 0, controlHeight = 0;
    juce::Image background, knobBase, knobTop;
    juce::Rectangle<int> backgroundRect, knobBaseRect, knobTopRect;
    juce::Image backgroundModifierOn, backgroundModifier, knobTopModifier;
    juce::Rectangle<int> modifierRect;
    juce::Image globalMixUp, globalMixDown, globalMixOver;
    juce::Rectangle<int> globalMixRect;
    juce::Image fieldBackground;
    int fieldX = 0, fieldY = 0, fieldWidth = 0, fieldHeight = 0;
    juce::String labelFontName;
    juce::Colour labelColour;
    float labelFontSize = 0.0f;
    int labelJustification = 0;
    juce::Rectangle<int> labelTextRect;
    juce::String fieldFontName;
    juce::Colour fieldColour, fieldColourOver;
    float fieldFontSize = 0.0f;
    float fieldMinHorzScaling = 0.0f;
    int fieldJustification = 0;
    juce::Rectangle<int> fieldTextRect;
};

// A linear slider ("slider").
struct SliderStyle
{
    bool loaded = false;
    int controlWidth = 0, controlHeight = 0, controlWidthNoUnits = 0, controlHeightNoUnits = 0;
    bool vertical = true;
    juce::Image background, backgroundModifierOn, backgroundModifier, knob;
    int positionBackgroundX = 0, positionBackgroundY = 0, knobX = 0, knobY = 0;
    int knobMinPosition = 0, knobMaxPosition = 0;
    juce::String labelFontName;
    juce::Colour labelColour;
    float labelFontSize = 0.0f;
    juce::Rectangle<int> labelTextRect;
    int labelJustification = 0;
    juce::Image fieldBackground;
    int fieldX = 0, fieldY = 0, fieldWidth = 0, fieldHeight = 0;
    juce::String fieldFontName;
    juce::Colour fieldColour, fieldColourOver;
    float fieldFontSize = 0.0f;
    juce::Rectangle<int> fieldTextRect;
    int fieldJustification = 0;
};

// A push button ("pushButton").
struct PushButtonStyle
{
    bool loaded = false;
    int controlWidth = 0, controlHeight = 0;
    juce::Image imageOn, imageOff;
    int positionBtnX = 0, positionBtnY = 0;
    juce::Image imageModifierOn, imageModifierOff;
    int positionModX = 0, positionModY = 0;
    juce::String labelFontName;
    juce::Colour labelColour;
    float labelFontSize = 0.0f;
    juce::Rectangle<int> labelTextRect;
    int labelJustification = 0;
};

// The effect editor's page tabs ("tab").
struct TabStyle
{
    bool loaded = false;
    int controlWidth = 0, controlHeight = 0;
    int maxButtonCount = 0;
    int tabPositionX = 0, tabPositionY = 0, tabSpacingX = 0, tabSpacingY = 0;
    juce::Rectangle<int> imageRect;
    juce::Image imageUp, imageDown;
    juce::String labelFontName;
    float labelFontSize = 0.0f;
    juce::Colour labelColour, labelColourOver, labelColourDown, labelColourActive;
    juce::Rectangle<int> labelTextRect;
    int labelJustification = 0;
};

// A level meter ("meter").
struct MeterStyle
{
    bool loaded = false;
    int controlWidth = 0, controlHeight = 0;
    juce::Image imageOff, imageOn;
    int imagePositionX = 0, imagePositionY = 0;
    bool vertical = false;
    int direction = 0;
    int imageWidth = 0, imageHeight = 0;
    juce::Rectangle<int> labelTextRect;
    juce::String labelFontName;
    juce::Colour labelColour;
    float labelFontSize = 0.0f;
    int labelJustification = 0;
    juce::Image fieldBackground;
    int fieldX = 0, fieldY = 0;
    juce::Rectangle<int> fieldTextRect;
    juce::String fieldFontName;
    juce::Colour fieldColour;
    float fieldFontSize = 0.0f;
    int fieldJustification = 0;
    juce::Rectangle<int> unitTextRect;
    juce::String unitFontName;
    juce::Colour unitColour;
    float unitFontSize = 0.0f;
};

// A text label ("label").
struct LabelControlStyle
{
    bool loaded = false;
    int positionX = 0, positionY = 0, width = 0, height = 0;
    juce::String labelFontName;
    juce::Colour labelColour;
    float labelFontSize = 0.0f;
    int labelJustification = 0;
    float minHorzScale = 0.0f;
    juce::Image background;
    juce::Rectangle<int> backgroundBounds;
    bool hasBackgroundColour = false;
    juce::Colour backgroundColour;
    bool hasGroupLines = false;
    juce::Colour groupLinesColour;
    bool groupLinesPointUp = false;
    float groupLinesWidth = 0.0f;
};

// One step of the sequencer ("sequencer_slider").
struct SequencerSliderStyle
{
    bool loaded = false;
    int controlWidth = 0, controlHeight = 0;
    juce::Image background, sliderButton;
    int positionBackgroundX = 0, positionBackgroundY = 0, knobX = 0, knobY = 0;
    int knobMinPosition = 0, knobMaxPosition = 0;
    juce::String labelFontName;
    juce::Colour labelColour;
    float labelFontSize = 0.0f;
    juce::Rectangle<int> labelTextRect;
    int labelJustification = 0;
};

// The value field of a sequencer step ("sequencer_readout").
struct SequencerReadoutStyle
{
    bool loaded = false;
    juce::Image background;
    juce::String fieldFontName;
    juce::Colour fieldColour;
    float fieldFontSize = 0.0f;
    juce::Rectangle<int> fieldTextRect;
    int fieldJustification = 0;
};

// A button drawn from colours alone, read from any Widget; its caller owns
// the record. The font is resolved when the record is read.
struct PaintedButtonStyle
{
    struct States
    {
        juce::Colour normal, over, down;
    };

    bool loaded = false;
    int positionX = 0, positionY = 0, width = 0, height = 0;
    bool toggleMode = false;
    float cornerSize = 0.0f, borderThickness = 0.0f;
    States border, fill1, fill2, label;
    bool overColoursGiven = false; // some "...Over..." colour was given
    bool gradientNormal = false, gradientOver = false, gradientDown = false;
    juce::String labelText;
    bool hasLabelFont = false;
    juce::Font labelFont;
    int labelJustification = 36;
    float labelFontSize = 0.0f;
    bool useOpacity = false;
    float opacityNormal = 1.0f, opacityDown = 1.0f;
    bool useAlpha = false;
    float alphaEnabled = 1.0f, alphaDisabled = 1.0f;
    bool useFocusRect = false;
};

// A two-picture switch with a label for each state, read from any Widget;
// its caller owns the record.
struct OnOffButtonStyle
{
    struct Label
    {
        juce::Rectangle<int> rect;
        int justification = 0;
        juce::String text;
    };

    bool loaded = false;
    int controlWidth = 0, controlHeight = 0;
    juce::Image imageOn, imageOff;
    int positionBtnX = 0, positionBtnY = 0;
    juce::String labelFontName;
    juce::Colour labelColour;
    float labelFontSize = 0.0f;
    Label off, on;
};
