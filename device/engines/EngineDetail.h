#pragma once

#include "device/wire/UnitReplies.h"
#include "model/ModifierDumpRecord.h"
#include "model/UnitIds.h"

#include <juce_core/juce_core.h>

// Constants and small helpers shared by the source files of the device and
// preset managers.
namespace EngineDetail
{
inline constexpr int bypassParamId = 255;
// Effect types 1 to this one are read for their definitions.
inline constexpr int lastEffectType = 42;
inline constexpr int tempoParamId = 32;
inline constexpr int tempoToUseParamId = 33;
inline constexpr juce::uint16 ampBlock1 = 106;
inline constexpr juce::uint16 ampBlock2 = 107;

inline constexpr juce::uint16 cabBlock1 = 108;
inline constexpr juce::uint16 cabBlock2 = 109;

inline bool isEffectBlock (int blockId)
{
    return blockId >= firstBlockInstanceId && blockId <= lastBlockInstanceId;
}

inline void writeWord32 (ModifierDumpRecord& record, int index, juce::uint32 value)
{
    auto* b = record.bytes + index * 4;
    b[0] = (juce::uint8) (value & 0xFF);
    b[1] = (juce::uint8) ((value >> 8) & 0xFF);
    b[2] = (juce::uint8) ((value >> 16) & 0xFF);
    b[3] = (juce::uint8) ((value >> 24) & 0xFF);
}

inline ModifierDumpRecord readdressed (ModifierDumpRecord record, juce::uint16 blockId)
{
    writeWord32 (record, 0, blockId);
    return record;
}

// Writes a name into a 32-byte preset name field, cut to 31 bytes and
// terminated.
inline void copyNameInto (char* field, const juce::String& name)
{
    std::memset (field, 0, PresetNameRecord::nameSize);
    name.substring (0, PresetNameRecord::nameSize - 1)
        .copyToUTF8 (field, PresetNameRecord::nameSize); // at most 31 bytes and the terminator
    field[PresetNameRecord::nameSize - 1] = 0;
}
} // namespace EngineDetail
