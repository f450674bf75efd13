#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A combination of Shift, Ctrl and Alt that changes what a gesture does. It is
// held only when the current keys match it exactly: mouse buttons and other
// keys do not count, and the empty combination means none of the three is down.
struct ModifierKeyCombo
{
    bool shift = false;
    bool ctrl = false;
    bool alt = false;

    bool matches (const juce::ModifierKeys& keys) const
    {
        return keys.isShiftDown() == shift && keys.isCtrlDown() == ctrl && keys.isAltDown() == alt;
    }

    bool isHeld() const { return matches (juce::ModifierKeys::getCurrentModifiers()); }
};
