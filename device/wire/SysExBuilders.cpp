#include "device/wire/SysExBuilders.h"

#include "device/wire/ModelRules.h"
#include "model/IdTables.h"

#include <cstring>
#include <vector>

namespace
{
using juce::uint16;
using juce::uint32;
using juce::uint8;

constexpr uint32 locationAll = 127;

uint32 floatBits (float value)
{
    uint32 bits = 0;
    std::memcpy (&bits, &value, sizeof (bits));
    return bits;
}

bool build (juce::MidiMessage& out, int function, const PayloadLayout* layout, std::initializer_list<uint32> values,
            uint8 model)
{
    return buildSysExByLayout (out, (uint8) function, layout, values, model);
}

// A message whose head fields are followed by 'count' items (at most
// maxCount), all in the layout's widths. minPayloadSize pads the payload
// with zeros for the messages that always send their full size.
template <typename Item>
bool buildCounted (juce::MidiMessage& out, int function, const PayloadLayout* layout,
                   std::initializer_list<uint32> head, const Item* items, int count, int maxCount, uint8 model,
                   size_t minPayloadSize = 0)
{
    if (count < 0 || count > maxCount || (items == nullptr && count > 0))
        return false;

    std::vector<uint32> values (head);

    for (int i = 0; i < count; ++i)
        values.push_back (items[i]);

    return buildSysExByLayout (out, (uint8) function, layout, values.data(), values.size(), model, minPayloadSize);
}
} // namespace

bool fitsSeptets (uint32 value, uint32 width)
{
    // Five septets hold 35 bits: every 32-bit value fits.
    return width >= 5 || value < (1u << (7 * width));
}

bool fitsSysExLayout (const PayloadLayout* layout, const uint32* values, size_t numValues)
{
    if (layout == nullptr || (values == nullptr && numValues > 0))
        return false;

    auto* row = layout;

    for (size_t i = 0; i < numValues; ++i, ++row)
        if (row->fieldId == sysExLayoutEnd || row->width == sysExVariableWidth || ! fitsSeptets (values[i], row->width))
            return false;

    return true;
}

bool buildSysExByLayout (juce::MidiMessage& out, uint8 function, const PayloadLayout* layout, const uint32* values,
                         size_t numValues, uint8 model, size_t minPayloadSize)
{
    if (! fitsSysExLayout (layout, values, numValues))
        return false;

    juce::MemoryBlock payload;
    packSysExFields (payload, layout, values, numValues);

    if (payload.getSize() < minPayloadSize)
        payload.setSize (minPayloadSize, true);

    return buildSysExMessage (out, function, payload, model) > 0;
}

bool buildSysExByLayout (juce::MidiMessage& out, uint8 function, const PayloadLayout* layout,
                         std::initializer_list<uint32> values, uint8 model)
{
    return buildSysExByLayout (out, function, layout, values.begin(), values.size(), model);
}

//==============================================================================
bool buildParamDump (juce::MidiMessage& out, uint32 blockId, int& expectedReplies, uint8 model)
{
    if (! build (out, SYSEX_PARAM_DUMP, paramDumpRequestLayout, { blockId }, model))
        return false;

    expectedReplies = 3;
    return true;
}

bool buildParamSet (juce::MidiMessage& out, uint32 blockId, uint32 paramId, uint32 value, uint32 mode, uint8 model)
{
    return build (out, SYSEX_PARAM_SET, paramSetRequestLayout, { blockId, paramId, value, mode }, model);
}

bool buildPatchDump (juce::MidiMessage& out, uint32 bank, uint32 program, int& expectedReplies, uint8 model)
{
    auto count = getPatchDumpMessageCount (model);

    if (count < 0 || ! build (out, SYSEX_PATCH_DUMP, presetLocationRequestLayout, { bank, program }, model))
        return false;

    expectedReplies = count;
    return true;
}

bool buildPlaceEffect (juce::MidiMessage& out, uint32 blockId, uint32 cell, uint8 model)
{
    return build (out, SYSEX_PLACE_EFFECT, placeEffectLayout, { blockId, cell }, model);
}

bool buildConnectEffect (juce::MidiMessage& out, uint32 sourceCell, uint32 destinationCell, uint32 connect, uint8 model)
{
    return build (out, SYSEX_CONNECT_EFFECT, cellPairRequestLayout, { sourceCell, destinationCell, connect }, model);
}

