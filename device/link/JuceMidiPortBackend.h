#pragma once

#include "device/link/MidiPortBackend.h"

// The system's MIDI devices through JUCE's MidiInput and MidiOutput (ALSA on Linux).
class JuceMidiPortBackend : public MidiPortBackend
{
public:
    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;
    std::unique_ptr<InputPort> openInput (int index, juce::MidiInputCallback* callback) override;
    std::unique_ptr<OutputPort> openOutput (int index) override;
};
