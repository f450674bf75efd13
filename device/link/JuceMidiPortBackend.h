#pragma once

#include "device/link/MidiPortBackend.h"

// The system's MIDI devices through JUCE's MidiInput and MidiOutput (ALSA on Linux).
//
// On Linux every look at the device lists opens the ALSA sequencer; where
// there is none, ALSA would write the same error line for each of the link's
// list refreshes. The backend writes each distinct ALSA error line once.
class JuceMidiPortBackend : public MidiPortBackend
{
public:
    JuceMidiPortBackend();

    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;
    std::unique_ptr<InputPort> openInput (int index, juce::MidiInputCallback* callback) override;
    std::unique_ptr<OutputPort> openOutput (int index) override;
};
