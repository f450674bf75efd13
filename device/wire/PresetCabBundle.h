#pragma once

#include "device/wire/TransferRecords.h"

#include <juce_core/juce_core.h>

// A Preset-Cab bundle: a SYSEX_PATCH_PLUS_CAB_DUMP message whose cab flags
// say which of the preset's cabs follow (bit n: cab n), then the preset's
// dump, then one cab dump per flag set. A bank of bundles repeats this.

// Decodes one bundle of the given model. True when every message passes its
// check, the preset dump and each cab dump are whole (ended by their end
// message, check values matching) and there is exactly one cab dump per flag
// set; blocks then holds the preset dump first and one cab dump per cab, each
// as its raw messages. On failure blocks is emptied and header is untouched. A bundle whose flags are 0 holds the preset alone.
bool parsePresetCabBundle (const void* bytes, size_t size, juce::uint8 model, PatchPlusCabHeader& header,
                           juce::OwnedArray<juce::MemoryBlock>& blocks);
bool parsePresetCabBundle (const juce::MemoryBlock& buffer, juce::uint8 model, PatchPlusCabHeader& header,
                           juce::OwnedArray<juce::MemoryBlock>& blocks);
