#include "skin/knobs/ZOLGraphDisplay.h"

#include <cmath>

ZOLGraphDisplay::ZOLGraphDisplay (juce::Colour colour, float thickness, bool isBipolar)
    : bipolar (isBipolar)
    , lineColour (colour)
    , lineThickness (std::isfinite (thickness) ? juce::jlimit (0.0f, 100.0f, thickness) : 1.0f)
{
}

void ZOLGraphDisplay::setValues (const float* newValues)
{
    if (newValues == nullptr)
        return;
    values.assign (newValues, newValues + valueCount);
    repaint();
}

float ZOLGraphDisplay::valueToY (float value) const
{
    auto h = (float) getHeight();
    // A value that is not a number sits at 0; an infinite one at its edge.
    if (std::isnan (value))
        value = 0.0f;
    value = juce::jlimit (-1.0e6f, 1.0e6f, value);
    auto y = bipolar ? h / 2.0f - (h / 2.0f) * value : h - h * value;
    return clampToHeight ? juce::jlimit (0.0f, h, y) : y;
}

void ZOLGraphDisplay::paint (juce::Graphics& g)
{
    g.setColour (lineColour);
    auto n = (int) values.size();
    if (n < 1)
        return;

    auto step = n > 1 ? (float) getWidth() / (float) (n - 1) : 0.0f;
    auto pointAt = [&] (int i) { return juce::Point<float> ((float) i * step, valueToY (values[(size_t) i])); };

    auto previous = pointAt (0);
    if (markerOn && markerIndex == 0)
        markerPosition = previous;
    for (int i = 1; i < n; ++i)
    {
        auto next = pointAt (i);
        g.drawLine ({ previous, next }, lineThickness);
        if (markerOn && i == (int) markerIndex)
            markerPosition = next;
        previous = next;
    }

    if (markerOn && (int) markerIndex < n)
        g.drawEllipse (juce::jmax (0.0f, markerPosition.x - 3.0f), juce::jmax (0.0f, markerPosition.y - 3.0f), 6.0f,
                       6.0f, 2.0f);
}
