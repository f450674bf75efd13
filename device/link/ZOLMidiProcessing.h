#pragma once

#include "device/link/MidiPortPair.h"
#include "device/link/SysExRequestQueue.h"
#include "device/wire/ModifierRecords.h"
#include "device/wire/UnitReportLog.h"
#include "device/wire/SysExRequest.h"
#include "device/wire/UnitReplies.h"
#include "device/wire/WriteGuard.h"
#include "model/Singleton.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <functional>
#include <memory>

// The one link between the program and the unit.
//
// It owns the MIDI ports (MidiPortPair), a thread of its own that sends the
// queued requests one at a time and files the unit's answers into them, and
// the mailboxes in which it leaves the unit's unsolicited messages for the
// message thread to collect. A 2000 ms timer on the message thread refreshes
// the device lists.
//
// The link thread passes every millisecond while a request is in flight and
// otherwise sleeps until new input, a queued request or the next port check
// wakes it.
//
// Threads: the driver's (input callback only), the link thread (run, or
// processPass and checkPorts called directly by tests) and the message thread
// (everything else).
class ZOLMidiProcessing : public Singleton<ZOLMidiProcessing>, private juce::Thread, private juce::Timer
{
public:
    // The program reaches the link through getInstance(); tests may construct
    // their own.
    ZOLMidiProcessing();
    ~ZOLMidiProcessing() override;

    //==========================================================================
    // Ports (message thread).
    MidiPortPair& getPorts() { return ports; }
    juce::StringArray getMidiInputNames() const { return ports.getInputNames(); }
    juce::StringArray getMidiOutputNames() const { return ports.getOutputNames(); }

    // Keeps the names of the open ports for the watchdog, sets the present
    // flags and starts the link thread; false (nothing started) when neither
    // port is open. Tests that drive processPass by hand pass false to get
    // everything but the thread.
    bool startProcessing (bool startLinkThread = true);

    // Stops the link thread (waiting up to 5000 ms) and clears both present
    // flags. Every request still queued or in flight is ended as timed out
    // (state 2, busy cleared), so that no owner waits for it forever.
    void stopProcessing();

    // Stops processing and closes both ports; true when either was open.
    bool closePorts();

    bool isConnected() const { return inputPresent.load() && outputPresent.load(); }
    bool isInputPresent() const { return inputPresent.load(); }
    bool isOutputPresent() const { return outputPresent.load(); }
    bool isProcessing() const { return isThreadRunning(); }

    //==========================================================================
    // Requests (any thread).

    // Sets the request's busy flag and appends it to the out-queue; false for
    // null, or for a request that the link already holds.
    bool queueRequest (SysExRequest* request);

    // Hands over a request whose owner goes away while the link may still
    // hold it: the link deletes it when it lets go of it (at once when it
    // does not hold it, or when it is still waiting in the out-queue).
    void releaseRequest (SysExRequest* request);

    // Called on the link thread after a pass that took input from the unit
    // or let go of a request (answered or timed out), and when a port comes
    // or goes: the message thread has something to collect. Held under a
    // lock while it runs, so keep it short (post a message); empty for none.
    void setActivityCallback (std::function<void()> callback);

    // While the hold flag is set, nothing is taken from the out-queue.
    void setHold (bool shouldHold);
    bool isHeld() const { return hold.load(); }

    // Marks that the next preset change was asked for by the editor; only
    // takePresetChange clears it.
    void setPresetChangeRequested (bool requested);

    // Makes the next SYSEX_RESYNC from the unit be swallowed (set right after
    // a scene change is queued).
    void setResyncSkipNext (bool skip);

    //==========================================================================
    // Mailboxes (message thread). Each take gives false at once when nothing
    // new arrived (or the out pointer is null); otherwise it copies the
    // content out, clears the flag and gives true. A newer message overwrites
    // an untaken older one.
    bool takeTunerData (TunerReading* out);
    bool hasTunerData() const { return tunerMailbox.fresh.load(); }
    bool takeLooperState (LooperState* out);
    bool takeKnobBroadcast (KnobBroadcast* out);
    bool takeModifierBroadcast (ModifierBroadcast* out);

    // The preset number that the unit reported on its own. When editorAsked
    // is given it receives the mark of setPresetChangeRequested; the mark is
    // cleared in any case.
    bool takePresetChange (PresetNumberRecord* out, bool* editorAsked = nullptr);
    // Whether such a number waits to be taken.
    bool hasPresetChange() const { return presetMailbox.fresh.load(); }

    // How many of those numbers the link has filed since it was made, the
    // last one (-1: none yet), and how many of them had been filed when
    // takePresetChange last took one (a newer report overwrites an untaken
    // older one, so every report up to that count was seen or overtaken).
    // Every request is stamped with the count as it is sent and as it is
    // completed (SysExRequest::setPresetReportsAtAnswer), so that the unit's
    // report of a change made before it answered can be told from one made
    // after.
    // `states`: how many reports of its states the unit sent unasked (see
    // UnitReportLog); requests are stamped with it as they are completed.
    struct PresetReports
    {
        juce::uint32 count = 0;
        juce::int32 last = -1;
        juce::uint32 taken = 0;
        juce::uint32 states = 0;
    };
    PresetReports getPresetReports() const;

    // The preset of the first report filed after report number `since` that
    // names none of the allowed presets; -1 when there is none.
    juce::int32 findPresetReportOutside (juce::uint32 since, const juce::Array<juce::int32>& allowed) const;

    // Judges the guard by the reports filed so far, as the link does before
    // it sends one of the guard's requests: false (the guard stopped) once
    // the unit has reported another preset than the one its writes are for.
    bool admits (WriteGuard& guard);

