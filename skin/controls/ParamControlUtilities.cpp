#include "skin/controls/ParamControlUtilities.h"

#include "device/engines/PresetManager.h"
#include "model/EffectManager.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelEffectManager.h"
#include "model/ParamNameTables.h"
#include "model/UnitIds.h"

#include <cmath>

namespace
{
// Parameters whose choices are the program's own.
constexpr int pitchCustomNotes = 45, pitchNote2 = 46, pitchNote8 = 52, pitchNumRepeats = 56, pitchTempo = 58;
constexpr int pitchTonic = 0xF000;
constexpr int multitapFeedbackSend = 76, multitapFeedbackReturn = 77;
constexpr int controllersSeqStages = 36, controllersLfo1Quantize = 90, controllersLfo2Quantize = 91;
constexpr int controllersSwitchValueFirst = 92, controllersSwitchValueLast = 107;
constexpr int reverbQuality = 43;
constexpr int globalF1Tap = 46, globalF1Hold = 47, globalF2Tap = 48, globalF2Hold = 49, globalF3Tap = 50,
              globalF3Hold = 51;
constexpr int layoutMidiPc = 0, layoutMidiChannel = 1;
constexpr int ampSaturationSwitch = 54, ampPresence = 20, ampBeta = 24, ampSupplyType = 86, ampPreCompType = 111;
constexpr int compInputLevel = 19;
constexpr juce::uint16 midiPcOffValue = 16383;

const char* const noteNames[12] = { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };

// Footswitch functions in the order they are offered; tempo tap only on tap
// functions and the preset-bank functions only on the first footswitch.
const int footswitch1TapOrder[] = { 0, 1, 2, 3, 4, 5, 15, 6, 7, 13, 14, 8, 9, 10, 11, 12, 16 };
const int footswitch1HoldOrder[] = { 0, 1, 2, 3, 4, 5, 15, 6, 7, 13, 14, 9, 10, 11, 12, 16 };
const int footswitchTapOrder[] = { 0, 4, 5, 15, 6, 7, 13, 14, 8, 9, 10, 11, 12, 16 };
const int footswitchHoldOrder[] = { 0, 4, 5, 15, 6, 7, 13, 14, 9, 10, 11, 12, 16 };

// (effect type, parameter name) pairs whose choices keep the unit's order.
struct KeptOrder
{
    int effectType;
    const char* paramName;
};

const KeptOrder keptOrderParams[] = {
    { EFFECT_CONTROL, "CONTROLLERS_LFO1TEMPO" },
    { EFFECT_CONTROL, "CONTROLLERS_LFO2TEMPO" },
    { EFFECT_CONTROL, "CONTROLLERS_LFO1QUANTIZE" },
    { EFFECT_CONTROL, "CONTROLLERS_LFO2QUANTIZE" },
    { EFFECT_DELAY, "DELAY_TEMPO" },
    { EFFECT_DELAY, "DELAY_TEMPOR" },
    { EFFECT_DELAY, "DELAY_LFO1TEMPO" },
    { EFFECT_DELAY, "DELAY_LFO2TEMPO" },
    { EFFECT_DELAY, "DELAY_LFO3TEMPO" },
    { EFFECT_MULTITAP, "MULTITAP_TEMPO1" },
    { EFFECT_MULTITAP, "MULTITAP_TEMPO2" },
    { EFFECT_MULTITAP, "MULTITAP_TEMPO3" },
    { EFFECT_MULTITAP, "MULTITAP_TEMPO4" },
    { EFFECT_MULTITAP, "MULTITAP_LFOTEMPO1" },
    { EFFECT_MULTITAP, "MULTITAP_LFOTEMPO2" },
    { EFFECT_MULTITAP, "MULTITAP_LFOTEMPO3" },
    { EFFECT_MULTITAP, "MULTITAP_LFOTEMPO4" },
    { EFFECT_MULTITAP, "MULTITAP_QUANTIZE" },
    { EFFECT_MULTITAP, "MULTITAP_RTEMPO" },
    { EFFECT_CHORUS, "CHORUS_TEMPO" },
    { EFFECT_FLANGER, "FLANGER_TEMPO" },
    { EFFECT_PHASER, "PHASER_TEMPO" },
    { EFFECT_PITCH, "PITCH_DTEMPO1" },
    { EFFECT_PITCH, "PITCH_DTEMPO2" },
    { EFFECT_PITCH, "PITCH_STEMPO1" },
    { EFFECT_PITCH, "PITCH_STEMPO2" },
    { EFFECT_PITCH, "PITCH_TEMPO" },
    { EFFECT_ROTARY, "ROTARY_TEMPO" },
    { EFFECT_TREMOLO, "TREMOLO_TEMPO" },
    { EFFECT_LOOPER, "LOOPER_QUANTIZE" },
};

void addNumbers (int from, int to, juce::StringArray& names, juce::Array<juce::uint16>& values)
{
    for (int v = from; v <= to; ++v)
    {
        names.add (juce::String (v));
        values.add ((juce::uint16) v);
    }
}

void addNamed (std::initializer_list<std::pair<const char*, int>> entries, juce::StringArray& names,
               juce::Array<juce::uint16>& values)
{
    for (auto& entry : entries)
    {
        names.add (entry.first);
        values.add ((juce::uint16) entry.second);
    }
}

template <size_t n>
void addFootswitchFunctions (const int (&order)[n], juce::StringArray& names, juce::Array<juce::uint16>& values)
{
    for (int id : order)
    {
        names.add (getNameForId (FootswitchModeNames, (juce::uint32) id));
        values.add ((juce::uint16) id);
    }
}
} // namespace

