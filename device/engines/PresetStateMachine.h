#pragma once

#include "device/engines/ZolStateMachine.h"
#include "device/wire/EditRecords.h"
#include "device/wire/ModifierRecords.h"
#include "device/wire/WriteGuard.h"
#include "model/ModifierDumpRecord.h"
#include "model/PresetGrid.h"
#include "model/RawPreset.h"

#include <memory>

// One named request of the preset manager: the script runner plus the
// parameters, work lists and buffers its steps read, and the per-step test
// that decides when a step is done.
//
// Steps that work through a list or a counter stay current (advance leaves
// the cursor where it is) until their list is empty or their counter is back
// at 0; loop_end jumps back behind the nearest loop_start until the loop
// count is reached; wait_patchnum waits for the unit's preset report or the
// settle delay.
//
// The starters set the fields after start(), which clears them. Message
// thread only.
class PresetStateMachine : public ZolStateMachine
{
public:
    static constexpr juce::uint32 settleDelayMs = 2000;
    static constexpr juce::int32 writeModeNothing = 7;
    static constexpr juce::uint16 scratchpadCabReads = 4;

    PresetStateMachine() = default;

    void reset() override;
    void advance() override;

    // Location of a preset slot: 127/127 is the current preset.
    juce::uint8 bank = 0;
    juce::uint8 program = 0;

    juce::uint16 blockId = 0;
    juce::uint16 secondId = 0; // parameter id, or the second layout value
    juce::uint16 value = 0;    // also the bypass value, the tempo, a cab number
    float directValue = 0.0f;
    juce::int32 writeMode = 1;
    juce::uint8 muteValue = 0;
    juce::uint8 graphIndex = 0;
    juce::uint8 channel = 0; // 0 X, 1 Y

    juce::uint8 cell = 0;
    juce::uint8 moveDirection = 0;
    juce::uint8 moveDistance = 0;

    juce::uint16 scene = 0;
    juce::uint16 startingScene = 0;
    juce::uint16 repeatCounter = 0;
    juce::uint16 cabSlot = 0; // also the scratchpad name counter

    juce::int32 layout = 0;
    juce::uint16 layoutValueA = 0;
    juce::uint16 layoutValueB = 0;

    // Work lists, consumed from the front.
    juce::Array<ParamWrite> paramWrites;
    juce::Array<BlockInsert> inserts;
    juce::Array<XYWrite> xyWrites;
    juce::Array<CableConnection> connections;
    juce::Array<ModifierDumpRecord> modifierRecords;
    juce::Array<ModifierWrite> modifierWrites;
    juce::Array<ModifierDirectWrite> modifierDirectWrites;
    juce::Array<juce::uint16> modifierIds;
    juce::Array<SceneBlockState> savedXYStates; // the CSV export's X/Y states

    // Counters of the list-reading steps.
    juce::int32 typeCounter = 0;
    juce::int32 paramIndex = 0;
    juce::int32 modifierIdCounter = 0;
    juce::int32 modifierValueIndex = 0;
    juce::uint8 cellCounter = 0;
    PresetGridIterator gridCursor;

    juce::uint32 loopCounter = 0;
    juce::uint32 loopCount = 0;
    juce::uint8 blockLibScanning = 0;

    // The unit's answers to the run's readings of whole blocks
    // (effect_get_all_params), the last one of each block: read whole and
    // stored, or refused with the unit's result.
    struct BlockRead
    {
        juce::uint16 blockId = 0;
        bool whole = false;
        juce::uint8 refusal = 0; // 0: not refused
    };
    juce::Array<BlockRead> blockReads;

    // The block's answer in this run; null when it had none.
    const BlockRead* findBlockRead (juce::uint16 block) const;
    void noteBlockRead (const BlockRead& read);

    RawPreset rawPreset;
    SceneRecord sceneRecord;
    FootswitchGrid footswitchGrid;
    juce::MemoryBlock data;
    juce::String presetName; // what preset_rename sends; reset leaves it

    // The wait for the unit's preset report (wait_patchnum).
    juce::uint8 delayEnabled = 0;
    juce::uint8 presetNumberArrived = 0;
    juce::uint8 delayTimerStarted = 0;
    juce::uint32 delayStart = 0;
    juce::uint32 delay = 0;

    // A run that muted the outputs and then failed goes on to its unmute
    // step first (the preset manager leads it there), then ends as this says:
    // after a failure it told, the rest of the script (what it reads back)
    // runs to the end code; after a reading the unit refused, it stops as
    // failed (it first puts back the X/Y states it changed to read them);
    // after a reading refused once its writes were done, it goes straight to
    // its end code; after a time-out it stops as timed out on the step that
    // timed out; when the program closes, it stops as cancelled.
    enum class EarlyEnd
    {
        none,
        afterFailure,
        afterRefusedRead,
        afterRefusedRefresh,
        afterTimeOut,
        atClose
    };
    EarlyEnd earlyEnd = EarlyEnd::none;
    juce::int32 timedOutStep = 0;

    // A run that sets scenes and ends early, refused or timed out, on
    // another scene than the one the window showed takes the unit back there
    // first, by its script's own way back (a scene the unit itself changed
    // to is left alone: the window follows it).
    enum class SceneReturn
    {
        none,
        due,
        underWay,
        done
    };
    SceneReturn sceneReturn = SceneReturn::none;
    // The scene the window showed as the first step of a run that addresses
    // a scene went out; -1 for any other run. The unit's states reports up to
    // statesSeenAtStart were followed as the run was started.
    juce::int32 sceneShown = -1;
    juce::uint32 statesSeenAtStart = 0;

    // True once the run has met a failure it told (it may still run, or have
    // ended with its end code).
    bool hasFailed() const
    {
        return earlyEnd == EarlyEnd::afterFailure || earlyEnd == EarlyEnd::afterRefusedRead
               || writeStop.stop != WriteGuard::Stop::none;
    }

    // The unit took one of the run's writes to its preset or scene (a
    // transfer counts once started): what the window shows may be the
    // unit's no longer until the run reads it back.
    bool wrote = false;
    // The unit refused a reading after the run wrote: the preset is read
    // again once the run ends.
    bool readAgainAfterEnd = false;

    // The guard of a run that writes to the unit (see WriteGuard): set at its
    // start by the preset manager; null for a run that only reads, and once
    // the run has met a refusal (what it reads back then goes unguarded).
    std::shared_ptr<WriteGuard> guard;
    // How the run's writes were stopped; Stop::none while they were not.
    WriteGuard::State writeStop;
    // The run's save has gone out (at least once).
    bool saveSent = false;
    // The name of the preset the run's writes are meant for, as the window
    // showed it when the run began.
    juce::String meantName;

    // Whether the outputs are muted by the steps before the cursor: a mute
    // step not yet followed by an unmute.
    bool isMutedBeforeCursor() const;

    // The step's part of the delay: starts the timer when a delay is set.
    void startDelayTimer();

    // Moves the cursor forward to the next step of this id, the current one
    // included; false, the cursor left where it is, when none follows.
    bool skipTo (juce::int32 stepId);

    // Makes wait_patchnum wait for the unit's preset report, at most settleDelayMs.
    void enableSettleDelay()
    {
        delayEnabled = 1;
        delay = settleDelayMs;
    }

private:
    void advanceLoopEnd();
    bool isDelayOver();

    JUCE_DECLARE_NON_COPYABLE (PresetStateMachine)
};
