#include "skin/engine/ColoredMenuItem.h"

void ColoredMenuItem::paint (juce::Graphics& g)
{
    g.fillAll (colour);
    g.setColour (textColour);
    g.setFont (font);
    g.drawText (text, getLocalBounds(), juce::Justification::centred, false);

    if (hovered)
    {
        g.setColour (juce::Colours::black);
        g.drawRect (getLocalBounds().toFloat().reduced (2.0f), 1.0f);
    }
}

void ColoredMenuItem::mouseEnter (const juce::MouseEvent& e)
{
    hovered = e.eventComponent == this;
    repaint();
}

void ColoredMenuItem::mouseExit (const juce::MouseEvent& e)
{
    if (e.eventComponent == this)
        hovered = false;
    repaint();
}
