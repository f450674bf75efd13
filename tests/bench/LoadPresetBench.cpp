#include "SmokeRun.h"
#include "BenchRig.h"
#include "device/engines/LinkTicker.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExFraming.h"
#include "model/KestrelEffectManager.h"
#include "support/ManualClock.h"
#include "support/RecordingNotifier.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <benchmark/benchmark.h>

// "Load Preset" against a simulated unit that answers at once: the link's
// passes, the ticks and the clock are driven by hand, so the figure is the
// program's own work per load (wall time) and the requests it made.
static void BM_LoadPreset (benchmark::State& state)
{
    VirtualMidiBackend backend (VirtualMidiBackend::Delivery::synchronous);
    VirtualMidiBackend::Installed useBackend (backend);
    ManualClock clock (100000);
    ManualClock::Installed useClock (clock);
    SimulatedKestrel unit (backend, "1- Kestrel MIDI");
    RecordingNotifier notices;
    KestrelEffectManager effects;
    auto previousModel = currentSysExModel.load();

    {
        ZOLMidiProcessing link;
        PresetManager manager (&link, &effects, nullptr);
        manager.addSupportedModel ({ 8, 6, 0 });
        LinkTicker ticker (link, manager, nullptr);
        ticker.setLinkThreadRequired (false);

        auto tick = [&]
        {
            link.processPass();
            ticker.tick();
            link.processPass();
            clock.advance (10);
        };

        auto runWhile = [&] (NamedRequest which)
        {
            for (int i = 0; i < 100000 && manager.getRequest (which).isRunning(); ++i)
                tick();
        };

        tick();
        manager.getRequest (queryDeviceVersion).start();
        runWhile (queryDeviceVersion);

        double loads = 0, requests = 0;

        for (auto _ : state)
        {
            auto before = unit.getReceived().size();
            manager.requestLoadPreset();
            runWhile (loadPreset);
            requests += (double) (unit.getReceived().size() - before);
            loads += 1;

            if (manager.getRequest (loadPreset).getResult() != ZolStateMachine::resultCompleted)
                state.SkipWithError ("Load Preset did not complete");
        }

        state.counters["requests_per_load"] = loads > 0 ? requests / loads : 0;

        link.stopProcessing();
        manager.releaseLinkRequests();
    }

    currentSysExModel.store (previousModel);
}

BENCHMARK (BM_LoadPreset)->Unit (benchmark::kMillisecond);

// "Load Preset" as the user waits for it: the real link thread, the virtual
// devices' delivery thread and the main window's 10 ms tick on the message
// loop, one step per tick as the preset manager paces it. Wall time per load,
// with the requests and bytes each load moves.
static void BM_LoadPresetRealTimer (benchmark::State& state)
{
    bench::ProgramRig rig;

    if (! rig.connectAndLoad())
    {
        state.SkipWithError ("the rig did not connect and load the preset");
        return;
    }

    double loads = 0, requests = 0, bytesOut = 0, bytesIn = 0;

    for (auto _ : state)
    {
        const auto sentBefore = rig.unit->getNumBytesSent();
        rig.unit->clearReceived();

        if (! rig.manager->requestLoadPreset() || ! rig.waitForRequest (loadPreset))
        {
            state.SkipWithError ("Load Preset did not complete");
            break;
        }

        for (const auto& message : rig.unit->getReceived())
            bytesOut += message.getRawDataSize();

        requests += rig.unit->getReceived().size();
        bytesIn += (double) (rig.unit->getNumBytesSent() - sentBefore);
        loads += 1;
    }

    if (loads > 0)
    {
        state.counters["requests_per_load"] = requests / loads;
        state.counters["bytes_out_per_load"] = bytesOut / loads;
        state.counters["bytes_in_per_load"] = bytesIn / loads;
    }
}

BENCHMARK (BM_LoadPresetRealTimer)->UseRealTime()->Unit (benchmark::kMillisecond)->Apply (bench::minTimeOrOnce<3>);
