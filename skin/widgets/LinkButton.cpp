#include "skin/widgets/LinkButton.h"

#include "model/StartWithoutShell.h"

LinkButton::LinkButton (const juce::String& buttonText, const juce::String& linkAddress)
    : juce::Button (buttonText)
    , address (linkAddress)
{
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

void LinkButton::setFont (const juce::Font& newFont, juce::Justification newJustification)
{
    font = newFont;
    justification = newJustification;
    repaint();
}

void LinkButton::setTextColour (juce::Colour newColour)
{
    textColour = newColour;
    repaint();
}

void LinkButton::clicked()
{
    openAddressWithoutShell (address);
}

void LinkButton::paintButton (juce::Graphics& g, bool isOver, bool isDown)
{
    if (! isEnabled())
        g.setColour (textColour.withMultipliedAlpha (0.4f));
    else
        g.setColour (isOver ? textColour.darker (isDown ? 1.3f : 0.4f) : textColour);

    g.setFont (font);
    g.drawText (getButtonText(), getLocalBounds().reduced (1, 0),
                juce::Justification (justification.getOnlyHorizontalFlags() | juce::Justification::verticallyCentred),
                true);
}
