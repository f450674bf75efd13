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
