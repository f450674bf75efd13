#include "device/wire/SysExLayouts.h"

#include "model/IdTables.h"

#include <array>

namespace
{
using juce::uint32;

constexpr uint32 text = sysExVariableWidth;

// A layout of head fields followed by numItems repeats of the item fields,
// placed one after another from offset 6.
template <size_t numHead, size_t numItems, size_t perItem>
constexpr std::array<PayloadLayout, numHead + numItems * perItem + 1>
makeRepeatedLayout (std::array<uint32, numHead> head, std::array<uint32, perItem> item)
{
    std::array<PayloadLayout, numHead + numItems * perItem + 1> rows{};
    uint32 id = 0;
    uint32 offset = sysExHeaderSize;

    for (size_t i = 0; i < numHead; ++i)
    {
        rows[id] = PayloadLayout{ id, offset, head[i] };
        offset += head[i];
        ++id;
    }

    for (size_t n = 0; n < numItems; ++n)
    {
        for (size_t i = 0; i < perItem; ++i)
        {
            rows[id] = PayloadLayout{ id, offset, item[i] };
            offset += item[i];
            ++id;
        }
    }

    rows[id] = payloadLayoutEnd;
    return rows;
}

const PayloadLayout emptyRows[] = { payloadLayoutEnd };
const PayloadLayout singleByteRows[] = { { 0, 6, 1 }, payloadLayoutEnd };
const PayloadLayout twoByteRows[] = { { 0, 6, 1 }, { 1, 7, 1 }, payloadLayoutEnd };
const PayloadLayout singleWordRows[] = { { 0, 6, 2 }, payloadLayoutEnd };

const PayloadLayout paramReplyRows[] = {
    { 0, 6, 2 }, { 1, 8, 2 }, { 2, 10, 3 }, { 3, 13, 1 }, { 4, 14, 2 }, { 5, 16, 2 }, { 6, 18, text }, payloadLayoutEnd,
};
const PayloadLayout paramSetRequestRows[] = { { 0, 6, 2 }, { 1, 8, 2 }, { 2, 10, 3 }, { 3, 13, 1 }, payloadLayoutEnd };
const PayloadLayout placeEffectRows[] = { { 0, 6, 2 }, { 1, 8, 1 }, payloadLayoutEnd };
const PayloadLayout cellPairRequestRows[] = { { 0, 6, 1 }, { 1, 7, 1 }, { 2, 8, 1 }, payloadLayoutEnd };
const PayloadLayout modifierSetRequestRows[] = {
    { 0, 6, 2 }, { 1, 8, 2 }, { 2, 10, 2 }, { 3, 12, 3 }, { 4, 15, 1 }, payloadLayoutEnd,
};
const PayloadLayout modifierSetReplyRows[] = {
    { 0, 6, 2 }, { 1, 8, 2 }, { 2, 10, 2 }, { 3, 12, 3 }, { 4, 15, text }, payloadLayoutEnd,
};
const PayloadLayout queryVersionReplyRows[] = {
    { 0, 6, 1 }, { 1, 7, 1 }, { 2, 8, 1 }, { 3, 9, 1 }, { 4, 10, 1 }, { 5, 11, 1 }, payloadLayoutEnd,
};
const PayloadLayout nameRows[] = { { 0, 6, 32 }, payloadLayoutEnd };
const PayloadLayout threeByteRows[] = { { 0, 6, 1 }, { 1, 7, 1 }, { 2, 8, 1 }, payloadLayoutEnd };
const PayloadLayout textRows[] = { { 0, 6, text }, payloadLayoutEnd };
const PayloadLayout xyRequestRows[] = { { 0, 6, 2 }, { 1, 8, 1 }, { 2, 9, 1 }, payloadLayoutEnd };
const PayloadLayout xyReplyRows[] = { { 0, 6, 2 }, { 1, 8, 1 }, payloadLayoutEnd };
const PayloadLayout cabNameReplyRows[] = { { 0, 6, 2 }, { 1, 8, 32 }, payloadLayoutEnd };
const PayloadLayout queryNameByNumReplyRows[] = { { 0, 6, 1 }, { 1, 7, 1 }, { 2, 8, 32 }, payloadLayoutEnd };
const PayloadLayout blockAndParamRows[] = { { 0, 6, 2 }, { 1, 8, 2 }, payloadLayoutEnd };
const PayloadLayout paramInfoReplyRows[] = {
    { 0, 6, 5 }, { 1, 11, 5 }, { 2, 16, 5 }, { 3, 21, 5 }, { 4, 26, 5 }, payloadLayoutEnd,
};
const PayloadLayout fourWordRows[] = { { 0, 6, 2 }, { 1, 8, 2 }, { 2, 10, 2 }, { 3, 12, 2 }, payloadLayoutEnd };
const PayloadLayout setParamDirectRequestRows[] = { { 0, 6, 2 }, { 1, 8, 2 }, { 2, 10, 5 }, payloadLayoutEnd };
const PayloadLayout multiMsgStartRows[] = { { 0, 6, 1 }, { 1, 7, 2 }, payloadLayoutEnd };
const PayloadLayout configReplyRows[] = { { 0, 6, 2 }, { 1, 8, 3 }, payloadLayoutEnd };
const PayloadLayout setModParamDirectRequestRows[] = {
    { 0, 6, 2 }, { 1, 8, 2 }, { 2, 10, 2 }, { 3, 12, 5 }, payloadLayoutEnd,
};
const PayloadLayout layoutSetRequestRows[] = { { 0, 6, 1 }, { 1, 7, 1 }, { 2, 8, 2 }, { 3, 10, 2 }, payloadLayoutEnd };
const PayloadLayout layoutSetReplyRows[] = { { 0, 6, 1 }, { 1, 7, 2 }, { 2, 9, 2 }, payloadLayoutEnd };
const PayloadLayout systemDataStartReplyRows[] = { { 0, 6, 3 }, payloadLayoutEnd };
const PayloadLayout rawIrStartReplyRows[] = { { 0, 6, 1 }, { 1, 7, 2 }, payloadLayoutEnd };
const PayloadLayout irEndRows[] = { { 0, 6, 5 }, payloadLayoutEnd };
const PayloadLayout effectStartRows[] = { { 0, 6, 2 }, { 1, 8, 2 }, { 2, 10, 1 }, payloadLayoutEnd };
const PayloadLayout patchStartRows[] = { { 0, 6, 1 }, { 1, 7, 1 }, { 2, 8, 2 }, payloadLayoutEnd };
const PayloadLayout patchEndRows[] = { { 0, 6, 3 }, payloadLayoutEnd };
const PayloadLayout cabIrStartSplitRows[] = { { 0, 6, 1 }, { 1, 7, 1 }, { 2, 8, 2 }, payloadLayoutEnd };
const PayloadLayout cabIrStartSingleRows[] = { { 0, 6, 1 }, { 1, 7, 2 }, payloadLayoutEnd };

constexpr auto gridReplyRows = makeRepeatedLayout<0, gridReplyMaxPairs, 2> ({}, { 2, 2 });
constexpr auto modifierRows = makeRepeatedLayout<2, modifierMaxValues, 1> ({ 2, 1 }, { 3 });
constexpr auto graphReplyRows = makeRepeatedLayout<0, graphReplyValues, 1> ({}, { 2 });
constexpr auto broadcastKnobRequestRows = makeRepeatedLayout<1, broadcastKnobMaxIds, 1> ({ 1 }, { 2 });
constexpr auto broadcastKnobReplyRows = makeRepeatedLayout<0, broadcastKnobMaxIds, 2> ({}, { 2, 1 });
constexpr auto footswitchGridRows = makeRepeatedLayout<2, footswitchGridMaxEntries, 3> ({ 1, 1 }, { 2, 2, 2 });
constexpr auto irDataRows = makeRepeatedLayout<1, cabIrDataValues, 1> ({ 2 }, { 5 });
constexpr auto wordDataRows = makeRepeatedLayout<1, patchDataWords, 1> ({ 2 }, { 3 });

static_assert (rawIrDataValues == cabIrDataValues && effectDataMaxWords == patchDataWords,
               "the shared data layouts assume equal counts");
} // namespace

