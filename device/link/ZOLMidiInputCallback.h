#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

class MidiPortPair;

// Receives the unit's messages on the driver's thread and only appends them to
// the port pair's shared input buffer; the link thread takes them from there.
class ZOLMidiInputCallback : public juce::MidiInputCallback
{
public:
    explicit ZOLMidiInputCallback (MidiPortPair& owner);

    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;

private:
    MidiPortPair& ports;

    JUCE_DECLARE_NON_COPYABLE (ZOLMidiInputCallback)
};
