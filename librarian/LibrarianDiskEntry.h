#pragma once

#include "device/wire/SysExFiles.h"

#include <juce_core/juce_core.h>

#include <vector>

// One preset or cab that a ".syx" file on disk holds, as the librarian lists
// it: a single-preset file gives one entry, a bank one entry per preset (or
// cab) it holds. Files of other kinds give one entry that cannot be sent, so
// the user sees why.
struct LibrarianDiskEntry
{
    juce::File file;
    SysExFileType fileType = SYSEX_FILE_UNKNOWN;
    int positionInFile = 0;  // 0-based, within a bank
    juce::String name;       // the preset's or cab's own name; the file's name when it has none
    juce::MemoryBlock data;  // the dump to send; empty for an entry that cannot be sent
    bool damaged = false;    // a dump of the file that does not check: listed, never sent

    bool isPreset() const { return ! data.isEmpty() && (fileType == SYSEX_FILE_PRESET || fileType == SYSEX_FILE_PRESET_BANK); }
    bool isCab() const { return ! data.isEmpty() && (fileType == SYSEX_FILE_CAB || fileType == SYSEX_FILE_CAB_BANK); }

    // Largest file read; a bank of cabs is well below this.
    static constexpr juce::int64 largestFileBytes = 64 << 20;

    // Reads and classifies the file: its presets or cabs, or one entry that
    // says what the file is (an unreadable file is "<unknown file type>").
    static std::vector<LibrarianDiskEntry> read (const juce::File& file);

    // "Preset File", "Cab-Bank File", ...; with the position for a bank, and
    // "(damaged)" for a dump that cannot be sent.
    juce::String describe() const;
};