const PayloadLayout* const paramDumpRequestLayout = singleWordRows;
const PayloadLayout* const paramReplyLayout = paramReplyRows;
const PayloadLayout* const paramSetRequestLayout = paramSetRequestRows;
const PayloadLayout* const presetLocationRequestLayout = twoByteRows;
const PayloadLayout* const placeEffectLayout = placeEffectRows;
const PayloadLayout* const cellPairRequestLayout = cellPairRequestRows;
const PayloadLayout* const modifierSetRequestLayout = modifierSetRequestRows;
const PayloadLayout* const modifierSetReplyLayout = modifierSetReplyRows;
const PayloadLayout* const queryVersionReplyLayout = queryVersionReplyRows;
const PayloadLayout* const setNameRequestLayout = nameRows;
const PayloadLayout* const tunerReplyLayout = threeByteRows;
const PayloadLayout* const queryStatesReplyLayout = textRows;
const PayloadLayout* const queryNameReplyLayout = nameRows;
const PayloadLayout* const xyRequestLayout = xyRequestRows;
const PayloadLayout* const xyReplyLayout = xyReplyRows;
const PayloadLayout* const cabNameRequestLayout = singleWordRows;
const PayloadLayout* const cabNameReplyLayout = cabNameReplyRows;
const PayloadLayout* const singleByteLayout = singleByteRows;
const PayloadLayout* const patchNumReplyLayout = twoByteRows;
const PayloadLayout* const queryNameByNumReplyLayout = queryNameByNumReplyRows;
const PayloadLayout* const blockAndParamRequestLayout = blockAndParamRows;
const PayloadLayout* const paramInfoReplyLayout = paramInfoReplyRows;
const PayloadLayout* const singleWordLayout = singleWordRows;
const PayloadLayout* const modifierInfoReplyLayout = fourWordRows;
const PayloadLayout* const cabDumpRequestLayoutSplit = twoByteRows;
const PayloadLayout* const cabDumpRequestLayoutSingle = singleByteRows;
const PayloadLayout* const gridReplyLayout = gridReplyRows.data();
const PayloadLayout* const twoByteReplyLayout = twoByteRows;
const PayloadLayout* const paramStringsReplyLayout = textRows;
const PayloadLayout* const modifierLayout = modifierRows.data();
const PayloadLayout* const setParamDirectRequestLayout = setParamDirectRequestRows;
const PayloadLayout* const graphReplyLayout = graphReplyRows.data();
const PayloadLayout* const multiMsgStartLayout = multiMsgStartRows;
const PayloadLayout* const configReplyLayout = configReplyRows;
const PayloadLayout* const broadcastKnobRequestLayout = broadcastKnobRequestRows.data();
const PayloadLayout* const broadcastKnobReplyLayout = broadcastKnobReplyRows.data();
const PayloadLayout* const broadcastModifierRequestLayout = twoByteRows;
const PayloadLayout* const setModParamDirectRequestLayout = setModParamDirectRequestRows;
const PayloadLayout* const layoutSetRequestLayout = layoutSetRequestRows;
const PayloadLayout* const layoutSetReplyLayout = layoutSetReplyRows;
const PayloadLayout* const sysInfoReplyLayout = fourWordRows;
const PayloadLayout* const footswitchGridLayout = footswitchGridRows.data();
const PayloadLayout* const systemDataStartReplyLayout = systemDataStartReplyRows;
const PayloadLayout* const statusMessageLayout = twoByteRows;
const PayloadLayout* const rawIrStartReplyLayout = rawIrStartReplyRows;
const PayloadLayout* const irDataLayout = irDataRows.data();
const PayloadLayout* const irEndLayout = irEndRows;
const PayloadLayout* const effectStartLayout = effectStartRows;
const PayloadLayout* const wordDataLayout = wordDataRows.data();
const PayloadLayout* const patchStartLayout = patchStartRows;
const PayloadLayout* const patchEndLayout = patchEndRows;
const PayloadLayout* const cabIrStartLayoutSplit = cabIrStartSplitRows;
const PayloadLayout* const cabIrStartLayoutSingle = cabIrStartSingleRows;

