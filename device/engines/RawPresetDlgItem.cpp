#include "device/engines/RawPresetDlgItem.h"

#include "model/CopyBytes.h"

void RawPresetDlgItem::setPresetData (juce::uint16 number, const juce::MemoryBlock& data)
{
    const juce::ScopedLock sl (lock);
    copyBytes (presetData, data);
    presetNumber = number;
    filled = true;
}

void RawPresetDlgItem::setName (const juce::String& newName)
{
    const juce::ScopedLock sl (lock);
    name = newName;
}

juce::MemoryBlock RawPresetDlgItem::getPresetData() const
{
    const juce::ScopedLock sl (lock);
    return presetData;
}

juce::uint16 RawPresetDlgItem::getPresetNumber() const
{
    const juce::ScopedLock sl (lock);
    return presetNumber;
}

juce::String RawPresetDlgItem::getName() const
{
    const juce::ScopedLock sl (lock);
    return name;
}

bool RawPresetDlgItem::isFilled() const
{
    const juce::ScopedLock sl (lock);
    return filled;
}
