#pragma once

// Dumps, cab dumps and bundles built message by message with the codec, for
// the dump and file tests. They never go through PatchDump, so a test that
// parses them checks PatchDump against the codec, not against itself.

#include "device/wire/SysExCodec.h"
#include "model/Checksum.h"
#include "model/IdTables.h"

#include <juce_core/juce_core.h>

#include <vector>

namespace dumptest
{
using Bytes = std::vector<juce::uint8>;

inline Bytes bytesOf (const juce::MidiMessage& m)
{
    return Bytes (m.getRawData(), m.getRawData() + m.getRawDataSize());
}

inline Bytes bytesOf (const juce::MemoryBlock& b)
{
    auto* p = static_cast<const juce::uint8*> (b.getData());
    return Bytes (p, p + b.getSize());
}

inline juce::MemoryBlock blockOf (const Bytes& b)
{
    return juce::MemoryBlock (b.data(), b.size());
}

inline void append (Bytes& to, const Bytes& more)
{
    to.insert (to.end(), more.begin(), more.end());
}

inline void append (Bytes& to, const juce::MidiMessage& m)
{
    append (to, bytesOf (m));
}

// Preset data of the given size: word i is a pattern of i, and the name in
// words 2 to 33 (one character per word, the fill in unused places: blanks
// as the unit pads names, or 0xFF for empty places).
inline juce::MemoryBlock makePresetData (size_t size, const juce::String& name = "Test Preset", juce::uint8 fill = 0x20,
                                         juce::uint16 seed = 0x1234)
{
    juce::MemoryBlock data (size, true);
    auto* b = static_cast<juce::uint8*> (data.getData());

    for (size_t i = 0; i < size / 2; ++i)
    {
        auto w = (juce::uint16) (seed + i * 0x9E37u);
        if (i == 1)
            w = 0; // unpacked
        else if (i >= 2 && i <= 33)
            w = (juce::uint16) ((int) i - 2 < name.length() ? (juce::uint8) name[(int) i - 2] : fill);
        b[2 * i] = (juce::uint8) (w & 0xFF);
        b[2 * i + 1] = (juce::uint8) (w >> 8);
    }

    return data;
}

inline juce::uint16 wordAt (const juce::MemoryBlock& data, size_t i)
{
    auto* b = static_cast<const juce::uint8*> (data.getData());
    return (juce::uint16) (b[2 * i] | (b[2 * i + 1] << 8));
}

struct DumpOptions
{
    juce::uint8 bank = 127;
    juce::uint8 program = 127;
    bool withEnd = true;
    bool secondStart = false;
    int dropDataMessages = 0;    // leave out the last n data messages
    juce::uint32 endXorFlip = 0; // XORed into the end's check value
};

// The dump of the data as the unit sends it: start, 64-word data messages, end.
inline Bytes makeDump (const juce::MemoryBlock& data, juce::uint8 model, DumpOptions options = {})
{
    const auto wordCount = data.getSize() / 2;
    Bytes out;
    juce::MidiMessage m;

    buildPatchStart (m, options.bank, options.program, (juce::uint32) wordCount, model);
    append (out, m);
    if (options.secondStart)
        append (out, m);

    juce::uint16 check = 0;
    const auto messages = (wordCount + 63) / 64 - (size_t) options.dropDataMessages;

    for (size_t first = 0; first < messages * 64; first += 64)
    {
        juce::uint16 words[64] = {};
        for (size_t i = 0; i < 64 && first + i < wordCount; ++i)
            words[i] = wordAt (data, first + i);
        buildPatchData (m, words, 64, model);
        append (out, m);
    }

    for (size_t i = 0; i < wordCount; ++i)
        check ^= wordAt (data, i);

    if (options.withEnd)
    {
        buildPatchEnd (m, check ^ options.endXorFlip, model);
        append (out, m);
    }

    return out;
}

// A cab dump whose decoded header holds the name and the format byte.
inline Bytes makeCabDump (juce::uint8 model, juce::uint32 cabNumber, const juce::String& name, juce::uint8 format,
                          bool withEnd = true)
{
    std::vector<juce::uint32> values (2048);
    std::vector<juce::uint8> header (32, 0);

    for (int i = 0; i < name.length() && i < 31; ++i)
        header[(size_t) i] = (juce::uint8) name[i];
    header[31] = format;

    for (size_t i = 0; i < values.size(); ++i)
        values[i] = i < 8 ? (juce::uint32) (header[4 * i] | (header[4 * i + 1] << 8) | (header[4 * i + 2] << 16) |
                                            ((juce::uint32) header[4 * i + 3] << 24))
                          : (juce::uint32) (i * 2654435761u + cabNumber);

    Bytes out;
    juce::MidiMessage m;
    buildCabIrStart (m, cabNumber, 0, model);
    append (out, m);

    for (size_t first = 0; first < values.size(); first += 32)
    {
        buildCabIrData (m, values.data() + first, 32, model);
        append (out, m);
    }

    if (withEnd)
    {
        buildSysExByLayout (m, SYSEX_CABIR_END, irEndLayout, { xorWords32 (values.data(), values.size()) }, model);
        append (out, m);
    }

    return out;
}

inline Bytes makeBundleHeader (juce::uint8 model, juce::uint8 cabFlags)
{
    juce::MidiMessage m;
    buildSysExByLayout (m, SYSEX_PATCH_PLUS_CAB_DUMP, twoByteReplyLayout, { cabFlags, 0 }, model);
    return bytesOf (m);
}

// A bundle: the header, the preset's dump and one cab dump per flag set.
inline Bytes makeBundle (juce::uint8 model, juce::uint8 cabFlags, const juce::String& presetName = "Bundle")
{
    auto out = makeBundleHeader (model, cabFlags);
    append (out, makeDump (makePresetData (model == 3 ? 4096 : 8192, presetName), model));

    for (juce::uint32 cab = 0; cab < 4; ++cab)
        if ((cabFlags >> cab) & 1)
            append (out, makeCabDump (model, cab, "Cab " + juce::String (cab), 0));

    return out;
}
} // namespace dumptest
