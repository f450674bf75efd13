#pragma once

#include <juce_core/juce_core.h>

// Small stateless helpers for files and names used all over the program.

// Full path of the folder that holds the running program, without a trailing
// separator (follows UserFolders, so tests can move it).
juce::String getExecutableFolder();

// Writes a memory block to a file, creating its folder when needed and
// replacing an existing file only once the new data is completely written.
// Returns an error text; empty means success.
juce::String saveDataToFile (const juce::String& path, const juce::MemoryBlock& data);

// How readRegularFile ended.
enum class FileReadResult
{
    read,       // data holds the whole file
    missing,    // nothing is there
    notAFile,   // a folder, FIFO, device or socket: never read
    tooLarge,   // more than the limit, by its size or by what reading found
    unreadable  // it could not be opened or read
};

// Reads a whole regular file of at most maxBytes bytes into data (emptied
// first, and left empty unless the result is read). A FIFO or a device
// reports no size and may never end or never answer, so only regular files
// are opened, and reading stops past the limit whatever size was reported.
FileReadResult readRegularFile (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& data);

// True when file names a regular file (through links): no folder, FIFO,
// device or socket.
bool isRegularFile (const juce::File& file);

// A name from the system (a file name, an environment variable), whatever
// its bytes, as a terminal or a message may show it: every byte that is not
// printable ASCII, and the quote and backslash, written as an escape ("\n",
// "\x1b", "\xe9"), so that a control character or an escape sequence in it
// is seen and never acted on.
juce::String printableBytes (const char* bytes);

// A file name made from a text such as one of the unit's preset names:
// without control characters and the characters a file name cannot hold.
juce::String makeLegalFileName (const juce::String& text);

// Finds a name for a new file in folder: base name, an optional time stamp
// "_YYYYMMDD_HHMMSS", a counter "(1)" .. "(999)" when needed, and the
// extension (given with its dot). A name is free only when nothing of that
// name is there, not even a link whose target is gone. False when base name and extension are both
// empty, the folder is not given, or 1000 candidates are all taken; outPath
// is then left untouched.
bool makeUniqueFilePath (const juce::File& folder, const juce::String& baseName, const juce::String& extension,
                         bool addTimestamp, juce::String& outPath);

// True when text is not empty and holds only ASCII digits (at least one),
// plus at most one '.' when allowDecimalPoint, and a leading '+' or '-' when
// allowSign.
bool isNumericText (const juce::String& text, bool allowSign, bool allowDecimalPoint);

// Fills a 32-byte name field the way the unit stores names: blank padded,
// up to 32 characters each masked to 7 bits, no terminator. False only when
// field is null.
bool copyNameToField (const juce::String& text, char* field);

// True when every character of text is one a name on the unit holds, those
// of unitNameCharacters(): the set every name from a file or the clipboard
// is checked against before it reaches the unit.
bool nameFieldKeepsCharacters (const juce::String& text);

// The characters a name typed for the unit may hold: the printable ASCII
// ones, blank to tilde. The name fields accept only these.
juce::String unitNameCharacters();

// The name as a message shows it: a control character (below a blank, DEL,
// 0x80 to 0x9F) and U+FFFE/U+FFFF written as an escape, \x07 or \uFFFF.
juce::String printableName (const juce::String& name);

// Why a name is refused on its way to the unit: "Its name holds characters
// the Kestrel cannot store in a name: " and each character outside
// unitNameCharacters() once, in the order met, printable, then ".".
juce::String unstorableNameText (const juce::String& name);

// The box that tells a preset was not sent: "Unable to send "<name>".", why,
// and "Nothing was sent to the Kestrel.", each on a line; the name printable.
juce::String unsentPresetText (const juce::String& name, const juce::String& why);

// Zeroes a 16-byte name field.
void clearName16 (char* field);

// Appends count texts prefix + number + suffix for the numbers first ..
// first + count - 1, each number zero-padded to the digit count of count
// (count 100 gives "001" .. "100" for first 1). Nothing for count <= 0.
void makeNumberedNames (int first, int count, const juce::String& prefix, const juce::String& suffix,
                        juce::StringArray& names);

// Appends the runs of text whose characters share a class (ASCII letter,
// digit, blank, punctuation). Any other character never ends a run.
void splitAtCharClassChanges (const juce::String& text, juce::StringArray& pieces);

// True for the abbreviations that title casing leaves alone (exact match).
bool isKeptAbbreviation (const juce::String& word);

// Rewrites one of the unit's upper-case effect or cab names in title case,
// keeping its abbreviations, unit suffixes and ordinals readable.
void toTitleCaseName (juce::String& name);
