// A ".syx" file as the importers, the disk browser and the librarian read it:
// classification, description, preset names, bundles, preset and cab dumps.
#include "device/wire/CabIrBlock.h"
#include "device/wire/PatchDump.h"
#include "device/wire/PresetCabBundle.h"
#include "device/wire/SysExFiles.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExStreamReader.h"
#include "device/wire/TransferRecords.h"
#include "model/IdTables.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    getSysExFileType (data, size);
    juce::String text;
    getSysExFileInfoText (data, size, text);

    // Every counted message is read, whatever the model filter.
    for (juce::uint8 model : { (juce::uint8) 8, sysExAnyModel, sysExAnySysEx })
    {
        SysExStreamReader reader;
        reader.setData (data, size, model);
        int read = 0;
        juce::MidiMessage message;
        while (reader.readNextMessage (message))
            ++read;
        if (read != reader.countMessages())
            std::abort();
    }

    juce::uint8 model = 0;
    if (! getSysExModel (data, size, model))
        model = 8;

    PatchDump dump;
    if (dump.parse (data, size, model))
    {
        juce::MemoryBlock out;
        if (dump.convertForModel6or7 (1))
            dump.build (out);
        if (dump.convertForModel3())
            dump.build (out);
        juce::String name;
        dump.getPresetName (name);
    }

    PatchPlusCabHeader header;
    juce::OwnedArray<juce::MemoryBlock> blocks;
    parsePresetCabBundle (data, size, model, header, blocks);

    juce::OwnedArray<juce::MemoryBlock> pieces;
    splitSysExAtHeaders (data, size, SYSEX_PATCH_START, model, pieces);
    juce::StringArray names;
    juce::Array<juce::uint8> banks, programs;
    collectPresetNames (pieces, names, &banks, &programs);

    juce::MemoryBlock retagged, decoded;
    retagSysExModel (data, size, 7, retagged);
    decodeCabIrBlock (data, size, decoded);
    juce::MemoryBlock whole (data, size);
    juce::uint8 format = 0;
    getCabIrFormatByte (whole, format);
    getCabIrName (whole, text);
    return 0;
}
