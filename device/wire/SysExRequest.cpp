#include "device/wire/SysExRequest.h"

#include "device/wire/SysExFraming.h"
#include "device/wire/WriteGuard.h"
#include "model/Clock.h"

namespace
{
// 0 means "not sent yet", so a send at counter value 0 is stamped 1.
juce::uint32 sendStamp()
{
    auto now = Clock::nowMs();
    return now == 0 ? 1 : now;
}
} // namespace

SysExRequest::SysExRequest (juce::uint32 timeoutMs)
{
    reset (timeoutMs);
}

SysExRequest::SysExRequest (const juce::MidiMessage& messageToSend)
    : message (messageToSend)
{
    reset (defaultTimeoutMs);
}

SysExRequest::~SysExRequest() = default;

void SysExRequest::destroy()
{
    delete this;
}

void SysExRequest::reset (juce::uint32 timeoutMs)
{
    {
        const juce::ScopedLock sl (replyLock);
        replies.clear();
    }

    expectedCount.store (1);

    {
        const juce::ScopedLock sl (timeLock);
        startTime = 0;
    }

    timeout.store (timeoutMs);
    setState (stateWaiting);
    setBusy (false);
    flags.store (0);
    presetReportsAtAnswer.store (0);
    lastPresetReportAtAnswer.store (-1);
    presetReportsAtSend.store (0);
    statesReportsAtAnswer.store (0);
    withheld.store (false);
    refusal.store (0);
}

void SysExRequest::setPresetReportsAtAnswer (juce::uint32 count, juce::int32 lastNumber)
{
    presetReportsAtAnswer.store (count);
    lastPresetReportAtAnswer.store (lastNumber);
}

void SysExRequest::setMessage (const juce::MidiMessage& messageToSend)
{
    message = messageToSend; // copy assignment: keeps no stale heap block
}

juce::MidiMessage SysExRequest::getMessage() const
{
    return message;
}

bool SysExRequest::setControllerMessage (int channel, int controllerNumber, int value)
{
    if (channel < 1 || channel > 16 || ! juce::isPositiveAndBelow (controllerNumber, 128) ||
        ! juce::isPositiveAndBelow (value, 128))
        return false;

    const auto controlChange = juce::MidiMessage::controllerEvent (channel, controllerNumber, value);
    message = controlChange;
    expectedCount.store (0);
    return true;
}

juce::uint8 SysExRequest::getFunctionCode() const
{
    return getSysExFunction (message);
}

bool SysExRequest::addReply (const juce::MidiMessage& reply)
{
    if (getState() == stateComplete)
        return false;

    const juce::ScopedLock sl (replyLock);
    replies.add (reply);

    if (replies.size() == expectedCount.load())
    {
        setState (stateComplete);
        return true;
    }

    restartTimer();
    return false;
}

bool SysExRequest::addRefusal (const juce::MidiMessage& reply, juce::uint8 result)
{
    if (getState() == stateComplete)
        return false;

    const juce::ScopedLock sl (replyLock);
    replies.add (reply);
    refusal.store (result);
    setState (stateComplete);
    return true;
}

int SysExRequest::getNumReplies() const
{
    const juce::ScopedLock sl (replyLock);
    return replies.size();
}

bool SysExRequest::getReply (juce::MidiMessage& out, int index) const
{
    const juce::ScopedLock sl (replyLock);

    if (! juce::isPositiveAndBelow (index, replies.size()))
        return false;

    out = replies.getReference (index);
    return true;
}

void SysExRequest::getReplyData (juce::MemoryBlock& out) const
{
    const juce::ScopedLock sl (replyLock);

    for (auto& reply : replies)
        out.append (reply.getRawData(), (size_t) reply.getRawDataSize());
}

int SysExRequest::getState() const
{
    const juce::ScopedLock sl (stateLock);
    return state;
}

void SysExRequest::setState (int newState)
{
    const juce::ScopedLock sl (stateLock);
    state = newState;
}

void SysExRequest::setBusy (bool shouldBeBusy)
{
    const juce::ScopedLock sl (busyLock);
    const bool released = busy && ! shouldBeBusy;
    busy = shouldBeBusy;

    if (released && onRelease != nullptr)
        onRelease();
}

void SysExRequest::setOnRelease (std::function<void()> callback)
{
    const juce::ScopedLock sl (busyLock);
    onRelease = std::move (callback);
}

bool SysExRequest::isBusy() const
{
    const juce::ScopedLock sl (busyLock);
    return busy;
}

int SysExRequest::getStatus() const
{
    if (isBusy())
        return 0;

    return getState();
}

void SysExRequest::restartTimer()
{
    const juce::ScopedLock sl (timeLock);
    startTime = sendStamp();
}

juce::uint32 SysExRequest::getStartTime() const
{
    const juce::ScopedLock sl (timeLock);
    return startTime;
}

bool SysExRequest::checkTimeOut()
{
    if (getState() == stateComplete)
        return false;

    const juce::ScopedLock sl (timeLock);

    // Unsigned difference: right across the counter's wrap.
    if (startTime != 0 && Clock::elapsedSince (startTime) > timeout.load())
        setState (stateTimedOut);

    return getState() == stateTimedOut;
}
