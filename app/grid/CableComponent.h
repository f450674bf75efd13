#pragma once

#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// One cable of the effect grid: an S-shaped curve from an output jack to an
// input jack further right, with level tangents at both ends. A click selects
// it (the grid keeps all cables in one radio group); a double click posts
// change code 1, the grid's cue to disconnect it. Only the band around the
// curve, away from its ends, takes the mouse, so the jacks below stay usable.
class CableComponent : public juce::Button, public ZOLResizableComponent, public juce::ChangeBroadcaster
{
public:
    static constexpr int disconnectCode = 1;
    static constexpr float hitBandWidth = 8.0f;

    CableComponent (juce::Colour colour, juce::Colour selectedColour, int endMargin, float thickness);
    ~CableComponent() override;

    // The two ends in the parent's coordinates; lays the cable out.
    void setEndpoints (int x1, int y1, int x2, int y2);
    void rebuild();

    // The cells the cable joins, kept for the grid.
    int sourceCell = 0, destinationCell = 0;

    int getChangeCode() const;
    void setChangeCode (int code);

    bool hitTest (int x, int y) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void paintButton (juce::Graphics& g, bool mouseOver, bool buttonDown) override;
    void applyScale (bool apply) override;

    const juce::Path& getCurve() const { return curve; }
    bool isLaidOut() const { return laidOut; }

private:
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    juce::Path curve, hitBand;
    bool laidOut = false;
    int endMargin = 0;
    juce::Colour colour, selectedColour;
    float thickness = 1.0f;

    mutable juce::CriticalSection codeLock;
    int changeCode = 0;

    JUCE_DECLARE_NON_COPYABLE (CableComponent)
};
