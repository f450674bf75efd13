#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <memory>

// The MIDI devices as the link sees them: device lists by name, open, close,
// send now and the input callback. The program uses the system's MIDI devices
// through JUCE (JuceMidiPortBackend); tests install a backend of virtual
// devices wired to a simulated unit. Everything above this layer is the same
// code in both.
class MidiPortBackend
{
public:
    virtual ~MidiPortBackend() = default;

    class InputPort
    {
    public:
        virtual ~InputPort() = default;
        virtual void start() = 0;
        virtual void stop() = 0;
    };

    class OutputPort
    {
    public:
        virtual ~OutputPort() = default;
        // Sends at once; may be called from the link thread.
        virtual void sendMessageNow (const juce::MidiMessage& message) = 0;
    };

    // Current device names, in list order.
    virtual juce::StringArray getInputNames() = 0;
    virtual juce::StringArray getOutputNames() = 0;

    // Opens device `index` of the current list; nullptr when the index is
    // outside the list or the device cannot be opened. Incoming messages go to
    // the callback, on a thread of the backend's choosing, once started. The
    // source argument of the callback may be nullptr.
    virtual std::unique_ptr<InputPort> openInput (int index, juce::MidiInputCallback* callback) = 0;
    virtual std::unique_ptr<OutputPort> openOutput (int index) = 0;

    // The backend in use: the installed one, or the system's.
    static MidiPortBackend& get();

    // Installs a backend (nullptr restores the system's). The caller keeps
    // ownership and uninstalls it, with every port closed, before deleting it.
    static void install (MidiPortBackend* backend);
};
