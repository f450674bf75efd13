#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class SkinManager;
class ZOLCheckBox;
class ZOLDrawableButton;
class ZOLPaintedButton;
class ZOLToggleButton;

// Builds widgets from one "Widget" element of the skin, placed by its
// "positionX", "positionY", "width" and "height" and styled from its
// attributes. The caller owns the result; no element gives nothing.
namespace SkinWidgetReaders
{
// A skin flag: true when its first non-blank character is 1, t, T, y or Y.
bool flag (const juce::XmlElement& element, const juce::String& name, bool fallback = false);

std::unique_ptr<ZOLPaintedButton> createPaintedButton (const SkinManager& skin, const juce::XmlElement& widget);

// The image button; it answers the right button only when rightClicks is set.
std::unique_ptr<ZOLDrawableButton> createDrawableButton (const SkinManager& skin, const juce::XmlElement* widget,
                                                         const juce::String& widgetName,
                                                         juce::Button::Listener* listener, bool rightClicks);
// The image toggle, sized to its off image.
std::unique_ptr<ZOLToggleButton> createToggleButton (const SkinManager& skin, const juce::XmlElement* widget);
// The image toggle inside a larger control with a label.
std::unique_ptr<ZOLToggleButton> createLabelledToggleButton (const SkinManager& skin, const juce::XmlElement* widget);
std::unique_ptr<ZOLCheckBox> createCheckBox (const SkinManager& skin, const juce::XmlElement* widget);
} // namespace SkinWidgetReaders
