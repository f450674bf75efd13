#pragma once

#include <juce_core/juce_core.h>

// The common constant form of every named enumeration: rows of an id and a
// text, ended by a row whose id is -1. Rows need not be in id order and an id
// may repeat; lookups search from the first row and the first match wins.
struct IdNameRow
{
    juce::int32 id;
    const char* name;
};

// Numeric table rows {id, value}, ended by id -1.
struct IdValueRow
{
    juce::int32 id;
    juce::int32 value;
};

// Triple table rows {id, a, b}, ended by id -1.
struct IdPairRow
{
    juce::int32 id;
    juce::int32 a;
    juce::int32 b;
};

constexpr juce::int32 idTableEnd = -1;

// Text of the first row with the id; empty when absent or the table is null.
juce::String getNameForId (const IdNameRow* table, juce::uint32 id);

// Id of the first row whose text equals the name exactly; -1 when absent.
juce::int32 getIdForName (const IdNameRow* table, const juce::String& name);

// Value of the first row with the id; -1 when absent or the table is null.
juce::int32 getValueForId (const IdValueRow* table, juce::int32 id);

// True and both outputs set from the first row with the id; false (outputs
// untouched) when absent or the table is null.
bool getPairForId (const IdPairRow* table, juce::int32 id, juce::int32& a, juce::int32& b);

// Number of rows before the terminator (0 for a null table).
int getTableRowCount (const IdNameRow* table);
int getTableRowCount (const IdValueRow* table);
int getTableRowCount (const IdPairRow* table);

// Appends every block display name, sorted in natural order.
void getSortedBlockNames (juce::StringArray& names);
