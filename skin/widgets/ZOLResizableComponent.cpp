#include "skin/widgets/ZOLResizableComponent.h"

#include <cmath>

void ZOLResizableComponent::rememberUnscaledBounds (juce::Rectangle<int> bounds)
{
    if (! hasUnscaledBounds())
        unscaledBounds = bounds;
}

double ZOLResizableComponent::getUsableScale() const
{
    if (! std::isfinite (scaleFactor) || scaleFactor <= 0.0)
        return 1.0;
    return juce::jlimit (minScale, maxScale, scaleFactor);
}

juce::Rectangle<int> ZOLResizableComponent::scaleRectangle (juce::Rectangle<int> r, double factor)
{
    // nearbyint follows the default rounding mode: to nearest, ties to even.
    auto scale = [factor] (int v) { return (int) std::nearbyint ((double) v * factor); };
    return { scale (r.getX()), scale (r.getY()), scale (r.getWidth()), scale (r.getHeight()) };
}

void ZOLResizableComponent::applyCommonScale (juce::Component& self, bool apply)
{
    rememberUnscaledBounds (self.getBounds());
    if (apply)
    {
        auto factor = (float) getUsableScale();
        self.setTransform (juce::AffineTransform::scale (factor));
    }
}

void ZOLResizableComponent::followOwnerScale (juce::Component& self, double ownerFactor)
{
    scaleFactor = ownerFactor;
    rememberUnscaledBounds (self.getBounds());
    if (! self.getTransform().isIdentity())
        self.setTransform ({});
}

void drawComponentFrame (juce::Graphics& g, const juce::Component* component)
{
    if (component == nullptr || ! component->isVisible())
        return;

    auto b = component->getBounds();
    juce::Rectangle<int> frame (b.getX() - 2, b.getY() - 2, juce::jmax (0, b.getWidth() + 4),
                                juce::jmax (0, b.getHeight() + 4));
    strokeRectangle (g, frame.toFloat(), juce::Colour (0xFFFFFFFF), 0.25f);
}

void strokeRectangle (juce::Graphics& g, juce::Rectangle<float> rectangle, juce::Colour colour, float thickness)
{
    juce::Path outline;
    outline.startNewSubPath (rectangle.getTopLeft());
    outline.lineTo (rectangle.getTopRight());
    outline.lineTo (rectangle.getBottomRight());
    outline.lineTo (rectangle.getBottomLeft());
    outline.closeSubPath();

    const float dashes[] = { 3.0f, 3.0f };
    juce::Path dashed;
    juce::PathStrokeType (thickness, juce::PathStrokeType::mitered, juce::PathStrokeType::butt)
        .createDashedStroke (dashed, outline, dashes, 2);

    g.setColour (colour);
    g.fillPath (dashed);
}
