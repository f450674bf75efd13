#include "SmokeRun.h"
#include "BenchRig.h"
#include "model/IdTables.h"

#include <benchmark/benchmark.h>

#include <atomic>

// Edit latency: a parameter change from the panel's starter ("Set Param") to
// the unit's reply, and on to the end code that the panel waits for, over
// 1,000 changes. Everything runs as in the program: the real link thread, the
// virtual devices' delivery thread and the main window's 10 ms tick on the
// message loop.

namespace
{
class EndCodeListener : public juce::ChangeListener
{
public:
    EndCodeListener (PresetManager& m, juce::int32 code)
        : manager (m)
        , endCode (code)
    {
        manager.addChangeListener (this);
    }

    ~EndCodeListener() override { manager.removeChangeListener (this); }

    void changeListenerCallback (juce::ChangeBroadcaster*) override
    {
        if (manager.getStatus() == endCode)
            seenAt = juce::Time::getMillisecondCounterHiRes();
    }

    PresetManager& manager;
    juce::int32 endCode;
    double seenAt = 0;
};

void BM_EditLatency (benchmark::State& state)
{
    bench::ProgramRig rig;

    if (! rig.connectAndLoad())
    {
        state.SkipWithError ("the rig did not connect and load the preset");
        return;
    }

    std::atomic<double> replySentAt{ 0 };
    rig.stampRepliesTo (SYSEX_PARAM_SET, replySentAt);

    EndCodeListener listener (*rig.manager, rig.manager->getRequest (setParam).endCode);
    const int changes = bench::measuredOrLeast (1000, 3);
    std::vector<double> toReply, toEndCode;

    for (auto _ : state)
    {
        toReply.clear();
        toEndCode.clear();

        for (int i = 0; i < changes; ++i)
        {
            replySentAt.store (0);
            listener.seenAt = 0;
            const auto started = juce::Time::getMillisecondCounterHiRes();

            if (! rig.manager->requestSetParam (106, 1, (juce::uint16) (i * 37 % 65535)) ||
                ! bench::runMessageLoopUntil ([&] { return listener.seenAt > 0; }, 10000) || replySentAt.load() == 0)
            {
                state.SkipWithError ("a parameter change did not come back");
                break;
            }

            toReply.push_back (replySentAt.load() - started);
            toEndCode.push_back (listener.seenAt - started);
            rig.unit->clearReceived();
        }
    }

    rig.stopStamping();

    state.counters["changes"] = (double) toReply.size();
    state.counters["reply_p50_ms"] = bench::percentile (toReply, 0.5);
    state.counters["reply_p99_ms"] = bench::percentile (toReply, 0.99);
    state.counters["endcode_p50_ms"] = bench::percentile (toEndCode, 0.5);
    state.counters["endcode_p99_ms"] = bench::percentile (toEndCode, 0.99);
}

BENCHMARK (BM_EditLatency)->Iterations (1)->UseRealTime()->Unit (benchmark::kSecond);
} // namespace
