#pragma once

#include "app/shell/MainAppWindow.h"

#include <juce_gui_basics/juce_gui_basics.h>

// Ticks the main window every millisecond while it lives, as well as its own
// 10 ms timer does. The program takes a step of a request (sends it, takes its
// answer) per tick, so a test in which it reads one request after another, as
// a preset load or the block definitions do, runs through them up to ten
// times faster. The ticks are the window's own (MainAppWindow::tick), on the
// message thread; a window closed meanwhile is no longer ticked.
class FastTicks : private juce::Timer
{
public:
    explicit FastTicks (MainAppWindow& windowToTick)
        : window (&windowToTick)
    {
        startTimer (1);
    }

    ~FastTicks() override { stopTimer(); }

private:
    void timerCallback() override
    {
        if (window != nullptr)
            window->tick();
    }

    juce::Component::SafePointer<MainAppWindow> window;

    JUCE_DECLARE_NON_COPYABLE (FastTicks)
};
