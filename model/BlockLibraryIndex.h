#pragma once

#include "model/BlockLibraryEntry.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

// The block library's lookup tables over its entries, so that loading a file
// costs the same with ten entries as with thousands: the names of each effect
// type, the next "(n)" suffix worth trying for each type and base name, and
// the entries by id, by uuid and by file.
//
// Every entry is filed under the keys it had when it was filed. Entries are
// plain records that callers may change once they hold a pointer to one (a
// new entry gets its name after it was created, for example), so the entries
// handed out are checked by refresh() and filed again when a key of theirs
// changed. A changed name or file shows as a different string buffer (a
// juce::String shares its buffer with its copies until it is changed), so the
// check costs a few comparisons per entry handed out; a scan hands out none.
//
// Where several entries share a key, the first in the library's list (the
// order in which they were added) is the one found.
class BlockLibraryIndex
{
public:
    void clear();

    // A new entry, after the entries already filed.
    void add (BlockLibraryEntry* entry);
    void remove (BlockLibraryEntry* entry);

    // The caller holds a pointer to the entry and may change it.
    void noteHandedOut (BlockLibraryEntry* entry);

    // Files again every entry handed out whose keys changed, and this one,
    // which the manager itself changed.
    void refresh();
    void refile (BlockLibraryEntry* entry);

    bool hasName (juce::int32 effectType, const juce::String& name) const;

    // The first of base(1), base(2), ... that no entry of the type has.
    juce::String makeUniqueName (juce::int32 effectType, const juce::String& base);

    BlockLibraryEntry* findById (int entryId) const;
    BlockLibraryEntry* findByUuid (const juce::Uuid& uuid) const;
    BlockLibraryEntry* findByFile (const juce::File& file) const;

private:
    struct StringHash
    {
        size_t operator() (const juce::String& s) const noexcept { return (size_t) s.hashCode64(); }
    };

    struct UuidKey
    {
        explicit UuidKey (const juce::Uuid& uuid);
        bool operator== (const UuidKey& other) const noexcept { return high == other.high && low == other.low; }

        juce::uint64 high = 0, low = 0;
    };

    struct UuidHash
    {
        size_t operator() (const UuidKey& key) const noexcept { return (size_t) (key.high * 31 + key.low); }
    };

    // The keys an entry is filed under, and its place in the list.
    struct Filed
    {
        juce::int32 effectType = 0;
        juce::String name;
        juce::Uuid uuid;
        juce::String path;
        juce::uint16 entryId = 0;
        juce::uint64 order = 0;
    };

    using Entries = std::vector<BlockLibraryEntry*>;
    template <typename Key, typename Hash = std::hash<Key>>
    using Table = std::unordered_map<Key, Entries, Hash>;

    static bool isCurrent (const BlockLibraryEntry& entry, const Filed& keys);
    void file (BlockLibraryEntry* entry, juce::uint64 order);
    void unfile (BlockLibraryEntry* entry);
    void freeName (juce::int32 effectType, const juce::String& name);
    BlockLibraryEntry* first (const Entries* entries) const;

    template <typename Key, typename Hash>
    static const Entries* lookUp (const Table<Key, Hash>& table, const Key& key)
    {
        auto found = table.find (key);
        return found == table.end() ? nullptr : &found->second;
    }

    template <typename Key, typename Hash>
    static void removeFrom (Table<Key, Hash>& table, const Key& key, BlockLibraryEntry* entry);

    std::unordered_map<const BlockLibraryEntry*, Filed> filed;
    std::unordered_map<juce::int32, std::unordered_map<juce::String, int, StringHash>> namesPerType; // with counts
    // All of base(1) to base(next - 1) are known to be taken.
    std::unordered_map<juce::int32, std::unordered_map<juce::String, int, StringHash>> nextSuffix;
    Table<int> byId;
    Table<UuidKey, UuidHash> byUuid;
    Table<juce::String, StringHash> byPath;
    std::unordered_set<BlockLibraryEntry*> handedOut;
    juce::uint64 nextOrder = 0;
};
