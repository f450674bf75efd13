#include "tests/support/SimulatedKestrel.h"

#include "device/wire/SysExCodec.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"

#include <cstring>

// The unit's modifiers. They belong to the preset in the edit buffer, so a
// recall brings the stored preset's modifiers and a save keeps them.
//
// A modifier is addressed by the block and parameter it drives; a modifier
// of a block's bypass-mode parameter is addressed as parameter 255 only.
// Writing a setting of a parameter that has no modifier assigns the first
// free one; writing 0 to setting 0 (the controller) unassigns it.

namespace
{
using juce::uint16;
using juce::uint32;
using juce::uint8;

constexpr int modifierIdAll = 127;
constexpr int bypassModeSelector = 255;

juce::MidiMessage byLayout (uint8 function, const PayloadLayout* layout, const std::vector<uint32>& values, uint8 model)
{
    juce::MidiMessage message;
    const bool built = buildSysExByLayout (message, function, layout, values.data(), values.size(), model);
    jassert (built);
    juce::ignoreUnused (built);
    return message;
}

// The parameter a modifier request addresses; false when the selector is not
// a way the unit accepts for it.
bool resolveModifierParam (int blockId, int selector, int& paramId)
{
    if (selector == bypassModeSelector)
    {
        paramId = getBypassModeParamId (blockId);
        return paramId >= 0;
    }

    paramId = selector;
    return ! isBypassModeParam (blockId, selector);
}
} // namespace

void SimulatedKestrel::answerModifierSetting (int blockId, int paramSelector, int field, uint16 value, uint32 mode)
{
    const bool write = mode != 0;
    int paramId = 0;

    if (! juce::isPositiveAndBelow (field, modifierMaxValues) || editBuffer.findBlock (blockId) == nullptr ||
        ! resolveModifierParam (blockId, paramSelector, paramId))
    {
        replyStatus (resultBadValue);
        return;
    }

    auto* modifier = editBuffer.findModifier (blockId, paramId);

    // A step moves the field from what it holds: the curve's points and slope
    // by 0.1 % fine and 1 % coarse of their scale, the other fields by 1 and 10.
    if (mode >= 3 && mode <= 6)
    {
        const int current = modifier != nullptr ? modifier->settings[(size_t) field] : 0;
        const bool percent = field >= 1 && field <= 6;
        const int step = (mode >= 5 ? 1 : 10) * (percent ? 65534 / 1000 : 1);
        value = (uint16) juce::jlimit (0, percent ? 65534 : 65535, current + (mode == 3 || mode == 5 ? step : -step));
    }

    if (write)
    {
        const bool unassigning = field == 0 && value == 0;

        if (modifier == nullptr && ! unassigning)
        {
            modifier = editBuffer.assignModifier (blockId, paramId);

            if (modifier == nullptr)
            {
                replyStatus (resultBadValue); // all 16 taken
                return;
            }
        }

        if (modifier != nullptr)
        {
            modifier->settings[(size_t) field] = value;

            if (field == 0 && value == 0)
            {
                *modifier = {};
                modifier = nullptr;
            }
        }

        modified = true;
    }

    ModifierSetReply out;
    out.blockId = (uint16) blockId;
    out.selector1 = (uint16) paramSelector;
    out.selector2 = (uint16) field;
    out.value = modifier != nullptr ? modifier->settings[(size_t) field] : 0;
    // The curve's points and slope read as a percentage of their full scale,
    // as the unit shows them; the other fields as their number.
    out.text = field >= 1 && field <= 6 ? juce::String (out.value * 100.0 / 65534.0, 1) + " %" : juce::String (out.value);

    juce::MidiMessage message;
    buildModifierSetReply (message, out, reportedModel);
    reply (message);
}

void SimulatedKestrel::handleModifierSet (const juce::MidiMessage& message)
{
    const int blockId = (int) readSysExField (message, modifierSetRequestLayout, 0);
    const int selector = (int) readSysExField (message, modifierSetRequestLayout, 1);
    const int field = (int) readSysExField (message, modifierSetRequestLayout, 2);
    const auto value = (uint16) readSysExField (message, modifierSetRequestLayout, 3);
    const auto mode = readSysExField (message, modifierSetRequestLayout, 4);

    answerModifierSetting (blockId, selector, field, value, mode);
}

void SimulatedKestrel::handleSetModParamDirect (const juce::MidiMessage& message)
{
    const int blockId = (int) readSysExField (message, setModParamDirectRequestLayout, 0);
    const int selector = (int) readSysExField (message, setModParamDirectRequestLayout, 1);
    const int field = (int) readSysExField (message, setModParamDirectRequestLayout, 2);
    const auto bits = readSysExField (message, setModParamDirectRequestLayout, 3);

    float value = 0.0f;
    std::memcpy (&value, &bits, sizeof (value));
    answerModifierSetting (blockId, selector, field, (uint16) juce::jlimit (0, 65535, juce::roundToInt (value)), 1);
}

void SimulatedKestrel::handleModifier (const juce::MidiMessage& message)
{
    const auto blockId = readSysExField (message, modifierLayout, 0);
    const auto count = juce::jmin ((uint32) modifierMaxValues, readSysExField (message, modifierLayout, 1));
    std::vector<uint32> values{ blockId, count };

    for (uint32 i = 0; i < count; ++i)
        values.push_back (readSysExField (message, modifierLayout, modifierFirstValueField + i));

    modified = true;
    reply (byLayout (SYSEX_MODIFIER, modifierLayout, values, reportedModel));
}

void SimulatedKestrel::handleModifierDump (const juce::MidiMessage& message)
{
    const int blockId = (int) readSysExField (message, singleWordLayout, 0);
    std::vector<std::vector<uint32>> records;

    for (auto& modifier : editBuffer.modifiers)
    {
        if (modifier.blockId != blockId || blockId == 0)
            continue;

        std::vector<uint32> record{ (uint32) blockId, (uint32) modifierMaxValues };

        for (auto setting : modifier.settings)
            record.push_back (setting);

        records.push_back (std::move (record));
    }

    reply (byLayout (SYSEX_MULTIMSG_START, multiMsgStartLayout, { SYSEX_MODIFIER_DUMP, (uint32) records.size() },
                     reportedModel));

    for (auto& record : records)
        reply (byLayout (SYSEX_MODIFIER, modifierLayout, record, reportedModel));

    reply (frame (SYSEX_MULTIMSG_END, {}));
}

void SimulatedKestrel::handleGetModifierInfo (const juce::MidiMessage& message)
{
    const auto id = (int) readSysExField (message, singleWordLayout, 0);

    auto replyFor = [this] (int modifierId)
    {
        SimulatedPreset::Modifier modifier;
        const int index = modifierId - SimulatedPreset::firstModifierId;

        if (juce::isPositiveAndBelow (index, SimulatedPreset::modifierCount))
            modifier = editBuffer.modifiers[(size_t) index];

        reply (byLayout (
            SYSEX_GET_MODIFIER_INFO, modifierInfoReplyLayout,
            { (uint32) modifierId, modifier.settings[0], (uint32) modifier.blockId, (uint32) modifier.paramId },
            reportedModel));
    };

    if (id == modifierIdAll)
    {
        for (int i = 0; i < SimulatedPreset::modifierCount; ++i)
            replyFor (SimulatedPreset::firstModifierId + i);
    }
    else
    {
        replyFor (id);
    }
}
