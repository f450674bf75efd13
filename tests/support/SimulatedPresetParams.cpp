#include "tests/support/SimulatedPreset.h"

#include "model/BlockLayoutDocument.h"
#include "model/EditorControl.h"
#include "model/EffectLayout.h"
#include "model/IdTables.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/LayoutPage.h"

#include <map>

// What the simulated unit knows of its parameters: which are choices and
// their texts, the definitions it reports, the values a block starts with and
// the texts it displays for values.

namespace
{
constexpr int ampType = 5;
constexpr int cabType = 6;
constexpr float levelTop = 10.0f; // a level shows 0.00 .. 10.00
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

// The parameters the program shows as a choice, by (effect type, parameter):
// the unit and the program agree on which parameters have named values.
const std::map<std::pair<int, int>, Choice>& getChoiceParams()
{
    static const auto table = []
    {
        std::map<std::pair<int, int>, Choice> choices;
        KestrelEffectLayoutManager layouts;
        juce::String error;

        if (! loadEffectLayouts (layouts, error))
            return choices;

        auto note = [&choices] (int effectType, const juce::OwnedArray<EditorControl>& controls)
        {
            for (auto* control : controls)
                if (control->hasParameter && isChoiceControl (control->type))
                    choices.emplace (std::pair (effectType, (int) control->parameterId),
                                     Choice{ control->type, control->name.replace ("\n", " ") });
        };

        for (int i = 0; i < layouts.getNumLayouts(); ++i)
        {
            auto* layout = layouts.getLayout (i);

            for (auto* variant : layout->variants)
            {
                note (layout->effectType, variant->controls);

                for (auto* page : variant->pages)
                {
                    note (layout->effectType, page->pageControls);
                    note (layout->effectType, page->parameterRows);
                    note (layout->effectType, page->mixerRows);
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

const Choice* findChoice (int blockId, int paramId)
{
    const auto& choices = getChoiceParams();
    auto found = choices.find ({ effectTypeOfBlock (blockId), paramId });
    return found != choices.end() ? &found->second : nullptr;
}

bool isCabNumber (int blockId, int paramId)
{
    return effectTypeOfBlock (blockId) == cabType && (paramId == 0 || paramId == 2);
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
            return { "BRIT 800", "TWEED BASS", "RECTO RED", "DELUXE VERB VIBRATO", "CLEAN 50", "JAZZ 120", "PLEXI LEAD",
                     "FUZZ BOX" };

        return { "TYPE A", "TYPE B", "TYPE C", "TYPE D" };
    }

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
    else if (isTempo (blockId, paramId))
    {
        info.descriptor = B_INT << 4;
        info.minimum = 24.0f;
        info.maximum = 250.0f;
    }
    else
    {
        info.descriptor = B_LIN << 4;
        info.maximum = levelTop;
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

    if (isCabNumber (blockId, paramId) || isTempo (blockId, paramId))
        return juce::String (value);

    return juce::String (juce::jmin ((float) value, fullScale) / fullScale * levelTop, 2);
}
