#include "tests/support/SimulatedReplyChannel.h"

#include "device/wire/SysExFraming.h"
#include "model/Clock.h"

void SimulatedReplyChannel::setDeliver (Deliver newDeliver)
{
    const juce::ScopedLock delivering (deliveryLock);
    const juce::ScopedLock queueing (queueLock);
    deliver = std::move (newDeliver);
}

bool SimulatedReplyChannel::admit()
{
    if (silent)
        return false;

    if (remainingBeforeSilence == 0)
    {
        silent = true;
        remainingBeforeSilence = -1;
        return false;
    }

    if (remainingBeforeSilence > 0)
        --remainingBeforeSilence;

    if (dropEvery > 0 && ++dropCounter >= dropEvery)
    {
        dropCounter = 0;
        return false;
    }

    return true;
}

void SimulatedReplyChannel::send (const juce::MidiMessage& message, juce::uint32 delayMs, bool corrupt)
{
    {
        const juce::ScopedLock queueing (queueLock);

        if (! admit())
        {
            ++lost;
            return;
        }

        Held entry{ message, Clock::nowMs(), delayMs };

        if (corrupt && message.getRawDataSize() >= 8)
        {
            // Flip one bit of the checksum byte; it stays a data byte below 0x80.
            juce::MemoryBlock bytes (message.getRawData(), (size_t) message.getRawDataSize());
            static_cast<juce::uint8*> (bytes.getData())[bytes.getSize() - 2] ^= 0x01;
            setMidiMessageBytes (entry.message, bytes.getData(), (int) bytes.getSize());
        }

        held.push_back (std::move (entry));
    }

    pump();
}

void SimulatedReplyChannel::pump()
{
    const juce::ScopedLock delivering (deliveryLock);

    for (;;)
    {
        juce::MidiMessage next;
        Deliver target;

        {
            const juce::ScopedLock queueing (queueLock);

            if (held.empty() || Clock::elapsedSince (held.front().sentAt) < held.front().delayMs)
                return;

            next = held.front().message;
            held.pop_front();
            ++delivered;
            deliveredBytes += next.getRawDataSize();
            target = deliver;
        }

        if (target)
            target (next);
    }
}

void SimulatedReplyChannel::setDropEvery (int n)
{
    const juce::ScopedLock queueing (queueLock);
    dropEvery = juce::jmax (0, n);
    dropCounter = 0;
}

void SimulatedReplyChannel::goSilentAfter (int k)
{
    const juce::ScopedLock queueing (queueLock);
    remainingBeforeSilence = k < 0 ? -1 : k;
    silent = false;
}

void SimulatedReplyChannel::setSilent (bool shouldBeSilent)
{
    const juce::ScopedLock queueing (queueLock);
    silent = shouldBeSilent;
    remainingBeforeSilence = -1;
}

bool SimulatedReplyChannel::isSilent() const
{
    const juce::ScopedLock queueing (queueLock);
    return silent;
}

void SimulatedReplyChannel::discardHeld()
{
    const juce::ScopedLock queueing (queueLock);
    lost += (int) held.size();
    held.clear();
}

int SimulatedReplyChannel::getNumHeld() const
{
    const juce::ScopedLock queueing (queueLock);
    return (int) held.size();
}

int SimulatedReplyChannel::getNumDelivered() const
{
    const juce::ScopedLock queueing (queueLock);
    return delivered;
}

juce::int64 SimulatedReplyChannel::getNumBytesDelivered() const
{
    const juce::ScopedLock queueing (queueLock);
    return deliveredBytes;
}

int SimulatedReplyChannel::getNumLost() const
{
    const juce::ScopedLock queueing (queueLock);
    return lost;
}