    // Before a request of a run that addresses a scene goes out while the
    // unit may have changed scene (WriteGuard::needsSceneCheck), the link
    // asks the unit its scene (SYSEX_SET_SCENE asking, as 127) and hands the
    // answer to the guard; the request then goes out, or not, as the guard
    // judges. A question that is not answered in time ends the request as
    // timed out, unsent.
    static constexpr juce::uint32 sceneQuestion = 127;

    //==========================================================================
    // Whether the program has left the unit's outputs muted: set when a
    // SYSEX_MUTE that mutes goes out (whether or not its answer comes back),
    // cleared when the unit answers one that turns them on again. Kept
    // while the ports close and open again.
    bool areOutputsMuted() const { return outputsMuted.load(); }

    bool takeResyncRequest();
    bool takeStatesChanged();
    bool takeTempoChanged();
    bool takeEditorDisconnected();

    bool readAndClearInputActivity() { return ports.readAndClearInputActivity(); }
    bool readAndClearOutputActivity() { return ports.readAndClearOutputActivity(); }

    //==========================================================================
    // The link thread's work, public so that tests can drive it by hand.

    // One pass: take the buffered input, match every SysEx message, complete
    // or expire the request in flight, and send the next queued request when
    // none is in flight and the hold flag is clear.
    void processPass();

    // Files one SysEx message: mailboxes, counts, and the current request's replies.
    void matchReply (const juce::MidiMessage& message, SysExRequest* current);

    // The port watchdog; does nothing when 1000 ms or less have passed since
    // its last run. Updates the present flags and reopens a vanished port by
    // its kept name.
    void checkPorts();

    // Refreshes the device lists (the timer's work; also called at construction).
    void timerCallback() override;

    // How long the link thread may sleep after a pass: 1 ms while a request
    // is in flight or one waits to be taken (the time-out test and the next
    // send), otherwise until the next port check is due. New input, a queued
    // request and the hold being lifted wake it at once.
    int getIdleWaitMs();

    static constexpr int deviceListIntervalMs = 2000;
    static constexpr juce::uint32 portCheckIntervalMs = 1000;
    static constexpr int stopTimeoutMs = 5000;

    // The link thread's name as the system shows it (Linux keeps at most 15
    // characters); the framework knows it by its full name.
    static constexpr const char* threadName = "ZOLMidiProcessing";
    static constexpr const char* systemThreadName = "ZOLMidiProc";

private:
    void run() override;
    void letGo (SysExRequest* request);
    void reportActivity();
    void failAllRequests();

    MidiPortPair ports;

    juce::CriticalSection keptNamesLock;
    juce::String keptInputName, keptOutputName;

    SysExRequestQueue inFlight; // link thread only; at most one request
    juce::MidiBuffer incoming;  // link thread only; swapped with the shared input buffer
    juce::CriticalSection outQueueLock;
    SysExRequestQueue outQueue;
    juce::Array<SysExRequest*> orphans; // under outQueueLock; deleted when let go

    std::atomic<bool> hold{ false };
    std::atomic<bool> inputPresent{ false };
    std::atomic<bool> outputPresent{ false };
    std::atomic<juce::uint32> lastPortCheck{ 0 };
    juce::CriticalSection activityLock;
    std::function<void()> onActivity;

    // A mailbox: content under its lock, new-data flag readable without it.
    // The link thread posts, the message thread takes; a newer post
    // overwrites an untaken one.
    template <typename Content>
    struct Mailbox
    {
        void post (const Content& newContent)
        {
            const juce::ScopedLock sl (lock);
            content = newContent;
            fresh.store (true);
        }

        bool take (Content* out)
        {
            if (out == nullptr || ! fresh.load())
                return false;

            const juce::ScopedLock sl (lock);
            *out = content;
            fresh.store (false);
            return true;
        }

        juce::CriticalSection lock;
        Content content;
        std::atomic<bool> fresh{ false };
    };

    Mailbox<TunerReading> tunerMailbox;
    Mailbox<LooperState> looperMailbox;
    Mailbox<KnobBroadcast> knobMailbox;
    Mailbox<ModifierBroadcast> modifierMailbox;
    Mailbox<PresetNumberRecord> presetMailbox;
    bool presetChangeRequested = false; // under presetMailbox.lock
    UnitReportLog reportLog;          // under presetMailbox.lock
    juce::uint32 reportsTaken = 0;      // under presetMailbox.lock

    juce::CriticalSection resyncLock;
    std::atomic<bool> resyncPending{ false };
    bool resyncSkipNext = false;

    juce::CriticalSection statesLock;
    std::atomic<bool> statesChanged{ false };

    std::atomic<bool> tempoChanged{ false };
    std::atomic<bool> editorDisconnected{ false };
    std::atomic<bool> outputsMuted{ false };

    // A request goes out: the guard's judgement, the reports filed by then,
    // and the mute it may carry.
    enum class Sending
    {
        now,
        withheld,        // the guard keeps it back
        afterSceneCheck  // the unit is asked its scene first
    };
    Sending prepareToSend (SysExRequest& request);
    // A request has its whole answer.
    void noteAnswered (SysExRequest& request);

    // The question of the scene asked for a guarded request, which waits in
    // heldForSceneCheck meanwhile (link thread only).
    void askSceneFor (SysExRequest& request);
    void endSceneCheck();
    std::unique_ptr<SysExRequest> sceneCheck;
    SysExRequest* heldForSceneCheck = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZOLMidiProcessing)
};
