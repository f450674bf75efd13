#pragma once

#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// A free-running level meter: polls its level source every 100 ms and shows
// the level as a peak that decays, revealing the lit image over the unlit one
// from the left.
class BrakFxMeter : public juce::Component,
                    public ZOLResizableComponent,
                    public juce::Timer,
                    public juce::SettableTooltipClient
{
public:
    // Supplies the current level (about 0 to 0.1 for a full bar).
    class LevelSource
    {
    public:
        virtual ~LevelSource() = default;
        virtual double getLevel() = 0;
    };

    BrakFxMeter (int x, int y, const juce::String& name, const juce::String& text, const juce::Image& onImage,
                 const juce::Image& offImage);

    int tickInterval = 100;
    double decayFactor = 0.9;
    bool freeRunning = false;
    int levelGain = 10;

    void setLevelSource (std::unique_ptr<LevelSource> source) { levelSource = std::move (source); }
    void setLevel (double newLevel);
    double getLevel() const { return level; }
    double getShownFraction() const { return shownFraction; }
    juce::String getText() const { return text; }

    void timerCallback() override;
    void paint (juce::Graphics& g) override;
    void applyScale (bool apply) override { applyCommonScale (*this, apply); }

private:
    juce::String text;
    juce::Image onImage, offImage;
    std::unique_ptr<LevelSource> levelSource;
    double level = 0.0;
    double shownFraction = 0.0;
};
