#pragma once

#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The image toggle of the editor: an on and an off image drawn into the image
// rectangle, an optional modifier indicator, and up to four labels (the main
// label, a second placement of it, and the off and on labels) whose colours
// may follow the button's state. A left press on the image flips it and posts
// code 2; a right press asks for the modifier editor (code 3).
class ZOLToggleButton : public juce::Component,
                        public juce::SettableTooltipClient,
                        public ZOLEffectParam,
                        public ZOLResizableComponent
{
public:
    struct LabelStyle
    {
        juce::Rectangle<int> rect;
        juce::Justification justification{ 36 };
        juce::Font font;
        juce::Colour colour{ 0xFF000000 };
        float height = 12.0f;
        juce::String text;
        bool perStateColours = false;
        juce::Colour colourOff{ 0xFF000000 }, colourOver{ 0xFF000000 }, colourPressed{ 0xFF000000 },
            colourOn{ 0xFF000000 };
    };

    // Bounds without width or height take the off image's size; the image
    // rectangle lies at (imageX, imageY) with the off image's size (the on
    // image's, else the bounds').
    ZOLToggleButton (juce::Rectangle<int> bounds, int imageX, int imageY, const juce::Image& offImage,
                     const juce::Image& onImage, const juce::String& unused = {});
    ZOLToggleButton (juce::Rectangle<int> bounds, const juce::Image& offImage, const juce::Image& onImage,
                     juce::Rectangle<int> imageRect);

    LabelStyle mainLabel, secondLabel, offLabel, onLabel;

    bool pressEnabled = true;
    bool leftButtonPresses = true;
    bool rightButtonPresses = true;
    bool invertValue = false;
    bool arrowKeysToggle = true, spaceToggles = true, returnToggles = true;
    bool fillBackground = false;
    juce::Colour backgroundColour{ 0xFFFFFFFF };

    // A rectangle width or height of 0 means the button's.
    void setLabel (juce::Rectangle<int> rect, juce::Justification justification, const juce::Font* font,
                   juce::Colour colour, float height, const juce::String& text);
    void setSecondLabelPlace (juce::Rectangle<int> rect, juce::Justification justification);
    void setOffLabel (juce::Rectangle<int> rect, juce::Justification justification, const juce::Font* font,
                      juce::Colour colour, float height, const juce::String& text);
    void setOnLabel (juce::Rectangle<int> rect, juce::Justification justification, const juce::Font* font,
                     juce::Colour colour, float height, const juce::String& text);
    void setLabelText (const juce::String& text);
    void setLabelColours (juce::Colour off, juce::Colour over, juce::Colour pressedColour, juce::Colour onColour);
    void setModifierImages (int x, int y, const juce::Image& activeImage, const juce::Image& inactiveImage);
    void setToggleState (bool state, bool notify);
    bool getToggleState() const { return on; }
    void clearUseAlpha();
    bool getUseAlpha() const { return useAlpha; }

    // Reacts to one press; false when presses are off or the button disabled.
    bool handlePress (bool hit, bool rightClick, bool doubleClick);

    juce::Rectangle<int> getImageRect() const { return imageRect; }
    juce::Rectangle<int> getModifierRect() const { return modifierRect; }

    int getUnitValue() override { return (on != invertValue) ? 1 : 0; }
    double getValueAsDouble() override { return (double) getUnitValue(); }
    void setFromDevice (juce::uint16 value, juce::uint16 position, const juce::String& text) override;
    void modifierChanged() override { repaint(); }
    void hasModifierChanged() override { repaint(); }

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }
    void paint (juce::Graphics& g) override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType cause) override { postSelectionOnFocus (cause); }
    void enablementChanged() override;

private:
    void init (juce::Rectangle<int> bounds);
    bool countsAsPress (const juce::MouseEvent& e) const;
    bool anyStateColours() const;
    void paintLabel (juce::Graphics& g, const LabelStyle& label) const;
    LabelStyle makeLabel (juce::Rectangle<int> rect, juce::Justification justification, const juce::Font* font,
                          juce::Colour colour, float height, const juce::String& text) const;

    juce::Image offImage, onImage, modifierActiveImage, modifierInactiveImage;
    juce::Rectangle<int> imageRect, modifierRect;
    bool mouseOver = false, pressed = false, on = false;
    bool useAlpha = true;
};
