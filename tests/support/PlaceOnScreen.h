#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

// Where the X server shows a desktop window (its own area, without a frame
// that a window manager may draw around it), read from the server itself
// rather than from what the framework believes, in the screen's pixels.
// Empty while the window is not yet on the screen: not mapped or, under a
// window manager, not yet taken in hand by it (it may still move it then).
// Off X11, the framework's bounds.
std::optional<juce::Rectangle<int>> placeOnScreen (const juce::Component& window);

// From this call on, notes the places each new top-level window takes
// before it first reaches the screen. Call it before the windows of
// interest are made.
void watchWindowsMade();

// The places (position and size) the window took from when it was made
// until it first reached the screen, as watched; empty when it was made
// before watchWindowsMade, or off X11.
juce::Array<juce::Rectangle<int>> placesBeforeShown (const juce::Component& window);

// From this call on, notes the places the window asks for itself once it
// has reached the screen (under a window manager, once taken in hand). Call
// it as soon as the window is made, before it is first drawn.
void watchPlacesAsked (const juce::Component& window);

// The places the window asked for once on the screen, as watched. It is
// drawn first, as it soon would be: a framework may ask for a place when it
// first draws a window, from where it then believes the window stands.
// Empty off X11.
juce::Array<juce::Rectangle<int>> placesAskedOnceShown (const juce::Component& window);

// Whether a window manager runs on the display.
bool windowManagerRuns();
