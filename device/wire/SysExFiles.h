#pragma once

#include <juce_core/juce_core.h>

// ".syx" files are SysEx messages one after another, exactly as the unit
// sends them; nothing in a file names its kind, so it is told by the
// messages it holds.

enum SysExFileType : int
{
    SYSEX_FILE_UNKNOWN = 0,
    SYSEX_FILE_CAB = 1,
    SYSEX_FILE_CAB_BANK = 2,
    SYSEX_FILE_PRESET = 3,
    SYSEX_FILE_PRESET_BANK = 4,
    SYSEX_FILE_SYSTEM = 5,
    SYSEX_FILE_PRESET_CAB = 6,
    SYSEX_FILE_PRESET_CAB_BANK = 7
};

// "Preset File", "Cab-Bank File", ...; "<unknown file type>" for 0 and any
// value out of range.
juce::String getSysExFileTypeText (int type);

// The kind of file the buffer holds. SYSEX_FILE_UNKNOWN unless the buffer
// begins with a header of this maker, and whenever the counts of starts and
// ends do not make up one of the known kinds (a dump cut off before its end
// message, cab dumps mixed into a preset file, another maker's data).
SysExFileType getSysExFileType (const void* bytes, size_t size);
SysExFileType getSysExFileType (const juce::MemoryBlock& buffer);

// Two lines for the "Sysex Information" box: the device (the model's name,
// or "<unknown device>" without a valid header) and the file type.
void getSysExFileInfoText (const void* bytes, size_t size, juce::String& text);

// The title of the box that shows getSysExFileInfoText.
extern const char* const sysExInfoTitle;

// The name a preset dump holds in its first data message, decodeSysExName's
// with its leading and trailing blanks trimmed, every other character as it
// is: what the roads to the unit check, which refuse a character the unit
// cannot store by name. Empty for a dump without one, and for an entry that
// does not hold the whole name.
juce::String getPresetDumpName (const juce::MemoryBlock& dump);

// One name per preset dump of the list, in list order. A dump is its
// SYSEX_PATCH_START (12 bytes) followed by its data messages; entries that do
// not begin with a start are skipped. For every entry that does, its two
// location bytes are appended to banks and programs (when given); the name
// is appended only when the first data message holds the whole name (122
// bytes at least), so a short entry gives no name, never a read past it.
// Each name is getPresetDumpName's: empty for a preset without one, and
// "EMPTY" for one that begins with a control character (below a blank, or
// DEL).
void collectPresetNames (const juce::OwnedArray<juce::MemoryBlock>& dumps, juce::StringArray& names,
                         juce::Array<juce::uint8>* banks = nullptr, juce::Array<juce::uint8>* programs = nullptr);
void collectPresetNames (const juce::Array<juce::MemoryBlock>& dumps, juce::StringArray& names,
                         juce::Array<juce::uint8>* banks = nullptr, juce::Array<juce::uint8>* programs = nullptr);
