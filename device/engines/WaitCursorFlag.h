#pragma once

#include <juce_core/juce_core.h>

// The wait-cursor flag of the application's look-and-feel: while it is 1 the
// look-and-feel gives the wait cursor for every component. The look-and-feel
// implements it and is handed to PresetManager::setWaitCursorFlag once it has
// been made the default.
class WaitCursorFlag
{
public:
    virtual ~WaitCursorFlag() = default;

    virtual void setWaitCursorFlag (juce::uint8 on) = 0;
    virtual juce::uint8 getWaitCursorFlag() const = 0;
};
