#pragma once

#include "device/wire/ModifierRecords.h"
#include "device/wire/SysExLayouts.h"
#include "device/wire/TransferRecords.h"
#include "device/wire/UnitReplies.h"
#include "model/EffectParamValue.h"

// Builders of the unit's side of the replies that carry texts, raw names or
// no checksum, for tests that stand in for the unit. Replies made only of
// numbers are built with buildSysExByLayout and the reply layout of their
// function (getReplyLayout). Texts are sent one byte per character, masked
// to 7 bits.

// 0x64: the function answered and the result.
bool buildStatusMessage (juce::MidiMessage& out, juce::uint8 function, juce::uint8 result,
                         juce::uint8 model = currentSysExModel.load());

// 0x01 or 0x02 (the function given): a parameter value with its text.
bool buildParamReply (juce::MidiMessage& out, juce::uint8 function, const EffectParamValue& value,
                      juce::uint8 model = currentSysExModel.load());

// 0x07: a modifier value with its text.
bool buildModifierSetReply (juce::MidiMessage& out, const ModifierSetReply& reply,
                            juce::uint8 model = currentSysExModel.load());

// 0x0E: the state words (each sent with its bytes in reverse order) and F7,
// without a checksum.
bool buildQueryStatesReply (juce::MidiMessage& out, const juce::Array<juce::uint32>& words,
                            juce::uint8 model = currentSysExModel.load());

// 0x0F: the 32 raw bytes of a name field.
bool buildQueryNameReply (juce::MidiMessage& out, const char* nameField, juce::uint8 model = currentSysExModel.load());

// 0x12: the cab number, 31 name bytes and the format byte.
bool buildCabNameReply (juce::MidiMessage& out, const CabNameRecord& record,
                        juce::uint8 model = currentSysExModel.load());

// 0x15: the two location bytes and the 32 raw name bytes.
bool buildQueryNameByNumReply (juce::MidiMessage& out, const PresetNameRecord& record,
                               juce::uint8 model = currentSysExModel.load());

// 0x28: the texts one after another, each ending in a zero.
bool buildParamStringsReply (juce::MidiMessage& out, const juce::StringArray& strings,
                             juce::uint8 model = currentSysExModel.load());
