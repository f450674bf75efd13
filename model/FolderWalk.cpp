#include "model/FolderWalk.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

namespace
{
// The path a name leads to once every link in it is resolved; empty when it
// leads nowhere.
juce::String resolvedPath (const juce::File& file)
{
    char resolved[PATH_MAX];
    return ::realpath (file.getFullPathName().toRawUTF8(), resolved) != nullptr ? juce::String::fromUTF8 (resolved)
                                                                                : juce::String();
}

bool isLink (const juce::File& file)
{
    struct stat info {};
    return ::lstat (file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISLNK (info.st_mode);
}
} // namespace

FolderWalk::FolderWalk (const juce::File& folder, const juce::String& wildcardToMatch) : wildcard (wildcardToMatch)
{
    root = resolvedPath (folder);

    if (root.isNotEmpty())
        enter (folder);
}

FolderWalk::~FolderWalk() = default;

bool FolderWalk::leadsInside (const juce::File& file) const
{
    if (! isLink (file))
        return true;

    const auto target = resolvedPath (file);
    const auto prefix = root.endsWith ("/") ? root : root + "/";
    return target.isNotEmpty() && (target == root || target.startsWith (prefix));
}

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

        if (! leadsInside (entry.getFile()))
            continue;

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
