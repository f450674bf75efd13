#include "SmokeRun.h"
#include "BenchRig.h"
#include "app/editor/EffectEditorContent.h"
#include "model/IdTables.h"
#include "skin/widgets/ZOLEffectParam.h"

#include <benchmark/benchmark.h>

#include <atomic>

// Edit latency as the user feels it: a knob of the effect editor moves, its
// change code travels the editor's edit road to "Set Param", the unit answers,
// and the answer is back on the knob. 1,000 changes through the real link
// thread, the virtual devices' delivery thread and the main window's 10 ms
// tick on the message loop, against the simulated unit answering at once.

namespace
{
constexpr int ampBlock = 106;

class BenchKnob : public ZOLEffectParam
{
public:
    BenchKnob() { paramId = 1; }

    int getUnitValue() override { return value; }
    void setFromDevice (juce::uint16 v, juce::uint16, const juce::String&) override
    {
        shown = v;
        shownAt = juce::Time::getMillisecondCounterHiRes();
    }

    int value = 0;
    int shown = -1;
    double shownAt = 0;
};

void BM_EditorEditLatency (benchmark::State& state)
{
    bench::ProgramRig rig;

    if (! rig.connectAndLoad())
    {
        state.SkipWithError ("the rig did not connect and load the preset");
        return;
    }

    EffectEditorContent editor (nullptr, rig.manager.get(), &rig.effects, nullptr, nullptr);
    bench::runMessageLoopFor (200); // the end of "Load Preset" reaches the editor
    editor.showBlock (ampBlock);

    // The block's values rebuild the page when they are in: the knob joins
    // the page after that, or the rebuild would delete it.
    if (! bench::runMessageLoopUntil ([&rig] { return ! rig.manager->hasWork(); }, 15000))
    {
        state.SkipWithError ("the block's values did not come in");
        return;
    }

    auto* knob = static_cast<BenchKnob*> (editor.addPageControl (std::make_unique<BenchKnob>()));

    std::atomic<double> replySentAt{ 0 };
    rig.stampRepliesTo (SYSEX_PARAM_SET, replySentAt);

    const int changes = bench::measuredOrLeast (1000, 3);
    std::vector<double> toAck, toKnob;

    for (auto _ : state)
    {
        toAck.clear();
        toKnob.clear();

        for (int i = 0; i < changes; ++i)
        {
            const int value = 1000 + (i * 37) % 60000;
            replySentAt.store (0);
            const auto started = juce::Time::getMillisecondCounterHiRes();
            knob->value = value;
            knob->postChangeCode (4);

            if (! bench::runMessageLoopUntil ([knob, value] { return knob->shown == value; }, 10000) ||
                replySentAt.load() == 0)
            {
                state.SkipWithError ("a knob change did not come back");
                break;
            }

            toAck.push_back (replySentAt.load() - started);
            toKnob.push_back (knob->shownAt - started);
            rig.unit->clearReceived();
        }
    }

    rig.stopStamping();

    state.counters["changes"] = (double) toAck.size();
    state.counters["ack_p50_ms"] = bench::percentile (toAck, 0.5);
    state.counters["ack_p99_ms"] = bench::percentile (toAck, 0.99);
    state.counters["knob_p50_ms"] = bench::percentile (toKnob, 0.5);
    state.counters["knob_p99_ms"] = bench::percentile (toKnob, 0.99);
}

BENCHMARK (BM_EditorEditLatency)->Iterations (1)->UseRealTime()->Unit (benchmark::kSecond);
} // namespace
