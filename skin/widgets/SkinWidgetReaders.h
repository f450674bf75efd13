#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class SkinManager;
class ZOLCheckBox;
class ZOLDrawableButton;
class ZOLPaintedButton;
class ZOLToggleButton;
struct PaintedButtonStyle;

// Builds widgets from one "Widget" element of the skin, placed by its
// "positionX", "positionY", "width" and "height" and styled from its
// attributes. The caller owns the result; no element gives nothing.
namespace SkinWidgetReaders
{
// A skin flag: true when its first non-blank character is 1, t, T, y or Y.
bool flag (const juce::XmlElement& element, const juce::String& name, bool fallback = false);

// Reads a painted button's attributes over the record: a normal colour sets
// all three states, over and down ones override theirs; opacities and alphas
// that are absent keep the record's, so that a button never turns invisible
// for want of them.
void readPaintedButtonStyle (const SkinManager& skin, const juce::XmlElement& widget, PaintedButtonStyle& style);
// A painted button styled from the record.
std::unique_ptr<ZOLPaintedButton> makePaintedButton (const PaintedButtonStyle& style);

// A painted button of the element, with its secondary font and tooltip.
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
// The check box of a dialog: the section's widget of that name with the given
// text (the dialog's own language); without a skin, section or widget a plain
// check box with the text. Never null.
std::unique_ptr<ZOLCheckBox> createCheckBox (const SkinManager* skin, const juce::XmlElement* section,
                                             const juce::String& widgetName, const juce::String& text);
} // namespace SkinWidgetReaders
