#pragma once

#include "device/wire/EditRecords.h"
#include "device/wire/ModifierRecords.h"
#include "device/wire/SysExLayouts.h"
#include "device/wire/TransferRecords.h"
#include "device/wire/UnitReplies.h"
#include "model/EffectParamValue.h"
#include "model/LayoutRecord.h"
#include "model/ParamInfo.h"
#include "model/PresetGrid.h"

// One parser per reply kind. Each gives false unless the message is SysEx,
// at least 6 bytes long and of its function byte (and passes the further
// tests its comment names). A field that lies beyond the end of a short
// message reads as 0; nothing is ever read past the message. The output is
// written only when the parser gives true (for the parsers that take a status
// reply in place of an answer, as described).
//
// Safe on any thread: the link thread calls some of them.

// Reads a field of the layout from the message (0 when absent or beyond the end).
juce::uint32 readSysExField (const juce::MidiMessage& message, const PayloadLayout* layout, juce::uint32 fieldId);

// The payload's end: the position of the checksum of a frame (length - 2),
// never before offset 6.
int getSysExPayloadEnd (const juce::MidiMessage& message);

// 0x01 and 0x02 (also answering 0x2E): one parameter value. A status reply gives false.
bool parseParamDump (const juce::MidiMessage& message, EffectParamValue& value);
bool parseParamSet (const juce::MidiMessage& message, EffectParamValue& value);
bool parseSetParamDirect (const juce::MidiMessage& message, EffectParamValue& value);

// 0x05: the block id and cell of a place request or its echo.
bool parsePlaceEffect (const juce::MidiMessage& message, juce::uint16& blockId, juce::uint8& cell);

// 0x07 (also answering 0x3B).
bool parseModifierSet (const juce::MidiMessage& message, ModifierSetReply& reply);
bool parseSetModParamDirect (const juce::MidiMessage& message, ModifierSetReply& reply);

// 0x08: the firmware; the model is the message's byte 4.
bool parseQueryVersion (const juce::MidiMessage& message, FirmwareInfo& firmware);

bool parseTuner (const juce::MidiMessage& message, TunerReading& reading);

// 0x0E: 5-septet words from offset 6 up to the F7 (no checksum); false unless
// (length - 7) is a multiple of 5. Each word is stored with its four bytes
// in reverse order. The list is replaced.
bool parseQueryStates (const juce::MidiMessage& message, juce::Array<juce::uint32>& words);

// 0x0F: the current preset's name into a 32-byte field, only when the
// message is longer than 38 bytes. Byte 31 is always 0, so the field holds at
// most 31 characters and always ends.
bool parseQueryName (const juce::MidiMessage& message, char* nameField);

bool parseXY (const juce::MidiMessage& message, XYReply& reply);

// 0x12: only when the message is longer than 40 bytes. The name is the first
// 31 name bytes (byte 31 of the field is 0) and the 32nd is the format byte.
bool parseCabName (const juce::MidiMessage& message, CabNameRecord& record);

bool parseCpuLoad (const juce::MidiMessage& message, juce::uint8& load);
bool parsePatchNum (const juce::MidiMessage& message, PresetNumberRecord& number);

// 0x15: only when the message is longer than 40 bytes. Byte 31 of the name
// field is always 0.
bool parseQueryNameByNum (const juce::MidiMessage& message, PresetNameRecord& record);

bool parseGetParamInfo (const juce::MidiMessage& message, ParamInfo& info);
bool parseGetMidiChannel (const juce::MidiMessage& message, juce::uint8& channel);
bool parseGetModifierInfo (const juce::MidiMessage& message, ModifierInfoReply& reply);

// 0x20: (block id, input mask) pairs up to the checksum, replacing both
// lists; false for an empty payload, one that is not whole pairs, or more
// pairs than the grid has cells (48).
bool parseGetGrid (const juce::MidiMessage& message, GridVectors& grid);

// 0x23: a status reply with result 0 gives two zeros; another status false.
bool parseLooperState (const juce::MidiMessage& message, LooperState& state);

// 0x28: the non-empty zero-terminated texts up to the checksum, replacing
// the list. A status reply with result 27 is a valid empty answer; any other
// status reply gives false.
bool parseGetParamStrings (const juce::MidiMessage& message, juce::StringArray& strings);

