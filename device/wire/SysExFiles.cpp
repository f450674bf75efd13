#include "device/wire/SysExFiles.h"

#include "device/wire/SysExCodec.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExStreamReader.h"
#include "model/IdNameTable.h"
#include "model/IdTables.h"

namespace
{
const char* const fileTypeTexts[] = {
    "<unknown file type>", "Cab File",    "Cab-Bank File",   "Preset File",
    "Preset-Bank File",    "System File", "Preset-Cab File", "Preset-Cab-Bank File",
};

// Where the name sits in a dump: the first data message follows the 12-byte
// start, and words 2 to 33 (3 septets each) begin at its byte 14.
constexpr size_t patchStartSize = 12;
constexpr size_t firstDataFunctionOffset = patchStartSize + sysExFunctionOffset; // 17
constexpr size_t nameOffset = 26;
constexpr size_t nameSize = 96;

// The location byte that marks a model's system data in a preset start.
bool isSystemLocation (juce::uint8 model, juce::uint8 firstLocation)
{
    return (model == 3 && firstLocation == 3) || ((model == 6 || model == 7) && firstLocation == 6);
}

bool isPresetStart (const juce::MemoryBlock& dump)
{
    return dump.getSize() >= (size_t) sysExHeaderSize
           && static_cast<const juce::uint8*> (dump.getData())[sysExFunctionOffset] == SYSEX_PATCH_START;
}

// The whole name must be there before it is read.
bool holdsWholeName (const juce::MemoryBlock& dump)
{
    return isPresetStart (dump) && dump.getSize() >= nameOffset + nameSize
           && static_cast<const juce::uint8*> (dump.getData())[firstDataFunctionOffset] == SYSEX_PATCH_DATA;
}

void collectName (const juce::MemoryBlock& dump, juce::StringArray& names, juce::Array<juce::uint8>* banks,
                  juce::Array<juce::uint8>* programs)
{
    auto* bytes = static_cast<const juce::uint8*> (dump.getData());
    const auto size = dump.getSize();

    if (! isPresetStart (dump))
        return;

    if (banks != nullptr)
        banks->add (size > 6 ? bytes[6] : 0);

    if (programs != nullptr)
        programs->add (size > 7 ? bytes[7] : 0);

    if (! holdsWholeName (dump))
        return;

    auto name = getPresetDumpName (dump);

    if (name.isNotEmpty() && (name[0] < 0x20 || name[0] == 0x7F))
        name = "EMPTY";

    names.add (name);
}
} // namespace

const char* const sysExInfoTitle = "Sysex Information";

juce::String getPresetDumpName (const juce::MemoryBlock& dump)
{
    if (! holdsWholeName (dump))
        return {};

    // Blanks only: a tab or a newline is a control character like any other,
    // kept where it stands.
    return decodeSysExName (static_cast<const juce::uint8*> (dump.getData()) + nameOffset, nameSize)
        .trimCharactersAtStart (" ")
        .trimCharactersAtEnd (" ");
}

juce::String getSysExFileTypeText (int type)
{
    if (! juce::isPositiveAndBelow (type, (int) juce::numElementsInArray (fileTypeTexts)))
        type = SYSEX_FILE_UNKNOWN;

    return fileTypeTexts[type];
}

SysExFileType getSysExFileType (const juce::MemoryBlock& buffer)
{
    return getSysExFileType (buffer.getData(), buffer.getSize());
}

SysExFileType getSysExFileType (const void* bytes, size_t size)
{
    juce::uint8 model = 0;

    if (bytes == nullptr || ! getSysExModel (bytes, size, model))
        return SYSEX_FILE_UNKNOWN;

    SysExStreamReader reader;
    if (! reader.setData (bytes, size, model))
        return SYSEX_FILE_UNKNOWN;

    int bundles = 0, presetStarts = 0, presetEnds = 0, cabStarts = 0, cabEnds = 0;
    bool system = false;
    juce::MidiMessage message;

    while (reader.readNextMessage (message))
    {
        if (message.getRawDataSize() < sysExHeaderSize)
            continue;

        const auto function = message.getRawData()[sysExFunctionOffset];

        if (function == SYSEX_PATCH_PLUS_CAB_DUMP)
            ++bundles;
        else if (function == SYSEX_PATCH_END)
            ++presetEnds;
        else if (function == SYSEX_CABIR_START)
            ++cabStarts;
        else if (function == SYSEX_CABIR_END)
            ++cabEnds;
        else if (function == SYSEX_SYSTEM_DATA_START)
            system = true;
        else if (function == SYSEX_PATCH_START)
        {
            PatchStartRecord start;
            if (! parsePatchStart (message, start))
                break;

            ++presetStarts;

            if (isSystemLocation (model, start.bank))
                system = true;
        }
    }

    const bool anyCab = cabStarts > 0 || cabEnds > 0;

    if (system)
        return SYSEX_FILE_SYSTEM;
    if (bundles == 1 && presetStarts == 1 && presetEnds == 1)
        return SYSEX_FILE_PRESET_CAB;
    if (bundles >= 2 && presetStarts >= 1 && presetEnds == presetStarts)
        return SYSEX_FILE_PRESET_CAB_BANK;
    if (presetStarts == 1 && presetEnds == 1)
        return anyCab ? SYSEX_FILE_UNKNOWN : SYSEX_FILE_PRESET;
    if (presetStarts >= 2 && presetEnds == presetStarts && ! anyCab)
        return SYSEX_FILE_PRESET_BANK;
    if (presetStarts == 0 && presetEnds == 0 && cabStarts == 1 && cabEnds == 1)
        return SYSEX_FILE_CAB;
    if (presetStarts == 0 && presetEnds == 0 && cabStarts >= 2 && cabEnds == cabStarts)
        return SYSEX_FILE_CAB_BANK;

    return SYSEX_FILE_UNKNOWN;
}

void getSysExFileInfoText (const void* bytes, size_t size, juce::String& text)
{
    juce::uint8 model = 0;
    juce::String device = "<unknown device>";

    if (bytes != nullptr && getSysExModel (bytes, size, model))
        device = getNameForId (ModelNames, model);

    text = "Device:        " + device + "\n" + "File Type:    " + getSysExFileTypeText (getSysExFileType (bytes, size));
}

void collectPresetNames (const juce::OwnedArray<juce::MemoryBlock>& dumps, juce::StringArray& names,
                         juce::Array<juce::uint8>* banks, juce::Array<juce::uint8>* programs)
{
    for (auto* dump : dumps)
        if (dump != nullptr)
            collectName (*dump, names, banks, programs);
}

void collectPresetNames (const juce::Array<juce::MemoryBlock>& dumps, juce::StringArray& names,
                         juce::Array<juce::uint8>* banks, juce::Array<juce::uint8>* programs)
{
    for (auto& dump : dumps)
        collectName (dump, names, banks, programs);
}
