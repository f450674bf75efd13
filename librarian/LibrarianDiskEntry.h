#pragma once

#include "device/wire/SysExFiles.h"
#include "model/FileUtils.h"

#include <juce_core/juce_core.h>

#include <vector>

// One preset or cab that a ".syx" file on disk holds, as the librarian lists
// it: a single-preset file gives one entry, a bank one entry per preset (or
// cab) it holds, each read for its own model (a bank may mix models). Files
// of other kinds give one entry that cannot be sent, so the user sees why.
struct LibrarianDiskEntry
{
    juce::File file;
    SysExFileType fileType = SYSEX_FILE_UNKNOWN;
    FileReadResult readResult = FileReadResult::read; // how reading the file ended
    juce::uint8 model = 0;   // the model the dump's messages are for
    int positionInFile = 0;  // 0-based, within a bank
    juce::String name;       // the preset's or cab's own name as listed; the file's name when it has none
    bool ownName = false;    // name is the one the dump holds, not the file's
    juce::MemoryBlock data;  // the dump to send; empty for an entry that cannot be sent
    bool damaged = false;    // a dump of the file that does not check: listed, never sent

    bool isPreset() const { return ! data.isEmpty() && (fileType == SYSEX_FILE_PRESET || fileType == SYSEX_FILE_PRESET_BANK); }
    bool isCab() const { return ! data.isEmpty() && (fileType == SYSEX_FILE_CAB || fileType == SYSEX_FILE_CAB_BANK); }

    // Largest file read; a bank of cabs is well below this.
    static constexpr juce::int64 largestFileBytes = 64 << 20;

    // Reads and classifies the file: its presets or cabs, or one entry that
    // says what the file is, or why it was not read.
    static std::vector<LibrarianDiskEntry> read (const juce::File& file);

    // What a file is, as the lists name it: the classifier's text ("Preset
    // File", "<unknown file type>", ...) for a file that was read, otherwise
    // why it was not ("too large to read", "no longer there", "unreadable").
    static juce::String kindText (SysExFileType type, FileReadResult result);
    // The same in a word or two, for a narrow column: "Preset", "Cab-Bank",
    // "Unknown", "Too large", "Gone", "Unreadable".
    static juce::String shortKindText (SysExFileType type, FileReadResult result);

    // The kind text; with the position for a bank, and "(damaged)" for a dump
    // that cannot be sent.
    juce::String describe() const;
};
