#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

// The curve of a graph: 128 values drawn as a polyline, 0 at the bottom (or
// on the middle line when bipolar) and 1 at the top, with an optional ring on
// one point.
class ZOLGraphDisplay : public juce::Component
{
public:
    static constexpr int valueCount = 128;

    ZOLGraphDisplay (juce::Colour lineColour, float lineThickness, bool bipolar);

    bool bipolar;
    bool markerOn = false;
    juce::uint16 markerIndex = 0;
    bool clampToHeight = true;

    // Copies 128 values; a null array changes nothing.
    void setValues (const float* values);
    int getCount() const { return (int) values.size(); }
    const float* getValues() const { return values.empty() ? nullptr : values.data(); }

    // The y of a value in this display's height.
    float valueToY (float value) const;
    juce::Point<float> getMarkerPosition() const { return markerPosition; }

    void paint (juce::Graphics& g) override;

private:
    std::vector<float> values;
    juce::Colour lineColour;
    float lineThickness;
    juce::Point<float> markerPosition;
};
