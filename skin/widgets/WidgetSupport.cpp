#include "skin/widgets/WidgetSupport.h"

#include <cmath>

namespace WidgetSupport
{
double finiteOr (double value, double fallback)
{
    return std::isfinite (value) ? value : fallback;
}

float usableAlpha (float alpha)
{
    return std::isfinite (alpha) ? juce::jlimit (0.0f, 1.0f, alpha) : 1.0f;
}

float usableFontSize (float size, float fallback)
{
    if (! std::isfinite (size) || size <= 0.0f)
        return fallback;
    return juce::jlimit (1.0f, 1000.0f, size);
}

juce::Rectangle<int> withoutNegativeSize (juce::Rectangle<int> r)
{
    return r.withSize (juce::jmax (0, r.getWidth()), juce::jmax (0, r.getHeight()));
}

juce::Font makeFont (juce::Typeface::Ptr typeface, float size)
{
    juce::Font font = typeface != nullptr ? juce::Font (typeface) : juce::Font();
    return font.withHeight (usableFontSize (size, 14.0f));
}

void drawImageInto (juce::Graphics& g, const juce::Image& image, juce::Rectangle<int> area)
{
    if (! image.isValid() || area.isEmpty())
        return;
    g.drawImage (image, area.getX(), area.getY(), area.getWidth(), area.getHeight(), 0, 0, image.getWidth(),
                 image.getHeight());
}

void drawImagePart (juce::Graphics& g, const juce::Image& image, juce::Rectangle<int> area, juce::Rectangle<int> source)
{
    source = source.getIntersection (image.getBounds());
    if (! image.isValid() || area.isEmpty() || source.isEmpty())
        return;
    g.drawImage (image, area.getX(), area.getY(), area.getWidth(), area.getHeight(), source.getX(), source.getY(),
                 source.getWidth(), source.getHeight());
}

void clearButtonBackground (juce::DrawableButton& button)
{
    for (auto id : { (int) juce::TextButton::buttonColourId, (int) juce::TextButton::buttonOnColourId,
                     (int) juce::ComboBox::outlineColourId, (int) juce::DrawableButton::backgroundColourId,
                     (int) juce::DrawableButton::backgroundOnColourId })
        button.setColour (id, juce::Colours::transparentBlack);
}

std::unique_ptr<juce::Drawable> drawableOf (const juce::Image& image)
{
    if (! image.isValid())
        return nullptr;
    auto d = std::make_unique<juce::DrawableImage>();
    d->setImage (image);
    return d;
}

void setButtonImages (juce::DrawableButton& button, const juce::Image& normal, const juce::Image& over,
                      const juce::Image& down, const juce::Image& disabled, const juce::Image& onImage)
{
    auto n = drawableOf (normal), o = drawableOf (over), d = drawableOf (down), x = drawableOf (disabled);
    auto on = drawableOf (onImage);
    if (n == nullptr)
        return;
    button.setImages (n.get(), o.get(), d.get(), x.get(), on.get(), on.get(), on.get(), on.get());
}

double leadingNumber (const juce::String& text)
{
    return finiteOr (text.getDoubleValue(), 0.0);
}
} // namespace WidgetSupport
