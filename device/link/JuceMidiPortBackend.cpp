#include "device/link/JuceMidiPortBackend.h"

#if JUCE_LINUX && JUCE_ALSA
 #include <alsa/asoundlib.h>

 #include <cstdarg>
 #include <cstdio>
 #include <mutex>
 #include <set>
 #include <string>
#endif

namespace
{
#if JUCE_LINUX && JUCE_ALSA
// Writes an ALSA error line as ALSA itself would, but only the first time
// that place in ALSA reports it.
void writeAlsaErrorOnce (const char* file, int line, const char* function, int error, const char* format, ...)
{
    static std::mutex lock;
    static std::set<std::string> written;

    {
        const std::lock_guard<std::mutex> guard (lock);

        if (! written.insert (std::string (file != nullptr ? file : "") + ":" + std::to_string (line)).second)
            return;
    }

    char text[512] = {};
    va_list args;
    va_start (args, format);
    std::vsnprintf (text, sizeof (text), format, args);
    va_end (args);

    std::fprintf (stderr, "ALSA lib %s:%i:(%s) %s%s%s\n", file != nullptr ? file : "", line,
                  function != nullptr ? function : "", text, error != 0 ? ": " : "",
                  error != 0 ? snd_strerror (error) : "");
}
#endif

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

JuceMidiPortBackend::JuceMidiPortBackend()
{
#if JUCE_LINUX && JUCE_ALSA
    static std::once_flag installed;
    std::call_once (installed, [] { snd_lib_error_set_handler (&writeAlsaErrorOnce); });
#endif
}

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
