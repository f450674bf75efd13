#include "tests/support/SimulatedKestrel.h"

// The unit's tuner, switched by control change 15 on the unit's MIDI channel.

void SimulatedKestrel::handleControlChange (const juce::MidiMessage& message)
{
    bool sendNow = false;
    int note = 0, string = 0, tuning = 0;

    {
        const juce::ScopedLock state (stateLock);

        if (message.getChannel() != midiChannel + 1 || message.getControllerNumber() != 15)
            return;

        if (message.getControllerValue() == 127)
        {
            tunerOn = true;
            sendNow = true;
            note = tunerPitch[0];
            string = tunerPitch[1];
            tuning = tunerPitch[2];
        }
        else if (message.getControllerValue() == 1)
        {
            tunerOn = false;
        }
    }

    if (sendNow)
        sendTunerReading (note, string, tuning);
}

bool SimulatedKestrel::isTunerOn() const
{
    const juce::ScopedLock state (stateLock);
    return tunerOn;
}

void SimulatedKestrel::setTunerPitch (int note, int string, int tuning)
{
    bool on = false;

    {
        const juce::ScopedLock state (stateLock);
        tunerPitch[0] = note;
        tunerPitch[1] = string;
        tunerPitch[2] = tuning;
        on = tunerOn;
    }

    if (on)
        sendTunerReading (note, string, tuning);
}
