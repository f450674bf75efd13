#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

// Walks a folder and every folder below it for the files whose names match
// a wildcard, depth first, each folder's entries in the order the system
// lists them. Linked folders are followed, but no folder is entered twice
// however it is reached: folders are known by device and inode, not by their
// path, so a link back up the tree (by any spelling of the path) ends there
// instead of being walked again at every level, which two such links turn
// into a walk that never ends. A link that leads out of the walked folder
// (a folder or a file) is not followed at all: a link to "/" would have the
// walk read the whole disk.
class FolderWalk
{
public:
    FolderWalk (const juce::File& folder, const juce::String& wildcard);
    ~FolderWalk();

    // The next matching file; false once the walk is over.
    bool next (juce::File& file);

private:
    void enter (const juce::File& folder);
    // False for a link whose target lies outside the walked folder.
    bool leadsInside (const juce::File& file) const;

    juce::String root; // the walked folder, every link in its path resolved
    juce::String wildcard;
    std::vector<std::unique_ptr<juce::RangedDirectoryIterator>> openFolders;
    std::set<std::pair<juce::uint64, juce::uint64>> entered;

    JUCE_DECLARE_NON_COPYABLE (FolderWalk)
};
