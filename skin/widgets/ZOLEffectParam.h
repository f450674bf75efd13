#pragma once

#include "skin/widgets/ModifierKeyCombo.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The parameter half of a value widget: which parameter of which block it
// edits, how its position maps to the unit's 16-bit value, the unit and range
// used for typed entries, and the last gesture as a change code. The widget
// stores the code and sends a change message; its owner reads the code back
// with getChangeCode and then asks the widget for its value.
//
// Change codes: 0 entry cancelled, 1 selected, 2 button clicked, 3 modifier edit
// requested, 4 new value, 5/6 step up coarse/fine, 7/8 step down coarse/fine,
// 9 double-click with the double-click keys, 10 typed value accepted,
// 11 extra button.
class ZOLEffectParam : public virtual juce::ChangeBroadcaster
{
public:
    ZOLEffectParam() = default;
    virtual ~ZOLEffectParam();

    ModifierKeyCombo dragModeKeys{ false, false, true };
    ModifierKeyCombo fineKeys{ false, true, false };
    ModifierKeyCombo doubleClickKeys;

    juce::uint16 blockId = 0;      // 0: the block the owning editor shows
    juce::uint16 paramId = 0xFFFF; // 0xFFFF: none
    int valueType = 0;             // 1: integer of rangeMin..rangeMax; else 0..65534
    juce::uint16 auxId = 0xFFFF;   // kept for the owner
    bool hasModifier = false;      // a modifier can be assigned: right-click or M asks to edit it
    bool modifierActive = false;   // a modifier drives it: the widget follows the unit only
    bool isMidiCc = false;
    juce::uint16 midiCcNumber = 0;
    bool hasSubIndex = false;
    juce::uint16 subIndex = 0;
    juce::String unitText; // display suffix of unit
    int unit = 0;          // ParamUnit
    bool clampEntries = false;
    float rangeMin = 0.0f;
    float rangeMax = 0.0f;
    juce::Array<juce::uint16> extraParamIds;
    float alphaEnabled = 1.0f;
    float alphaDisabled = 0.6f;
    bool altState = false; // reverses the wheel
    int wheelFineByDefault = 0;
    bool holdFromDevice = false; // values from the unit do not move the widget

    // Value operations; the base gives "no value".
    virtual juce::String getDisplayText() { return {}; }
    virtual void cancelValueEntry() {}
    virtual bool isValueEntryActive() { return false; }
    virtual int getUnitValue() { return 0; }
    virtual int getSecondaryValue() { return 0; }
    virtual double getValueAsDouble() { return 0.0; }
    virtual void setFromDevice (juce::uint16 value, juce::uint16 position, const juce::String& text);
    virtual void setSecondaryValue (juce::uint16) {}
    virtual void modifierChanged() {}
    virtual void unitChanged() {}
    virtual void rangeChanged() {}
    virtual void hasModifierChanged() {}
    virtual void altStateChanged() {}

    // Stores the code, then sends a change message (delivered asynchronously).
    void postChangeCode (int code);
    int getChangeCode() const;

    void setUnit (int code);
    void setHasModifier (bool has);
    // Marks the parameter as driven by a modifier in use; tells the widget
    // (modifierChanged) when that changes.
    void setModifierActive (bool active);
    void setAltState (bool state);
    bool hasExtraParamId (juce::uint16 id) const { return extraParamIds.contains (id); }

    bool areDragModeKeysHeld() const { return dragModeKeys.isHeld(); }
    bool areFineKeysHeld() const { return fineKeys.isHeld(); }
    bool areDoubleClickKeysHeld() const { return doubleClickKeys.isHeld(); }

    // 5/6 up coarse/fine, 7/8 down coarse/fine; the fine keys flip the default.
    int getWheelChangeCode (bool up) const;

    // Wheel direction: a delta above 0 is up; altState reverses it.
    bool isWheelUp (const juce::MouseWheelDetails& wheel) const { return (wheel.deltaY > 0) != altState; }

    // The key that asks for the modifier editor: M or m without Ctrl.
    static bool isModifierEditKey (const juce::KeyPress& key);

    // Gestures that knobs and sliders share. A wheel step posts its code
    // unless the widget is disabled or follows an active modifier.
    void postWheelStep (bool enabled, const juce::MouseWheelDetails& wheel);
    // Up and Down post a step, M (without Ctrl) asks for the modifier editor
    // when there is one. False when the key is none of these; consumed tells
    // whether the widget used it.
    bool handleStepOrModifierKey (const juce::KeyPress& key, bool& consumed);
    // Focus taken by a click or the Tab key selects the widget (code 1).
    void postSelectionOnFocus (juce::Component::FocusChangeType cause);

    // The unit value for a fraction 0..1 of the widget's travel. An integer
    // range gives rangeMin + (count) * f + 0.5 truncated (counted from 0 when
    // rangeMin is negative), never past the range's end; otherwise f * 65534.
    int mapFractionToUnitValue (double fraction) const;

    // The display position (0..127) of a 16-bit unit value (0..65534 full scale).
    static juce::uint16 positionOfValue (juce::uint32 value)
    {
        return (juce::uint16) juce::jlimit (0, 127, (int) ((float) value / 65534.0f * 127.0f));
    }
    bool hasIntegerRange() const;

    // While it lives, a value from the unit that confirms an edit already
    // replaced by a newer one does not move the widget (when `confirming`);
    // the widget's own hold is kept and restored afterwards.
    class ConfirmedEditScope
    {
    public:
        ConfirmedEditScope (ZOLEffectParam& p, bool confirming)
            : param (p)
            , previous (p.holdFromDevice)
        {
            param.holdFromDevice = previous || confirming;
        }
        ~ConfirmedEditScope() { param.holdFromDevice = previous; }

    private:
        ZOLEffectParam& param;
        const bool previous;
        JUCE_DECLARE_NON_COPYABLE (ConfirmedEditScope)
    };

private:
    int changeCode = 0;
    juce::CriticalSection changeCodeLock;
};
