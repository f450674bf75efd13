#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class SkinManager;
class ZOLLabelComponent;
class ZOLPaintedButton;

// Builds widgets from one "Widget" element of the skin, placed by its
// "positionX", "positionY", "width" and "height" and styled from its
// attributes. The caller owns the result.
namespace SkinWidgetReaders
{
// A skin flag: true when its first non-blank character is 1, t, T, y or Y.
bool flag (const juce::XmlElement& element, const juce::String& name, bool fallback = false);

std::unique_ptr<ZOLPaintedButton> createPaintedButton (const SkinManager& skin, const juce::XmlElement& widget);
std::unique_ptr<ZOLLabelComponent> createLabelComponent (const SkinManager& skin, const juce::XmlElement& widget);
} // namespace SkinWidgetReaders
