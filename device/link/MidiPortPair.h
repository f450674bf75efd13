#pragma once

#include "device/link/MidiPortBackend.h"
#include "device/link/ZOLMidiInputCallback.h"

#include <functional>
#include <memory>

// The link's MIDI input and output ports, the shared input buffer, the
// activity flags and the device lists.
//
// The ports are opened and closed on the message thread (the main window) and
// on the link thread (the port watchdog), and the link thread sends on the
// output; a port lock, held only for open, close and send, keeps these apart.
// Lock order: input buffer before input activity (in the callback); port
// lock before a device-list lock (opening). Nothing else nests.
class MidiPortPair
{
public:
    // onArrival, when given, is called on the driver's thread after each
    // incoming message has been buffered (the link wakes its thread with it).
    explicit MidiPortPair (std::function<void()> onArrival = {});
    ~MidiPortPair();

    //==========================================================================
    // Device lists: the copies that the link keeps, refreshed from the backend
    // by refreshDeviceLists (the link's 2000 ms timer).
    void refreshDeviceLists();
    juce::StringArray getInputNames() const;
    juce::StringArray getOutputNames() const;

    //==========================================================================
    // Opening and closing.

    // Tries, in list order, every listed device whose name contains the text
    // (an empty text: every device) until one opens. False when none contains
    // it or none of those opens.
    bool openInputByName (const juce::String& name);
    bool openOutputByName (const juce::String& name);

    // Closes the current port and opens device `index` of the kept list
    // (the input is started). False when the index is outside the list or
    // the device does not open.
    bool openInputByIndex (int index);
    bool openOutputByIndex (int index);

    // False when no port was open.
    bool closeInput();
    bool closeOutput();

    bool isInputOpen() const;
    bool isOutputOpen() const;

    // The names of the open ports as the device list gave them; empty when closed.
    juce::String getInputName() const;
    juce::String getOutputName() const;

    //==========================================================================
    // Traffic.

    // Sends at once on the open output and sets the output-activity flag;
    // false (nothing sent) when no output is open.
    bool sendMessageNow (const juce::MidiMessage& message);

    // Called by the input callback on the driver's thread.
    void appendIncoming (const juce::MidiMessage& message);

    // Moves everything buffered so far into dest (which is cleared first) and
    // empties the shared buffer, in one step under the input-buffer lock.
    void takeIncoming (juce::MidiBuffer& dest);

    // Activity flags, read and cleared in one step.
    bool readAndClearInputActivity();
    bool readAndClearOutputActivity();

private:
    // Closes the current port and opens the device of that name in the
    // backend's present list.
    bool openListedInputLocked (const juce::String& listedName);
    bool openListedOutputLocked (const juce::String& listedName);
    bool closeInputLocked();
    bool closeOutputLocked();

    const std::function<void()> arrivalNotice;
    juce::CriticalSection portLock;
    ZOLMidiInputCallback callback;
    std::unique_ptr<MidiPortBackend::InputPort> input;
    juce::String inputName;
    std::unique_ptr<MidiPortBackend::OutputPort> output;
    juce::String outputName;

    juce::CriticalSection inputBufferLock;
    juce::MidiBuffer inputBuffer;

    juce::CriticalSection inputActivityLock;
    bool inputActivity = false;

    juce::CriticalSection outputActivityLock;
    bool outputActivity = false;

    juce::CriticalSection inputNamesLock;
    juce::StringArray inputNames;
    juce::CriticalSection outputNamesLock;
    juce::StringArray outputNames;

    JUCE_DECLARE_NON_COPYABLE (MidiPortPair)
};
