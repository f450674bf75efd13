#include "SmokeRun.h"
#include "BenchRig.h"
#include "device/link/SysExMultiMsgTimer.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/ModelRules.h"
#include "device/wire/PatchDump.h"
#include "device/wire/SysExBuilders.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExRequest.h"
#include "model/IdTables.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <memory>
#include <thread>

// How fast the MIDI link moves requests and transfers, measured against the
// simulated unit, which answers at once. The virtual devices deliver the
// unit's replies on a thread of their own, as a driver does, and the link
// runs its real thread, so the figures include every hand-over between the
// threads and the link thread's waits between passes.

namespace
{
constexpr juce::uint8 unitModel = SimulatedKestrel::model;
constexpr int requestWaitMs = 5000;
constexpr int transferWaitMs = 30000;

// The real link on its own thread, connected to the simulated unit.
class LinkRig
{
public:
    LinkRig()
        : useBackend (backend)
        , unit (backend)
        , previousModel (currentSysExModel.load())
    {
        // Requests are addressed to the unit's model once it is known.
        currentSysExModel = unitModel;
        link = std::make_unique<ZOLMidiProcessing>();
        ready = link->getPorts().openInputByName ("Kestrel MIDI") &&
                link->getPorts().openOutputByName ("Kestrel MIDI") && link->startProcessing();
    }

    ~LinkRig()
    {
        // The link thread must stop before the unit it sends to goes away.
        link.reset();
        currentSysExModel = previousModel;
    }

    // Hands the request to the link and waits for it to end. The wait spins
    // rather than sleeps, so that it adds no latency of its own to the figure.
    bool ask (SysExRequest& request, int timeoutMs = requestWaitMs)
    {
        if (! link->queueRequest (&request))
            return false;

        const auto started = juce::Time::getMillisecondCounter();

        while (request.getStatus() == 0)
        {
            if (juce::Time::getMillisecondCounter() - started > (juce::uint32) timeoutMs)
            {
                // Ends the request, so that it can be freed safely.
                link->stopProcessing();
                return false;
            }

            std::this_thread::yield();
        }

        return request.getStatus() == SysExRequest::stateComplete;
    }

    VirtualMidiBackend backend; // delivery on its own thread
    VirtualMidiBackend::Installed useBackend;
    SimulatedKestrel unit;
    std::unique_ptr<ZOLMidiProcessing> link;
    bool ready = false;

private:
    juce::uint8 previousModel;
};

juce::MidiMessage bareRequest (int function)
{
    juce::MidiMessage message;
    buildSysExMessage (message, (juce::uint8) function, nullptr, 0, unitModel);
    return message;
}

// The unit's edit buffer as a dump (start, 64 data messages, end), read
// through the link as the editor reads it before a paste.
bool fetchEditBufferDump (LinkRig& rig, juce::MemoryBlock& dump)
{
    juce::MidiMessage message;
    int expectedReplies = 0;

    if (! buildPatchDump (message, PatchDump::currentPresetLocation, PatchDump::currentPresetLocation, expectedReplies,
                          unitModel))
        return false;

    SysExRequest request (message);
    request.setExpectedCount (expectedReplies);

    if (! rig.ask (request))
        return false;

    dump.reset();
    request.getReplyData (dump);

    PatchDump check;
    return check.parse (dump, unitModel) && check.getData().getSize() == PatchDump::largePresetSize;
}

//==============================================================================
// Requests completed per second, one in flight at a time as the link sends
// them: a version query, answered by one reply.
void BM_LinkRequestRoundTrip (benchmark::State& state)
{
    LinkRig rig;

    if (! rig.ready)
    {
        state.SkipWithError ("the link did not start on the virtual unit");
        return;
    }

    SysExRequest request (bareRequest (SYSEX_QUERY_VERSION));

    for (auto _ : state)
    {
        request.reset();

        if (! rig.ask (request) || request.getNumReplies() != 1)
        {
            state.SkipWithError ("a version query was not answered");
            break;
        }

        // The unit logs every message it receives; keep the log short.
        if ((state.iterations() & 4095) == 0)
            rig.unit.clearReceived();
    }

    state.SetItemsProcessed (state.iterations());
}

BENCHMARK (BM_LinkRequestRoundTrip)->UseRealTime()->Unit (benchmark::kMicrosecond)->Apply (bench::minTimeOrOnce<2>);

//==============================================================================
// One 8192-byte preset (66 messages) pasted into the unit's edit buffer
// through the multi-message sender, the unit answering each message with its
// status at once. Wall time per transfer.
//
// The sender is driven by its real 1 ms juce::Timer through the program's own
// message loop (this thread is the message thread), as in the program: the
// timer's own jitter and the message dispatch are part of what a user waits
// for, and a hand-written tick loop would leave them out. The benchmark below it ticks
// by hand for comparison.
enum class Ticks
{
    realTimer,
    handLoop
};

void runTransfers (benchmark::State& state, Ticks ticks)
{
    LinkRig rig;

    if (! rig.ready)
    {
        state.SkipWithError ("the link did not start on the virtual unit");
        return;
    }

    juce::MemoryBlock dump;

    if (! fetchEditBufferDump (rig, dump))
    {
        state.SkipWithError ("the unit's edit buffer could not be read as a dump");
        return;
    }

    SysExMultiMsgTimer sender (rig.link.get());

    if (! sender.loadMessages (dump.getData(), dump.getSize(), unitModel) ||
        sender.getTotalMessages() != getPatchDumpMessageCount (unitModel))
    {
        state.SkipWithError ("the dump did not load into the sender as 66 messages");
        return;
    }

    for (auto _ : state)
    {
        const auto started = juce::Time::getMillisecondCounter();
        sender.start();

        if (ticks == Ticks::realTimer)
        {
            bench::runMessageLoopUntil ([&] { return sender.getState() != SysExMultiMsgTimer::stateRunning; },
                                        transferWaitMs);
        }
        else
        {
            while (sender.getState() == SysExMultiMsgTimer::stateRunning &&
                   juce::Time::getMillisecondCounter() - started < (juce::uint32) transferWaitMs)
            {
                sender.timerCallback();
                juce::Thread::sleep (1);
            }
        }

        if (sender.getState() != SysExMultiMsgTimer::stateDone || sender.getNumSent() != sender.getTotalMessages())
        {
            state.SkipWithError ("the transfer did not finish");
            break;
        }

        rig.unit.clearReceived();
    }

    state.counters["messages"] = sender.getTotalMessages();
    state.SetItemsProcessed (state.iterations() * sender.getTotalMessages());
}

void BM_PresetTransferRealTimer (benchmark::State& state)
{
    runTransfers (state, Ticks::realTimer);
}

void BM_PresetTransferHandTicks (benchmark::State& state)
{
    runTransfers (state, Ticks::handLoop);
}

BENCHMARK (BM_PresetTransferRealTimer)->UseRealTime()->Unit (benchmark::kMillisecond)->Apply (bench::minTimeOrOnce<3>);
BENCHMARK (BM_PresetTransferHandTicks)->UseRealTime()->Unit (benchmark::kMillisecond)->Apply (bench::minTimeOrOnce<3>);
} // namespace
