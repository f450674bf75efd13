#pragma once

#include "skin/knobs/BrakFxReadout.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The value field that a knob or slider owns: created on attach, heard by its
// owner, and kept in step with the owner's unit, range and scale. Every
// operation does nothing while no field is attached.
class AttachedReadout
{
public:
    AttachedReadout (juce::Component& owner, juce::ChangeListener& listener);
    ~AttachedReadout();

    // Replaces any field with a new one (see BrakFxReadout::createForControl).
    void attach (juce::Rectangle<int> fieldRect, const juce::Image& fieldBackground, juce::Typeface::Ptr fieldTypeface,
                 float fieldFontSize, juce::Colour fieldColour, juce::Justification fieldJustification,
                 juce::Rectangle<int> fieldTextRect, float minimumHorizontalScale);

    BrakFxReadout* get() const { return readout.get(); }
    BrakFxReadout* operator->() const { return readout.get(); }
    explicit operator bool() const { return readout != nullptr; }

    void cancelEntry();
    bool isEntryActive() const { return readout != nullptr && readout->isEditorVisible(); }
    void showText (const juce::String& text);
    void followUnit (const ZOLEffectParam& owner);
    void followRange (const ZOLEffectParam& owner);
    void followScale (double ownerFactor);

    // The code the owner passes on for a change message from the field: 1
    // (selected) or 10 (entry accepted); -1 for other codes or other sources.
    int codeToPassOn (juce::ChangeBroadcaster* source) const;

private:
    juce::Component& owner;
    juce::ChangeListener& listener;
    std::unique_ptr<BrakFxReadout> readout;
};
