#pragma once

#include "skin/ControlStyles.h"
#include "skin/DropDownStyle.h"

#include <juce_gui_basics/juce_gui_basics.h>

class SkinManager;

// The control templates: one style record per control kind, read from the
// skin's "GenericControls" section, from which the effect pages' widgets
// are made so that the skin alone decides their look.
class ControlManager
{
public:
    ControlManager() = default;
    virtual ~ControlManager() = default;

    // Keeps the skin and reads the section of the document's root; without
    // a skin, root or section nothing is read.
    virtual void loadFromSkin (const SkinManager* skin, const juce::XmlElement* skinRoot);

    // Read one Widget element into a record and mark it loaded; nothing
    // without a skin or an element.
    void readToggleStyle (const juce::XmlElement* widget, ToggleStyle& style) const;
    void readTrackSliderStyle (const juce::XmlElement* widget, TrackSliderStyle& style) const;
    void readDropDownStyle (const juce::XmlElement& widget);

    const DropDownStyle& getDropDownStyle() const { return dropDownStyle; }
    const SkinManager* getSkin() const { return skin; }

    static constexpr const char* sectionName = "GenericControls";

protected:
    const SkinManager* skin = nullptr;
    DropDownStyle dropDownStyle;
};
