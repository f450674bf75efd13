#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The scaling half of every widget: a widget is laid out at its design size
// and shown enlarged or reduced as a whole through a component transform.
class ZOLResizableComponent
{
public:
    ZOLResizableComponent() = default;
    virtual ~ZOLResizableComponent() = default;

    // Written by the owner before it calls applyScale.
    double scaleFactor = 1.0;

    // The bounds before any scaling; empty until the first applyScale or
    // rememberUnscaledBounds.
    juce::Rectangle<int> unscaledBounds;

    // Stores the rectangle only while none is stored yet.
    void rememberUnscaledBounds (juce::Rectangle<int> bounds);
    bool hasUnscaledBounds() const { return unscaledBounds.getWidth() >= 1 && unscaledBounds.getHeight() > 0; }

    virtual void applyScale (bool apply) = 0;

    // The factor actually applied: a non-finite or non-positive factor is
    // refused (1.0), others are limited to minScale..maxScale.
    double getUsableScale() const;
    static constexpr double minScale = 0.1;
    static constexpr double maxScale = 10.0;

    // The rounded bounds the widget covers in its parent once scaled.
    juce::Rectangle<int> getScaledBounds() const { return scaleRectangle (unscaledBounds, getUsableScale()); }

    // Each of x, y, width and height times the factor, rounded to the nearest
    // integer with halves going to the even neighbour.
    static juce::Rectangle<int> scaleRectangle (juce::Rectangle<int> r, double factor);

protected:
    // The common form: remember the bounds, then (when applying) scale the
    // component about its parent's origin.
    void applyCommonScale (juce::Component& self, bool apply);

    // For a widget owned by a widget that is already scaled by its own
    // transform: it takes the owner's factor and remembers its bounds, but is
    // not scaled again (it is drawn inside the owner's transform).
    void followOwnerScale (juce::Component& self, double ownerFactor);
};

// Outlines a visible component with a white dashed frame 2 pixels outside its
// bounds; draws nothing for a missing or hidden component.
void drawComponentFrame (juce::Graphics& g, const juce::Component* component);

// Strokes the rectangle's outline as 3-on, 3-off dashes in the colour.
void strokeRectangle (juce::Graphics& g, juce::Rectangle<float> rectangle, juce::Colour colour, float thickness);
