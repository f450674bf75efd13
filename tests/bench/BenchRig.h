#pragma once

#include "device/engines/LinkTicker.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExFraming.h"
#include "model/KestrelEffectManager.h"
#include "support/RecordingNotifier.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <juce_events/juce_events.h>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

// What the benchmarks share: the program's own message loop, the program's
// link stack against the simulated unit, and the process's CPU time and
// wake-ups.

namespace juce
{
// One turn of the framework's own message loop (the one runDispatchLoop runs):
// sleeps until an event arrives, then dispatches it. runDispatchLoopUntil
// would poll every millisecond instead, and stopDispatchLoop ends the loop for
// good, so the benchmarks turn it themselves.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace bench
{
// Runs the message loop until done() holds, checked after each message; false
// when timeoutMs passed first.
inline bool runMessageLoopUntil (const std::function<bool()>& done, int timeoutMs)
{
    const auto started = juce::Time::getMillisecondCounter();

    while (! done())
    {
        if (juce::Time::getMillisecondCounter() - started > (juce::uint32) timeoutMs)
            return false;

        juce::dispatchNextMessageOnSystemQueue (false);
    }

    return true;
}

// Runs the message loop for a while, whatever happens.
inline void runMessageLoopFor (int ms)
{
    // A timer of our own wakes the loop at the end (and again, should it
    // fire a little early); it goes with this call, so nothing is left
    // behind when the loop ends first.
    struct Wake : juce::Timer
    {
        void timerCallback() override {}
    } wake;

    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) ms;
    wake.startTimer (juce::jmax (1, ms));
    runMessageLoopUntil ([end] { return juce::Time::getMillisecondCounter() >= end; }, ms + 5000);
}

// CPU time of the whole process and the wake-ups of all its threads: the
// voluntary context switches (a thread that sleeps and wakes up again
// switches once; switches forced by other processes are left out).
struct ProcessUsage
{
    double cpuSeconds = 0;
    long long wakeUps = 0;

    static ProcessUsage now()
    {
        ProcessUsage usage;
        rusage self{};

        if (getrusage (RUSAGE_SELF, &self) == 0)
            usage.cpuSeconds = (double) (self.ru_utime.tv_sec + self.ru_stime.tv_sec) +
                               (double) (self.ru_utime.tv_usec + self.ru_stime.tv_usec) / 1e6;

        for (const auto& task : juce::File ("/proc/self/task").findChildFiles (juce::File::findDirectories, false))
        {
            juce::StringArray lines;
            task.getChildFile ("status").readLines (lines);

            for (const auto& line : lines)
                if (line.startsWith ("voluntary_ctxt_switches:"))
                    usage.wakeUps += line.fromFirstOccurrenceOf (":", false, false).trim().getLargeIntValue();
        }

        return usage;
    }
};

// The value below which the given share of the samples lies.
inline double percentile (std::vector<double> samples, double share)
{
    if (samples.empty())
        return 0;

    std::sort (samples.begin(), samples.end());
    auto index = (size_t) std::min ((double) samples.size() - 1, share * (double) samples.size());
    return samples[index];
}

// The program's link stack against the simulated unit, as the program runs it:
// the real link thread, the virtual devices delivering the unit's replies on
// a thread of their own (as a driver does), the preset manager and the main
// window's tick on a real 10 ms timer on this (the message) thread.
class ProgramRig
{
public:
    explicit ProgramRig (bool unitPresent = true)
        : useBackend (backend)
        , previousModel (currentSysExModel.load())
    {
        if (unitPresent)
            unit = std::make_unique<SimulatedKestrel> (backend);

        link = std::make_unique<ZOLMidiProcessing>();
        manager = std::make_unique<PresetManager> (link.get(), &effects, nullptr);
        manager->addSupportedModel ({ 8, 6, 0 });
        ticker = std::make_unique<LinkTicker> (*link, *manager, nullptr);
        timer = std::make_unique<TickTimer> (*ticker, *manager, *link);
    }

