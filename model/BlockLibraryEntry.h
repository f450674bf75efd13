#pragma once

#include "model/FirmwareStamp.h"
#include "model/ModifierDumpRecord.h"

// One saved effect block of the block library (a ".blk" file): the block's
// raw parameter data and its modifier records, stamped with the unit model
// and firmware it came from.
//
// The file (little-endian, packed): u16 format (1), u16 model id, u8 firmware
// major, u8 minor, 16-byte uuid, i32 effect type, i32 XY state, name and
// second text (each i32 byte length + UTF-8 bytes), i32 parameter data size
// + data, i32 modifier record count + 68-byte records, and one check byte:
// the XOR of every byte before it, AND 0x7F.
//
// Entries are plain data; the raw preset worker builds and writes its own on
// its thread, so nothing here touches the manager or the user interface
// except through the asynchronous UserNotifier.
class BlockLibraryEntry
{
public:
    static constexpr juce::uint16 fileFormat = 1;

    // Block library result codes (see BlockLibraryManager::getErrorText).
    enum ErrorCode
    {
        okay = 0,
        unableToOpen = 1,
        invalidFormat = 2,
        incompatibleVersion = 3,
        badChecksum = 4,
        invalidEffectType = 5,
        invalidXYState = 6,
        deviceMismatch = 7,
        firmwareIncompatible = 8,
        effectTypeIncompatible = 9
    };

    // Effect types below this are blocks that can be stored.
    static constexpr int effectTypeLimit = 43;

    // A new entry: fresh version-4 uuid, XY state 0, no texts, data or file,
    // not modified, time-stamped file name.
    BlockLibraryEntry (int effectType = 0, int modelId = 0, int major = 0, int minor = 0);

    // Gives the entry a fresh random uuid.
    void makeNewUuid();

    // Copies the parameter data; false when there is none.
    bool getParamData (juce::MemoryBlock& out) const;

    // Copies the modifier record at the index; false outside the list.
    bool getModifierRecord (int index, ModifierDumpRecord& out) const;

    // The file form of the entry.
    juce::MemoryBlock toFileData() const;

    // Writes the entry to the file, replacing it only once the new file is
    // complete; the file then becomes the entry's. On failure the old file is
    // untouched, and the error (which names the path and the cause) goes to
    // `error` when one is given, else into a "Block Library Write" warning.
    bool writeToFile (const juce::File& path, juce::String* error = nullptr);

    // Reads a ".blk" file into the entry; returns an ErrorCode. Only a
    // complete, valid file (code 0) changes the entry.
    int read (const juce::File& path);

    // Reads the file form from memory; returns an ErrorCode and changes the
    // entry only on code 0 (the entry's file is left alone).
    int readFromData (const void* data, size_t size);

    FirmwareStamp getStamp() const { return { modelId, firmwareMajor, firmwareMinor }; }

    juce::uint16 format = fileFormat;
    juce::uint16 modelId = 0;
    juce::uint8 firmwareMajor = 0;
    juce::uint8 firmwareMinor = 0;
    juce::Uuid uuid;
    juce::uint16 entryId = 0;     // given when the entry joins the manager
    juce::uint8 modified = 0;     // to be written by the next save
    juce::uint8 addTimestamp = 1; // a new file name gets the time stamp
    juce::File file;              // the file read from or last written to
    juce::int32 effectType = 0;
    juce::int32 xyState = 0; // 0 = X, 1 = Y
    juce::String name;       // unique within an effect type
    juce::String secondText; // carried through unchanged
    juce::String folderText; // subfolder for a new file; empty = the type's name
    juce::MemoryBlock paramData;
    juce::Array<ModifierDumpRecord> modifierRecords;

private:
    JUCE_LEAK_DETECTOR (BlockLibraryEntry)
};
