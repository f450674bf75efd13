#pragma once

#include "device/wire/SysExFraming.h"

// The payload layout of every message kind that this program builds or reads:
// rows {field id, offset from F0, width in septets}, field ids from 0 in
// field order, ended by payloadLayoutEnd.
//
// Layouts named ...RequestLayout describe what the editor sends, ...ReplyLayout
// what the unit answers; a layout without either word serves both directions.
// A width of sysExVariableWidth is a zero-terminated text running up to the
// checksum. Fields marked "raw" hold bytes copied as they are, not a number.
// Counted messages list every repeat of their counted field, so that
// getSysExPayloadSize gives the largest payload and a parser finds item i as
// field (first item field + i).

// Sizes of the counted messages.
constexpr int modifierMaxValues = 15;
constexpr int broadcastKnobMaxIds = 16;
constexpr int patchDataWords = 64;
constexpr int effectDataMaxWords = 64;
constexpr int cabIrDataValues = 32;
constexpr int rawIrDataValues = 32;
constexpr int gridReplyMaxPairs = 48;
constexpr int graphReplyValues = 128;
constexpr int graphReplyMessageSize = 264;
constexpr int footswitchGridMaxEntries = 127;
constexpr int sysExNameFieldSize = 32;

// The field id where the repeated items of a counted layout begin.
constexpr juce::uint32 modifierFirstValueField = 2;
constexpr juce::uint32 broadcastKnobFirstIdField = 1;
constexpr juce::uint32 countedDataFirstItemField = 1;     // patch, effect, cab and raw IR data
constexpr juce::uint32 footswitchGridFirstEntryField = 2; // three fields per entry

