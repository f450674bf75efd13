#pragma once

#include "device/link/InterprocessCommand.h"
#include "model/Singleton.h"

#include <juce_events/juce_events.h>

// The receiving end of a small command channel to another process. It accepts
// only 52-byte commands with a valid check word, keeps the latest one until
// the application takes it, and tracks one command of its own that waits for
// an answer. The program never opens a link with it.
class ZOLInterprocessConnection : public Singleton<ZOLInterprocessConnection>, public juce::InterprocessConnection
{
public:
    static constexpr juce::uint32 pendingTimeoutMs = 3000;

    enum PendingState
    {
        pendingNone = 0,
        pendingWaiting = 1,
        pendingTimedOut = 2
    };

    ZOLInterprocessConnection();
    ~ZOLInterprocessConnection() override;

    // Validates a message from the other process and keeps it unless an
    // untaken one is still there.
    void messageReceived (const juce::MemoryBlock& message) override;
    void connectionMade() override {}
    void connectionLost() override {}

    // A waiting command whose time of sending lies more than 3000 ms back
    // becomes timed out; gives the pending state.
    int updatePendingState();

    bool hasUntakenMessage() const;

    // The application's side: the command it sent and now waits an answer
    // for, and the taking of the incoming one (false when none is untaken).
    void setPendingCommand (const InterprocessCommand& command);
    bool takeMessage (InterprocessCommand& out);

private:
    int updatePendingStateLocked();

    juce::CriticalSection pendingLock; // guards the pending record
    InterprocessCommand pending;
    juce::CriticalSection stateLock; // guards the pending state
    int pendingState = pendingNone;

    juce::CriticalSection incomingLock;
    InterprocessCommand incoming;
    bool newMessage = false;

    JUCE_DECLARE_NON_COPYABLE (ZOLInterprocessConnection)
};
