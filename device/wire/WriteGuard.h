#pragma once

#include "device/wire/PresetReportLog.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <limits>

class SysExRequest;

// The rule every run of writes to the unit goes by: what it writes is meant
// for the preset the unit plays (its edit buffer, which a save stores), and
// it ends, nothing more going out, once the unit refuses one of its writes or
// changes preset before its last write went out.
//
// The requests of a run carry its guard, and the link judges each by it:
// - as the request goes out: once the unit has reported a change of preset
//   since the run began, the request is not sent (the link ends it as timed
//   out) and the guard stops as moved;
// - when its whole answer is in: a report filed before the answer stops the
//   guard as moved too, since the unit reports a change before it answers a
//   request sent after it: that request met the other preset. A write the
//   unit answers with a status other than success stops it as refused.
//
// A report of the preset meant is a move as well once the run has written to
// its edit buffer: the unit reloaded it, and what was written is gone. For a
// run that stores or reads what the edit buffer holds (a save, an export) it
// is a move from the start: the edit the window shows is gone. Only the
// reports the run itself brings about are no move: that of a slot the run
// recalls (the slot is then the preset meant), of a preset the run pastes,
// of the location a save stores into; each is allowed from the moment it may
// come.
//
// What must go out whatever happened (the unmute of outputs the run muted,
// the questions asked afterwards) goes without the guard.
//
// Thread-safe: judged on the link thread, read by the run's owner.
class WriteGuard
{
public:
    enum class Stop
    {
        none,
        refused,
        moved
    };

    struct State
    {
        Stop stop = Stop::none;
        juce::int32 movedTo = -1; // the preset the unit reported
        juce::uint8 function = 0; // the request that met the stop; 0: one not sent yet
        juce::uint8 refusal = 0;  // the unit's result code
        bool reachedUnit = false; // that request went out (a move met at its answer, or a refusal)
    };

    // Meant for the preset the unit plays; the unit's reports up to number
    // `reportsSeen` of the link's log are older than the run. keepsEdit: the
    // run stores or reads the edit buffer as it stands, so a reload before
    // its first write is a move too.
    WriteGuard (juce::int32 meantPreset, juce::uint32 reportsSeen, bool keepsEdit = false);

    // The run recalls a slot first: nothing is judged by the unit's reports
    // until the unit has answered the recall; the slot is then the preset
    // meant, and its report allowed.
    void awaitRecall();

    // A report of the preset numbered after report `fromReport` of the
    // link's log is no move: one the run brings about.
    void allow (juce::int32 preset, juce::uint32 fromReport);

    //==========================================================================
    // The link's part, with its log of the unit's reports.

    // Whether a request may go out now (the message, when one is about to).
    bool admit (const PresetReportLog& log, const juce::MidiMessage* goingOut = nullptr);

    // A request of the run has its whole answer: the reports filed up to
    // then (its stamp), and what the unit answered.
    void judgeAnswer (const SysExRequest& request, const PresetReportLog& log);

    //==========================================================================
    State getState() const;
    bool isStopped() const;
    bool isAwaitingRecall() const;

    // The preset the writes are meant for (-1 while a recall is awaited).
    juce::int32 getMeant() const;

    // Whether the report of the preset with this number in the link's log
    // is one the run brought about (anything is, while a recall is awaited).
    bool allows (juce::int32 preset, juce::uint32 reportNumber) const;

    // Whether the message changes something on the unit (a query does not,
    // and a query the unit cannot answer is no refused write).
    static bool isWrite (const juce::MidiMessage& message);

private:
    struct Allowed
    {
        juce::int32 preset;
        juce::uint32 fromReport;
        juce::uint32 toReport = std::numeric_limits<juce::uint32>::max();
    };

    void stopAsMoved (juce::int32 movedTo, juce::uint8 function, bool reachedUnit);
    bool isAllowed (juce::int32 preset, juce::uint32 reportNumber) const;
    // The preset of the first report after the baseline up to `until` that
    // the run did not bring about; -1 for none.
    juce::int32 findMove (const PresetReportLog& log, juce::uint32 until) const;

    mutable juce::CriticalSection lock;
    juce::int32 meant = -1;
    juce::Array<Allowed> allowed;
    juce::uint32 baseline = 0;
    bool awaitingRecall = false;
    // A reload of the preset meant before the first write: allowed (index into allowed), until it goes out.
    int reloadBeforeWrites = -1;
    State state;

    JUCE_DECLARE_NON_COPYABLE (WriteGuard)
};
