#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Keeps a window's content area at its design aspect ratio while the user
// resizes the window: the content height decides, and the width follows.
class ZolBoundsConstrainer : public juce::ComponentBoundsConstrainer
{
public:
    int designWidth = 0;
    int designHeight = 0;
    int borderTop = 0, borderLeft = 0, borderBottom = 0, borderRight = 0;
    int titleBarHeight = 0;

    void checkBounds (juce::Rectangle<int>& bounds, const juce::Rectangle<int>& previousBounds,
                      const juce::Rectangle<int>& limits, bool isStretchingTop, bool isStretchingLeft,
                      bool isStretchingBottom, bool isStretchingRight) override;
};
