#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// One entry of the colour filter menu: a swatch in one of the user's item
// colours with a centred caption, framed while the mouse is over it.
class ColoredMenuItem : public juce::Component
{
public:
    juce::String text;
    juce::Colour colour;
    juce::Font font;
    float fontSize = 16.0f;
    juce::Colour textColour{ juce::Colours::black };

    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;

private:
    // The mouse is over the item itself (its children not counted).
    bool hovered = false;
};
