#pragma once

#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The draggable bar that divides an area of a window between two panes. It
// moves along one axis inside its window rectangle; the owner reads its place
// as a fraction of the travel and lays the panes out from it. A double-click
// puts it back at its default position.
//
// Change codes: 1 the bar moved during a drag (once per step); 2 a drag
// ended, or the position was set with notification.
class ZOLWindowSplitter : public juce::Component, public ZOLResizableComponent, public juce::ChangeBroadcaster
{
public:
    ZOLWindowSplitter();

    bool vertical = true; // a vertical stripe that moves left and right
    juce::Rectangle<int> windowRect;
    juce::Colour backgroundColour{ juce::Colours::grey };
    juce::Colour stripeColour{ juce::Colours::white };
    juce::Colour dotColour{ juce::Colours::grey };
    int stripeWidth = 5, dotWidth = 5, dotHeight = 5;
    double defaultPosition = 0.0;
    bool resizeCursorAllowed = true;

    // The bar's place along its travel, 0..1; 0 when the window rectangle
    // leaves it no room to move.
    double getProportionalPosition() const;
    // Moves the bar; a position outside 0..1 means the default position.
    void setProportionalPosition (bool notify, double position);

    void postChangeCode (int code);
    int getChangeCode() const;

    bool isDragging() const { return dragging; }
    void applyScale (bool apply) override { applyCommonScale (*this, apply); }

    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    juce::MouseCursor getMouseCursor() override;
    void paint (juce::Graphics& g) override;

private:
    int travel() const;

    bool mouseOver = false;
    bool dragging = false;
    juce::ComponentDragger dragger;
    juce::CriticalSection changeLock;
    int changeCode = 0;
};