EffectManager* ParamControlUtilities::getEffectManagerForPage() const
{
    return KestrelEffectManager::getInstanceWithoutCreating();
}

EffectLayoutManager* ParamControlUtilities::getLayoutManagerForPage() const
{
    return KestrelEffectLayoutManager::getInstanceWithoutCreating();
}

DeviceManager* ParamControlUtilities::getDeviceManagerForPage() const
{
    return PresetManager::getInstanceWithoutCreating();
}

juce::StringArray ParamControlUtilities::makeShortTexts (int count)
{
    juce::StringArray texts;

    if (count <= 0)
        return texts;

    const int width = (int) std::floor (std::log10 ((double) count)) + 1;

    for (int i = 1; i <= count; ++i)
        texts.add (juce::String (i).paddedLeft ('0', width) + "  ");

    return texts;
}

bool ParamControlUtilities::keepsUnitOrder (int effectType, int paramId) const
{
    for (auto& kept : keptOrderParams)
        if (kept.effectType == effectType && getParamIdForName (effectType, kept.paramName) == paramId)
            return true;

    return false;
}

int ParamControlUtilities::findStoredValue (int blockId, int paramId, juce::String* text, int* lower, int* upper) const
{
    auto* effects = getEffectManagerForPage();
    auto* device = getDeviceManagerForPage();

    if (effects == nullptr)
        return -1;

    int xy = 0;

    if (device != nullptr && ! device->getBlockXYState (blockId, xy))
        xy = 0;

    EffectParamValue stored;

    if (! effects->getParamValue (blockId, paramId, xy, stored))
        return -1;

    if (text != nullptr)
        *text = stored.text;

    if (lower != nullptr)
        *lower = stored.extraA;

    if (upper != nullptr)
        *upper = stored.extraB;

    return stored.value;
}

bool ParamControlUtilities::getParamRange (int blockId, int paramId, int& kind, float& minimum, float& maximum)
{
    kind = 0;
    minimum = maximum = 0.0f;

    auto* effects = getEffectManagerForPage();
    auto* definition = effects != nullptr ? effects->findParamDefinition (blockId, paramId) : nullptr;

    if (definition == nullptr)
        return false;

    kind = definition->info.getKind();
    minimum = definition->info.minimum;
    maximum = definition->info.maximum;

    if (kind != B_INT)
    {
        minimum *= definition->info.displayMultiplier;
        maximum *= definition->info.displayMultiplier;
    }

    return true;
}

