#include "librarian/LibrarianDiskEntry.h"

#include "device/engines/PresetManager.h"
#include "device/wire/CabIrBlock.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExStreamReader.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"

namespace
{
// One preset or cab dump of a file: its start message and what follows up to
// the next start, whatever the model of each message.
struct Dump
{
    juce::MemoryBlock bytes;
    bool oneModel = true; // every message is of the start's model

    const juce::uint8* data() const { return static_cast<const juce::uint8*> (bytes.getData()); }
    bool isPreset() const { return data()[sysExFunctionOffset] == SYSEX_PATCH_START; }
    juce::uint8 model() const { return data()[sysExModelOffset]; }
};

// Cuts a file before each preset or cab start of any model: a bank may mix
// models, and each of its dumps is then read for its own model. Bytes before
// the first start are no dump.
std::vector<Dump> splitIntoDumps (const juce::MemoryBlock& bytes)
{
    std::vector<Dump> dumps;
    SysExStreamReader reader;

    if (! reader.setData (bytes.getData(), bytes.getSize(), sysExAnyModel))
        return dumps;

    juce::MidiMessage message;

    while (reader.readNextMessage (message))
    {
        const auto* raw = message.getRawData();
        const auto size = message.getRawDataSize();

        if (size > sysExFunctionOffset
            && (raw[sysExFunctionOffset] == SYSEX_PATCH_START || raw[sysExFunctionOffset] == SYSEX_CABIR_START))
            dumps.emplace_back();

        if (dumps.empty())
            continue;

        auto& dump = dumps.back();
        if (! dump.bytes.isEmpty() && raw[sysExModelOffset] != dump.model())
            dump.oneModel = false;
        dump.bytes.append (raw, (size_t) size);
    }

    return dumps;
}
} // namespace

std::vector<LibrarianDiskEntry> LibrarianDiskEntry::read (const juce::File& file)
{
    std::vector<LibrarianDiskEntry> entries;
    LibrarianDiskEntry whole;
    whole.file = file;
    whole.name = file.getFileNameWithoutExtension();

    juce::MemoryBlock bytes;
    whole.readResult = readRegularFile (file, largestFileBytes, bytes);
    if (whole.readResult != FileReadResult::read)
    {
        entries.push_back (whole);
        return entries;
    }

    whole.fileType = getSysExFileType (bytes);
    getSysExModel (bytes.getData(), bytes.getSize(), whole.model);

    if (whole.fileType != SYSEX_FILE_PRESET && whole.fileType != SYSEX_FILE_PRESET_BANK
        && whole.fileType != SYSEX_FILE_CAB && whole.fileType != SYSEX_FILE_CAB_BANK)
    {
        entries.push_back (whole);
        return entries;
    }

    const auto dumps = splitIntoDumps (bytes);
    const bool bank = dumps.size() > 1;

    for (auto& dump : dumps)
    {
        const bool preset = dump.isPreset();
        auto entry = whole;
        entry.positionInFile = (int) entries.size();
        entry.model = dump.model();
        entry.fileType = preset ? (bank ? SYSEX_FILE_PRESET_BANK : SYSEX_FILE_PRESET)
                                : (bank ? SYSEX_FILE_CAB_BANK : SYSEX_FILE_CAB);

        // Each dump is classified and checked as a file of one preset or cab
        // of its model is, and holds no message of another model: a damaged
        // one is listed, but cannot be sent.
        juce::MemoryBlock decodedCab;
        const bool checks = dump.oneModel
                            && getSysExFileType (dump.bytes) == (preset ? SYSEX_FILE_PRESET : SYSEX_FILE_CAB)
                            && (preset ? PresetManager::isWholePresetDump (dump.bytes)
                                       : decodeCabIrBlock (dump.bytes.getData(), dump.bytes.getSize(), decodedCab));

        if (checks)
            entry.data = dump.bytes;
        else
            entry.damaged = true;

        juce::String ownName;
        if (preset)
        {
            // One at a time: a dump without a whole name gives none.
            juce::StringArray names;
            collectPresetNames (juce::Array<juce::MemoryBlock> { dump.bytes }, names);
            ownName = names[0];
        }
        else
            getCabIrName (dump.bytes, ownName);

        entry.ownName = ownName.isNotEmpty();
        if (entry.ownName)
            entry.name = ownName;
        else if (bank)
            entry.name << " " << (entry.positionInFile + 1);

        entries.push_back (std::move (entry));
    }

    if (entries.empty())
        entries.push_back (whole);

    return entries;
}

juce::String LibrarianDiskEntry::kindText (SysExFileType type, FileReadResult result)
{
    switch (result)
    {
        case FileReadResult::read: return getSysExFileTypeText (type);
        case FileReadResult::tooLarge: return "too large to read";
        case FileReadResult::missing: return "no longer there";
        default: return "unreadable";
    }
}

juce::String LibrarianDiskEntry::shortKindText (SysExFileType type, FileReadResult result)
{
    if (result != FileReadResult::read)
        return result == FileReadResult::tooLarge ? "Too large"
               : result == FileReadResult::missing ? "Gone"
                                                   : "Unreadable";

    return type == SYSEX_FILE_UNKNOWN ? "Unknown" : getSysExFileTypeText (type).upToFirstOccurrenceOf (" ", false, false);
}

juce::String LibrarianDiskEntry::describe() const
{
    auto text = kindText (fileType, readResult);

    if (fileType == SYSEX_FILE_PRESET_BANK || fileType == SYSEX_FILE_CAB_BANK)
        text << ", #" << (positionInFile + 1);

    if (damaged)
        text << " (damaged)";

    return text + " - " + file.getFileName();
}
