#include "skin/knobs/BrakFxMeter.h"

#include "skin/widgets/WidgetSupport.h"

BrakFxMeter::BrakFxMeter (int x, int y, const juce::String& name, const juce::String& meterText, const juce::Image& on,
                          const juce::Image& off)
    : juce::Component (name)
    , text (meterText)
    , onImage (on)
    , offImage (off)
{
    setBounds (x, y, onImage.getWidth(), onImage.getHeight());
}

void BrakFxMeter::setLevel (double newLevel)
{
    // A level that is not a number shows as silence.
    newLevel = WidgetSupport::finiteOr (newLevel, 0.0);
    if (newLevel > level)
        level = newLevel;
    else if (decayFactor == 0.0)
        level = newLevel;
    else if (level > 0.001)
        level = level * decayFactor;
    else
        level = 0.0;
}

void BrakFxMeter::timerCallback()
{
    if (levelSource != nullptr)
        setLevel (levelSource->getLevel());
    shownFraction = juce::jlimit (0.0, 1.0, WidgetSupport::finiteOr (level * levelGain, 0.0));
    repaint();
    if (! freeRunning)
        startTimer (juce::jmax (1, tickInterval));
}

void BrakFxMeter::paint (juce::Graphics& g)
{
    if (offImage.isValid() && ! getLocalBounds().isEmpty())
        g.drawImageWithin (offImage, 0, 0, getWidth(), getHeight(), juce::RectanglePlacement::centred);

    auto litWidth = (int) (onImage.getWidth() * shownFraction);
    WidgetSupport::drawImagePart (g, onImage, { 0, 0, litWidth, onImage.getHeight() },
                                  { 0, 0, litWidth, onImage.getHeight() });
}
