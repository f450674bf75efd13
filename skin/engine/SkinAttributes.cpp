#include "skin/engine/SkinAttributes.h"

#include "skin/engine/SkinManager.h"

namespace SkinAttributes
{
juce::Colour colour (const juce::XmlElement& element, const juce::String& name)
{
    return juce::Colour ((juce::uint32) element.getStringAttribute (name).getHexValue32());
}

bool has (const juce::XmlElement& element, const juce::String& name)
{
    return element.getStringAttribute (name).isNotEmpty();
}

juce::Colour colourOr (const juce::XmlElement& element, const juce::String& name, juce::Colour fallback)
{
    return has (element, name) ? colour (element, name) : fallback;
}

juce::Rectangle<int> rectangle (const juce::XmlElement& element, const juce::String& name)
{
    auto r = juce::Rectangle<int>::fromString (element.getStringAttribute (name));
    constexpr int limit = 100000;
    return { juce::jlimit (-limit, limit, r.getX()), juce::jlimit (-limit, limit, r.getY()),
             juce::jlimit (0, limit, r.getWidth()), juce::jlimit (0, limit, r.getHeight()) };
}

int clampedInt (const juce::XmlElement& element, const juce::String& name, int limit, int fallback)
{
    return juce::jlimit (-limit, limit, element.getIntAttribute (name, fallback));
}

float fontSize (const juce::XmlElement& element, const juce::String& name)
{
    auto size = (float) element.getDoubleAttribute (name, 0.0);
    if (! std::isfinite (size) || size <= 0.0f)
        return 0.0f;
    return juce::jlimit (1.0f, 200.0f, size);
}

juce::Image image (const SkinManager& skin, const juce::XmlElement& element, const juce::String& name)
{
    auto fileName = element.getStringAttribute (name);
    return fileName.isEmpty() ? juce::Image() : skin.getImage (fileName);
}

juce::Font font (const SkinManager& skin, const juce::XmlElement& element, const juce::String& name, float height)
{
    auto fileName = element.getStringAttribute (name);
    juce::Font result;
    if (fileName.isNotEmpty())
        if (auto typeface = skin.getTypeface (fileName))
            result = juce::Font (typeface);
    return height > 0.0f ? result.withHeight (height) : result;
}

juce::Justification justification (const juce::XmlElement& element, const juce::String& name, int fallback)
{
    return juce::Justification (element.getIntAttribute (name, fallback) & 0x7f);
}

const juce::XmlElement* child (const juce::XmlElement& parent, const juce::String& tag)
{
    for (auto* e : parent.getChildIterator())
        if (e->getTagName() == tag)
            return e;
    return nullptr;
}

std::vector<const juce::XmlElement*> children (const juce::XmlElement& parent, const juce::String& tag)
{
    std::vector<const juce::XmlElement*> found;
    for (auto* e : parent.getChildIterator())
        if (e->getTagName() == tag)
            found.push_back (e);
    return found;
}

const juce::XmlElement* findWidget (const juce::XmlElement& section, const juce::String& widgetName)
{
    for (auto* widget : children (section, "Widget"))
        if (widget->getStringAttribute ("name") == widgetName)
            return widget;
    return nullptr;
}
} // namespace SkinAttributes
