#include "librarian/LibrarianDiskEntry.h"

#include "device/engines/PresetManager.h"
#include "device/wire/CabIrBlock.h"
#include "device/wire/SysExFraming.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"

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
    const bool presets = whole.fileType == SYSEX_FILE_PRESET || whole.fileType == SYSEX_FILE_PRESET_BANK;
    const bool cabs = whole.fileType == SYSEX_FILE_CAB || whole.fileType == SYSEX_FILE_CAB_BANK;

    if (! presets && ! cabs)
    {
        entries.push_back (whole);
        return entries;
    }

    // A file of one kind holds its dumps one after another; each begins
    // with its start message.
    juce::OwnedArray<juce::MemoryBlock> pieces;
    splitSysExAtHeaders (bytes, (juce::uint8) (presets ? SYSEX_PATCH_START : SYSEX_CABIR_START), whole.model, pieces);

    int position = 0;
    for (auto* piece : pieces)
    {
        // Bytes before the first start are no dump.
        if (piece->getSize() <= sysExFunctionOffset
            || static_cast<const juce::uint8*> (piece->getData())[sysExFunctionOffset]
                   != (presets ? SYSEX_PATCH_START : SYSEX_CABIR_START))
            continue;

        auto entry = whole;
        entry.positionInFile = position;
        juce::String ownName;

        // Each dump is checked as a file of one preset or cab is: a damaged
        // one is listed, but cannot be sent.
        juce::MemoryBlock decodedCab;
        const bool checks = presets ? PresetManager::isWholePresetDump (*piece)
                                    : decodeCabIrBlock (piece->getData(), piece->getSize(), decodedCab);

        if (checks)
            entry.data = *piece;
        else
            entry.damaged = true;

        if (presets)
        {
            // One at a time: a dump without a whole name gives none.
            juce::StringArray names;
            collectPresetNames (juce::Array<juce::MemoryBlock> { *piece }, names);
            ownName = names[0];
        }
        else
            getCabIrName (*piece, ownName);

        if (ownName.isNotEmpty())
            entry.name = ownName;
        else if (pieces.size() > 1)
            entry.name << " " << (position + 1);

        entries.push_back (std::move (entry));
        ++position;
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
        default: return "unreadable";
    }
}

juce::String LibrarianDiskEntry::shortKindText (SysExFileType type, FileReadResult result)
{
    if (result != FileReadResult::read)
        return result == FileReadResult::tooLarge ? "Too large" : "Unreadable";

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
