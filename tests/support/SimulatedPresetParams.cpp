#include "tests/support/SimulatedPreset.h"

#include "model/BlockLayoutDocument.h"
#include "model/EditorControl.h"
#include "model/EffectLayout.h"
#include "model/IdTables.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/LayoutPage.h"

#include <array>
#include <map>

// What the simulated unit knows of its parameters: which are choices and
// their texts, the definitions it reports, the values a block starts with and
// the texts it displays for values.

namespace
{
constexpr int ampType = 5;
constexpr int cabType = 6;
constexpr int pitchType = 17;
constexpr int firstNoteParam = 46, lastNoteParam = 52; // the scale's notes 2 to 8
constexpr float levelTop = 10.0f;                      // a level shows 0.00 .. 10.00
constexpr float masterTop = 100.0f;                    // but the amp's master volume 0.00 .. 100.00
constexpr int masterVolumeParam = 21;
constexpr float fullScale = 65534.0f;

struct Choice
{
    int controlType = 0;
    juce::String label;
};

bool isChoiceControl (int controlType)
{
    // Drop-downs, switches and buttons (EditorControlType ids).
    return (controlType >= 4 && controlType <= 7) || (controlType >= 9 && controlType <= 12) || controlType == 17 ||
           controlType == 18;
}

// How the program shows each parameter, by (effect type, parameter): the unit
// and the program agree on which parameters have named values.
const std::map<std::pair<int, int>, Choice>& getChoiceParams()
{
    static const auto table = []
    {
        std::map<std::pair<int, int>, Choice> choices;
        KestrelEffectLayoutManager layouts;
        juce::String error;

        if (! loadEffectLayouts (layouts, error))
            return choices;

        // A parameter shown as a choice anywhere is one; the others keep the
        // first control that shows them.
        auto note = [&choices] (int effectType, const juce::OwnedArray<EditorControl>& controls)
        {
            for (auto* control : controls)
            {
                if (! control->hasParameter)
                    continue;

                const Choice shown{ control->type, control->name.replace ("\n", " ") };
                auto [place, added] = choices.emplace (std::pair (effectType, (int) control->parameterId), shown);

                if (! added && isChoiceControl (shown.controlType) && ! isChoiceControl (place->second.controlType))
                    place->second = shown;
            }
        };

        for (int i = 0; i < layouts.getNumLayouts(); ++i)
        {
            auto* layout = layouts.getLayout (i);

            for (auto* variant : layout->variants)
            {
                note (layout->effectType, variant->controls);

                for (auto* page : variant->pages)
                {
                    // A page may edit another block than the layout's own.
                    const int type = page->blockId != 0 ? effectTypeOfBlock (page->blockId) : layout->effectType;
                    note (type, page->pageControls);
                    note (type, page->parameterRows);
                    note (type, page->mixerRows);
                }
            }
        }

        return choices;
    }();

    return table;
}

juce::StringArray textsForChoice (const Choice& choice)
{
    const auto& label = choice.label;

    if (choice.controlType == 18)
        return { "OFF", "AUTH", "IDEAL" };

    if (choice.controlType == 17 || (choice.controlType >= 4 && choice.controlType <= 7))
        return { "OFF", "ON" };

    if (label == "Bypass Mode")
        return { "THRU", "MUTE FX OUT", "MUTE OUT", "MUTE FX IN", "MUTE IN" };

    if (label == "Input Select")
        return { "LEFT", "RIGHT", "SUM L+R" };

    if (label.containsIgnoreCase ("Tempo"))
        return { "NONE", "1/4", "1/8 DOT", "1/8", "1/16" };

    if (label.containsIgnoreCase ("LFO") || label.startsWith ("Wave"))
        return { "SINE", "TRIANGLE", "SQUARE", "SAW UP", "SAW DOWN" };

    if (label.containsIgnoreCase ("Speaker"))
        return { "VINTAGE 30 SIXTY", "GREENBACK 25 WATT", "CREAMBACK 75 WATT", "JENSEN C12K" };

    return { "SETTING 1", "SETTING 2", "SETTING 3", "SETTING 4" };
}

const Choice* findControl (int blockId, int paramId)
{
    const auto& choices = getChoiceParams();
    auto found = choices.find ({ effectTypeOfBlock (blockId), paramId });
    return found != choices.end() ? &found->second : nullptr;
}

const Choice* findChoice (int blockId, int paramId)
{
    auto* control = findControl (blockId, paramId);
    return control != nullptr && isChoiceControl (control->controlType) ? control : nullptr;
}

// A MIDI channel is a whole number, 1 to 16.
bool isMidiChannel (int blockId, int paramId)
{
    auto* control = findControl (blockId, paramId);
    return control != nullptr && ! isChoiceControl (control->controlType) && control->label == "MIDI Channel";
}

bool isCabNumber (int blockId, int paramId)
{
    return effectTypeOfBlock (blockId) == cabType && (paramId == 0 || paramId == 2);
}

bool isScaleNote (int blockId, int paramId)
{
    return effectTypeOfBlock (blockId) == pitchType && paramId >= firstNoteParam && paramId <= lastNoteParam;
}

bool isTempo (int blockId, int paramId)
{
    return blockId == blockIdControllers && paramId == SimulatedPreset::tempoParamId;
}

} // namespace

