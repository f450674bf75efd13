#pragma once

#include "device/wire/EditRecords.h"
#include "device/wire/ModifierRecords.h"
#include "device/wire/SysExLayouts.h"
#include "model/LayoutRecord.h"

// One builder per request kind. Each frames its payload for the model byte it
// is given (currentSysExModel when none is), stores the frame in 'out' and
// gives true; it gives false and leaves 'out' untouched when an input is null
// or a value does not fit its field (a count above its limit, a preset
// location above 127, a cell above 127 ...): the unit would otherwise read a
// cut number and act on another block, slot or preset.
//
// Builders whose request expects more than one reply give the count in
// 'expectedReplies'; a count of 3 only keeps the request open until the
// unit's first reply announces the real length.
//
// Requests without a payload (SYSEX_WHO_AM_I, SYSEX_QUERY_VERSION, ...) are
// framed directly with buildSysExMessage.

// Packs the values into the layout's fields in order (each must fit its
// field's width) and frames them. The payload is at least minPayloadSize
// bytes, zeros behind the values. False for a null layout, more values than
// fields, a variable-width field or a value too wide for its field.
bool buildSysExByLayout (juce::MidiMessage& out, juce::uint8 function, const PayloadLayout* layout,
                         const juce::uint32* values, size_t numValues, juce::uint8 model = currentSysExModel.load(),
                         size_t minPayloadSize = 0);
bool buildSysExByLayout (juce::MidiMessage& out, juce::uint8 function, const PayloadLayout* layout,
                         std::initializer_list<juce::uint32> values, juce::uint8 model = currentSysExModel.load());

// True when the value fits a field of that many septets.
bool fitsSeptets (juce::uint32 value, juce::uint32 width);

// True when the values fit the layout's fields in order: no more values than
// fixed-width fields before the end, each value within its field's width.
bool fitsSysExLayout (const PayloadLayout* layout, const juce::uint32* values, size_t numValues);

// 0x01: the parameter values of a block; expects 3 (announced by the unit).
bool buildParamDump (juce::MidiMessage& out, juce::uint32 blockId, int& expectedReplies,
                     juce::uint8 model = currentSysExModel.load());
// 0x02: set (mode 1) or query (mode 0) one parameter.
bool buildParamSet (juce::MidiMessage& out, juce::uint32 blockId, juce::uint32 paramId, juce::uint32 value,
                    juce::uint32 mode, juce::uint8 model = currentSysExModel.load());
// 0x03: the dump of the preset at (bank, program); 127, 127 is the current
// preset. Expects getPatchDumpMessageCount for the model; false for a model
// without a known dump length.
bool buildPatchDump (juce::MidiMessage& out, juce::uint32 bank, juce::uint32 program, int& expectedReplies,
                     juce::uint8 model = currentSysExModel.load());
bool buildPlaceEffect (juce::MidiMessage& out, juce::uint32 blockId, juce::uint32 cell,
                       juce::uint8 model = currentSysExModel.load());
bool buildConnectEffect (juce::MidiMessage& out, juce::uint32 sourceCell, juce::uint32 destinationCell,
                         juce::uint32 connect, juce::uint8 model = currentSysExModel.load());
bool buildModifierSet (juce::MidiMessage& out, juce::uint32 blockId, juce::uint32 selector1, juce::uint32 selector2,
                       juce::uint32 value, juce::uint32 mode, juce::uint8 model = currentSysExModel.load());
// 0x09: 'nameField' is the 32-byte field as copyNameToField prepares it; each
// byte is sent masked to 7 bits.
bool buildSetName (juce::MidiMessage& out, const char* nameField, juce::uint8 model = currentSysExModel.load());
bool buildXY (juce::MidiMessage& out, juce::uint32 blockId, juce::uint32 first, juce::uint32 second,
              juce::uint8 model = currentSysExModel.load());
// 0x12: one cab's name, or (cabNumberAll) every cab's, which expects 3.
constexpr juce::uint32 cabNumberAll = 16383;
bool buildCabName (juce::MidiMessage& out, juce::uint32 cabNumber, int& expectedReplies,
                   juce::uint8 model = currentSysExModel.load());
// 0x15: preset names. Bank and number 127 ask for every preset and expect
// 'allPresetsCount' replies; number 127 alone asks for one bank, which on
// model 8 expects 128.
bool buildQueryNameByNum (juce::MidiMessage& out, juce::uint32 bank, juce::uint32 number, int allPresetsCount,
                          int& expectedReplies, juce::uint8 model = currentSysExModel.load());
bool buildGetParamInfo (juce::MidiMessage& out, juce::uint32 blockId, juce::uint32 paramId,
                        juce::uint8 model = currentSysExModel.load());
bool buildGetModifierInfo (juce::MidiMessage& out, juce::uint32 id, juce::uint8 model = currentSysExModel.load());
// 0x19: one cab's dump (66 messages). Models 6, 7 and 8 send the number in
// two septets (up to 16383), others in one (up to 127).
bool buildCabDump (juce::MidiMessage& out, juce::uint32 cabNumber, int& expectedReplies,
                   juce::uint8 model = currentSysExModel.load());
bool buildSavePatch (juce::MidiMessage& out, juce::uint32 bank, juce::uint32 program,
                     juce::uint8 model = currentSysExModel.load());
// 0x1F: a block's parameter data; expects 3 (announced by the unit).
bool buildGetAllParams (juce::MidiMessage& out, juce::uint32 blockId, int& expectedReplies,
                        juce::uint8 model = currentSysExModel.load());
