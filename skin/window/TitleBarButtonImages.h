#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The pictures of one of the window's own buttons (close, maximise,
// minimise); x is an offset from the title bar's right edge.
struct TitleBarButtonImages
{
    juce::Image up, over, down, upOn, overOn, downOn;
    juce::String name;
    int positionX = 0, positionY = 0;
};
