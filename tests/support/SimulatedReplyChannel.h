#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <deque>
#include <functional>

// The simulated unit's way out: the messages it sends, in order, with the
// faults of the wire applied. A held (delayed) message keeps every later
// message behind it, as a real serial link would. Delays read Clock::nowMs(),
// so a test moves them with its ManualClock and then calls pump().
//
// Thread-safe: the unit sends from whichever thread delivered a request to
// it, tests pump and change settings from their own. Messages are handed to
// the delivery function outside the queue lock, one pump at a time.
class SimulatedReplyChannel
{
public:
    using Deliver = std::function<void (const juce::MidiMessage&)>;

    SimulatedReplyChannel() = default;

    // Where messages go (the editor's input). Without one, messages are
    // counted as sent and discarded.
    void setDeliver (Deliver newDeliver);

    // Queues a message; it leaves once delayMs have passed since now (at once
    // for 0) and everything queued before it has left. With corrupt set its
    // checksum byte is spoiled on the way.
    void send (const juce::MidiMessage& message, juce::uint32 delayMs = 0, bool corrupt = false);

    // Hands every message that is due to the delivery function.
    void pump();

    // Every n-th message sent from now on is lost (0: none). Deterministic.
    void setDropEvery (int n);

    // After k more messages the channel goes silent (everything is lost);
    // -1 never. setSilent (false) or goSilentAfter (-1) lifts it.
    void goSilentAfter (int k);
    void setSilent (bool shouldBeSilent);
    bool isSilent() const;

    // Forgets held messages (a unit that vanishes takes its replies with it).
    void discardHeld();

    int getNumHeld() const;
    int getNumDelivered() const;
    juce::int64 getNumBytesDelivered() const;
    int getNumLost() const;

private:
    struct Held
    {
        juce::MidiMessage message;
        juce::uint32 sentAt;
        juce::uint32 delayMs;
    };

    bool admit(); // under queueLock: applies drop and silence counting

    juce::CriticalSection deliveryLock; // taken before queueLock
    juce::CriticalSection queueLock;
    Deliver deliver;
    std::deque<Held> held;
    int dropEvery = 0;
    int dropCounter = 0;
    int remainingBeforeSilence = -1;
    bool silent = false;
    int delivered = 0;
    juce::int64 deliveredBytes = 0;
    int lost = 0;

    JUCE_DECLARE_NON_COPYABLE (SimulatedReplyChannel)
};
