#include "skin/widgets/ZOLEffectParam.h"

#include "model/IdNameTable.h"
#include "model/IdTables.h"

#include <cmath>

ZOLEffectParam::~ZOLEffectParam() = default;

void ZOLEffectParam::setFromDevice (juce::uint16, juce::uint16, const juce::String&) {}

void ZOLEffectParam::postChangeCode (int code)
{
    {
        const juce::ScopedLock lock (changeCodeLock);
        changeCode = code;
    }
    sendChangeMessage();
}

int ZOLEffectParam::getChangeCode() const
{
    const juce::ScopedLock lock (changeCodeLock);
    return changeCode;
}

void ZOLEffectParam::setUnit (int code)
{
    if (code == unit)
        return;
    unit = code;
    unitText = getNameForId (ParamUnitSuffixes, (juce::uint32) code);
    unitChanged();
}

void ZOLEffectParam::setHasModifier (bool has)
{
    if (has == hasModifier)
        return;
    hasModifier = has;
    hasModifierChanged();
}

void ZOLEffectParam::setModifierActive (bool active)
{
    if (active == modifierActive)
        return;
    modifierActive = active;
    modifierChanged();
}

void ZOLEffectParam::setAltState (bool state)
{
    if (state == altState)
        return;
    altState = state;
    altStateChanged();
}

int ZOLEffectParam::getWheelChangeCode (bool up) const
{
    bool fine = wheelFineByDefault == 1;
    if (areFineKeysHeld())
        fine = ! fine;
    if (up)
        return fine ? 6 : 5;
    return fine ? 8 : 7;
}

bool ZOLEffectParam::isModifierEditKey (const juce::KeyPress& key)
{
    auto c = key.getTextCharacter();
    auto code = key.getKeyCode();
    return (c == 'm' || c == 'M' || code == 'm' || code == 'M') && ! key.getModifiers().isCtrlDown();
}

void ZOLEffectParam::postWheelStep (bool enabled, const juce::MouseWheelDetails& wheel)
{
    if (enabled && ! modifierActive)
        postChangeCode (getWheelChangeCode (isWheelUp (wheel)));
}

bool ZOLEffectParam::handleStepOrModifierKey (const juce::KeyPress& key, bool& consumed)
{
    auto up = key.isKeyCode (juce::KeyPress::upKey);
    if (up || key.isKeyCode (juce::KeyPress::downKey))
    {
        postChangeCode (getWheelChangeCode (up));
        consumed = true;
        return true;
    }
    if (isModifierEditKey (key))
    {
        consumed = hasModifier;
        if (hasModifier)
            postChangeCode (3);
        return true;
    }
    return false;
}

void ZOLEffectParam::postSelectionOnFocus (juce::Component::FocusChangeType cause)
{
    if (cause == juce::Component::focusChangedByMouseClick || cause == juce::Component::focusChangedByTabKey)
        postChangeCode (1);
}

bool ZOLEffectParam::hasIntegerRange() const
{
    return valueType == 1 && ! (rangeMin == 0.0f && rangeMax == 0.0f) && std::isfinite (rangeMin) &&
           std::isfinite (rangeMax) && rangeMax >= rangeMin;
}

int ZOLEffectParam::mapFractionToUnitValue (double fraction) const
{
    auto f = std::isfinite (fraction) ? (float) juce::jlimit (0.0, 1.0, fraction) : 0.0f;

    if (hasIntegerRange())
    {
        // Full travel would land one past the range; the unit must never get that.
        auto count = rangeMax - rangeMin + 1.0f;
        auto value = rangeMin >= 0.0f ? juce::jmin (rangeMin + count * f + 0.5f, rangeMax)
                                      : juce::jmin (count * f + 0.5f, rangeMax - rangeMin);
        return (int) juce::jmin (value, 2.0e9f);
    }
    return (int) (f * 65534.0f);
}
