#include "device/link/ZOLInterprocessConnection.h"

#include "model/Clock.h"

ZOLInterprocessConnection::ZOLInterprocessConnection()
    : juce::InterprocessConnection (true)
{
}

ZOLInterprocessConnection::~ZOLInterprocessConnection()
{
    disconnect();
}

void ZOLInterprocessConnection::messageReceived (const juce::MemoryBlock& message)
{
    InterprocessCommand command;

    if (! command.readFrom (message.getData(), message.getSize()))
        return;

    if (command.words[12] != command.computeCheck())
        return;

    if (command.getCommand() < 1 || command.getCommand() > 4 || command.getArgument() > 4 || command.getKind() < 1 ||
        command.getKind() > 3)
        return;

    {
        const juce::ScopedLock sl (stateLock);

        if (updatePendingStateLocked() == pendingWaiting)
        {
            const juce::ScopedLock pl (pendingLock);

            // While we wait for an answer, only the answer to our command counts.
            if (command.getArgument() != pending.getCommand())
                return;
        }
    }

    const juce::ScopedLock il (incomingLock);

    if (newMessage && ! incoming.isEmpty())
        return;

    incoming = command;
    newMessage = true;
}

int ZOLInterprocessConnection::updatePendingState()
{
    const juce::ScopedLock sl (stateLock);
    return updatePendingStateLocked();
}

int ZOLInterprocessConnection::updatePendingStateLocked()
{
    const juce::ScopedLock pl (pendingLock);

    if (! pending.isEmpty() && pendingState == pendingWaiting &&
        Clock::elapsedSince (pending.getSendTime()) > pendingTimeoutMs)
        pendingState = pendingTimedOut;

    return pendingState;
}

bool ZOLInterprocessConnection::hasUntakenMessage() const
{
    const juce::ScopedLock il (incomingLock);
    return ! incoming.isEmpty() && newMessage;
}

void ZOLInterprocessConnection::setPendingCommand (const InterprocessCommand& command)
{
    const juce::ScopedLock sl (stateLock);
    const juce::ScopedLock pl (pendingLock);
    pending = command;
    pendingState = command.isEmpty() ? pendingNone : pendingWaiting;
}

bool ZOLInterprocessConnection::takeMessage (InterprocessCommand& out)
{
    const juce::ScopedLock il (incomingLock);

    if (incoming.isEmpty() || ! newMessage)
        return false;

    out = incoming;
    newMessage = false;
    return true;
}
