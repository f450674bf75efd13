#include "VirtualMidiBackend.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

struct VirtualMidiBackend::Core
{
    struct InputRecord
    {
        juce::String name;
        juce::MidiInputCallback* callback = nullptr;
        bool started = false;
        bool alive = true;
    };

    struct OutputRecord
    {
        juce::String name;
        bool alive = true;
    };

    juce::CriticalSection lock;
    juce::StringArray inputNames, outputNames;
    juce::Array<InputRecord*> inputs;
    juce::Array<OutputRecord*> outputs;
    std::map<juce::String, Handler> handlers;
    std::map<juce::String, int> sentCounts;

    void deliver (const juce::String& inputName, const juce::MidiMessage& message)
    {
        // Held while calling back, so that a port cannot be closed under a delivery.
        const juce::ScopedLock sl (lock);

        for (auto* input : inputs)
            if (input->alive && input->started && input->name == inputName && input->callback != nullptr)
                input->callback->handleIncomingMidiMessage (nullptr, message);
    }

    void send (OutputRecord& output, const juce::MidiMessage& message)
    {
        Handler handler;
        {
            const juce::ScopedLock sl (lock);

            if (! output.alive)
                return;

            ++sentCounts[output.name];
            auto found = handlers.find (output.name);

            if (found != handlers.end())
                handler = found->second;
        }

        if (handler)
            handler (message);
    }
};

namespace
{
class VirtualInputPort : public MidiPortBackend::InputPort
{
public:
    VirtualInputPort (std::shared_ptr<VirtualMidiBackend::Core> c, const juce::String& name,
                      juce::MidiInputCallback* callback)
        : core (std::move (c))
    {
        record.name = name;
        record.callback = callback;
        const juce::ScopedLock sl (core->lock);
        core->inputs.add (&record);
    }

    ~VirtualInputPort() override
    {
        const juce::ScopedLock sl (core->lock);
        core->inputs.removeFirstMatchingValue (&record);
    }

    void start() override
    {
        const juce::ScopedLock sl (core->lock);
        record.started = true;
    }

    void stop() override
    {
        const juce::ScopedLock sl (core->lock);
        record.started = false;
    }

private:
    std::shared_ptr<VirtualMidiBackend::Core> core;
    VirtualMidiBackend::Core::InputRecord record;
};

class VirtualOutputPort : public MidiPortBackend::OutputPort
{
public:
    VirtualOutputPort (std::shared_ptr<VirtualMidiBackend::Core> c, const juce::String& name)
        : core (std::move (c))
    {
        record.name = name;
        const juce::ScopedLock sl (core->lock);
        core->outputs.add (&record);
    }

    ~VirtualOutputPort() override
    {
        const juce::ScopedLock sl (core->lock);
        core->outputs.removeFirstMatchingValue (&record);
    }

    void sendMessageNow (const juce::MidiMessage& message) override { core->send (record, message); }

private:
    std::shared_ptr<VirtualMidiBackend::Core> core;
    VirtualMidiBackend::Core::OutputRecord record;
};
} // namespace

//==============================================================================
class VirtualMidiBackend::DeliveryThread
{
public:
    explicit DeliveryThread (std::shared_ptr<Core> c)
        : core (std::move (c))
        , thread ([this] { run(); })
    {
    }

    ~DeliveryThread()
    {
        {
            std::lock_guard<std::mutex> guard (mutex);
            quit = true;
        }
        wake.notify_all();
        thread.join();
    }

    void push (const juce::String& name, const juce::MidiMessage& message)
    {
        {
            std::lock_guard<std::mutex> guard (mutex);
            queue.emplace_back (name, message);
        }
        wake.notify_all();
    }

    bool waitUntilEmpty (int timeoutMs)
    {
        std::unique_lock<std::mutex> guard (mutex);
        return idle.wait_for (guard, std::chrono::milliseconds (timeoutMs),
                              [this] { return queue.empty() && ! delivering; });
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> guard (mutex);

        for (;;)
        {
            wake.wait (guard, [this] { return quit || ! queue.empty(); });

            if (quit)
                return;

            auto item = queue.front();
            queue.pop_front();
            delivering = true;
            guard.unlock();
            core->deliver (item.first, item.second);
            guard.lock();
            delivering = false;

            if (queue.empty())
                idle.notify_all();
        }
    }

    std::shared_ptr<Core> core;
    std::mutex mutex;
    std::condition_variable wake, idle;
    std::deque<std::pair<juce::String, juce::MidiMessage>> queue;
    bool delivering = false;
    bool quit = false;
    std::thread thread;
};

