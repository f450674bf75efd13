#include "app/grid/CableComponent.h"

#include <cmath>

CableComponent::CableComponent (juce::Colour cableColour, juce::Colour selected, int margin, float cableThickness)
    : juce::Button ("CableComponent")
    , endMargin (margin)
    , colour (cableColour)
    , selectedColour (selected)
    , thickness (std::isfinite (cableThickness) ? juce::jlimit (0.5f, 32.0f, cableThickness) : 1.0f)
{
}

CableComponent::~CableComponent() = default;

void CableComponent::setEndpoints (int newX1, int newY1, int newX2, int newY2)
{
    x1 = newX1;
    y1 = newY1;
    x2 = newX2;
    y2 = newY2;

    const int t = (int) std::nearbyint (thickness * 0.5f); // halves go to the even neighbour
    const juce::Rectangle<int> bounds (juce::jmin (x1, x2), juce::jmin (y1, y2) - 2 * t, std::abs (x2 - x1),
                                       std::abs (y2 - y1) + 4 * t);

    if (bounds != getBounds())
        setBounds (bounds);

    const float lx1 = (float) (x1 - bounds.getX()), ly1 = (float) (y1 - bounds.getY());
    const float lx2 = (float) (x2 - bounds.getX()), ly2 = (float) (y2 - bounds.getY());
    const float h = (float) ((x2 - x1) / 2);

    juce::Path centre;
    centre.startNewSubPath (lx1, ly1);
    centre.cubicTo (lx1 + h, ly1, lx2 - h, ly2, lx2, ly2);

    hitBand.clear();
    juce::PathStrokeType (hitBandWidth, juce::PathStrokeType::mitered, juce::PathStrokeType::butt)
        .createStrokedPath (hitBand, centre, {}, 1.0f);
    curve.clear();
    juce::PathStrokeType (thickness, juce::PathStrokeType::mitered, juce::PathStrokeType::butt)
        .createStrokedPath (curve, centre, {}, 1.0f);
    laidOut = true;
}

void CableComponent::rebuild()
{
    setEndpoints (x1, y1, x2, y2);
    repaint();
}

int CableComponent::getChangeCode() const
{
    const juce::ScopedLock lock (codeLock);
    return changeCode;
}

void CableComponent::setChangeCode (int code)
{
    const juce::ScopedLock lock (codeLock);
    changeCode = code;
}

bool CableComponent::hitTest (int x, int y)
{
    if (! laidOut || ! hitBand.contains ((float) x, (float) y, 1.0f))
        return false;

    // Distances in the parent's coordinates, truncated.
    const auto p = getPosition() + juce::Point<int> (x, y);
    const auto fromStart = (int) p.toDouble().getDistanceFrom ({ (double) x1, (double) y1 });
    const auto fromEnd = (int) p.toDouble().getDistanceFrom ({ (double) x2, (double) y2 });
    return fromStart > endMargin && fromEnd > endMargin;
}

void CableComponent::mouseDown (const juce::MouseEvent& e)
{
    juce::Button::mouseDown (e);

    if (e.getNumberOfClicks() >= 2)
    {
        setChangeCode (disconnectCode);
        sendChangeMessage();
    }
}

void CableComponent::paintButton (juce::Graphics& g, bool, bool)
{
    g.setColour (getToggleState() ? selectedColour : colour);
    g.fillPath (curve);
}

void CableComponent::applyScale (bool apply)
{
    applyCommonScale (*this, apply);
    rebuild();
}
