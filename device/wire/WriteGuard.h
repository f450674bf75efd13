#pragma once

#include "device/wire/UnitReportLog.h"

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
// A run that addresses a scene of the preset (it sets one, or writes to the
// one the window shows) reads and writes that scene only: a scene it did not
// set is a move too. The unit tells a change of scene only by its unasked
// states report, which it also sends when a block's state changes on it, so
// once such a report came the unit is asked its scene (the link does so
// before the run's next request goes out) and the run ends only when the
// scene is another; every states answer and every scene answer names the
// scene too. A reload of the preset that the run allows puts the unit on
// the scene the preset stores: the unit is asked its scene then as well.
// A run that meets neither asks nothing more.
//
// What must go out whatever happened (the unmute of outputs the run muted,
// the questions asked afterwards) goes without the guard. Once a run's last
// write is answered, its owner may finish the guard: what the unit does
// afterwards no longer stops the run.
//
// Thread-safe: judged on the link thread, read by the run's owner.
class WriteGuard
{
public:
    enum class Stop
    {
        none,
        refused,
        moved,     // to another preset, or the preset meant reloaded
        sceneMoved // to another scene than the run's
    };

    struct State
    {
        Stop stop = Stop::none;
        juce::int32 movedTo = -1; // the preset the unit reported
        juce::uint8 function = 0; // the request that met the stop; 0: one not sent yet
        juce::uint8 refusal = 0;  // the unit's result code
        bool reachedUnit = false; // that request went out (a move met at its answer, or a refusal)
        juce::int32 scene = -1;   // sceneMoved: the run's scene,
        juce::int32 sceneMovedTo = -1; // and the one the unit went to
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

    // The run addresses a scene: `scene` (-1: none until it sets one) and,
    // from then on, each scene it sets. The unit's states reports up to
    // number `statesSeen` are older than that scene.
    void addressScene (juce::int32 scene, juce::uint32 statesSeen);

    // The run's last write is answered: nothing stops it any more (its
    // allowances still tell its own reports).
    void finish();

    //==========================================================================
    // The link's part, with its log of the unit's reports.

    // Whether a request may go out now (the message, when one is about to).
    bool admit (const UnitReportLog& log, const juce::MidiMessage* goingOut = nullptr);

    // Whether the unit must be asked its scene before this message of the
    // run goes out: a states report came since the run's scene was last
    // known, and the message does not ask it itself.
    bool needsSceneCheck (const UnitReportLog& log, const juce::MidiMessage& goingOut) const;

    // A request of the run has its whole answer: the reports filed up to
    // then (its stamps), and what the unit answered.
    void judgeAnswer (const SysExRequest& request, const UnitReportLog& log);

    // The unit's answer to the question of its scene asked for the run;
    // `statesAtAnswer`: the states reports filed by then.
    void judgeScene (juce::int32 scene, juce::uint32 statesAtAnswer);

    //==========================================================================
    State getState() const;
    bool isStopped() const;
    bool isAwaitingRecall() const;
    bool isFinished() const;

    // Whether a request of the run was answered after a states report that
    // no answer of the unit's scene has settled since: it may have met
    // another scene. The run asks the scene before it keeps what it did.
    bool isSceneInDoubt() const;

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
        // Only the first report of the preset after fromReport: the report a
        // recall brings about, which may trail the run's first write.
        bool firstOnly = false;
    };

    void stopAsMoved (juce::int32 movedTo, juce::uint8 function, bool reachedUnit);
    bool isAllowed (juce::int32 preset, juce::uint32 reportNumber) const;
    // The preset of the first report after the baseline up to `until` that
    // the run did not bring about; -1 for none. A recall's trailing report
    // found ends its allowance there.
    juce::int32 findMove (const UnitReportLog& log, juce::uint32 until);
    // The run's first write goes out: a reload of the preset meant loses
    // what is written from now on.
    void endReloadsBeforeWrites (const UnitReportLog& log);
    // The scene the unit answered, with the states reports filed by then;
    // `function`: the request whose answer named it (0: the link's question).
    void settleScene (juce::int32 answered, juce::uint32 statesAtAnswer, juce::uint8 function);

    mutable juce::CriticalSection lock;
    juce::int32 meant = -1;
    juce::Array<Allowed> allowed;
    juce::uint32 baseline = 0;
    bool awaitingRecall = false;
    bool finished = false;
    // A reload of the preset meant before the first write: allowed (index into allowed), until it goes out.
    int reloadBeforeWrites = -1;
    bool recallReportExpected = false; // that allowance is a recall's

    // The scene axis (addressScene): the run's scene (-1: none yet), the
    // states reports it is known past, and the request answered after a
    // later one (function 0: none), which may have met another scene.
    bool addressesScene = false;
    juce::int32 scene = -1;
    juce::uint32 statesBaseline = 0;
    juce::uint8 doubtFunction = 0;
    bool doubtWrote = false;
    // The preset reports looked at (admit); one of them came since the
    // scene was last known.
    juce::uint32 sceneReportsSeen = 0;
    bool sceneAfterReport = false;

    State state;

    JUCE_DECLARE_NON_COPYABLE (WriteGuard)
};
