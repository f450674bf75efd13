#include "model/FolderWalk.h"

#include "model/ExternalXmlReader.h"
#include "model/FileUtils.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

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

// One folder being read: its entries come from the system as bytes.
struct FolderWalk::OpenFolder
{
    OpenFolder (const juce::File& f, std::string pathBelow)
        : folder (f), below (std::move (pathBelow)), entries (::opendir (f.getFullPathName().toRawUTF8()))
    {
    }

    ~OpenFolder()
    {
        if (entries != nullptr)
            ::closedir (entries);
    }

    juce::File folder;
    std::string below; // its path below the walked folder, "" for that one, else ending in "/"
    DIR* entries;
};

FolderWalk::FolderWalk (const juce::File& folder, const juce::String& wildcardToMatch, bool subfolders,
                        bool ignoreCaseOfNames)
    : wildcard (wildcardToMatch), recursive (subfolders), ignoreCase (ignoreCaseOfNames)
{
    root = resolvedPath (folder);

    if (root.isNotEmpty())
        enter (folder, {});
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

void FolderWalk::enter (const juce::File& folder, const std::string& below)
{
    struct stat info {};

    if (folder.getFullPathName().isEmpty() || ::stat (folder.getFullPathName().toRawUTF8(), &info) != 0
        || ! S_ISDIR (info.st_mode))
        return;

    if (! entered.emplace ((juce::uint64) info.st_dev, (juce::uint64) info.st_ino).second)
        return;

    auto opened = std::make_unique<OpenFolder> (folder, below);
    if (opened->entries != nullptr)
        openFolders.push_back (std::move (opened));
}

bool FolderWalk::next (juce::File& file)
{
    const auto pattern = wildcard.toStdString();

    while (! openFolders.empty())
    {
        auto& current = *openFolders.back();
        const auto* entry = ::readdir (current.entries);

        if (entry == nullptr)
        {
            openFolders.pop_back();
            continue;
        }

        const char* name = entry->d_name;
        if (std::strcmp (name, ".") == 0 || std::strcmp (name, "..") == 0)
            continue;

        const auto raw = current.folder.getFullPathName().toStdString() + "/" + name;
        struct stat info {};
        const bool isFolder = ::stat (raw.c_str(), &info) == 0 && S_ISDIR (info.st_mode);

        if (! ExternalXmlReader::isValidUtf8 (name, std::strlen (name)))
        {
            if ((isFolder && recursive)
                || (! isFolder && ::fnmatch (pattern.c_str(), name, ignoreCase ? FNM_CASEFOLD : 0) == 0))
                unreadable.add (printableBytes ((current.below + name).c_str()));
            continue;
        }

        // Put together by hand: the framework's child of a name that begins
        // with "~" is a home folder ("~", "~user") or a name without its folder.
        const juce::File child (juce::File::addTrailingSeparator (current.folder.getFullPathName())
                                + juce::String::fromUTF8 (name));

        if (! leadsInside (child))
            continue;

        if (isFolder)
        {
            if (recursive)
                enter (child, current.below + name + "/");
            continue;
        }

        if (child.getFileName().matchesWildcard (wildcard, ignoreCase))
        {
            file = child;
            return true;
        }
    }

    return false;
}
