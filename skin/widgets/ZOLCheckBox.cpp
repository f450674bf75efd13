#include "skin/widgets/ZOLCheckBox.h"

#include "skin/widgets/WidgetSupport.h"

ZOLCheckBox::ZOLCheckBox (const juce::String& buttonText)
    : juce::ToggleButton (buttonText)
{
}

float ZOLCheckBox::getTickSize() const
{
    return 1.1f * (float) juce::jlimit (1, 1000, fontSize);
}

void ZOLCheckBox::fitWidthToText()
{
    auto f = font.withHeight ((float) juce::jlimit (1, 1000, fontSize));
    auto textWidth = juce::roundToInt (f.getStringWidthFloat (getButtonText()));
    setSize (textWidth + (int) getTickSize() + 8, getHeight());
}

void ZOLCheckBox::paintButton (juce::Graphics& g, bool mouseOver, bool down)
{
    g.setFont (font.withHeight ((float) juce::jlimit (1, 1000, fontSize)));

    if (hasKeyboardFocus (true))
    {
        g.setColour (findColour (juce::TextEditor::focusedOutlineColourId));
        g.drawRect (getLocalBounds(), 1);
    }

    auto tick = getTickSize();
    getLookAndFeel().drawTickBox (g, *this, 4.0f, ((float) getHeight() - tick) * 0.5f, tick, tick, getToggleState(),
                                  isEnabled(), mouseOver, down);

    auto colour = findColour (juce::ToggleButton::textColourId);
    if (! isEnabled())
        colour = colour.withMultipliedAlpha (WidgetSupport::usableAlpha (disabledOpacity));
    g.setColour (colour);
    auto x = (int) tick + 5;
    g.drawFittedText (getButtonText(), x, 0, juce::jmax (0, getWidth() - 2 - x), getHeight(),
                      juce::Justification::centredLeft, 10);
}