bool buildModifierSet (juce::MidiMessage& out, uint32 blockId, uint32 selector1, uint32 selector2, uint32 value,
                       uint32 mode, uint8 model)
{
    return build (out, SYSEX_MODIFIER_SET, modifierSetRequestLayout, { blockId, selector1, selector2, value, mode },
                  model);
}

bool buildSetName (juce::MidiMessage& out, const char* nameField, uint8 model)
{
    if (nameField == nullptr)
        return false;

    uint8 payload[sysExNameFieldSize];

    for (int i = 0; i < sysExNameFieldSize; ++i)
        payload[i] = (uint8) (nameField[i] & 0x7f);

    return buildSysExMessage (out, SYSEX_SET_NAME, payload, sizeof (payload), model) > 0;
}

bool buildXY (juce::MidiMessage& out, uint32 blockId, uint32 first, uint32 second, uint8 model)
{
    return build (out, SYSEX_XY, xyRequestLayout, { blockId, first, second }, model);
}

bool buildCabName (juce::MidiMessage& out, uint32 cabNumber, int& expectedReplies, uint8 model)
{
    if (! build (out, SYSEX_CABNAME, cabNameRequestLayout, { cabNumber }, model))
        return false;

    expectedReplies = cabNumber == cabNumberAll ? 3 : 1;
    return true;
}

bool buildQueryNameByNum (juce::MidiMessage& out, uint32 bank, uint32 number, int allPresetsCount, int& expectedReplies,
                          uint8 model)
{
    if (! build (out, SYSEX_QUERY_NAME_BY_NUM, presetLocationRequestLayout, { bank, number }, model))
        return false;

    if (bank == locationAll && number == locationAll)
        expectedReplies = allPresetsCount;
    else if (number == locationAll && model == 8)
        expectedReplies = 128;
    else
        expectedReplies = 1;

    return true;
}

bool buildGetParamInfo (juce::MidiMessage& out, uint32 blockId, uint32 paramId, uint8 model)
{
    return build (out, SYSEX_GET_PARAM_INFO, blockAndParamRequestLayout, { blockId, paramId }, model);
}

bool buildGetModifierInfo (juce::MidiMessage& out, uint32 id, uint8 model)
{
    return build (out, SYSEX_GET_MODIFIER_INFO, singleWordLayout, { id }, model);
}

bool buildCabDump (juce::MidiMessage& out, uint32 cabNumber, int& expectedReplies, uint8 model)
{
    auto ok = usesSplitCabNumber (model)
                  ? cabNumber <= 0x3fff && build (out, SYSEX_CAB_DUMP, cabDumpRequestLayoutSplit,
                                                  { cabNumber >> 7, cabNumber & 0x7f }, model)
                  : build (out, SYSEX_CAB_DUMP, cabDumpRequestLayoutSingle, { cabNumber }, model);

    if (ok)
        expectedReplies = cabDumpMessageCount;

    return ok;
}

bool buildSavePatch (juce::MidiMessage& out, uint32 bank, uint32 program, uint8 model)
{
    return build (out, SYSEX_SAVE_PATCH, presetLocationRequestLayout, { bank, program }, model);
}

bool buildGetAllParams (juce::MidiMessage& out, uint32 blockId, int& expectedReplies, uint8 model)
{
    if (! build (out, SYSEX_GET_ALL_PARAMS, singleWordLayout, { blockId }, model))
        return false;

    expectedReplies = 3;
    return true;
}

bool buildGetGrid (juce::MidiMessage& out, uint8 model)
{
    return build (out, SYSEX_GET_GRID, getRequestLayout (SYSEX_GET_GRID), {}, model);
}

bool buildQueryStates (juce::MidiMessage& out, int& expectedReplies, uint8 model)
{
    if (! build (out, SYSEX_QUERY_STATES, getRequestLayout (SYSEX_QUERY_STATES), {}, model))
        return false;

    expectedReplies = 2;
    return true;
}

bool buildSetDefaults (juce::MidiMessage& out, uint32 blockId, uint8 model)
{
    return build (out, SYSEX_SET_DEFAULTS, singleWordLayout, { blockId }, model);
}

