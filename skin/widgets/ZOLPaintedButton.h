#pragma once

#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// A push or toggle button drawn from colours only: a rounded border, a plain
// or vertically graded fill and a centred label, with colour sets for the
// normal, mouse-over and pressed states. A click posts code 2 and the button
// stays drawn pressed for 100 ms, so that a key press or a very short click
// is seen.
class ZOLPaintedButton : public juce::Component,
                         public juce::Timer,
                         public juce::SettableTooltipClient,
                         public ZOLEffectParam,
                         public ZOLResizableComponent
{
public:
    ZOLPaintedButton (int x, int y, int width, int height, const juce::String& unused = {});
    ~ZOLPaintedButton() override;

    // One state's colours: the border, the fill (plain in the first colour,
    // or graded from first at the top to second at the bottom) and the label.
    struct ColourSet
    {
        juce::Colour border{ 0xFF00674C };
        bool gradient = false;
        juce::Colour fill1{ 0xFF113A2F }, fill2{ 0xFF113A2F };
        juce::Colour label{ 0xFFF5F5F5 };
    };

    float cornerSize = 6.0f;
    float borderThickness = 2.0f;
    bool hasOverColours = false;
    bool toggleMode = false;
    bool useAlpha = false;
    float alphaEnabledState = 1.0f, alphaDisabledState = 1.0f;
    bool showFocusOutline = false;
    juce::Font offFont, onFont;
    bool hasOffFont = false, hasOnFont = false;

    void setBorderColours (juce::Colour normal, juce::Colour pressed);
    void setFillColours (juce::Colour normal, juce::Colour pressed);
    void setLabelColours (juce::Colour normal, juce::Colour pressed);
    void setOverColours (juce::Colour border, juce::Colour fill, juce::Colour label);
    void setNormalGradient (juce::Colour top, juce::Colour bottom);
    void setPressedGradient (juce::Colour top, juce::Colour bottom);
    void setOverGradient (juce::Colour top, juce::Colour bottom);

    // A null font means the framework's default font.
    void setLabelFont (const juce::Font* font, juce::Justification justification, float height);
    void useOnFont (bool on);
    void setLabelText (const juce::String& text);
    const juce::String& getLabelText() const { return labelText; }
    const juce::Font& getLabelFont() const { return labelFont; }
    float getLabelFontHeight() const { return labelHeight; }

    void setOn (bool state);
    bool isOn() const { return on; }
    bool isPressed() const { return pressed; }
    bool isMouseOverButton() const { return mouseOver; }
    void setOpacityStates (bool use, float offOpacity, float onOpacity);

    // Toggles in toggle mode, posts 2 and keeps the pressed look for 100 ms.
    void click();

    const ColourSet& getNormalSet() const { return normalSet; }
    const ColourSet& getOverSet() const { return overSet; }
    const ColourSet& getPressedSet() const { return pressedSet; }

    int getUnitValue() override { return on ? 1 : 0; }
    double getValueAsDouble() override { return on ? 1.0 : 0.0; }
    void setFromDevice (juce::uint16 value, juce::uint16 position, const juce::String& text) override;

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }
    void paint (juce::Graphics& g) override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    void enablementChanged() override;
    void timerCallback() override;

    static constexpr int pressedLookMs = 100;

private:
    ColourSet normalSet, overSet, pressedSet;
    juce::String labelText{ "<No Label>" };
    juce::Justification labelJustification{ 36 };
    juce::Font labelFont;
    float labelHeight = 12.0f;
    bool mouseOver = false, pressed = false, on = false;
    bool useOpacityStates = false;
    float opacityOff = 1.0f, opacityOn = 1.0f;
};
