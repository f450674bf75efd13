#pragma once

#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/knobs/ZOLSliderComponent.h"

#include <array>
#include <memory>

// The switch-like slider of the effect pages for a parameter with two or
// three settings: a short slot with a thumb, and beside it up to three
// clickable position labels. A click on a label selects its setting; the
// slider then reports that label's value like a typed value (change code 10).
class TriStateSlider : public ZOLSliderComponent
{
public:
    static constexpr int maxPositions = 3;

    // The values of a track-slider style: the size serves with and without a
    // unit, the thumb image both released and pressed.
    TriStateSlider (juce::Rectangle<int> size, int backgroundX, int backgroundY, int thumbX, int thumbY,
                    int minPosition, int maxPosition, const juce::String& tooltip, bool isVertical,
                    const juce::Image& backgroundPicture, const juce::Image& thumbPicture);
    ~TriStateSlider() override;

    // Thumb pictures shown while a modifier is assigned (on) or not (off).
    juce::Image modifierOnThumb, modifierOffThumb;

    // Replaces the label at index 0..2 (other indices do nothing). A
    // rectangle without width or height takes the slider's own.
    void createPositionLabel (int index, juce::Rectangle<int> rect, const juce::Font& font, float fontSize,
                              juce::Colour textColour, juce::Colour overColour, juce::Justification justification);
    ZOLLabelComponent* getPositionLabel (int index) const;
    juce::uint16 getPositionValue (int index) const;

    // Names and values of the positions; false (and nothing changed) when the
    // two lists differ in length. Entries past the third are ignored.
    bool setPositions (const juce::StringArray& texts, const juce::Array<juce::uint16>& values);

    void paint (juce::Graphics& g) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    double getValueAsDouble() override { return (double) currentValue; }
    void modifierChanged() override { showModifierThumb(); }
    void hasModifierChanged() override { showModifierThumb(); }

private:
    void showModifierThumb();

    struct Position
    {
        std::unique_ptr<ZOLLabelComponent> label;
        juce::uint16 value = 0;
    };
    std::array<Position, maxPositions> positions;
    juce::uint16 currentValue = 0;
};
