#include "SmokeRun.h"
#include "BenchRig.h"

#include <benchmark/benchmark.h>

// What the program costs while nobody uses it, with the unit connected (after
// the first preset load) and with no unit at all: CPU time of the whole
// process as a share of one core, and the wake-ups of all its threads per
// second, over 10 s of the message loop. scripts/program-figures.sh runs these and
// measures the program itself.

namespace
{
void BM_Idle (benchmark::State& state)
{
    const bool connected = state.range (0) != 0;
    bench::ProgramRig rig (connected);

    if (connected && ! rig.connectAndLoad())
    {
        state.SkipWithError ("the rig did not connect and load the preset");
        return;
    }

    // Settle (a first port retry, the device lists), then measure.
    bench::runMessageLoopFor (1500);
    const double seconds = bench::measuredOrLeast (10.0, 0.5);
    bench::ProcessUsage before, after;

    for (auto _ : state)
    {
        before = bench::ProcessUsage::now();
        bench::runMessageLoopFor ((int) (seconds * 1000));
        after = bench::ProcessUsage::now();
    }

    if (connected != rig.ticker->isLinkUp())
        state.SkipWithError ("the link was not in the state measured");

    state.counters["cpu_percent"] = 100.0 * (after.cpuSeconds - before.cpuSeconds) / seconds;
    state.counters["wakeups_per_s"] = (double) (after.wakeUps - before.wakeUps) / seconds;
}

BENCHMARK (BM_Idle)->ArgName ("connected")->Arg (1)->Arg (0)->Iterations (1)->UseRealTime()->Unit (benchmark::kSecond);
} // namespace
