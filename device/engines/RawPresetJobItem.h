#pragma once

#include <juce_core/juce_core.h>

// One preset of a raw preset job, shared between the dialog that fills it and
// the worker thread that handles it. Every field is read and written under
// the item's own lock, one access at a time.
//
// The dialog owns the item and must keep it alive until the worker thread has
// ended. The worker writes only the states stateDone and stateFailed (with a
// reason for the user), the start and finish times; every other state value
// belongs to the dialog.
class RawPresetJobItem
{
public:
    enum State : juce::uint32
    {
        stateDone = 2,
        stateFailed = 3
    };

    RawPresetJobItem() = default;

    // The serialised RawPreset to import (filled by the dialog for imports).
    void setRecordData (const juce::MemoryBlock& data);
    juce::MemoryBlock getRecordData() const;

    // The unit's preset number this item is about.
    void setPresetIndex (juce::uint16 index);
    juce::uint16 getPresetIndex() const;

    // The text the copy job shows for this item.
    void setLabel (const juce::String& text);
    juce::String getLabel() const;

    void setState (juce::uint32 newState);
    juce::uint32 getState() const;

    // Why the item failed, for the user; empty unless the worker gave one.
    void setFailureReason (const juce::String& text);
    juce::String getFailureReason() const;

    // The preset the unit changed to under the item (-1 while it did not),
    // and its name as the unit stores it; or the scene it changed to (-1
    // while it did not). asSaved: it changed as the item's save reached it,
    // which stored that preset in the item's slot, or the item's preset in
    // that scene.
    struct Move
    {
        juce::int32 preset = -1;
        juce::String name;
        juce::int32 scene = -1;
        bool asSaved = false;
    };
    void setMove (const Move& moveMet);
    Move getMove() const;

    // Millisecond counter values.
    void setStartTime (juce::uint32 ms);
    juce::uint32 getStartTime() const;
    void setFinishTime (juce::uint32 ms);
    juce::uint32 getFinishTime() const;

private:
    juce::CriticalSection lock;
    juce::MemoryBlock recordData;
    juce::uint16 presetIndex = 0;
    juce::String label;
    juce::uint32 state = 0;
    juce::String failureReason;
    Move move;
    juce::uint32 startTime = 0;
    juce::uint32 finishTime = 0;

    JUCE_DECLARE_NON_COPYABLE (RawPresetJobItem)
};
