#pragma once

#include "device/wire/ModifierRecords.h"
#include "device/wire/SysExRequest.h"
#include "device/wire/TransferRecords.h"
#include "model/EffectParamValue.h"
#include "model/ModifierDumpRecord.h"

// One collector per answer that spans several messages. Each takes a
// completed request and gives true only when the request's function is the
// expected one, it holds exactly its expected number of replies, every reply
// is of a kind that belongs to the answer and parses, and the answer's check
// (check value, word count or announced item count) holds. Outputs may be
// partly written when a collector gives false.

// SYSEX_PATCH_DUMP: start, 64-word data messages, end. The end's check
// value must equal the XOR of all words; a dump without an end is refused.
bool collectPatchDump (const SysExRequest& request, CollectedPatch& patch);

// SYSEX_CAB_DUMP (or SYSEX_CONTROL_IRCAP, which may also bring status
// replies): the start gives the cab number, each data message fills the next
// 32 values (a 65th fails), and the end's check value must equal the XOR of
// all 2048 values. Values no data message filled keep what the caller put
// there. A dump without an end is refused.
bool collectCabDump (const SysExRequest& request, CabDumpData& cab);

// SYSEX_GET_ALL_PARAMS: the start's block id, word count and flags, and the
// words of the data messages, whose number must equal the word count. An end
// without a start before it is refused.
bool collectEffectDump (const SysExRequest& request, EffectStartRecord& start, juce::Array<juce::uint16>& words);

// SYSEX_PARAM_DUMP: each parameter reply appended. A SYSEX_MULTIMSG_START
// count other than 0 must equal the number of parameters the answer brought.
bool collectParamDump (const SysExRequest& request, juce::Array<EffectParamValue>& values);

// SYSEX_MODIFIER_DUMP: each SYSEX_MODIFIER reply becomes the next record;
// more records than maxRecords refuse the dump rather than overrun the
// caller's storage.
bool collectModifierDump (const SysExRequest& request, juce::Array<ModifierValues>& records, int maxRecords);

// The 68 bytes under which a SYSEX_MODIFIER record is kept (and stored in
// block library files): block id, count and the 15 values, each a
// little-endian 32-bit word.
ModifierDumpRecord toModifierDumpRecord (const ModifierValues& values);

// The words of an effect dump as the unit's raw parameter data: each word
// little-endian, appended.
void appendEffectDumpBytes (const juce::Array<juce::uint16>& words, juce::MemoryBlock& data);

// SYSEX_CABNAME for all cabs: each name reply appended. A SYSEX_MULTIMSG_START
// count other than 0 must equal the number of names.
bool collectCabNames (const SysExRequest& request, juce::Array<CabNameRecord>& names);

// A status reply that echoes the request's function: result gets the first
// such one's failure code, or 0 when each reports success; false when none
// echoes it.
bool collectEchoedStatus (const SysExRequest& request, juce::uint8& result);

// SYSEX_QUERY_STATES: the words of the last states message and the scene of
// the SYSEX_SET_SCENE reply; an answer without its scene is refused.
bool collectQueryStates (const SysExRequest& request, juce::Array<juce::uint32>& words, juce::uint8& scene);

// SYSEX_PATCH_PLUS_CAB_DUMP: the first reply gives the cab flags; every
// patch or cab start opens a new block, and each message of that dump is
// checked by its parser and appended unchanged to the current block. The
// result is one block for the preset, then one per cab.
bool collectPatchPlusCabDump (const SysExRequest& request, PatchPlusCabHeader& header,
                              juce::OwnedArray<juce::MemoryBlock>& blocks);
