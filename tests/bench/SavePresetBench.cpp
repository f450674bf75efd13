#include "SmokeRun.h"
#include "BenchRig.h"

#include <benchmark/benchmark.h>

// SAVE as the user waits for it, against the simulated unit on the real link
// thread and the main window's tick: "Save Preset" alone (asked:0), and with
// the question before it of which preset and scene the unit plays (asked:1),
// as the program saves now. Wall time per save, and the messages each one sends.
static void BM_SavePreset (benchmark::State& state)
{
    const bool asked = state.range (0) != 0;
    bench::ProgramRig rig;
    int bank = 0, program = 0;

    if (! rig.connectAndLoad() || ! rig.manager->getCurrentBankAndProgram (bank, program))
    {
        state.SkipWithError ("the rig did not connect and load the preset");
        return;
    }

    auto save = [&] { return rig.manager->requestSavePreset ((juce::uint8) bank, (juce::uint8) program); };
    double saves = 0, requests = 0;

    for (auto _ : state)
    {
        rig.unit->clearReceived();
        bool started = false, answered = ! asked;

        if (asked)
            rig.manager->checkPresetNumber (
                [&] (const PresetManager::PresetNumberAnswer& answer)
                {
                    answered = true;
                    started = answer.kind == PresetManager::PresetNumberAnswer::Kind::same && save();
                });
        else
            started = save();

        if (! bench::runMessageLoopUntil ([&] { return answered; }, 20000) || ! started
            || ! rig.waitForRequest (savePreset) || rig.manager->getRequest (loadPreset).isRunning())
        {
            state.SkipWithError ("Save Preset did not complete, or the preset was read again");
            break;
        }

        requests += (double) rig.unit->getReceived().size();
        saves += 1;
    }

    if (saves > 0)
        state.counters["requests_per_save"] = requests / saves;
}

BENCHMARK (BM_SavePreset)
    ->ArgName ("asked")
    ->Arg (0)
    ->Arg (1)
    ->UseRealTime()
    ->Unit (benchmark::kMillisecond)
    ->Apply (bench::minTimeOrOnce<3>);