    ~ProgramRig()
    {
        timer.reset();
        link->stopProcessing();
        manager->releaseLinkRequests();
        ticker.reset();
        manager.reset();
        link.reset();
        currentSysExModel.store (previousModel);
    }

    // Connects and runs what the program runs once a unit is found: the
    // version query, then "Initialization", which loads the current preset.
    bool connectAndLoad()
    {
        if (! runMessageLoopUntil ([this] { return ticker->isLinkUp(); }, 5000))
            return false;

        if (! runRequest (queryDeviceVersion))
            return false;

        manager->getRequest (initialization).start();
        return runMessageLoopUntil (
            [this]
            {
                return ! manager->getRequest (initialization).isRunning() &&
                       manager->getRequest (loadPreset).getResult() == ZolStateMachine::resultCompleted &&
                       ! manager->getRequest (loadPreset).isRunning();
            },
            20000);
    }

    // Stamps the moment the unit answers a message of the function (it answers
    // on the sending, link, thread before the send returns) until the rig goes.
    void stampRepliesTo (juce::uint8 function, std::atomic<double>& sentAt)
    {
        auto* simulated = unit.get();
        backend.setOutputHandler (simulated->getDeviceName(),
                                  [simulated, function, &sentAt] (const juce::MidiMessage& message)
                                  {
                                      simulated->receive (message);

                                      if (message.isSysEx() && message.getRawDataSize() > sysExFunctionOffset &&
                                          message.getRawData()[sysExFunctionOffset] == function)
                                          sentAt.store (juce::Time::getMillisecondCounterHiRes());
                                  });
    }

    void stopStamping()
    {
        auto* simulated = unit.get();
        backend.setOutputHandler (simulated->getDeviceName(),
                                  [simulated] (const juce::MidiMessage& m) { simulated->receive (m); });
    }

    bool runRequest (NamedRequest which)
    {
        manager->getRequest (which).start();
        return waitForRequest (which);
    }

    bool waitForRequest (NamedRequest which)
    {
        return runMessageLoopUntil ([this, which] { return ! manager->getRequest (which).isRunning(); }, 20000) &&
               manager->getRequest (which).getResult() == ZolStateMachine::resultCompleted;
    }

    VirtualMidiBackend backend; // delivery on its own thread
    VirtualMidiBackend::Installed useBackend;
    std::unique_ptr<SimulatedKestrel> unit;
    RecordingNotifier notices;
    KestrelEffectManager effects;
    std::unique_ptr<ZOLMidiProcessing> link;
    std::unique_ptr<PresetManager> manager;
    std::unique_ptr<LinkTicker> ticker;

private:
    // The main window's tick, paced as the main window paces it: 10 ms while
    // anything runs, otherwise asleep until the link's activity wakes it or
    // the port retry is due.
    struct TickTimer : private juce::Timer, private juce::AsyncUpdater
    {
        static constexpr int busyIntervalMs = 10;

        TickTimer (LinkTicker& t, PresetManager& manager, ZOLMidiProcessing& linkToWatch)
            : ticker (t)
            , presetManager (manager)
            , link (linkToWatch)
        {
            presetManager.setRequestStartedCallback ([this] { startTimer (busyIntervalMs); });
            link.setActivityCallback ([this] { triggerAsyncUpdate(); });
            startTimer (busyIntervalMs);
        }

        ~TickTimer() override
        {
            link.setActivityCallback ({});
            cancelPendingUpdate();
            presetManager.setRequestStartedCallback ({});
            stopTimer();
        }

        void handleAsyncUpdate() override
        {
            if (getTimerInterval() != busyIntervalMs)
                timerCallback();
        }

        void timerCallback() override
        {
            ticker.tick();
            const auto next = ticker.getNextTickIntervalMs (busyIntervalMs);

            if (next != getTimerInterval())
                startTimer (next);
        }

        LinkTicker& ticker;
        PresetManager& presetManager;
        ZOLMidiProcessing& link;
    };

    std::unique_ptr<TickTimer> timer;
    juce::uint8 previousModel;
};
} // namespace bench