// 0x01 SYSEX_PARAM_DUMP: block id.
extern const PayloadLayout* const paramDumpRequestLayout;
// 0x01 and 0x02 replies: block id, parameter id, value (3), flag (1), two
// 16-bit values, the value as displayed (text).
extern const PayloadLayout* const paramReplyLayout;
// 0x02 SYSEX_PARAM_SET: block id, parameter id, value (3), mode (1).
extern const PayloadLayout* const paramSetRequestLayout;
// 0x03 SYSEX_PATCH_DUMP, 0x1D SYSEX_SAVE_PATCH, 0x3C SYSEX_RECALL_PATCH,
// 0x46 SYSEX_PATCH_PLUS_CAB_DUMP, 0x15 SYSEX_QUERY_NAME_BY_NUM: the two
// location bytes of a preset.
extern const PayloadLayout* const presetLocationRequestLayout;
// 0x05 SYSEX_PLACE_EFFECT: block id, grid cell.
extern const PayloadLayout* const placeEffectLayout;
// 0x06 SYSEX_CONNECT_EFFECT and 0x24 SYSEX_MOVE_EFFECT: source cell,
// destination cell, flag.
extern const PayloadLayout* const cellPairRequestLayout;
// 0x07 SYSEX_MODIFIER_SET: block id, two selectors, value (3), mode (1).
extern const PayloadLayout* const modifierSetRequestLayout;
// 0x07 replies (also answering 0x3B): block id, two selectors, value (3),
// the value as displayed (text).
extern const PayloadLayout* const modifierSetReplyLayout;
// 0x08 SYSEX_QUERY_VERSION reply: six one-septet numbers.
extern const PayloadLayout* const queryVersionReplyLayout;
// 0x09 SYSEX_SET_NAME: the name, raw 32.
extern const PayloadLayout* const setNameRequestLayout;
// 0x0D SYSEX_TUNER reply: three one-septet numbers.
extern const PayloadLayout* const tunerReplyLayout;
// 0x0E SYSEX_QUERY_STATES reply: 5-septet words up to the F7, no checksum.
extern const PayloadLayout* const queryStatesReplyLayout;
// 0x0F SYSEX_QUERY_NAME reply: the name, raw 32.
extern const PayloadLayout* const queryNameReplyLayout;
// 0x11 SYSEX_XY: block id and two bytes; the reply block id and one byte.
extern const PayloadLayout* const xyRequestLayout;
extern const PayloadLayout* const xyReplyLayout;
// 0x12 SYSEX_CABNAME: cab number; the reply cab number and the name, raw 32
// (its last byte is the cab's format byte).
extern const PayloadLayout* const cabNameRequestLayout;
extern const PayloadLayout* const cabNameReplyLayout;
// 0x13 SYSEX_CPU_LOAD, 0x17 SYSEX_GET_MIDI_CHANNEL, 0x2A SYSEX_GET_FLAGS,
// 0x3A SYSEX_GET_POSITION replies, and the 0x23, 0x29, 0x36, 0x3E requests:
// one one-septet number.
extern const PayloadLayout* const singleByteLayout;
// 0x14 SYSEX_PATCHNUM reply: high and low septet of the preset number.
extern const PayloadLayout* const patchNumReplyLayout;
// 0x15 SYSEX_QUERY_NAME_BY_NUM reply: the two location bytes and the name, raw 32.
extern const PayloadLayout* const queryNameByNumReplyLayout;
// 0x16 SYSEX_GET_PARAM_INFO: block id, parameter id; the reply five 32-bit
// numbers (a descriptor and four floats as their bit patterns).
extern const PayloadLayout* const blockAndParamRequestLayout; // also 0x28
extern const PayloadLayout* const paramInfoReplyLayout;
// One 16-bit number: the block id of 0x01, 0x18, 0x1F, 0x22, 0x2B, 0x37,
// the 0x35 request, the cab number of 0x41, the 0x2F reply.
extern const PayloadLayout* const singleWordLayout;
// 0x18 SYSEX_GET_MODIFIER_INFO reply: modifier id, controller, block, parameter.
extern const PayloadLayout* const modifierInfoReplyLayout;
// 0x19 SYSEX_CAB_DUMP: models 6, 7 and 8 split the cab number in two septets
// (number >> 7, number & 0x7F); other models send one.
extern const PayloadLayout* const cabDumpRequestLayoutSplit;
extern const PayloadLayout* const cabDumpRequestLayoutSingle;
// 0x20 SYSEX_GET_GRID reply: up to 48 pairs of block id and input mask.
extern const PayloadLayout* const gridReplyLayout;
// 0x23 SYSEX_LOOPER_STATE reply, 0x46 SYSEX_PATCH_PLUS_CAB_DUMP reply: two bytes.
extern const PayloadLayout* const twoByteReplyLayout;
// 0x28 SYSEX_GET_PARAM_STRINGS reply: zero-terminated texts up to the checksum.
extern const PayloadLayout* const paramStringsReplyLayout;
// 0x2C SYSEX_MODIFIER: block id, count (at most 15), count 3-septet numbers.
extern const PayloadLayout* const modifierLayout;
// 0x2E SYSEX_SET_PARAM_DIRECT: block id, parameter id, float bits (5).
extern const PayloadLayout* const setParamDirectRequestLayout;
// 0x30 and 0x36 replies: 128 two-septet values (a 264-byte message).
extern const PayloadLayout* const graphReplyLayout;
// 0x32 SYSEX_MULTIMSG_START: function of the transfer, message count (2).
extern const PayloadLayout* const multiMsgStartLayout;
// 0x35 SYSEX_GET_CONFIG reply: key (2), value (3).
extern const PayloadLayout* const configReplyLayout;
// 0x38 SYSEX_BROADCAST_KNOB: count (at most 16), count parameter ids; the
// reply up to 16 pairs of parameter id (2) and value (1), no count.
extern const PayloadLayout* const broadcastKnobRequestLayout;
extern const PayloadLayout* const broadcastKnobReplyLayout;
// 0x39 SYSEX_BROADCAST_MODIFIER: two bytes; the reply one.
extern const PayloadLayout* const broadcastModifierRequestLayout;
// 0x3B SYSEX_SET_MODPARAM_DIRECT: block id, two selectors, float bits (5).
extern const PayloadLayout* const setModParamDirectRequestLayout;
// 0x45 SYSEX_LAYOUT_SET: operation, layout, key (2), value (2); the reply
// layout (1), key (2), value (2).
extern const PayloadLayout* const layoutSetRequestLayout;
extern const PayloadLayout* const layoutSetReplyLayout;
// 0x47 SYSEX_GET_SYSINFO reply: four 16-bit numbers.
extern const PayloadLayout* const sysInfoReplyLayout;
// 0x48 SYSEX_FSGRID: first value, entry count, then entries of three 16-bit numbers.
extern const PayloadLayout* const footswitchGridLayout;
// 0x61 SYSEX_SYSTEM_DATA_START reply: size (3).
extern const PayloadLayout* const systemDataStartReplyLayout;
// 0x64 SYSEX_STATUS_MSG: function answered, result; both raw bytes.
extern const PayloadLayout* const statusMessageLayout;
// 0x67 SYSEX_RAWIR_START: one byte, one 16-bit number.
extern const PayloadLayout* const rawIrStartReplyLayout;
// 0x68 SYSEX_RAWIR_DATA and 0x7B SYSEX_CABIR_DATA: count (2), 32 values of 5 septets.
extern const PayloadLayout* const irDataLayout;
// 0x69 SYSEX_RAWIR_END and 0x7C SYSEX_CABIR_END: check value (5).
extern const PayloadLayout* const irEndLayout;
// 0x74 SYSEX_EFFECT_START: block id, word count, flags (1).
extern const PayloadLayout* const effectStartLayout;
// 0x75 SYSEX_EFFECT_DATA and 0x78 SYSEX_PATCH_DATA: count (2), up to 64
// words of 3 septets.
extern const PayloadLayout* const wordDataLayout;
// 0x77 SYSEX_PATCH_START: two location bytes, word count (2).
extern const PayloadLayout* const patchStartLayout;
// 0x79 SYSEX_PATCH_END: XOR of the data words (3).
extern const PayloadLayout* const patchEndLayout;
// 0x7A SYSEX_CABIR_START: on models 6, 7 and 8 the cab number in two septets
// (number >> 7, number & 0x7F) then the second value (2); on others the cab
// number in one septet then the second value.
extern const PayloadLayout* const cabIrStartLayoutSplit;
extern const PayloadLayout* const cabIrStartLayoutSingle;

// True for the models that send a cab number in two septets (6, 7 and 8).
bool usesSplitCabNumber (juce::uint8 model);

// The layouts, by function, of what the editor sends and what the unit
// answers for the given model; nullptr when that side is not described
// (an empty payload has an empty layout, not nullptr).
const PayloadLayout* getRequestLayout (juce::uint8 function, juce::uint8 model = currentSysExModel.load());
const PayloadLayout* getReplyLayout (juce::uint8 function, juce::uint8 model = currentSysExModel.load());