bool usesSplitCabNumber (juce::uint8 model)
{
    return model == 6 || model == 7 || model == 8;
}

const PayloadLayout* getRequestLayout (juce::uint8 function, juce::uint8 model)
{
    switch (function)
    {
        // Framed without a payload.
        case SYSEX_WHO_AM_I:
        case SYSEX_QUERY_VERSION:
        case SYSEX_QUERY_STATES:
        case SYSEX_QUERY_NAME:
        case SYSEX_CPU_LOAD:
        case SYSEX_PATCHNUM:
        case SYSEX_GET_MIDI_CHANNEL:
        case SYSEX_GET_GRID:
        case SYSEX_GET_FLAGS:
        case SYSEX_BPM:
        case SYSEX_GET_GRAPH:
        case SYSEX_GET_POSITION:
        case SYSEX_EDITOR_DISCONNECT:
        case SYSEX_GET_SYSINFO: return emptyRows;

        case SYSEX_PARAM_DUMP:
        case SYSEX_CABNAME:
        case SYSEX_GET_MODIFIER_INFO:
        case SYSEX_GET_ALL_PARAMS:
        case SYSEX_SET_DEFAULTS:
        case SYSEX_MODIFIER_DUMP:
        case SYSEX_GET_CONFIG:
        case SYSEX_EDIT_EFFECT:
        case SYSEX_DELETE_CABIR: return singleWordLayout;

        case SYSEX_PARAM_SET: return paramSetRequestLayout;
        case SYSEX_PATCH_DUMP:
        case SYSEX_SAVE_PATCH:
        case SYSEX_RECALL_PATCH:
        case SYSEX_PATCH_PLUS_CAB_DUMP:
        case SYSEX_QUERY_NAME_BY_NUM: return presetLocationRequestLayout;
        case SYSEX_PLACE_EFFECT: return placeEffectLayout;
        case SYSEX_CONNECT_EFFECT:
        case SYSEX_MOVE_EFFECT: return cellPairRequestLayout;
        case SYSEX_MODIFIER_SET: return modifierSetRequestLayout;
        case SYSEX_SET_NAME: return setNameRequestLayout;
        case SYSEX_XY: return xyRequestLayout;
        case SYSEX_GET_PARAM_INFO:
        case SYSEX_GET_PARAM_STRINGS: return blockAndParamRequestLayout;
        case SYSEX_CAB_DUMP: return usesSplitCabNumber (model) ? cabDumpRequestLayoutSplit : cabDumpRequestLayoutSingle;
        case SYSEX_LOOPER_STATE:
        case SYSEX_SET_SCENE:
        case SYSEX_GET_GRAPHN:
        case SYSEX_MUTE: return singleByteLayout;
        case SYSEX_MODIFIER: return modifierLayout;
        case SYSEX_SET_PARAM_DIRECT: return setParamDirectRequestLayout;
        case SYSEX_BROADCAST_KNOB: return broadcastKnobRequestLayout;
        case SYSEX_BROADCAST_MODIFIER: return broadcastModifierRequestLayout;
        case SYSEX_SET_MODPARAM_DIRECT: return setModParamDirectRequestLayout;
        case SYSEX_LAYOUT_SET: return layoutSetRequestLayout;
        case SYSEX_FSGRID: return footswitchGridLayout;
        case SYSEX_EFFECT_START: return effectStartLayout;
        case SYSEX_PATCH_START: return patchStartLayout;
        case SYSEX_PATCH_DATA: return wordDataLayout;
        case SYSEX_PATCH_END: return patchEndLayout;
        case SYSEX_CABIR_START: return usesSplitCabNumber (model) ? cabIrStartLayoutSplit : cabIrStartLayoutSingle;
        case SYSEX_CABIR_DATA: return irDataLayout;
        default: return nullptr;
    }
}

