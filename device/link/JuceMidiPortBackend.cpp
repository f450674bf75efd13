#include "device/link/JuceMidiPortBackend.h"

namespace
{
juce::StringArray namesOf (const juce::Array<juce::MidiDeviceInfo>& devices)
{
    juce::StringArray names;
    for (auto& device : devices)
        names.add (device.name);
    return names;
}

class JuceInputPort : public MidiPortBackend::InputPort
{
public:
    explicit JuceInputPort (std::unique_ptr<juce::MidiInput> in)
        : input (std::move (in))
    {
    }
    ~JuceInputPort() override { input->stop(); }
    void start() override { input->start(); }
    void stop() override { input->stop(); }

private:
    std::unique_ptr<juce::MidiInput> input;
};

class JuceOutputPort : public MidiPortBackend::OutputPort
{
public:
    explicit JuceOutputPort (std::unique_ptr<juce::MidiOutput> out)
        : output (std::move (out))
    {
    }
    void sendMessageNow (const juce::MidiMessage& message) override { output->sendMessageNow (message); }

private:
    std::unique_ptr<juce::MidiOutput> output;
};
} // namespace

juce::StringArray JuceMidiPortBackend::getInputNames()
{
    return namesOf (juce::MidiInput::getAvailableDevices());
}

juce::StringArray JuceMidiPortBackend::getOutputNames()
{
    return namesOf (juce::MidiOutput::getAvailableDevices());
}

std::unique_ptr<MidiPortBackend::InputPort> JuceMidiPortBackend::openInput (int index,
                                                                            juce::MidiInputCallback* callback)
{
    auto devices = juce::MidiInput::getAvailableDevices();

    if (! juce::isPositiveAndBelow (index, devices.size()) || callback == nullptr)
        return nullptr;

    if (auto input = juce::MidiInput::openDevice (devices[index].identifier, callback))
        return std::make_unique<JuceInputPort> (std::move (input));

    return nullptr;
}

std::unique_ptr<MidiPortBackend::OutputPort> JuceMidiPortBackend::openOutput (int index)
{
    auto devices = juce::MidiOutput::getAvailableDevices();

    if (! juce::isPositiveAndBelow (index, devices.size()))
        return nullptr;

    if (auto output = juce::MidiOutput::openDevice (devices[index].identifier))
        return std::make_unique<JuceOutputPort> (std::move (output));

    return nullptr;
}
