#include "model/IdNameTable.h"
#include "model/IdTables.h"

namespace
{
template <typename Row>
const Row* findRow (const Row* table, juce::int32 id)
{
    if (table == nullptr)
        return nullptr;

    for (auto* row = table; row->id != idTableEnd; ++row)
        if (row->id == id)
            return row;

    return nullptr;
}

template <typename Row>
int countRows (const Row* table)
{
    int count = 0;
    if (table != nullptr)
        while (table[count].id != idTableEnd)
            ++count;
    return count;
}
} // namespace

juce::String getNameForId (const IdNameRow* table, juce::uint32 id)
{
    // An id of 0xFFFFFFFF is the terminator's own id and never names a row.
    if (auto* row = findRow (table, (juce::int32) id))
        return juce::String (row->name);

    return {};
}

juce::int32 getIdForName (const IdNameRow* table, const juce::String& name)
{
    if (table == nullptr)
        return -1;

    for (auto* row = table; row->id != idTableEnd; ++row)
        if (name == row->name)
            return row->id;

    return -1;
}

juce::int32 getValueForId (const IdValueRow* table, juce::int32 id)
{
    if (auto* row = findRow (table, id))
        return row->value;

    return -1;
}

bool getPairForId (const IdPairRow* table, juce::int32 id, juce::int32& a, juce::int32& b)
{
    if (auto* row = findRow (table, id))
    {
        a = row->a;
        b = row->b;
        return true;
    }

    return false;
}

int getTableRowCount (const IdNameRow* table)
{
    return countRows (table);
}
int getTableRowCount (const IdValueRow* table)
{
    return countRows (table);
}
int getTableRowCount (const IdPairRow* table)
{
    return countRows (table);
}

void getSortedBlockNames (juce::StringArray& names)
{
    // Sort only the block names, so that whatever the caller already holds
    // keeps its place ahead of them.
    juce::StringArray blockNames;

    for (auto* row = BlockDisplayNames; row->id != idTableEnd; ++row)
        blockNames.add (row->name);

    blockNames.sortNatural();
    names.addArray (blockNames);
}
