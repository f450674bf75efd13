#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

class SkinManager;

// The value forms of skin attributes, shared by every reader of the skin.
// Absent attributes read as 0, 0.0, false, an empty text, a transparent
// colour or no image.
namespace SkinAttributes
{
// Eight hex digits AARRGGBB; characters that are not hex digits are skipped.
juce::Colour colour (const juce::XmlElement& element, const juce::String& name);
// The colour, or the fallback when the attribute is absent or empty.
juce::Colour colourOr (const juce::XmlElement& element, const juce::String& name, juce::Colour fallback);
bool has (const juce::XmlElement& element, const juce::String& name);

// "x,y,w,h" (separated by commas, semicolons or blanks); all 0 when absent.
juce::Rectangle<int> rectangle (const juce::XmlElement& element, const juce::String& name);

// A whole number limited to -limit..limit, so that absurd sizes and
// positions cannot reach the layout.
int clampedInt (const juce::XmlElement& element, const juce::String& name, int limit, int fallback = 0);

// A font size: 0 when absent, else limited to 1..200.
float fontSize (const juce::XmlElement& element, const juce::String& name);

// The named image of the skin; an invalid image when the attribute is
// empty, the skin's stand-in when the archive lacks the name.
juce::Image image (const SkinManager& skin, const juce::XmlElement& element, const juce::String& name);

// A font on the named skin typeface (the framework's default font when the
// attribute is empty), with the given height when it is above 0.
juce::Font font (const SkinManager& skin, const juce::XmlElement& element, const juce::String& name,
                 float height = 0.0f);

juce::Justification justification (const juce::XmlElement& element, const juce::String& name, int fallback = 0);

// Skin tags are matched exactly, letter case included (the framework's own
// tag lookups ignore case): the first child with the tag, or nullptr ...
const juce::XmlElement* child (const juce::XmlElement& parent, const juce::String& tag);
// ... and every child with the tag, in document order.
std::vector<const juce::XmlElement*> children (const juce::XmlElement& parent, const juce::String& tag);

// The first Widget child whose "name" is the given one, or nullptr.
const juce::XmlElement* findWidget (const juce::XmlElement& section, const juce::String& widgetName);
} // namespace SkinAttributes
