#include "model/BlockLibraryEntry.h"

#include "model/ByteReader.h"
#include "model/ByteWriter.h"
#include "model/Checksum.h"
#include "model/FileUtils.h"
#include "model/SafeFileWrite.h"
#include "model/UserNotifier.h"

namespace
{
// A block is a few kilobytes; anything far larger is not a block file and is
// not loaded into memory.
constexpr juce::int64 maxBlockFileBytes = 16 * 1024 * 1024;

constexpr juce::uint32 maxTextBytes = 64 * 1024;

// format, model, major, minor, uuid, effect type, XY state
constexpr size_t headerBytes = 2 + 2 + 1 + 1 + 16 + 4 + 4;
} // namespace

BlockLibraryEntry::BlockLibraryEntry (int type, int model, int major, int minor)
    : modelId ((juce::uint16) model)
    , firmwareMajor ((juce::uint8) major)
    , firmwareMinor ((juce::uint8) minor)
    , effectType (type)
{
}

void BlockLibraryEntry::makeNewUuid()
{
    uuid = juce::Uuid();
}

bool BlockLibraryEntry::getParamData (juce::MemoryBlock& out) const
{
    if (paramData.isEmpty())
        return false;

    out = paramData;
    return true;
}

bool BlockLibraryEntry::getModifierRecord (int index, ModifierDumpRecord& out) const
{
    if (! juce::isPositiveAndBelow (index, modifierRecords.size()))
        return false;

    out = modifierRecords.getReference (index);
    return true;
}

juce::MemoryBlock BlockLibraryEntry::toFileData() const
{
    juce::MemoryBlock data;
    ByteWriter writer (data);

    writer.writeU16 (format);
    writer.writeU16 (modelId);
    writer.writeU8 (firmwareMajor);
    writer.writeU8 (firmwareMinor);
    writer.writeBytes (uuid.getRawData(), 16);
    writer.writeI32 (effectType);
    writer.writeI32 (xyState);
    writer.writeText (name);
    writer.writeText (secondText);
    writer.writeI32 ((juce::int32) paramData.getSize());
    writer.writeBytes (paramData.getData(), paramData.getSize());
    writer.writeI32 (modifierRecords.size());

    for (auto& record : modifierRecords)
        writer.writeBytes (record.bytes, ModifierDumpRecord::size);

    appendCheckByte (data);
    return data;
}

bool BlockLibraryEntry::writeToFile (const juce::File& path, juce::String* error)
{
    const auto problem = writeFileSafely (path, toFileData());

    if (problem.isNotEmpty())
    {
        if (error != nullptr)
            *error = problem;
        else
            UserNotifier::warn (problem, "Block Library Write");
        return false;
    }

    file = path;
    return true;
}

int BlockLibraryEntry::read (const juce::File& path)
{
    // Only a regular file is opened: a FIFO named like a block file would
    // keep the program waiting for a writer.
    juce::MemoryBlock data;

    switch (readRegularFile (path, maxBlockFileBytes, data))
    {
        case FileReadResult::read: break;
        case FileReadResult::unreadable: return unableToOpen;
        case FileReadResult::missing:
        case FileReadResult::notAFile:
        case FileReadResult::tooLarge: return invalidFormat;
    }

    const auto result = readFromData (data.getData(), data.getSize());

    if (result == okay)
        file = path;

    return result;
}

int BlockLibraryEntry::readFromData (const void* data, size_t size)
{
    if (data == nullptr || size == 0)
        return invalidFormat;

    auto* bytes = static_cast<const juce::uint8*> (data);

    if (! hasValidCheckByte (bytes, size))
        return badChecksum;

    // Everything lies before the check byte; a field that does not fit there
    // means the file is damaged.
    ByteReader reader (bytes, size - 1);

    if (! reader.require (headerBytes))
        return invalidFormat;

    const auto fileFormatWord = reader.readU16();

    if (fileFormatWord != fileFormat)
        return incompatibleVersion;

    const auto fileModel = reader.readU16();
    const auto fileMajor = reader.readU8();
    const auto fileMinor = reader.readU8();

    juce::uint8 uuidBytes[16];
    reader.readBytes (uuidBytes, sizeof (uuidBytes));

    const auto fileType = reader.readI32();
    const auto fileXY = reader.readI32();
    const auto fileName = reader.readText (maxTextBytes);
    const auto fileSecondText = reader.readText (maxTextBytes);

    if (! reader.ok() || ! reader.require (4))
        return invalidFormat;

    const auto dataSize = reader.readI32();

    if (dataSize < 0 || ! reader.require ((size_t) dataSize))
        return invalidFormat;

    juce::MemoryBlock fileData (reader.current(), (size_t) dataSize);
    reader.skip ((size_t) dataSize);

    if (! reader.require (4))
        return invalidFormat;

    const auto recordCount = reader.readI32();

    if (recordCount < 0 || ! reader.canHold ((juce::uint64) recordCount, ModifierDumpRecord::size))
        return invalidFormat;

    juce::Array<ModifierDumpRecord> fileRecords;
    fileRecords.resize (recordCount);

    for (auto& record : fileRecords)
        reader.readBytes (record.bytes, ModifierDumpRecord::size);

    if (! reader.ok())
        return invalidFormat;

    if (fileType < 0 || fileType >= effectTypeLimit || (fileXY != 0 && fileXY != 1))
        return invalidFormat;

    format = fileFormatWord;
    modelId = fileModel;
    firmwareMajor = fileMajor;
    firmwareMinor = fileMinor;
    uuid = juce::Uuid (uuidBytes);
    effectType = fileType;
    xyState = fileXY;
    name = fileName;
    secondText = fileSecondText;
    folderText.clear();
    paramData = std::move (fileData);
    modifierRecords = std::move (fileRecords);
    return okay;
}
