#pragma once

#include "bench/BenchRig.h"
#include "device/DumpTestData.h"
#include "device/wire/PresetCabBundle.h"
#include "device/wire/SysExFiles.h"
#include "support/SimulatedPreset.h"

// Brings a Preset-Cab bundle into the simulated unit as the program does with
// a ".syx" bundle file: a preset named "Bundled" that uses both sides of its
// first cab block, with the cabs "Cab 0" (Cab 1 L) and "Cab 1" (Cab 1 R),
// which land in the first two scratchpads. False when the import failed.
inline bool importTwoCabBundle (bench::ProgramRig& rig)
{
    SimulatedPreset preset;
    if (! preset.placeBlock (1, 108))
        return false;
    preset.name = "Bundled";
    juce::MemoryBlock data;
    for (auto word : preset.toWords())
        data.append (&word, 2);
    auto bytes = dumptest::makeBundleHeader (8, 0x03);
    dumptest::append (bytes, dumptest::makeDump (data, 8));
    dumptest::append (bytes, dumptest::makeCabDump (8, 0, "Cab 0", 0));
    dumptest::append (bytes, dumptest::makeCabDump (8, 1, "Cab 1", 0));
    juce::MemoryBlock file (bytes.data(), bytes.size());
    PatchPlusCabHeader header;
    juce::OwnedArray<juce::MemoryBlock> blocks;
    if (getSysExFileType (file) != SYSEX_FILE_PRESET_CAB || ! parsePresetCabBundle (file, 8, header, blocks))
        return false;
    juce::Array<juce::MemoryBlock> dataBlocks;
    for (auto* block : blocks)
        dataBlocks.add (*block);
    return rig.manager->requestImportPresetCabBundle (header.cabFlags, dataBlocks) &&
           rig.waitForRequest (importPresetCabBundle);
}
