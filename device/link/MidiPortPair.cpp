#include "device/link/MidiPortPair.h"

namespace
{
// Index of the exact name in the backend's present list: the kept list may be
// up to two seconds old, so the device is looked up by name, not by position.
int findInList (const juce::StringArray& names, const juce::String& name)
{
    return names.indexOf (name, false);
}
} // namespace

MidiPortPair::MidiPortPair (std::function<void()> onArrival)
    : arrivalNotice (std::move (onArrival))
    , callback (*this)
{
}

MidiPortPair::~MidiPortPair()
{
    const juce::ScopedLock sl (portLock);
    closeInputLocked();
    closeOutputLocked();
}

//==============================================================================
void MidiPortPair::refreshDeviceLists()
{
    auto& backend = MidiPortBackend::get();
    auto ins = backend.getInputNames();
    auto outs = backend.getOutputNames();

    {
        const juce::ScopedLock sl (inputNamesLock);
        inputNames = ins;
    }
    {
        const juce::ScopedLock sl (outputNamesLock);
        outputNames = outs;
    }
}

juce::StringArray MidiPortPair::getInputNames() const
{
    const juce::ScopedLock sl (inputNamesLock);
    return inputNames;
}

juce::StringArray MidiPortPair::getOutputNames() const
{
    const juce::ScopedLock sl (outputNamesLock);
    return outputNames;
}

//==============================================================================
bool MidiPortPair::openInputByName (const juce::String& name)
{
    const juce::ScopedLock sl (portLock);

    // Each candidate is opened by its listed name, never by its position: the
    // timer may refresh the list while this runs on the link thread.
    for (auto& listed : getInputNames())
        if (listed.contains (name) && openListedInputLocked (listed))
            return true;

    return false;
}

bool MidiPortPair::openOutputByName (const juce::String& name)
{
    const juce::ScopedLock sl (portLock);

    for (auto& listed : getOutputNames())
        if (listed.contains (name) && openListedOutputLocked (listed))
            return true;

    return false;
}

bool MidiPortPair::openInputByIndex (int index)
{
    const juce::ScopedLock sl (portLock);
    auto names = getInputNames();

    if (! juce::isPositiveAndBelow (index, names.size()))
    {
        closeInputLocked();
        return false;
    }

    return openListedInputLocked (names[index]);
}

bool MidiPortPair::openOutputByIndex (int index)
{
    const juce::ScopedLock sl (portLock);
    auto names = getOutputNames();

    if (! juce::isPositiveAndBelow (index, names.size()))
    {
        closeOutputLocked();
        return false;
    }

    return openListedOutputLocked (names[index]);
}

bool MidiPortPair::openListedInputLocked (const juce::String& listedName)
{
    closeInputLocked();

    auto& backend = MidiPortBackend::get();
    auto deviceIndex = findInList (backend.getInputNames(), listedName);

    if (deviceIndex < 0)
        return false;

    auto opened = backend.openInput (deviceIndex, &callback);

    if (opened == nullptr)
        return false;

    opened->start();
    input = std::move (opened);
    inputName = listedName;
    return true;
}

bool MidiPortPair::openListedOutputLocked (const juce::String& listedName)
{
    closeOutputLocked();

    auto& backend = MidiPortBackend::get();
    auto deviceIndex = findInList (backend.getOutputNames(), listedName);

    if (deviceIndex < 0)
        return false;

    auto opened = backend.openOutput (deviceIndex);

    if (opened == nullptr)
        return false;

    output = std::move (opened);
    outputName = listedName;
    return true;
}

bool MidiPortPair::closeInput()
{
    const juce::ScopedLock sl (portLock);
    return closeInputLocked();
}

bool MidiPortPair::closeOutput()
{
    const juce::ScopedLock sl (portLock);
    return closeOutputLocked();
}

bool MidiPortPair::closeInputLocked()
{
    if (input == nullptr)
        return false;

    input->stop();
    input.reset();
    inputName.clear();
    return true;
}

bool MidiPortPair::closeOutputLocked()
{
    if (output == nullptr)
        return false;

    output.reset();
    outputName.clear();
    return true;
}

bool MidiPortPair::isInputOpen() const
{
    const juce::ScopedLock sl (portLock);
    return input != nullptr;
}

bool MidiPortPair::isOutputOpen() const
{
    const juce::ScopedLock sl (portLock);
    return output != nullptr;
}

juce::String MidiPortPair::getInputName() const
{
    const juce::ScopedLock sl (portLock);
    return inputName;
}

juce::String MidiPortPair::getOutputName() const
{
    const juce::ScopedLock sl (portLock);
    return outputName;
}

//==============================================================================
bool MidiPortPair::sendMessageNow (const juce::MidiMessage& message)
{
    {
        const juce::ScopedLock sl (portLock);

        if (output == nullptr)
            return false;

        output->sendMessageNow (message);
    }

    const juce::ScopedLock sl (outputActivityLock);
    outputActivity = true;
    return true;
}

void MidiPortPair::appendIncoming (const juce::MidiMessage& message)
{
    {
        const juce::ScopedLock sl (inputBufferLock);
        // Same sample position for all: the buffer keeps such events in arrival order.
        inputBuffer.addEvent (message, 0);

        const juce::ScopedLock activity (inputActivityLock);
        inputActivity = true;
    }

    if (arrivalNotice)
        arrivalNotice();
}

void MidiPortPair::takeIncoming (juce::MidiBuffer& dest)
{
    dest.clear();
    const juce::ScopedLock sl (inputBufferLock);
    dest.swapWith (inputBuffer);
}

bool MidiPortPair::readAndClearInputActivity()
{
    const juce::ScopedLock sl (inputActivityLock);
    auto was = inputActivity;
    inputActivity = false;
    return was;
}

bool MidiPortPair::readAndClearOutputActivity()
{
    const juce::ScopedLock sl (outputActivityLock);
    auto was = outputActivity;
    outputActivity = false;
    return was;
}
