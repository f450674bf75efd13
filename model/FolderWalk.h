#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

// Walks a folder, and when asked every folder below it, for the files whose
// names match a wildcard, depth first, each folder's entries in the order
// the system lists them. Linked folders are followed, but no folder is
// entered twice however it is reached: folders are known by device and
// inode, not by their path, so a link back up the tree (by any spelling of
// the path) ends there instead of being walked again at every level, which
// two such links turn into a walk that never ends. A link that leads out of
// the walked folder (a folder or a file) is not followed at all: a link to
// "/" would have the walk read the whole disk.
//
// The folders are read with the system's own calls: a name that is not
// UTF-8 (written by a system in another encoding) cannot be held by the
// framework's text, so such a file is not given and such a folder is not
// entered; both are kept, as printableBytes shows them, for the user to be
// told.
class FolderWalk
{
public:
    FolderWalk (const juce::File& folder, const juce::String& wildcard, bool subfolders = true,
                bool ignoreCase = ! juce::File::areFileNamesCaseSensitive());
    ~FolderWalk();

    // The next matching file; false once the walk is over.
    bool next (juce::File& file);

    // The matching files and the folders met so far whose names are not
    // UTF-8, by their paths below the walked folder.
    const juce::StringArray& getUnreadableNames() const { return unreadable; }

private:
    struct OpenFolder;

    void enter (const juce::File& folder, const std::string& below);
    // False for a link whose target lies outside the walked folder.
    bool leadsInside (const juce::File& file) const;

    juce::String root; // the walked folder, every link in its path resolved
    juce::String wildcard;
    bool recursive, ignoreCase;
    std::vector<std::unique_ptr<OpenFolder>> openFolders;
    std::set<std::pair<juce::uint64, juce::uint64>> entered;
    juce::StringArray unreadable;

    JUCE_DECLARE_NON_COPYABLE (FolderWalk)
};
