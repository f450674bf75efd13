#pragma once

#include <juce_core/juce_core.h>

// The shared progress indicator that the preset manager shows while a request
// takes longer than a moment. The content component's progress bar implements
// it and registers itself with PresetManager::setWaitIndicator.
class WaitIndicator
{
public:
    virtual ~WaitIndicator() = default;

    // Shows the indicator with the progress (0..1) and the text.
    virtual void showWaitProgress (double progress, const juce::String& text) = 0;
    virtual void hideWaitProgress() = 0;
};
