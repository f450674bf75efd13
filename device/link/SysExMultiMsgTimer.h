#pragma once

#include "device/wire/SysExRequest.h"
#include "device/wire/SysExStreamReader.h"

#include <juce_events/juce_events.h>

class ZOLMidiProcessing;

// Sends a buffer of many SysEx messages (a preset dump to paste, a bank, a
// cab) to the unit one message per tick, each as its own request, waiting for
// each answer before the next and stopping at the first failure: a
// SYSEX_STATUS_MSG that echoes the message's function with a result other
// than 0.
//
// Message thread only; the request in flight is shared with the link through
// its own locks. Tests call timerCallback directly.
class SysExMultiMsgTimer : private juce::Timer
{
public:
    enum State
    {
        stateIdle = 0,
        stateRunning = 1,
        statePaused = 2,
        stateDestroyed = 3,
        stateDone = 4,
        stateError = 5,
        stateOutputMissing = 6,
        stateTimedOut = 7
    };

    static constexpr juce::uint32 messageTimeoutMs = 3000;

    // The link to queue requests with; without one the sender does nothing.
    explicit SysExMultiMsgTimer (ZOLMidiProcessing* link);
    ~SysExMultiMsgTimer() override;

    // Loads a copy of the messages of the model (sysExAnyModel: any) when
    // neither running nor paused; false otherwise.
    bool loadMessages (const void* bytes, size_t size, juce::uint8 model);

    // Starts sending from the first message; false when running or paused.
    bool start();

    // The guard each message of the loaded transfer carries (see
    // WriteGuard); loading messages clears it.
    void setGuard (std::shared_ptr<WriteGuard> guardToUse);

    // true pauses a running sender, false resumes a paused one; gives whether
    // the state changed.
    bool setPaused (bool shouldPause);

    // Ticks every 1 ms from now on; false when that was already the interval.
    bool setFastInterval();

    int getState() const;
    double getProgress() const;
    int getNumSent() const;
    int getTotalMessages() const { return totalMessages; }

    // The result byte of the first failing status reply; 0 while none.
    int getErrorCode() const { return errorCode; }

    // One tick.
    void timerCallback() override;

private:
    void advanceProgress();
    void setState (int newState);
    void deleteRequest();

    ZOLMidiProcessing* link;

    juce::CriticalSection progressLock;
    double progress = 0.0;
    int sent = 0;

    SysExStreamReader reader;
    int totalMessages = 0;

    juce::CriticalSection stateLock;
    int state = stateIdle;

    juce::CriticalSection intervalLock;
    int intervalMs = 0;

    int errorCode = 0;

    juce::CriticalSection requestLock;
    SysExRequest* request = nullptr;
    std::shared_ptr<WriteGuard> guard; // under requestLock

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SysExMultiMsgTimer)
};