bool parseSetScene (const juce::MidiMessage& message, juce::uint8& scene);
bool parseGetFlags (const juce::MidiMessage& message, UnitFlags& flags);

// 0x2C: false for a count above 15. A status reply with result 0 gives true
// and leaves the record as it was; any other status reply false.
bool parseModifier (const juce::MidiMessage& message, ModifierValues& record);

bool parseBpm (const juce::MidiMessage& message, juce::uint16& tempo);

// 0x30 and 0x36: exactly 264 bytes.
bool parseGetGraph (const juce::MidiMessage& message, GraphData& graph);
bool parseGetGraphN (const juce::MidiMessage& message, GraphData& graph);

bool parseMultiMsgStart (const juce::MidiMessage& message, MultiMessageStart& start);
bool parseMultiMsgEnd (const juce::MidiMessage& message);
bool parseGetConfig (const juce::MidiMessage& message, ConfigReply& reply);

// 0x38: (parameter id, value) pairs up to the checksum; false unless the
// payload is whole 3-byte pairs, and for more than 16 pairs (the record has
// no room for them). A status reply with result 0 gives an empty record; any
// other status reply false.
bool parseBroadcastKnob (const juce::MidiMessage& message, KnobBroadcast& record);

// 0x39: the reply's byte goes into the record's third byte; a status reply
// with result 0 clears the second and third bytes. The first is left alone.
bool parseBroadcastModifier (const juce::MidiMessage& message, ModifierBroadcast& record);

bool parseGetPosition (const juce::MidiMessage& message, juce::uint8& position);

// 0x45: one layout value; the record's operation is 0.
bool parseLayoutSet (const juce::MidiMessage& message, LayoutRecord& record);

bool parsePatchPlusCabDump (const juce::MidiMessage& message, PatchPlusCabHeader& header);

// 0x47: a status reply is read into 'status' (when given) and gives false.
bool parseGetSysInfo (const juce::MidiMessage& message, SystemInfo& info, StatusReply* status = nullptr);

// 0x48: the entry list is replaced by the message's count of entries.
bool parseFsGrid (const juce::MidiMessage& message, FootswitchGrid& grid);

bool parseSystemDataStart (const juce::MidiMessage& message, juce::uint32& size);

// 0x64: the function answered and the result, as raw bytes; the message must
// be longer than 7 bytes.
bool parseStatusMessage (const juce::MidiMessage& message, StatusReply& reply);

// Whether a status reply that answers a request of `function` refuses it: a
// result other than 0, but for the one the unit answers a question of value
// texts with for a parameter that has none (its normal, empty answer).
bool isRefusal (const StatusReply& reply, juce::uint8 function);

// A status reply read for its sender: true only for result 0, and then
// 'model' is the message's byte 4. The unit answers SYSEX_WHO_AM_I this way.
bool parseStatusModel (const juce::MidiMessage& message, juce::uint8& model);

bool parseRawIrStart (const juce::MidiMessage& message, RawIrStartRecord& record);
// 0x68 and 0x7B: the count must be 32; the list is replaced by the 32 values.
bool parseRawIrData (const juce::MidiMessage& message, juce::Array<juce::uint32>& values);
bool parseRawIrEnd (const juce::MidiMessage& message, juce::uint32& checkValue);

bool parseEffectStart (const juce::MidiMessage& message, EffectStartRecord& record);
// 0x75: at most 64 words; the list is replaced by the message's words.
bool parseEffectData (const juce::MidiMessage& message, juce::Array<juce::uint16>& words);

bool parsePatchStart (const juce::MidiMessage& message, PatchStartRecord& record);
// 0x78: the count must be 64; the list is replaced by the 64 words.
bool parsePatchData (const juce::MidiMessage& message, juce::Array<juce::uint16>& words);
bool parsePatchEnd (const juce::MidiMessage& message, juce::uint32& checkValue);

// 0x7A: the number layout follows the message's own model byte.
bool parseCabIrStart (const juce::MidiMessage& message, CabIrStartRecord& record);
bool parseCabIrData (const juce::MidiMessage& message, juce::Array<juce::uint32>& values);
bool parseCabIrEnd (const juce::MidiMessage& message, juce::uint32& checkValue);