bool ParamControlUtilities::getAltLabel (int blockId, int paramId, juce::String& label)
{
    if (effectTypeOfBlock (blockId) != EFFECT_DISTORT || paramId != ampPresence)
        return false;

    if (findStoredValue (blockId, ampBeta) != 0)
        return false;

    label = "High Cut";
    return true;
}

bool ParamControlUtilities::getValueStrings (int blockId, int paramId, juce::StringArray& shortTexts,
                                             juce::StringArray& names, juce::Array<juce::uint16>& values,
                                             juce::Array<juce::uint8>&)
{
    auto* effects = getEffectManagerForPage();

    if (effects == nullptr || getDeviceManagerForPage() == nullptr)
        return false;

    const int effectType = effectTypeOfBlock (blockId);
    const bool isTypeSelector = getTypeParamId (blockId) == paramId;
    const bool keepOrder = blockId != blockIdNone && ! isShuntBlockId (blockId) && keepsUnitOrder (effectType, paramId);

    auto* definition = effects->findParamDefinition (blockId, paramId);
    const float scale = definition != nullptr ? definition->info.displayMultiplier : 0.0f;
    const int low = definition != nullptr ? (int) (juce::int16) (juce::int64) (definition->info.minimum * scale) : 0;
    const int high = definition != nullptr ? (int) (juce::int16) (juce::int64) (definition->info.maximum * scale) : 0;

    juce::StringArray newNames;
    juce::Array<juce::uint16> newValues;
    bool numbered = true;
    bool special = true;

    if (effectType == EFFECT_PITCH && paramId == pitchNumRepeats)
    {
        addNumbers (low, high, newNames, newValues);

        if (! newNames.isEmpty())
            newNames.set (newNames.size() - 1, "INFINITE");
    }
    else if (effectType == EFFECT_PITCH && paramId == pitchTempo && definition != nullptr)
    {
        for (int i = 0; i < definition->valueStrings.size(); ++i)
        {
            if (definition->valueStrings[i].contains ("NONE"))
                continue;

            newNames.add (definition->valueStrings[i]);
            newValues.add ((juce::uint16) i);
        }
    }
    else if (effectType == EFFECT_PITCH && paramId == pitchCustomNotes && ! isTypeSelector)
    {
        addNumbers (low, high, newNames, newValues);
    }
    else if (effectType == EFFECT_PITCH && paramId >= pitchNote2 && paramId <= pitchNote8 && ! isTypeSelector &&
             findStoredValue (blockId, paramId) >= 0)
    {
        juce::String text;
        int lower = 0, upper = 0;
        findStoredValue (blockId, paramId, &text, &lower, &upper);
        const int tonic = juce::jmax (0, findStoredValue (blockId, pitchTonic));

        if (text.trim().isNotEmpty())
            for (int i = lower; i <= upper && i < 12; ++i)
            {
                const int note = (tonic + i) % 12;
                newNames.add (noteNames[note]);
                newValues.add ((juce::uint16) note);
            }
    }
    else if (effectType == EFFECT_PITCH && paramId == pitchTonic && ! isTypeSelector)
    {
        for (int i = 0; i < 12; ++i)
        {
            newNames.add (noteNames[i]);
            newValues.add ((juce::uint16) i);
        }
    }
    else if (effectType == EFFECT_MULTITAP && paramId == multitapFeedbackSend && definition != nullptr &&
             findStoredValue (blockId, multitapFeedbackReturn) >= 0)
    {
        for (int v = findStoredValue (blockId, multitapFeedbackReturn); v <= (int) definition->info.maximum; ++v)
        {
            newNames.add (juce::String (v + 1));
            newValues.add ((juce::uint16) v);
        }
    }
    else if (effectType == EFFECT_MULTITAP && paramId == multitapFeedbackReturn && definition != nullptr &&
             findStoredValue (blockId, multitapFeedbackSend) >= 0)
    {
        for (int v = (int) definition->info.minimum; v <= findStoredValue (blockId, multitapFeedbackSend); ++v)
        {
            newNames.add (juce::String (v + 1));
            newValues.add ((juce::uint16) v);
        }
    }
    else if (effectType == EFFECT_CONTROL && paramId == controllersSeqStages)
    {
        addNumbers (low, high, newNames, newValues);
    }
    else if (effectType == EFFECT_CONTROL && (paramId == controllersLfo1Quantize || paramId == controllersLfo2Quantize))
    {
        addNumbers (low, high, newNames, newValues);

        if (! newNames.isEmpty())
            newNames.set (0, "OFF");
    }
    else if (effectType == EFFECT_CONTROL && paramId >= controllersSwitchValueFirst &&
             paramId <= controllersSwitchValueLast)
    {
        addNamed ({ { "On", 1 }, { "Off", 0 } }, newNames, newValues);
    }
    else if (effectType == EFFECT_REVERB && paramId == reverbQuality)
    {
        addNamed ({ { "Normal", 0 }, { "High", 1 } }, newNames, newValues);
    }
    else if (effectType == EFFECT_GLOBAL && paramId == globalF1Tap)
    {
        addFootswitchFunctions (footswitch1TapOrder, newNames, newValues);
    }
    else if (effectType == EFFECT_GLOBAL && paramId == globalF1Hold)
    {
        addFootswitchFunctions (footswitch1HoldOrder, newNames, newValues);
    }
    else if (effectType == EFFECT_GLOBAL && (paramId == globalF2Tap || paramId == globalF3Tap))
    {
        addFootswitchFunctions (footswitchTapOrder, newNames, newValues);
    }
    else if (effectType == EFFECT_GLOBAL && (paramId == globalF2Hold || paramId == globalF3Hold))
    {
        addFootswitchFunctions (footswitchHoldOrder, newNames, newValues);
    }
    else if (effectType == EFFECT_LAYOUT && paramId == layoutMidiPc)
    {
        newNames.add ("OFF");
        newValues.add (midiPcOffValue);
        addNumbers (0, 127, newNames, newValues);
        numbered = false;
    }
    else if (effectType == EFFECT_LAYOUT && paramId == layoutMidiChannel)
    {
        addNumbers (1, 16, newNames, newValues);
    }
    else if (effectType == EFFECT_DISTORT && paramId == ampSaturationSwitch)
    {
        addNamed ({ { "Ideal", 2 }, { "Auth", 1 }, { "Off", 0 } }, newNames, newValues);
    }
    else if (effectType == EFFECT_DISTORT && paramId == ampPreCompType)
    {
        addNamed ({ { "Ideal", 1 }, { "Auth", 0 } }, newNames, newValues);
    }
    else if (effectType == EFFECT_DISTORT && paramId == ampSupplyType)
    {
        addNamed ({ { "DC", 1 }, { "AC", 0 } }, newNames, newValues);
    }
    else if (effectType == EFFECT_COMP && paramId == compInputLevel)
    {
        addNamed ({ { "Instrument", 0 }, { "Line", 1 } }, newNames, newValues);
    }
    else
    {
        special = false;
    }

    if (! special)
    {
        // The definition's value names, in the unit's order where that
        // matters and otherwise sorted as a person reads numbers.
        if (definition == nullptr)
            return false;

        const auto& unitNames = definition->valueStrings;

        if (keepOrder)
        {
            newNames = unitNames;

            for (int i = 0; i < unitNames.size(); ++i)
                newValues.add ((juce::uint16) i);
        }
        else
        {
            newNames = unitNames;
            newNames.sortNatural();

            for (auto& name : newNames)
                newValues.add ((juce::uint16) juce::jmax (0, unitNames.indexOf (name)));
        }
    }

    shortTexts.clear();

    if (numbered)
        shortTexts = makeShortTexts (newNames.size());
    else
        for (int i = 0; i < newNames.size(); ++i)
            shortTexts.add ({});

    for (auto& name : newNames)
        toTitleCaseName (name);

    names = newNames;
    values = newValues;
    return true;
}
