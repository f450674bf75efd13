#include "model/FolderWalk.h"

#include <sys/stat.h>

FolderWalk::FolderWalk (const juce::File& folder, const juce::String& wildcardToMatch) : wildcard (wildcardToMatch)
{
    enter (folder);
}

FolderWalk::~FolderWalk() = default;

void FolderWalk::enter (const juce::File& folder)
{
    struct stat info {};

    if (folder.getFullPathName().isEmpty() || ::stat (folder.getFullPathName().toRawUTF8(), &info) != 0
        || ! S_ISDIR (info.st_mode))
        return;

    if (! entered.emplace ((juce::uint64) info.st_dev, (juce::uint64) info.st_ino).second)
        return;

    openFolders.push_back (std::make_unique<juce::RangedDirectoryIterator> (
        folder, false, "*", juce::File::findFilesAndDirectories));
}

bool FolderWalk::next (juce::File& file)
{
    const auto ignoreCase = ! juce::File::areFileNamesCaseSensitive();

    while (! openFolders.empty())
    {
        auto& entries = *openFolders.back();

        if (entries == juce::RangedDirectoryIterator())
        {
            openFolders.pop_back();
            continue;
        }

        const auto entry = *entries;
        ++entries;

        if (entry.isDirectory())
        {
            enter (entry.getFile());
            continue;
        }

        if (entry.getFile().getFileName().matchesWildcard (wildcard, ignoreCase))
        {
            file = entry.getFile();
            return true;
        }
    }

    return false;
}