bool buildGetGrid (juce::MidiMessage& out, juce::uint8 model = currentSysExModel.load());
// 0x0E: the block states; expects 2 (the states and the scene).
bool buildQueryStates (juce::MidiMessage& out, int& expectedReplies, juce::uint8 model = currentSysExModel.load());
bool buildSetDefaults (juce::MidiMessage& out, juce::uint32 blockId, juce::uint8 model = currentSysExModel.load());
bool buildLooperState (juce::MidiMessage& out, juce::uint32 value, juce::uint8 model = currentSysExModel.load());
bool buildMoveEffect (juce::MidiMessage& out, juce::uint32 sourceCell, juce::uint32 destinationCell, juce::uint32 flag,
                      juce::uint8 model = currentSysExModel.load());
bool buildGetParamStrings (juce::MidiMessage& out, juce::uint32 blockId, juce::uint32 paramId,
                           juce::uint8 model = currentSysExModel.load());
// 0x29: scene 0-7, or 127 to ask without changing.
bool buildSetScene (juce::MidiMessage& out, juce::uint32 scene, juce::uint8 model = currentSysExModel.load());
// 0x2B: a block's modifier records; expects 3 (announced by the unit).
bool buildModifierDump (juce::MidiMessage& out, juce::uint32 blockId, int& expectedReplies,
                        juce::uint8 model = currentSysExModel.load());
// 0x2C: block id, count (at most 15) and that many numbers; only the bytes
// of the given count are sent.
bool buildModifier (juce::MidiMessage& out, const ModifierValues& record, juce::uint8 model = currentSysExModel.load());
bool buildSetParamDirect (juce::MidiMessage& out, juce::uint32 blockId, juce::uint32 paramId, float value,
                          juce::uint8 model = currentSysExModel.load());
bool buildGetGraphN (juce::MidiMessage& out, juce::uint32 index, juce::uint8 model = currentSysExModel.load());
bool buildGetConfig (juce::MidiMessage& out, juce::uint32 value, juce::uint8 model = currentSysExModel.load());
bool buildEditEffect (juce::MidiMessage& out, juce::uint32 blockId, juce::uint8 model = currentSysExModel.load());
// 0x38: at most 16 parameter ids; only the bytes of the given count are sent.
bool buildBroadcastKnob (juce::MidiMessage& out, const juce::uint16* paramIds, int count,
                         juce::uint8 model = currentSysExModel.load());
bool buildBroadcastModifier (juce::MidiMessage& out, juce::uint32 first, juce::uint32 second,
                             juce::uint8 model = currentSysExModel.load());
bool buildSetModParamDirect (juce::MidiMessage& out, juce::uint32 blockId, juce::uint32 selector1,
                             juce::uint32 selector2, float value, juce::uint8 model = currentSysExModel.load());
bool buildRecallPatch (juce::MidiMessage& out, juce::uint32 bank, juce::uint32 program,
                       juce::uint8 model = currentSysExModel.load());
bool buildMute (juce::MidiMessage& out, juce::uint32 mute, juce::uint8 model = currentSysExModel.load());
bool buildDeleteCabIr (juce::MidiMessage& out, juce::uint32 cabNumber, juce::uint8 model = currentSysExModel.load());
// 0x45: one layout value. Key layoutKeyAll asks for every value: 152
// replies on models 5 and 10, 16 on model 8, none awaited on others.
constexpr juce::uint32 layoutKeyAll = 127;
bool buildLayoutSet (juce::MidiMessage& out, const LayoutRecord& record, int& expectedReplies,
                     juce::uint8 model = currentSysExModel.load());
bool buildPatchPlusCabDump (juce::MidiMessage& out, juce::uint32 bank, juce::uint32 program,
                            juce::uint8 model = currentSysExModel.load());
// 0x48: the first value, the entry count and the entries (at most 127).
bool buildFsGrid (juce::MidiMessage& out, const FootswitchGrid& grid, juce::uint8 model = currentSysExModel.load());

// The messages of dumps the program writes itself.
bool buildEffectStart (juce::MidiMessage& out, juce::uint32 blockId, juce::uint32 wordCount, juce::uint32 flags,
                       juce::uint8 model = currentSysExModel.load());
// The messages that write a block's raw parameter data (its words, each
// little-endian, as appendEffectDumpBytes keeps them) back into the unit:
// SYSEX_EFFECT_START, the SYSEX_EFFECT_DATA messages of at most 64 words and
// SYSEX_EFFECT_END, appended to out. False (out untouched) for data of an odd
// size.
bool buildEffectDump (juce::MemoryBlock& out, juce::uint32 blockId, const juce::MemoryBlock& rawWords,
                      juce::uint8 model = currentSysExModel.load());
bool buildPatchStart (juce::MidiMessage& out, juce::uint32 bank, juce::uint32 program, juce::uint32 wordCount,
                      juce::uint8 model = currentSysExModel.load());
// 0x78: at most 64 words; the payload is always the full 194 bytes.
bool buildPatchData (juce::MidiMessage& out, const juce::uint16* words, int count,
                     juce::uint8 model = currentSysExModel.load());
bool buildPatchEnd (juce::MidiMessage& out, juce::uint32 checkValue, juce::uint8 model = currentSysExModel.load());
// 0x7A: the number layout depends on the model, as for buildCabDump.
bool buildCabIrStart (juce::MidiMessage& out, juce::uint32 cabNumber, juce::uint32 second,
                      juce::uint8 model = currentSysExModel.load());
// 0x7B: at most 32 values; the payload is always the full 162 bytes.
bool buildCabIrData (juce::MidiMessage& out, const juce::uint32* values, int count,
                     juce::uint8 model = currentSysExModel.load());
