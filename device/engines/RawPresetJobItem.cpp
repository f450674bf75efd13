#include "device/engines/RawPresetJobItem.h"

#include "model/CopyBytes.h"

void RawPresetJobItem::setRecordData (const juce::MemoryBlock& data)
{
    const juce::ScopedLock sl (lock);
    copyBytes (recordData, data);
}

juce::MemoryBlock RawPresetJobItem::getRecordData() const
{
    const juce::ScopedLock sl (lock);
    return recordData;
}

void RawPresetJobItem::setPresetIndex (juce::uint16 index)
{
    const juce::ScopedLock sl (lock);
    presetIndex = index;
}

juce::uint16 RawPresetJobItem::getPresetIndex() const
{
    const juce::ScopedLock sl (lock);
    return presetIndex;
}

void RawPresetJobItem::setLabel (const juce::String& text)
{
    const juce::ScopedLock sl (lock);
    label = text;
}

juce::String RawPresetJobItem::getLabel() const
{
    const juce::ScopedLock sl (lock);
    return label;
}

void RawPresetJobItem::setState (juce::uint32 newState)
{
    const juce::ScopedLock sl (lock);
    state = newState;
}

juce::uint32 RawPresetJobItem::getState() const
{
    const juce::ScopedLock sl (lock);
    return state;
}

void RawPresetJobItem::setFailureReason (const juce::String& text)
{
    const juce::ScopedLock sl (lock);
    failureReason = text;
}

juce::String RawPresetJobItem::getFailureReason() const
{
    const juce::ScopedLock sl (lock);
    return failureReason;
}

void RawPresetJobItem::setStartTime (juce::uint32 ms)
{
    const juce::ScopedLock sl (lock);
    startTime = ms;
}

juce::uint32 RawPresetJobItem::getStartTime() const
{
    const juce::ScopedLock sl (lock);
    return startTime;
}

void RawPresetJobItem::setFinishTime (juce::uint32 ms)
{
    const juce::ScopedLock sl (lock);
    finishTime = ms;
}

juce::uint32 RawPresetJobItem::getFinishTime() const
{
    const juce::ScopedLock sl (lock);
    return finishTime;
}

void RawPresetJobItem::setMove (const Move& moveMet)
{
    const juce::ScopedLock sl (lock);
    move = moveMet;
}

RawPresetJobItem::Move RawPresetJobItem::getMove() const
{
    const juce::ScopedLock sl (lock);
    return move;
}