//==============================================================================
VirtualMidiBackend::VirtualMidiBackend (Delivery delivery)
    : core (std::make_shared<Core>())
{
    if (delivery == Delivery::onDeliveryThread)
        deliveryThread = std::make_unique<DeliveryThread> (core);
}

VirtualMidiBackend::~VirtualMidiBackend()
{
    deliveryThread.reset();

    // Ports that outlive the backend go dead.
    const juce::ScopedLock sl (core->lock);
    for (auto* input : core->inputs)
        input->alive = false;
    for (auto* output : core->outputs)
        output->alive = false;
    core->handlers.clear();
}

void VirtualMidiBackend::addInput (const juce::String& name)
{
    const juce::ScopedLock sl (core->lock);
    core->inputNames.addIfNotAlreadyThere (name);
}

void VirtualMidiBackend::addOutput (const juce::String& name)
{
    const juce::ScopedLock sl (core->lock);
    core->outputNames.addIfNotAlreadyThere (name);
}

void VirtualMidiBackend::addDevice (const juce::String& name)
{
    addInput (name);
    addOutput (name);
}

void VirtualMidiBackend::removeInput (const juce::String& name)
{
    const juce::ScopedLock sl (core->lock);
    core->inputNames.removeString (name);

    for (auto* input : core->inputs)
        if (input->name == name)
            input->alive = false;
}

void VirtualMidiBackend::removeOutput (const juce::String& name)
{
    const juce::ScopedLock sl (core->lock);
    core->outputNames.removeString (name);

    for (auto* output : core->outputs)
        if (output->name == name)
            output->alive = false;
}

void VirtualMidiBackend::removeDevice (const juce::String& name)
{
    removeInput (name);
    removeOutput (name);
}

void VirtualMidiBackend::setOutputHandler (const juce::String& outputName, Handler handler)
{
    const juce::ScopedLock sl (core->lock);

    if (handler)
        core->handlers[outputName] = std::move (handler);
    else
        core->handlers.erase (outputName);
}

void VirtualMidiBackend::pushToInput (const juce::String& inputName, const juce::MidiMessage& message)
{
    if (deliveryThread != nullptr)
        deliveryThread->push (inputName, message);
    else
        core->deliver (inputName, message);
}

bool VirtualMidiBackend::waitUntilDelivered (int timeoutMs)
{
    return deliveryThread == nullptr || deliveryThread->waitUntilEmpty (timeoutMs);
}

int VirtualMidiBackend::getNumOpenInputs (const juce::String& name) const
{
    const juce::ScopedLock sl (core->lock);
    int n = 0;
    for (auto* input : core->inputs)
        if (input->name == name)
            ++n;
    return n;
}

int VirtualMidiBackend::getNumOpenOutputs (const juce::String& name) const
{
    const juce::ScopedLock sl (core->lock);
    int n = 0;
    for (auto* output : core->outputs)
        if (output->name == name)
            ++n;
    return n;
}

int VirtualMidiBackend::getNumMessagesSent (const juce::String& outputName) const
{
    const juce::ScopedLock sl (core->lock);
    auto found = core->sentCounts.find (outputName);
    return found == core->sentCounts.end() ? 0 : found->second;
}

juce::StringArray VirtualMidiBackend::getInputNames()
{
    const juce::ScopedLock sl (core->lock);
    return core->inputNames;
}

juce::StringArray VirtualMidiBackend::getOutputNames()
{
    const juce::ScopedLock sl (core->lock);
    return core->outputNames;
}

std::unique_ptr<MidiPortBackend::InputPort> VirtualMidiBackend::openInput (int index, juce::MidiInputCallback* callback)
{
    juce::String name;
    {
        const juce::ScopedLock sl (core->lock);

        if (! juce::isPositiveAndBelow (index, core->inputNames.size()) || callback == nullptr)
            return nullptr;

        name = core->inputNames[index];
    }

    return std::make_unique<VirtualInputPort> (core, name, callback);
}

std::unique_ptr<MidiPortBackend::OutputPort> VirtualMidiBackend::openOutput (int index)
{
    juce::String name;
    {
        const juce::ScopedLock sl (core->lock);

        if (! juce::isPositiveAndBelow (index, core->outputNames.size()))
            return nullptr;

        name = core->outputNames[index];
    }

    return std::make_unique<VirtualOutputPort> (core, name);
}
