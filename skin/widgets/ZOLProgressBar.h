#pragma once

#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// Holds the bar's value ahead of the framework bar, which reads it as soon as
// it is built.
struct ZOLProgressValue
{
    double progress = 0.0;
};

// The framework's progress bar over a value it owns; the owner writes
// progress (0.0 to 1.0).
class ZOLProgressBar : private ZOLProgressValue, public juce::ProgressBar, public ZOLResizableComponent
{
public:
    ZOLProgressBar();

    using ZOLProgressValue::progress;
    // What is under way, drawn before the percentage; empty for none.
    juce::String caption;

    // The value as drawn: limited to 0..1, and 0 when not a number.
    double getShownProgress() const;

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }
    void paint (juce::Graphics& g) override;
};