juce::StringArray SimulatedPreset::getValueTexts (int blockId, int paramId)
{
    if (paramId < 0 || isCabNumber (blockId, paramId) || isTempo (blockId, paramId))
        return {};

    if (paramId == getTypeParamId (blockId))
    {
        if (effectTypeOfBlock (blockId) == ampType)
            return { "BRIT 800", "TWEED BASS", "RECTO RED",  "DELUXE VERB VIBRATO",
                     "CLEAN 50", "JAZZ 120",   "PLEXI LEAD", "FUZZ BOX" };

        return { "TYPE A", "TYPE B", "TYPE C", "TYPE D" };
    }

    if (isScaleNote (blockId, paramId))
        return { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };

    if (auto* choice = findChoice (blockId, paramId))
        return textsForChoice (*choice);

    return {};
}

ParamInfo SimulatedPreset::getParamInfo (int blockId, int paramId)
{
    ParamInfo info;
    info.displayMultiplier = 1.0f;
    const auto texts = getValueTexts (blockId, paramId);

    if (! texts.isEmpty())
    {
        info.descriptor = B_INT << 4;
        info.maximum = (float) (texts.size() - 1);
    }
    else if (isCabNumber (blockId, paramId))
    {
        info.descriptor = B_INT << 4;
        info.maximum = 65535.0f;
    }
    else if (isMidiChannel (blockId, paramId))
    {
        info.descriptor = B_INT << 4;
        info.minimum = 1.0f;
        info.maximum = 16.0f;
    }
    else if (isTempo (blockId, paramId))
    {
        info.descriptor = B_INT << 4;
        info.minimum = 24.0f;
        info.maximum = 250.0f;
    }
    else
    {
        info.descriptor = B_LIN << 4;
        info.maximum = effectTypeOfBlock (blockId) == ampType && paramId == masterVolumeParam ? masterTop : levelTop;
    }

    return info;
}

juce::uint16 SimulatedPreset::getDefaultValue (int blockId, int paramId)
{
    if (isTempo (blockId, paramId))
        return defaultTempo;

    // Cab blocks: parameters 0 and 2 are the left and right cab numbers.
    if (isCabNumber (blockId, paramId))
        return (juce::uint16) (paramId / 2);

    if (isMidiChannel (blockId, paramId))
        return (juce::uint16) (1 + blockId % 16);

    // The scale's notes start as a major scale.
    if (isScaleNote (blockId, paramId))
        return (juce::uint16) std::array<int, 7>{ 2, 4, 5, 7, 9, 11, 0 }[(size_t) (paramId - firstNoteParam)];

    // A choice starts on one of its texts (the type on the block's own).
    const auto texts = getValueTexts (blockId, paramId);

    if (! texts.isEmpty())
        return (juce::uint16) ((paramId == getTypeParamId (blockId) ? blockId : blockId + paramId) % texts.size());

    // Distinct, recognisable levels over the whole scale, so that a value
    // read from the wrong place shows.
    return (juce::uint16) (((blockId * 31 + paramId * 17) % 1000) * 65);
}

juce::String SimulatedPreset::getValueText (int blockId, int paramId, juce::uint16 value)
{
    const auto texts = getValueTexts (blockId, paramId);

    if (! texts.isEmpty())
        return value < texts.size() ? texts[value] : juce::String (value);

    if (isCabNumber (blockId, paramId) || isTempo (blockId, paramId) || isMidiChannel (blockId, paramId))
        return juce::String (value);

    const auto info = getParamInfo (blockId, paramId);
    return juce::String (info.minimum + juce::jmin ((float) value, fullScale) / fullScale * (info.maximum - info.minimum),
                         2);
}

juce::uint16 SimulatedPreset::valueFromDisplay (int blockId, int paramId, float shown)
{
    const auto info = getParamInfo (blockId, paramId);
    const float clamped = juce::jlimit (info.minimum, info.maximum, shown);

    // A whole number (a choice's index among them) is the value itself; a
    // level is placed over the full scale.
    if (info.getKind() == B_INT)
        return (juce::uint16) juce::roundToInt (clamped);

    const float span = info.maximum - info.minimum;
    return (juce::uint16) juce::roundToInt (span > 0.0f ? (clamped - info.minimum) / span * fullScale : 0.0f);
}

juce::uint16 SimulatedPreset::stepValue (int blockId, int paramId, juce::uint16 value, bool up, bool fine)
{
    const auto info = getParamInfo (blockId, paramId);
    int low = 0, high = (int) fullScale, step = 0;

    if (info.getKind() == B_INT)
    {
        low = (int) info.minimum;
        high = (int) info.maximum;
        step = fine ? 1 : juce::jmax (1, (high - low) / 10);
    }
    else
    {
        step = (int) (fullScale / (fine ? 1000.0f : 100.0f));
    }

    return (juce::uint16) juce::jlimit (low, high, (int) value + (up ? step : -step));
}

EffectParamValue SimulatedPreset::describeValue (int blockId, int paramId, juce::uint16 value)
{
    EffectParamValue param;
    param.blockId = (juce::uint16) blockId;
    param.paramId = (juce::uint16) paramId;
    param.value = value;
    param.text = getValueText (blockId, paramId, value);

    if (isScaleNote (blockId, paramId))
        param.extraB = 11;

    // The flag byte carries where the value stands in the parameter's range,
    // 0..127: an integer range over its span, anything else over the full
    // scale.
    const auto info = getParamInfo (blockId, paramId);
    const float span = info.maximum - info.minimum;
    const float fraction = info.getKind() == B_INT ? (span > 0.0f ? ((float) value - info.minimum) / span : 0.0f)
                                                   : (float) value / fullScale;
    param.flag = (juce::uint8) juce::jlimit (0, 127, (int) (fraction * 127.0f));
    return param;
}
