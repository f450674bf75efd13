#pragma once

#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// A check box with the skin's font, a tick box scaled to that font and a
// skin-given opacity for its text while disabled.
class ZOLCheckBox : public juce::ToggleButton, public ZOLResizableComponent
{
public:
    explicit ZOLCheckBox (const juce::String& buttonText = {});

    juce::Font font;
    int fontSize = 12;
    float disabledOpacity = 0.5f;

    // Width = the text's width + the tick box (1.1 x font size) + 8.
    void fitWidthToText();
    float getTickSize() const;

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }
    void paintButton (juce::Graphics& g, bool mouseOver, bool down) override;
};
