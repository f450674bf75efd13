#pragma once

#include <juce_core/juce_core.h>

// One colour of a preset list and the preset names that carry it.
struct ColorAssignment
{
    juce::uint32 colorKey = 0; // chosen by the preset list; never 0 in a stored entry
    juce::StringArray names;   // distinct, compared case-sensitively
};

// The colour choices of the preset lists of one device model.
//
// A name stands under at most one colour of the group. Entries stay in the
// list when their last name leaves them.
class ColorAssignmentGroup
{
public:
    ColorAssignmentGroup() = default;
    explicit ColorAssignmentGroup (juce::uint32 modelKey)
        : key (modelKey)
    {
    }

    juce::uint32 key = 0; // the device model id of the preset list served
    juce::OwnedArray<ColorAssignment> entries;

    // The first entry of that colour, or nullptr.
    ColorAssignment* findByKey (juce::uint32 colorKey) const;

    // The colour of the first entry that holds the name, or 0.
    juce::uint32 getColorOfName (const juce::String& name) const;

    // Gives the name the colour; colour 0 takes its colour away.
    void assignColor (juce::uint32 colorKey, const juce::String& name);

    // Takes the name out of every entry; true when it stood somewhere.
    bool removeName (const juce::String& name);

    void clear();

    // Appends the group block: key, entry count, the entries, then a check
    // byte over the block. Always true.
    bool writeTo (juce::MemoryBlock& block) const;

    // Replaces the group with one group block. False, with the group left
    // empty and key 0, when the check byte does not match or a count or
    // length runs past the block.
    bool readFrom (const juce::MemoryBlock& block);
    bool readFrom (const void* data, size_t size);

private:
    JUCE_DECLARE_NON_COPYABLE (ColorAssignmentGroup)
};
