#include "model/BlockLibraryIndex.h"

#include <algorithm>
#include <cstring>

namespace
{
juce::String suffixed (const juce::String& base, int n)
{
    return base + "(" + juce::String (n) + ")";
}

// The base and number of a name of the form base(n) as suffixed() builds it.
bool splitSuffix (const juce::String& name, juce::String& base, int& n)
{
    if (! name.endsWithChar (')'))
        return false;

    const auto open = name.lastIndexOfChar ('(');

    if (open < 0)
        return false;

    const auto digits = name.substring (open + 1, name.length() - 1);

    if (digits.isEmpty() || digits.length() > 9 || ! digits.containsOnly ("0123456789"))
        return false;

    n = digits.getIntValue();

    if (n < 1 || juce::String (n) != digits)
        return false;

    base = name.substring (0, open);
    return true;
}

bool sameString (const juce::String& a, const juce::String& b)
{
    return a.getCharPointer().getAddress() == b.getCharPointer().getAddress() || a == b;
}
} // namespace

BlockLibraryIndex::UuidKey::UuidKey (const juce::Uuid& uuid)
{
    std::memcpy (&high, uuid.getRawData(), 8);
    std::memcpy (&low, uuid.getRawData() + 8, 8);
}

void BlockLibraryIndex::clear()
{
    filed.clear();
    namesPerType.clear();
    nextSuffix.clear();
    byId.clear();
    byUuid.clear();
    byPath.clear();
    handedOut.clear();
}

void BlockLibraryIndex::add (BlockLibraryEntry* entry)
{
    file (entry, nextOrder++);
}

void BlockLibraryIndex::remove (BlockLibraryEntry* entry)
{
    unfile (entry);
    handedOut.erase (entry);
}

void BlockLibraryIndex::noteHandedOut (BlockLibraryEntry* entry)
{
    if (entry != nullptr)
        handedOut.insert (entry);
}

void BlockLibraryIndex::refresh()
{
    for (auto* entry : handedOut)
        refile (entry);
}

void BlockLibraryIndex::refile (BlockLibraryEntry* entry)
{
    auto found = filed.find (entry);

    if (found == filed.end() || isCurrent (*entry, found->second))
        return;

    const auto order = found->second.order;
    unfile (entry);
    file (entry, order);
}

bool BlockLibraryIndex::hasName (juce::int32 effectType, const juce::String& name) const
{
    auto type = namesPerType.find (effectType);
    return type != namesPerType.end() && type->second.count (name) > 0;
}

juce::String BlockLibraryIndex::makeUniqueName (juce::int32 effectType, const juce::String& base)
{
    auto& next = nextSuffix[effectType][base];
    int n = std::max (next, 1);

    while (hasName (effectType, suffixed (base, n)))
        ++n;

    next = n;
    return suffixed (base, n);
}

BlockLibraryEntry* BlockLibraryIndex::findById (int entryId) const
{
    return first (lookUp (byId, entryId));
}

BlockLibraryEntry* BlockLibraryIndex::findByUuid (const juce::Uuid& uuid) const
{
    return first (lookUp (byUuid, UuidKey (uuid)));
}

BlockLibraryEntry* BlockLibraryIndex::findByFile (const juce::File& fileToFind) const
{
    const auto& path = fileToFind.getFullPathName();
    return path.isEmpty() ? nullptr : first (lookUp (byPath, path));
}

//==============================================================================
bool BlockLibraryIndex::isCurrent (const BlockLibraryEntry& entry, const Filed& keys)
{
    return entry.effectType == keys.effectType && entry.entryId == keys.entryId && entry.uuid == keys.uuid &&
           sameString (entry.name, keys.name) && sameString (entry.file.getFullPathName(), keys.path);
}

BlockLibraryEntry* BlockLibraryIndex::first (const Entries* entries) const
{
    if (entries == nullptr || entries->empty())
        return nullptr;

    return *std::min_element (entries->begin(), entries->end(),
                              [this] (const BlockLibraryEntry* a, const BlockLibraryEntry* b)
                              { return filed.at (a).order < filed.at (b).order; });
}

void BlockLibraryIndex::file (BlockLibraryEntry* entry, juce::uint64 order)
{
    Filed keys{ entry->effectType, entry->name, entry->uuid, entry->file.getFullPathName(), entry->entryId, order };

    ++namesPerType[keys.effectType][keys.name];
    byId[(int) keys.entryId].push_back (entry);
    byUuid[UuidKey (keys.uuid)].push_back (entry);

    if (keys.path.isNotEmpty())
        byPath[keys.path].push_back (entry);

    filed[entry] = std::move (keys);
}

void BlockLibraryIndex::unfile (BlockLibraryEntry* entry)
{
    auto found = filed.find (entry);

    if (found == filed.end())
        return;

    const auto& keys = found->second;
    freeName (keys.effectType, keys.name);
    removeFrom (byId, (int) keys.entryId, entry);
    removeFrom (byUuid, UuidKey (keys.uuid), entry);

    if (keys.path.isNotEmpty())
        removeFrom (byPath, keys.path, entry);

    filed.erase (found);
}

void BlockLibraryIndex::freeName (juce::int32 effectType, const juce::String& name)
{
    auto type = namesPerType.find (effectType);

    if (type == namesPerType.end())
        return;

    auto held = type->second.find (name);

    if (held == type->second.end() || --held->second > 0)
        return;

    type->second.erase (held);

    // The name is free again: the next unique name of its base must find it.
    juce::String base;
    int n = 0;

    if (! splitSuffix (name, base, n))
        return;

    auto bases = nextSuffix.find (effectType);

    if (bases == nextSuffix.end())
        return;

    auto next = bases->second.find (base);

    if (next != bases->second.end() && next->second > n)
        next->second = n;
}

template <typename Key, typename Hash>
void BlockLibraryIndex::removeFrom (Table<Key, Hash>& table, const Key& key, BlockLibraryEntry* entry)
{
    auto found = table.find (key);

    if (found == table.end())
        return;

    auto& list = found->second;
    list.erase (std::remove (list.begin(), list.end(), entry), list.end());

    if (list.empty())
        table.erase (found);
}
