#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>
#include <memory>

class WriteGuard;

// One message on its way to the unit, together with what comes back for it.
//
// The creator (as a rule the message thread) allocates and owns the request,
// sets its message, time-out, expected reply count and flags, and hands it to
// the link with ZOLMidiProcessing::queueRequest. The link thread borrows it
// while the busy flag is set: it sends the message, files matching replies
// into it and ends it (complete or timed out). The owner polls getStatus and
// must not read the replies, change the message or delete the request while
// getStatus gives 0.
//
// Lock nesting: reply lock before the state or time lock; time lock before
// the state lock. Nothing else nests.
class SysExRequest
{
public:
    static constexpr juce::uint32 defaultTimeoutMs = 3000;

    enum State
    {
        stateWaiting = 0,
        stateComplete = 1,
        stateTimedOut = 2
    };

    // Flags read by the request's consumer.
    enum Flags : juce::uint32
    {
        flagKeepOwnership = 1, // the consumer must not delete the request
        flagDone = 2,          // the consumer has dispatched the request
        flagAlertOnTimeOut = 4 // a time-out is shown to the user
    };

    explicit SysExRequest (juce::uint32 timeoutMs = defaultTimeoutMs);
    explicit SysExRequest (const juce::MidiMessage& messageToSend);
    ~SysExRequest();

    // Deletes a heap-allocated request (the consumer's way of freeing it).
    void destroy();

    // Prepares the request for a (re)send: expected replies 1, start time 0,
    // the time-out, state 0, busy 0, flags 0. The message stays. The replies
    // of an earlier send are cleared too, so they cannot count towards the
    // new one.
    void reset (juce::uint32 timeoutMs = defaultTimeoutMs);

    //==========================================================================
    // The message to send.
    void setMessage (const juce::MidiMessage& messageToSend);
    juce::MidiMessage getMessage() const;

    // Replaces the message with a MIDI control change (channel 1-16) that
    // expects no answer. False, and nothing changed, for a channel, controller
    // or value out of range.
    bool setControllerMessage (int channel, int controllerNumber, int value);

    // Byte 5 of the message; 0 when it is not SysEx or shorter than 6 bytes.
    juce::uint8 getFunctionCode() const;

    //==========================================================================
    // Replies.

    // Files a reply; true when it completed the request. A reply offered to a
    // complete request is dropped. A reply that does not complete it restarts
    // the time-out, so a long answer only times out on a gap.
    bool addReply (const juce::MidiMessage& reply);

    // Files the unit's status reply that refuses the request (its result, not
    // 0) and completes the request at once, however many replies it awaited:
    // nothing more comes for it. False, nothing filed, for a complete request.
    bool addRefusal (const juce::MidiMessage& reply, juce::uint8 result);

    // The result with which the unit refused the request; 0 while it did not.
    // A refused request is complete, and what it holds is no answer: nothing
    // may be read from it as the unit's data.
    juce::uint8 getRefusal() const { return refusal.load(); }
    bool isRefused() const { return refusal.load() != 0; }

    int getNumReplies() const;
    // Copies reply `index`; false (out untouched) when the index is out of range.
    bool getReply (juce::MidiMessage& out, int index) const;
    // Appends the bytes of every reply, in order.
    void getReplyData (juce::MemoryBlock& out) const;

    //==========================================================================
    // State.
    int getState() const;
    void setState (int newState);
    void setBusy (bool shouldBeBusy);
    bool isBusy() const;

    // What creators poll: 0 while the link holds the request, otherwise the
    // state (1 complete, 2 timed out).
    int getStatus() const;

    // Called on the thread that lets the request go, at the moment getStatus
    // stops giving 0, so that an owner can sleep until then instead of
    // polling. It runs under the busy lock: the owner cannot see the end, and
    // so cannot delete the request, before the call has returned. Set it
    // before the request is queued; an owner that gives the request up
    // clears it first.
    void setOnRelease (std::function<void()> callback);

    //==========================================================================
    // Time-out.
    void restartTimer();
    juce::uint32 getStartTime() const;
    juce::uint32 getTimeout() const { return timeout.load(); }
    void setTimeout (juce::uint32 ms) { timeout.store (ms); }

    // The link's time-out test: when the request is not complete, has been
    // sent and more than its time-out has passed since the start time, its
    // state becomes 2. Gives true when the request is (now) timed out.
    bool checkTimeOut();

    //==========================================================================
    int getExpectedCount() const { return expectedCount.load(); }
    void setExpectedCount (int count) { expectedCount.store (count); }

    juce::uint32 getFlags() const { return flags.load(); }
    void setFlags (juce::uint32 newFlags) { flags.store (newFlags); }

    //==========================================================================
    // The unit's own preset reports that the link had filed when it completed
    // the request: how many so far (a count that only grows) and the last
    // one's number (-1: none). Compared with the count read before the
    // request was queued, they tell whether the unit reported a change of
    // preset before it answered. Zero and -1 until then.
    void setPresetReportsAtAnswer (juce::uint32 count, juce::int32 lastNumber);
    juce::uint32 getPresetReportCountAtAnswer() const { return presetReportsAtAnswer.load(); }
    juce::int32 getLastPresetReportAtAnswer() const { return lastPresetReportAtAnswer.load(); }

    // How many the link had filed when it sent the request (0 until sent).
    void setPresetReportCountAtSend (juce::uint32 count) { presetReportsAtSend.store (count); }
    juce::uint32 getPresetReportCountAtSend() const { return presetReportsAtSend.load(); }

    // How many reports of its states the unit had sent unasked when the link
    // completed the request (see UnitReportLog); 0 until then.
    void setStatesReportCountAtAnswer (juce::uint32 count) { statesReportsAtAnswer.store (count); }
    juce::uint32 getStatesReportCountAtAnswer() const { return statesReportsAtAnswer.load(); }

    //==========================================================================
    // The run of writes the request belongs to, judged by the link as the
    // request goes out and when its answer is in (see WriteGuard). Set before
    // the request is queued; none by default.
    void setGuard (std::shared_ptr<WriteGuard> guardToUse) { guard = std::move (guardToUse); }
    const std::shared_ptr<WriteGuard>& getGuard() const { return guard; }

    // The link ended the request unsent, its guard having stopped the run.
    void setWithheld() { withheld.store (true); }
    bool wasWithheld() const { return withheld.load(); }

private:
    juce::CriticalSection stateLock;
    int state = stateWaiting;

    juce::CriticalSection busyLock;
    bool busy = false;
    std::function<void()> onRelease;

    juce::MidiMessage message;

    juce::CriticalSection replyLock;
    juce::Array<juce::MidiMessage> replies;

    juce::CriticalSection timeLock;
    juce::uint32 startTime = 0;

    std::atomic<juce::uint32> timeout{ defaultTimeoutMs };
    std::atomic<int> expectedCount{ 1 };
    std::atomic<juce::uint32> flags{ 0 };
    std::atomic<juce::uint32> presetReportsAtAnswer{ 0 };
    std::atomic<juce::int32> lastPresetReportAtAnswer{ -1 };
    std::atomic<juce::uint32> presetReportsAtSend{ 0 };
    std::atomic<juce::uint32> statesReportsAtAnswer{ 0 };
    std::atomic<bool> withheld{ false };
    std::atomic<juce::uint8> refusal{ 0 };
    std::shared_ptr<WriteGuard> guard;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SysExRequest)
};
