#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class SkinManager;

// The look of a grid tile in one state (an empty slot or an effect block), read
// from a "BlockProperty" element of a skin section.
struct BlockStyle
{
    struct Border
    {
        int width = 0;
        juce::Colour colour;
    };

    Border normal, over, down, bypassed;
    juce::Image bypassIcon, icon, overlay1, overlay2;
    float overlayAlphaActive = 1.0f;
    float overlayAlphaInactive = 0.6f;
    juce::Font font;
    float fontSize = 0.0f;
    bool hasFont = false;
    juce::Colour fontColour, fontColourOver;
    juce::String text, textOver;
    juce::Justification justification{ 36 };

    // Reads every attribute the element carries; absent ones keep their defaults
    // except the overlay alphas, which read 0 when absent.
    void readFrom (const SkinManager& skin, const juce::XmlElement& element);

    // Fills `empty` and `effect` from the "BlockProperty" children named
    // "empty-block" and "effect-block" of the section; others are ignored.
    static void readPair (const SkinManager& skin, const juce::XmlElement& section, BlockStyle& empty,
                          BlockStyle& effect);
};
