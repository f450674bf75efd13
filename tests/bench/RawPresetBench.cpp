#include "SmokeRun.h"
#include "device/engines/RawPresetThread.h"
#include "device/link/ZOLMidiProcessing.h"
#include "support/ScratchFolder.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <benchmark/benchmark.h>

#include <algorithm>

// The raw preset worker exporting and importing 8 presets against the
// simulated unit, which answers at once, through the real link thread. The
// figures are the wall time of a whole job divided per preset and the
// requests the unit received per preset; compare with BM_LinkRequestRoundTrip
// (one request through the link) from the same run.

namespace
{
constexpr int presetsPerJob = 8;
constexpr int firstTarget = 100;

struct RawPresetRig
{
    RawPresetRig()
        : backend (VirtualMidiBackend::Delivery::synchronous)
        , useBackend (backend)
        , unit (backend)
    {
        for (int i = 0; i < presetsPerJob; ++i)
        {
            auto preset = SimulatedPreset::makeShowcase();
            preset.name << " " << i;
            unit.setPreset (i, preset);
        }

        ready = link.getPorts().openInputByName ("Kestrel MIDI") && link.getPorts().openOutputByName ("Kestrel MIDI") &&
                link.startProcessing();
    }

    ~RawPresetRig() { link.stopProcessing(); }

    // Runs one job over the items; false when it did not end or an item failed.
    bool run (int kind, const juce::OwnedArray<RawPresetJobItem>& items)
    {
        RawPresetThread worker ({ 6, 0, 0, 0, 0, 0, 0, SimulatedKestrel::model }, &link);
        juce::Array<RawPresetJobItem*> list;

        for (auto* item : items)
            list.add (item);

        if (! worker.startJob (kind, list, 0, scratch.folder.getFullPathName()))
            return false;

        // The worker's wake-ups: its voluntary context switches, as last read
        // while it ran.
        const auto started = juce::Time::getMillisecondCounterHiRes();
        long long switches = 0;

        while (worker.isThreadRunning() && juce::Time::getMillisecondCounterHiRes() - started < 600000)
        {
            switches = std::max (switches, workerSwitches());
            juce::Thread::sleep (2);
        }

        workerWakeUps += switches;
        workerSeconds += (juce::Time::getMillisecondCounterHiRes() - started) / 1000.0;

        if (! worker.waitForThreadToExit (1000))
            return false;

        for (auto* item : items)
            if (item->getState() != RawPresetJobItem::stateDone)
                return false;

        return true;
    }

    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend;
    SimulatedKestrel unit;
    ZOLMidiProcessing link;
    ScratchFolder scratch;
    bool ready = false;
    long long workerWakeUps = 0;
    double workerSeconds = 0;

private:
    static long long workerSwitches()
    {
        for (const auto& task : juce::File ("/proc/self/task").findChildFiles (juce::File::findDirectories, false))
        {
            if (task.getChildFile ("comm").loadFileAsString().trim() != "RawPresetThread")
                continue;

            juce::StringArray lines;
            task.getChildFile ("status").readLines (lines);

            for (const auto& line : lines)
                if (line.startsWith ("voluntary_ctxt_switches:"))
                    return line.fromFirstOccurrenceOf (":", false, false).trim().getLargeIntValue();
        }

        return 0;
    }
};

void exportItems (juce::OwnedArray<RawPresetJobItem>& items)
{
    for (int i = 0; i < presetsPerJob; ++i)
        items.add (new RawPresetJobItem())->setPresetIndex ((juce::uint16) i);
}

void reportPerPreset (benchmark::State& state, const RawPresetRig& rig, double requests, double milliseconds)
{
    const auto presets = (double) state.iterations() * presetsPerJob;
    state.counters["requests_per_preset"] = presets > 0 ? requests / presets : 0;
    state.counters["ms_per_preset"] = presets > 0 ? milliseconds / presets : 0;
    state.counters["worker_wakeups_per_s"] = rig.workerSeconds > 0 ? (double) rig.workerWakeUps / rig.workerSeconds : 0;
    state.counters["worker_wakeups_per_request"] = requests > 0 ? (double) rig.workerWakeUps / requests : 0;
}
} // namespace

static void BM_RawPresetExport8 (benchmark::State& state)
{
    RawPresetRig rig;

    if (! rig.ready)
    {
        state.SkipWithError ("the link did not start");
        return;
    }

    double requests = 0, milliseconds = 0;

    for (auto _ : state)
    {
        juce::OwnedArray<RawPresetJobItem> items;
        exportItems (items);
        rig.unit.clearReceived();
        const auto started = juce::Time::getMillisecondCounterHiRes();

        if (! rig.run (RawPresetThread::jobExportPresets, items))
            state.SkipWithError ("the export failed");

        milliseconds += juce::Time::getMillisecondCounterHiRes() - started;
        requests += rig.unit.getReceived().size();
        rig.scratch.folder.deleteRecursively();
        rig.scratch.folder.createDirectory();
    }

    reportPerPreset (state, rig, requests, milliseconds);
}

static void BM_RawPresetImport8 (benchmark::State& state)
{
    RawPresetRig rig;
    juce::OwnedArray<RawPresetJobItem> exported;
    exportItems (exported);

    if (! rig.ready || ! rig.run (RawPresetThread::jobExportPresets, exported))
    {
        state.SkipWithError ("the presets could not be exported first");
        return;
    }

    rig.workerWakeUps = 0; // only the imports count
    rig.workerSeconds = 0;

    juce::Array<juce::File> files;
    rig.scratch.folder.findChildFiles (files, juce::File::findFiles, false, "*.dat");
    files.sort();
    double requests = 0, milliseconds = 0;

    for (auto _ : state)
    {
        juce::OwnedArray<RawPresetJobItem> items;

        for (int i = 0; i < files.size(); ++i)
        {
            juce::MemoryBlock data;
            files[i].loadFileAsData (data);
            auto* item = items.add (new RawPresetJobItem());
            item->setPresetIndex ((juce::uint16) (firstTarget + i));
            item->setRecordData (data);
        }

        rig.unit.clearReceived();
        const auto started = juce::Time::getMillisecondCounterHiRes();

        if (! rig.run (RawPresetThread::jobImport, items))
            state.SkipWithError ("the import failed");

        milliseconds += juce::Time::getMillisecondCounterHiRes() - started;
        requests += rig.unit.getReceived().size();
    }

    reportPerPreset (state, rig, requests, milliseconds);
}

BENCHMARK (BM_RawPresetExport8)->UseRealTime()->Unit (benchmark::kMillisecond)->Iterations (bench::measuredOrLeast (3, 1));
BENCHMARK (BM_RawPresetImport8)->UseRealTime()->Unit (benchmark::kMillisecond)->Iterations (bench::measuredOrLeast (3, 1));
