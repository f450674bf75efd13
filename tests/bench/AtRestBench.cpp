#include "SmokeRun.h"
#include "BenchRig.h"

#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "model/UserFolders.h"
#include "skin/knobs/BrakFxReadout.h"
#include "support/CachedDefinitions.h"
#include "support/ForgetSingletons.h"
#include "support/ScratchFolder.h"

#include <benchmark/benchmark.h>

// The whole program at rest in this process (the application object, its
// main window and every manager, the MIDI devices virtual), beside a bare
// framework window of the same size in the same run: after restMs of rest,
// measuredSeconds one-second figures of the process's CPU time (share of one
// core) and wake-ups (voluntary context switches of all its threads), and
// their medians. scripts/program-figures.sh runs these.
//
// States: 0 a bare window, 1 the program with no unit, 2 the program
// connected to an idle simulated unit (after the first preset load).

namespace
{
const int restMs = bench::measuredOrLeast (5000, 200);
const int measuredSeconds = bench::measuredOrLeast (20, 1);

bool hasDisplay (benchmark::State& state)
{
    if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty())
        return true;
    state.SkipWithError ("needs a display");
    return false;
}

void measureAtRest (benchmark::State& state)
{
    bench::runMessageLoopFor (restMs);
    std::vector<double> cpu, wakeUps;

    for (auto _ : state)
    {
        auto before = bench::ProcessUsage::now();

        for (int i = 0; i < measuredSeconds; ++i)
        {
            bench::runMessageLoopFor (1000);
            const auto after = bench::ProcessUsage::now();
            cpu.push_back (100.0 * (after.cpuSeconds - before.cpuSeconds));
            wakeUps.push_back ((double) (after.wakeUps - before.wakeUps));
            before = after;
        }
    }

    state.counters["cpu_percent"] = bench::percentile (cpu, 0.5);
    state.counters["wakeups_per_s"] = bench::percentile (wakeUps, 0.5);
}

// The program as it starts, its user folders in a scratch folder.
struct ProgramAtRest
{
    explicit ProgramAtRest (bool withUnit)
    {
        UserFolders::redirectTo (scratch.folder);
        cacheDefinitionsOfTheSimulatedUnit();

        if (withUnit)
            unit = std::make_unique<SimulatedKestrel> (backend);

        app = std::make_unique<KestrelEditApplication>();
        app->initialise ({});
    }

    ~ProgramAtRest()
    {
        app->shutdown();
        app.reset();
        forgetSingletons();
        KestrelCommandTarget::resetForTests();
        unit.reset();
        UserFolders::redirectTo ({});
    }

    ControlUnitContent* getFrontPanel() const
    {
        auto* window = app->getMainWindow();
        return window != nullptr && window->getContent() != nullptr ? window->getContent()->getFrontPanel() : nullptr;
    }

    // Connected, the unit's preset loaded and shown, nothing running.
    bool presetShown (int presetNumber = -1) const
    {
        auto* window = app->getMainWindow();
        auto* presets = PresetManager::getInstanceWithoutCreating();
        auto* panel = getFrontPanel();
        return window != nullptr && presets != nullptr && panel != nullptr && window->isShowingConnected()
            && presets->getCurrentPresetNumber() >= 0
            && (presetNumber < 0 || presets->getCurrentPresetNumber() == presetNumber) && ! presets->hasWork()
            && panel->areControlsEnabled() && panel->getPresetName()->getText() == presets->getCurrentPresetName();
    }

    RecordingNotifier notices;
    ScratchFolder scratch{ "kestrel-bench-at-rest" };
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend{ backend };
    std::unique_ptr<SimulatedKestrel> unit;
    std::unique_ptr<KestrelEditApplication> app;
};

void BM_AtRest (benchmark::State& state)
{
    if (! hasDisplay (state))
        return;

    if (state.range (0) == 0)
    {
        juce::DocumentWindow window ("Reference", juce::Colours::black, juce::DocumentWindow::allButtons);
        window.setUsingNativeTitleBar (false);
        window.setContentOwned (new juce::Component(), false);
        window.setContentComponentSize (MainAppWindow::contentWidth, MainAppWindow::contentHeight);
        window.setVisible (true);
        measureAtRest (state);
        return;
    }

    const bool connected = state.range (0) == 2;
    ProgramAtRest program (connected);

    if (connected && ! bench::runMessageLoopUntil ([&] { return program.presetShown(); }, 30000))
    {
        state.SkipWithError ("the program did not connect and show the unit's preset");
        return;
    }

    measureAtRest (state);

    if (program.app->getMainWindow()->isShowingConnected() != connected)
        state.SkipWithError ("the program was not in the state measured");
}

BENCHMARK (BM_AtRest)->ArgName ("state")->Arg (0)->Arg (1)->Arg (2)->Iterations (1)->UseRealTime()->Unit (benchmark::kSecond);

// A preset chosen on the unit itself, from the moment the unit reports it to
// the front panel showing it loaded, the window at rest before each change.
void BM_PresetChangeOnUnitToWindow (benchmark::State& state)
{
    if (! hasDisplay (state))
        return;

    ProgramAtRest program (true);

    if (! bench::runMessageLoopUntil ([&] { return program.presetShown(); }, 30000))
    {
        state.SkipWithError ("the program did not connect and show the unit's preset");
        return;
    }

    int next = program.unit->getCurrentPresetNumber();
    std::vector<double> times;

    for (auto _ : state)
    {
        bench::runMessageLoopFor (1500);
        next = (next + 1) % 8;
        const auto started = juce::Time::getMillisecondCounterHiRes();
        program.unit->selectPresetOnUnit (next);

        if (! bench::runMessageLoopUntil ([&] { return program.presetShown (next); }, 10000))
        {
            state.SkipWithError ("the window did not show the preset chosen on the unit");
            return;
        }

        times.push_back (juce::Time::getMillisecondCounterHiRes() - started);
        state.SetIterationTime (times.back() / 1000.0);
    }

    state.counters["median_ms"] = bench::percentile (times, 0.5);
}

BENCHMARK (BM_PresetChangeOnUnitToWindow)->Iterations (bench::measuredOrLeast (10, 1))->UseManualTime()->Unit (benchmark::kMillisecond);
} // namespace
