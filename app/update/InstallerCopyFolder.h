#pragma once

#include <juce_core/juce_core.h>

// The folders the program makes in the temporary folder to start a verified
// installer from: each made afresh, entered by this user only, and marked as
// the program's own when it is made. Only such a folder is ever removed: its
// name is "kestrel-installer-" and six letters or digits, it belongs to this
// user, and it holds the mark made for that very folder. The walk that
// removes it goes through descriptors that never follow a link, so neither a
// user's folder named like ours nor anything a link leads to is touched, even
// when others may rename entries of the temporary folder during the walk.
class InstallerCopyFolder
{
public:
    static constexpr const char* namePrefix = "kestrel-installer-";

    // Writes bytes as an executable file of that name into a new marked
    // folder of the temporary folder; the file, or none when it could not be
    // written (the folder then goes again).
    static juce::File writeCopy (const juce::MemoryBlock& bytes, const juce::String& fileName);

    // Removes the folder of a copy that writeCopy made, with what it holds.
    static void removeCopy (const juce::File& copy);

    // Removes every folder writeCopy made in the temporary folder, and nothing else.
    static void removeEarlierCopies();
};
