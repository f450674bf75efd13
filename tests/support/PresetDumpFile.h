#pragma once

#include "device/wire/SysExCodec.h"
#include "support/SimulatedPreset.h"

// A simulated preset as a ".syx" preset file holds it: its words in a
// SYSEX_PATCH_START, the data messages and a SYSEX_PATCH_END with their XOR.
inline juce::MemoryBlock makePresetDumpFile (const SimulatedPreset& preset, juce::uint8 model = 8)
{
    auto words = preset.toWords();
    juce::MemoryBlock dump;
    juce::MidiMessage message;
    juce::uint32 check = 0;

    for (auto w : words)
        check ^= w;

    buildPatchStart (message, 127, 127, (juce::uint32) words.size(), model);
    dump.append (message.getRawData(), (size_t) message.getRawDataSize());

    for (size_t i = 0; i < words.size(); i += patchDataWords)
    {
        buildPatchData (message, words.data() + i, patchDataWords, model);
        dump.append (message.getRawData(), (size_t) message.getRawDataSize());
    }

    buildPatchEnd (message, check, model);
    dump.append (message.getRawData(), (size_t) message.getRawDataSize());
    return dump;
}