const PayloadLayout* getReplyLayout (juce::uint8 function, juce::uint8 model)
{
    switch (function)
    {
        case SYSEX_PARAM_DUMP:
        case SYSEX_PARAM_SET:
        case SYSEX_SET_PARAM_DIRECT: return paramReplyLayout;
        case SYSEX_PLACE_EFFECT: return placeEffectLayout;
        case SYSEX_MODIFIER_SET:
        case SYSEX_SET_MODPARAM_DIRECT: return modifierSetReplyLayout;
        case SYSEX_QUERY_VERSION: return queryVersionReplyLayout;
        case SYSEX_TUNER: return tunerReplyLayout;
        case SYSEX_QUERY_STATES: return queryStatesReplyLayout;
        case SYSEX_QUERY_NAME: return queryNameReplyLayout;
        case SYSEX_XY: return xyReplyLayout;
        case SYSEX_CABNAME: return cabNameReplyLayout;
        case SYSEX_CPU_LOAD:
        case SYSEX_GET_MIDI_CHANNEL:
        case SYSEX_SET_SCENE:
        case SYSEX_GET_FLAGS:
        case SYSEX_BROADCAST_MODIFIER:
        case SYSEX_GET_POSITION: return singleByteLayout;
        case SYSEX_PATCHNUM: return patchNumReplyLayout;
        case SYSEX_QUERY_NAME_BY_NUM: return queryNameByNumReplyLayout;
        case SYSEX_GET_PARAM_INFO: return paramInfoReplyLayout;
        case SYSEX_GET_MODIFIER_INFO: return modifierInfoReplyLayout;
        case SYSEX_GET_GRID: return gridReplyLayout;
        case SYSEX_LOOPER_STATE:
        case SYSEX_PATCH_PLUS_CAB_DUMP: return twoByteReplyLayout;
        case SYSEX_GET_PARAM_STRINGS: return paramStringsReplyLayout;
        case SYSEX_MODIFIER: return modifierLayout;
        case SYSEX_BPM: return singleWordLayout;
        case SYSEX_GET_GRAPH:
        case SYSEX_GET_GRAPHN: return graphReplyLayout;
        case SYSEX_MULTIMSG_START: return multiMsgStartLayout;
        case SYSEX_MULTIMSG_END: return emptyRows;
        case SYSEX_GET_CONFIG: return configReplyLayout;
        case SYSEX_BROADCAST_KNOB: return broadcastKnobReplyLayout;
        case SYSEX_LAYOUT_SET: return layoutSetReplyLayout;
        case SYSEX_GET_SYSINFO: return sysInfoReplyLayout;
        case SYSEX_FSGRID: return footswitchGridLayout;
        case SYSEX_SYSTEM_DATA_START: return systemDataStartReplyLayout;
        case SYSEX_STATUS_MSG: return statusMessageLayout;
        case SYSEX_RAWIR_START: return rawIrStartReplyLayout;
        case SYSEX_RAWIR_DATA:
        case SYSEX_CABIR_DATA: return irDataLayout;
        case SYSEX_RAWIR_END:
        case SYSEX_CABIR_END: return irEndLayout;
        case SYSEX_EFFECT_START: return effectStartLayout;
        case SYSEX_EFFECT_DATA:
        case SYSEX_PATCH_DATA: return wordDataLayout;
        case SYSEX_PATCH_START: return patchStartLayout;
        case SYSEX_PATCH_END: return patchEndLayout;
        case SYSEX_CABIR_START: return usesSplitCabNumber (model) ? cabIrStartLayoutSplit : cabIrStartLayoutSingle;
        default: return nullptr;
    }
}
