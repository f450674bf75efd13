#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The program's tooltips, costing nothing while the pointer rests.
//
// The framework's tooltip window polls the pointer for as long as it exists
// (its own 123 ms timer, and the desktop's 100 ms mouse poll that its global
// mouse listener starts). So it exists only while the pointer moves over one
// of our windows: the first move creates it, and it is dropped once the
// pointer has rested (or stayed outside our windows) long enough for any tip
// to have appeared, and no tip is showing. A tip shows after the delay and
// hides as the framework's tooltip window does it.
//
// Our windows are watched by plain mouse listeners, which only hear real
// events; the set of windows is brought up to date when the pointer leaves
// one and when the keyboard focus moves (a new window takes it).
class TooltipsOnDemand : private juce::MouseListener, private juce::FocusChangeListener, private juce::Timer
{
public:
    explicit TooltipsOnDemand (int millisecondsBeforeTipAppears);
    ~TooltipsOnDemand() override;

    // The framework's tooltip window while the pointer moves, else nullptr.
    juce::TooltipWindow* getTooltipWindow() const { return tooltipWindow.get(); }

private:
    void wake();
    void watchOurWindows();

    void mouseEnter (const juce::MouseEvent&) override { wake(); }
    void mouseMove (const juce::MouseEvent&) override { wake(); }
    void mouseDrag (const juce::MouseEvent&) override { wake(); }
    void mouseDown (const juce::MouseEvent&) override { wake(); }
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override { wake(); }
    void mouseExit (const juce::MouseEvent&) override;
    void globalFocusChanged (juce::Component*) override { watchOurWindows(); }
    void timerCallback() override;

    const int delayMs;
    std::unique_ptr<juce::TooltipWindow> tooltipWindow;
    juce::Array<juce::Component::SafePointer<juce::Component>> watched;

    JUCE_DECLARE_NON_COPYABLE (TooltipsOnDemand)
};