bool buildLooperState (juce::MidiMessage& out, uint32 value, uint8 model)
{
    return build (out, SYSEX_LOOPER_STATE, singleByteLayout, { value }, model);
}

bool buildMoveEffect (juce::MidiMessage& out, uint32 sourceCell, uint32 destinationCell, uint32 flag, uint8 model)
{
    return build (out, SYSEX_MOVE_EFFECT, cellPairRequestLayout, { sourceCell, destinationCell, flag }, model);
}

bool buildGetParamStrings (juce::MidiMessage& out, uint32 blockId, uint32 paramId, uint8 model)
{
    return build (out, SYSEX_GET_PARAM_STRINGS, blockAndParamRequestLayout, { blockId, paramId }, model);
}

bool buildSetScene (juce::MidiMessage& out, uint32 scene, uint8 model)
{
    return build (out, SYSEX_SET_SCENE, singleByteLayout, { scene }, model);
}

bool buildModifierDump (juce::MidiMessage& out, uint32 blockId, int& expectedReplies, uint8 model)
{
    if (! build (out, SYSEX_MODIFIER_DUMP, singleWordLayout, { blockId }, model))
        return false;

    expectedReplies = 3;
    return true;
}

bool buildModifier (juce::MidiMessage& out, const ModifierValues& record, uint8 model)
{
    return buildCounted (out, SYSEX_MODIFIER, modifierLayout, { record.blockId, record.count }, record.values,
                         (int) record.count, modifierMaxValues, model);
}

bool buildSetParamDirect (juce::MidiMessage& out, uint32 blockId, uint32 paramId, float value, uint8 model)
{
    return build (out, SYSEX_SET_PARAM_DIRECT, setParamDirectRequestLayout, { blockId, paramId, floatBits (value) },
                  model);
}

bool buildGetGraphN (juce::MidiMessage& out, uint32 index, uint8 model)
{
    return build (out, SYSEX_GET_GRAPHN, singleByteLayout, { index }, model);
}

bool buildGetConfig (juce::MidiMessage& out, uint32 value, uint8 model)
{
    return build (out, SYSEX_GET_CONFIG, singleWordLayout, { value }, model);
}

bool buildEditEffect (juce::MidiMessage& out, uint32 blockId, uint8 model)
{
    return build (out, SYSEX_EDIT_EFFECT, singleWordLayout, { blockId }, model);
}

bool buildBroadcastKnob (juce::MidiMessage& out, const uint16* paramIds, int count, uint8 model)
{
    return buildCounted (out, SYSEX_BROADCAST_KNOB, broadcastKnobRequestLayout, { (uint32) count }, paramIds, count,
                         broadcastKnobMaxIds, model);
}

bool buildBroadcastModifier (juce::MidiMessage& out, uint32 first, uint32 second, uint8 model)
{
    return build (out, SYSEX_BROADCAST_MODIFIER, broadcastModifierRequestLayout, { first, second }, model);
}

bool buildSetModParamDirect (juce::MidiMessage& out, uint32 blockId, uint32 selector1, uint32 selector2, float value,
                             uint8 model)
{
    return build (out, SYSEX_SET_MODPARAM_DIRECT, setModParamDirectRequestLayout,
                  { blockId, selector1, selector2, floatBits (value) }, model);
}

bool buildRecallPatch (juce::MidiMessage& out, uint32 bank, uint32 program, uint8 model)
{
    return build (out, SYSEX_RECALL_PATCH, presetLocationRequestLayout, { bank, program }, model);
}

bool buildMute (juce::MidiMessage& out, uint32 mute, uint8 model)
{
    return build (out, SYSEX_MUTE, singleByteLayout, { mute }, model);
}

bool buildDeleteCabIr (juce::MidiMessage& out, uint32 cabNumber, uint8 model)
{
    return build (out, SYSEX_DELETE_CABIR, singleWordLayout, { cabNumber }, model);
}

bool buildLayoutSet (juce::MidiMessage& out, const LayoutRecord& record, int& expectedReplies, uint8 model)
{
    if (! build (out, SYSEX_LAYOUT_SET, layoutSetRequestLayout,
                 { record.operation, record.layout, record.key, record.value }, model))
        return false;

    if (record.key != layoutKeyAll)
        expectedReplies = 1;
    else if (model == 5 || model == 10)
        expectedReplies = 152;
    else if (model == 8)
        expectedReplies = 16;
    else
        expectedReplies = 0;

    return true;
}

