#pragma once

#include "device/link/MidiPortBackend.h"

#include <functional>
#include <memory>

// MIDI devices for tests: named virtual inputs and outputs that live only in
// this process.
//
// - A test (or the simulated unit) adds devices by name, e.g.
//   addDevice ("1- Kestrel MIDI") adds an input and an output of that name.
// - What the program sends to an open output goes to the handler installed for
//   that output's name (setOutputHandler). The handler runs on the sending
//   thread (the link thread), outside the backend's locks, so it may push
//   replies at once.
// - pushToInput puts a message into every open, started port of that input.
//   Delivery mode, chosen at construction:
//     onDeliveryThread (default): queued and delivered in order on the
//       backend's own thread, as a driver would; waitUntilDelivered() blocks
//       until the queue is empty.
//     synchronous: delivered before pushToInput returns, on the caller's
//       thread; handy with ZOLMidiProcessing::processPass driven by hand.
// - removeInput/removeOutput/removeDevice make a device vanish from the lists;
//   ports opened on it go dead (no input arrives, output is dropped) and stay
//   dead even when the device comes back: the program must reopen it, as with
//   a real unplugged device.
//
// Ports keep the backend's shared state alive, so deleting the backend before
// the ports is safe (they then go dead). Use Installed to make it the backend
// that MidiPortBackend::get() gives for a scope.
class VirtualMidiBackend : public MidiPortBackend
{
public:
    enum class Delivery
    {
        onDeliveryThread,
        synchronous
    };

    using Handler = std::function<void (const juce::MidiMessage&)>;

    explicit VirtualMidiBackend (Delivery delivery = Delivery::onDeliveryThread);
    ~VirtualMidiBackend() override;

    //==========================================================================
    // Devices (appended to the end of the list; adding an existing name does nothing).
    void addInput (const juce::String& name);
    void addOutput (const juce::String& name);
    void addDevice (const juce::String& name); // input and output
    void removeInput (const juce::String& name);
    void removeOutput (const juce::String& name);
    void removeDevice (const juce::String& name);

    //==========================================================================
    // Traffic.

    // Receives what the program sends to output `outputName`; an empty
    // handler removes it (messages are then dropped).
    void setOutputHandler (const juce::String& outputName, Handler handler);

    // Delivers the message to the open, started ports of input `inputName`.
    void pushToInput (const juce::String& inputName, const juce::MidiMessage& message);

    // Delivery thread mode: waits until every pushed message has been handed
    // to the ports; true when that happened within the time.
    bool waitUntilDelivered (int timeoutMs = 2000);

    //==========================================================================
    // Observation.
    int getNumOpenInputs (const juce::String& name) const;
    int getNumOpenOutputs (const juce::String& name) const;
    int getNumMessagesSent (const juce::String& outputName) const; // to a live port, handler or not

    //==========================================================================
    // MidiPortBackend
    juce::StringArray getInputNames() override;
    juce::StringArray getOutputNames() override;
    std::unique_ptr<InputPort> openInput (int index, juce::MidiInputCallback* callback) override;
    std::unique_ptr<OutputPort> openOutput (int index) override;

    // Installs a backend for the lifetime of the scope.
    class Installed
    {
    public:
        explicit Installed (VirtualMidiBackend& backend) { MidiPortBackend::install (&backend); }
        ~Installed() { MidiPortBackend::install (nullptr); }
    };

    struct Core;

private:
    std::shared_ptr<Core> core;
    class DeliveryThread;
    std::unique_ptr<DeliveryThread> deliveryThread;

    JUCE_DECLARE_NON_COPYABLE (VirtualMidiBackend)
};
