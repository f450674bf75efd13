#pragma once

#include <juce_core/juce_core.h>

// One queued preset of the raw preset import and export dialog: the preset's
// raw data, its number, its name and whether the data has been filled in.
// Every field is read and written under the item's own lock, one access at a
// time, so the dialog and a worker may share it.
class RawPresetDlgItem
{
public:
    RawPresetDlgItem() = default;

    // Copies the data in, stores the number and marks the item filled.
    void setPresetData (juce::uint16 number, const juce::MemoryBlock& data);
    void setName (const juce::String& newName);

    juce::MemoryBlock getPresetData() const;
    juce::uint16 getPresetNumber() const;
    juce::String getName() const;
    bool isFilled() const;

private:
    juce::CriticalSection lock;
    juce::MemoryBlock presetData;
    juce::uint16 presetNumber = 0;
    juce::String name;
    bool filled = false;

    JUCE_DECLARE_NON_COPYABLE (RawPresetDlgItem)
};