bool buildPatchPlusCabDump (juce::MidiMessage& out, uint32 bank, uint32 program, uint8 model)
{
    return build (out, SYSEX_PATCH_PLUS_CAB_DUMP, presetLocationRequestLayout, { bank, program }, model);
}

bool buildFsGrid (juce::MidiMessage& out, const FootswitchGrid& grid, uint8 model)
{
    auto count = grid.entries.size();

    if (count > footswitchGridMaxEntries)
        return false;

    std::vector<uint32> values{ grid.first, (uint32) count };

    for (auto& entry : grid.entries)
    {
        values.push_back (entry.a);
        values.push_back (entry.b);
        values.push_back (entry.c);
    }

    return buildSysExByLayout (out, SYSEX_FSGRID, footswitchGridLayout, values.data(), values.size(), model);
}

//==============================================================================
bool buildEffectStart (juce::MidiMessage& out, uint32 blockId, uint32 wordCount, uint32 flags, uint8 model)
{
    return build (out, SYSEX_EFFECT_START, effectStartLayout, { blockId, wordCount, flags }, model);
}

bool buildEffectDump (juce::MemoryBlock& out, uint32 blockId, const juce::MemoryBlock& rawWords, uint8 model)
{
    if ((rawWords.getSize() & 1) != 0)
        return false;

    const auto* bytes = static_cast<const uint8*> (rawWords.getData());
    const auto wordCount = (uint32) (rawWords.getSize() / 2);
    juce::MemoryBlock dump;
    juce::MidiMessage message;

    auto append = [&dump, &message] { dump.append (message.getRawData(), (size_t) message.getRawDataSize()); };

    if (! buildEffectStart (message, blockId, wordCount, 0, model))
        return false;

    append();

    // As the unit sends it: (wordCount >> 6) + 1 data messages, full ones of
    // 64 words, then the rest (which may be none).
    for (uint32 first = 0; first <= wordCount; first += (uint32) effectDataMaxWords)
    {
        const auto count = juce::jmin ((uint32) effectDataMaxWords, wordCount - first);
        std::vector<uint32> values{ count };

        for (uint32 i = 0; i < count; ++i)
            values.push_back ((uint32) (bytes[(first + i) * 2] | (bytes[(first + i) * 2 + 1] << 8)));

        if (! buildSysExByLayout (message, SYSEX_EFFECT_DATA, wordDataLayout, values.data(), values.size(), model))
            return false;

        append();

        if (count < (uint32) effectDataMaxWords)
            break;
    }

    if (buildSysExMessage (message, SYSEX_EFFECT_END, nullptr, 0, model) == 0)
        return false;

    append();
    out.append (dump.getData(), dump.getSize());
    return true;
}

bool buildPatchStart (juce::MidiMessage& out, uint32 bank, uint32 program, uint32 wordCount, uint8 model)
{
    return build (out, SYSEX_PATCH_START, patchStartLayout, { bank, program, wordCount }, model);
}

bool buildPatchData (juce::MidiMessage& out, const uint16* words, int count, uint8 model)
{
    return buildCounted (out, SYSEX_PATCH_DATA, wordDataLayout, { (uint32) count }, words, count, patchDataWords, model,
                         getSysExPayloadSize (wordDataLayout));
}

bool buildPatchEnd (juce::MidiMessage& out, uint32 checkValue, uint8 model)
{
    return build (out, SYSEX_PATCH_END, patchEndLayout, { checkValue }, model);
}

bool buildCabIrStart (juce::MidiMessage& out, uint32 cabNumber, uint32 second, uint8 model)
{
    if (usesSplitCabNumber (model))
        return cabNumber <= 0x3fff && build (out, SYSEX_CABIR_START, cabIrStartLayoutSplit,
                                             { cabNumber >> 7, cabNumber & 0x7f, second }, model);

    return build (out, SYSEX_CABIR_START, cabIrStartLayoutSingle, { cabNumber, second }, model);
}

bool buildCabIrData (juce::MidiMessage& out, const uint32* values, int count, uint8 model)
{
    return buildCounted (out, SYSEX_CABIR_DATA, irDataLayout, { (uint32) count }, values, count, cabIrDataValues, model,
                         getSysExPayloadSize (irDataLayout));
}
