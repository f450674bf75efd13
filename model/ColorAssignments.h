#pragma once

#include "model/ColorAssignmentGroup.h"

// The colours that the user gave presets in the preset lists, kept by preset
// name, one group per device model. Persisted as "color-assignments.dat"
// beside the settings file.
//
// File form (little-endian): u16 header word, u32 group count, then per group
// a u32 byte length and the group block (see ColorAssignmentGroup::writeTo),
// then one check byte over everything before it.
class ColorAssignments
{
public:
    ColorAssignments() = default;

    juce::uint16 headerWord = 1; // kept as read, so a save writes back what was loaded
    juce::OwnedArray<ColorAssignmentGroup> groups;

    // The colour of the name in the group of that model, or 0.
    juce::uint32 getColorOfName (juce::uint32 modelKey, const juce::String& name) const;

    // The first group of that model, or nullptr.
    ColorAssignmentGroup* findByKey (juce::uint32 modelKey) const;

    // The first group of that model, appended empty when there is none.
    ColorAssignmentGroup& findOrAddGroup (juce::uint32 modelKey);

    void clear();

    // Appends the file form. Always true.
    bool writeTo (juce::MemoryBlock& block) const;

    // Replaces the content with a file's bytes. False when the block is
    // empty, its check byte does not match (the store stays empty), or a
    // group fails to read or runs past the data (the groups read before it
    // stay).
    bool readFrom (const juce::MemoryBlock& block);
    bool readFrom (const void* data, size_t size);

private:
    JUCE_DECLARE_NON_COPYABLE (ColorAssignments)
};
