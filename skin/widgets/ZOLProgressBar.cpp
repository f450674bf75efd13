#include "skin/widgets/ZOLProgressBar.h"

#include "skin/widgets/WidgetSupport.h"

ZOLProgressBar::ZOLProgressBar()
    : juce::ProgressBar (progress)
{
}

double ZOLProgressBar::getShownProgress() const
{
    return juce::jlimit (0.0, 1.0, WidgetSupport::finiteOr (progress, 0.0));
}

void ZOLProgressBar::paint (juce::Graphics& g)
{
    auto shown = getShownProgress();
    auto text = juce::String (juce::roundToInt (shown * 100.0)) + "%";

    if (caption.isNotEmpty())
        text = caption + "  " + text;

    getLookAndFeel().drawProgressBar (g, *this, getWidth(), getHeight(), shown, text);
}
