#include "device/link/SysExMultiMsgTimer.h"

#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExCollectors.h"
#include "device/wire/SysExParsers.h"

SysExMultiMsgTimer::SysExMultiMsgTimer (ZOLMidiProcessing* linkToUse)
    : link (linkToUse)
{
}

SysExMultiMsgTimer::~SysExMultiMsgTimer()
{
    {
        const juce::ScopedLock sl (stateLock);
        stopTimer();

        if (state == stateRunning || state == statePaused)
            state = stateDestroyed;
    }

    const juce::ScopedLock sl (requestLock);
    deleteRequest();
}

void SysExMultiMsgTimer::deleteRequest()
{
    if (request == nullptr)
        return;

    // The link only borrows the request: while it still holds it, hand it
    // over so that the link frees it when it lets go. A request that is not
    // busy is ours alone; the link is not touched then, as it may already be
    // gone at shutdown (its destruction lets go of every request).
    if (request->isBusy() && link != nullptr)
        link->releaseRequest (request);
    else
        delete request;

    request = nullptr;
}

bool SysExMultiMsgTimer::loadMessages (const void* bytes, size_t size, juce::uint8 model)
{
    const juce::ScopedLock sl (stateLock);

    if (state == stateRunning || state == statePaused)
        return false;

    if (bytes == nullptr && size > 0)
        return false;

    static const juce::uint8 nothing = 0;

    if (! reader.setData (bytes != nullptr ? bytes : &nothing, size, model))
        return false;

    totalMessages = reader.countMessages();

    {
        const juce::ScopedLock rl (requestLock);
        guard = nullptr;
    }

    const juce::ScopedLock pl (progressLock);
    sent = 0;
    return true;
}

void SysExMultiMsgTimer::setGuard (std::shared_ptr<WriteGuard> guardToUse)
{
    const juce::ScopedLock rl (requestLock);
    guard = std::move (guardToUse);
}

bool SysExMultiMsgTimer::start()
{
    const juce::ScopedLock sl (stateLock);

    if (state == stateRunning || state == statePaused)
        return false;

    {
        const juce::ScopedLock rl (requestLock);

        {
            const juce::ScopedLock il (intervalLock);
            intervalMs = 1;
        }

        {
            const juce::ScopedLock pl (progressLock);
            sent = 0;
            progress = 0.0;
        }

        reader.rewind();
        deleteRequest();
        errorCode = 0;
    }

    state = stateRunning;
    startTimer (1);
    return true;
}

bool SysExMultiMsgTimer::setPaused (bool shouldPause)
{
    const juce::ScopedLock sl (stateLock);

    if (shouldPause && state == stateRunning)
    {
        stopTimer();
        state = statePaused;
        return true;
    }

    if (! shouldPause && state == statePaused)
    {
        const juce::ScopedLock il (intervalLock);
        startTimer (juce::jmax (1, intervalMs));
        state = stateRunning;
        return true;
    }

    return false;
}

bool SysExMultiMsgTimer::setFastInterval()
{
    const juce::ScopedLock sl (stateLock);

    {
        const juce::ScopedLock il (intervalLock);

        if (intervalMs == 1)
            return false;

        intervalMs = 1;
    }

    if (state == stateRunning)
    {
        setPaused (true);
        setPaused (false);
    }

    return true;
}

int SysExMultiMsgTimer::getState() const
{
    const juce::ScopedLock sl (stateLock);
    return state;
}

void SysExMultiMsgTimer::setState (int newState)
{
    const juce::ScopedLock sl (stateLock);
    state = newState;
}

double SysExMultiMsgTimer::getProgress() const
{
    const juce::ScopedLock sl (progressLock);
    return progress;
}

int SysExMultiMsgTimer::getNumSent() const
{
    const juce::ScopedLock sl (progressLock);
    return sent;
}

void SysExMultiMsgTimer::advanceProgress()
{
    const juce::ScopedLock sl (progressLock);

    if (totalMessages > 0)
    {
        auto fraction = (double) sent / (double) totalMessages;

        if (fraction < 1.0)
            progress = fraction;

        // Never 1 while a transfer runs.
        if (sent == totalMessages - 1)
            progress = 0.9999;
    }

    ++sent;
}

void SysExMultiMsgTimer::timerCallback()
{
    // The same order as start(): state lock, then request lock.
    const juce::ScopedLock sl (stateLock);
    const juce::ScopedLock rl (requestLock);

    if (link == nullptr || getState() != stateRunning)
        return;

    int lastStatus = -1;
    bool outputMissing = false;

    if (request != nullptr)
    {
        lastStatus = request->getStatus();

        if (lastStatus == 0)
            return;

        if (lastStatus == SysExRequest::stateComplete)
        {
            if (request->isRefused())
                errorCode = request->getRefusal();

            // A refused message ends the transfer: nothing more is sent.
            if (errorCode == 0)
                deleteRequest();
        }
    }

    if (request == nullptr)
    {
        if (link->isOutputPresent())
        {
            juce::MidiMessage message;

            if (reader.readNextMessage (message))
            {
                request = new SysExRequest (messageTimeoutMs);
                request->setMessage (message);
                request->setGuard (guard);
                link->queueRequest (request);
                advanceProgress();
            }
        }
        else
        {
            outputMissing = true;
        }
    }

    int finalState = stateRunning;

    if (request == nullptr && reader.isAtEnd())
        finalState = stateDone;
    else if (errorCode != 0)
        finalState = stateError;
    else if (lastStatus == SysExRequest::stateTimedOut)
        finalState = stateTimedOut; // the timed-out request stays until the next start
    else if (outputMissing)
        finalState = stateOutputMissing;

    if (finalState != stateRunning)
    {
        stopTimer();
        setState (finalState);
    }
}
