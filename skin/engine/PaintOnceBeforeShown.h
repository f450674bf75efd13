#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The framework gives a window its place once more when it first paints it,
// from where it then believes the window stands. Under a window manager that
// belief may pass through the screen's corner while the manager takes the
// window in hand, and the window would be moved there for good. Painted once
// (a pixel) before it is shown, a window keeps the place it was given. Call
// it once the native window is made at its size and place.
inline void paintOnceBeforeShown (juce::Component& window)
{
    if (auto* peer = window.getPeer())
    {
        peer->repaint ({ 1, 1 });
        peer->performAnyPendingRepaintsNow();
    }
}
