#pragma once

#include "skin/widgets/FlaggedText.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

class SkinManager;

// The text widget of every window: captions, field texts, headers, titles.
// Adds skin fonts, colours per state (normal, selected, mouse over), dimming
// when disabled, a background image, optional title side lines and a
// restriction of what may be typed. A press on a clickable label posts code 1.
class ZOLLabelComponent : public juce::Label, public ZOLResizableComponent, public ZOLEffectParam
{
public:
    // The font is the skin's typeface of that name (the skin's stand-in for an
    // unknown name); an empty name or no skin keeps the framework's font.
    ZOLLabelComponent (const SkinManager* skin, int x, int y, int width, int height, const juce::String& name,
                       const juce::String& text, const juce::String& fontName, float fontSize, juce::Colour textColour,
                       juce::Justification justification);
    ZOLLabelComponent (int x, int y, int width, int height, const juce::Font& font, float fontSize,
                       juce::Colour textColour, juce::Justification justification);

    FlaggedText editRestriction;
    bool selected = false;
    bool sideLines = false;
    bool ticksUp = false;
    juce::Colour sideLineColour{ juce::Colours::transparentBlack };
    bool clickable = false;
    float alpha = 0.5f; // opacity of a disabled label's text

    void setStateColours (juce::Colour normalText, juce::Colour normalBackground, juce::Colour selectedText,
                          juce::Colour selectedBackground, juce::Colour overText, juce::Colour overBackground);
    void applyStateColours();
    void setUseAlpha (bool use);
    bool getUseAlpha() const { return useAlpha; }
    void setBackgroundImage (const juce::Image& image, juce::Rectangle<int> rect);
    void fitWidthToText();
    bool isMouseOverLabel() const { return mouseOver; }

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }

    void paint (juce::Graphics& g) override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void enablementChanged() override;

protected:
    juce::TextEditor* createEditorComponent() override;

private:
    void init (const juce::String& name, const juce::String& text, juce::Font font, float fontSize, int width,
               int height, juce::Colour textColour, juce::Justification textJustification, int x, int y);

    float fontSize = 14.0f;
    int initialWidth = 0, initialHeight = 0;
    bool mouseOver = false;
    bool useAlpha = true;
    bool perStateColours = false;
    juce::Colour normalText, normalBackground, selectedText, selectedBackground, overText, overBackground;
    juce::Image backgroundImage;
    juce::Rectangle<int> backgroundRect;
};
