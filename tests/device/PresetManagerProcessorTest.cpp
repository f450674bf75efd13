#include "device/engines/CommStep.h"
#include "device/engines/LinkTicker.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExCodec.h"
#include "model/IdTables.h"
#include "model/KestrelEffectManager.h"
#include "support/ManualClock.h"
#include "support/RecordingNotifier.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// What the main window's tick does with the preset manager's processor: which
// request may run a step, and how the link going down ends what is under way.
namespace
{
const juce::String unitName ("1- Kestrel MIDI");

class PresetManagerProcessor : public ::testing::Test, private juce::ChangeListener
{
protected:
    PresetManagerProcessor()
        : backend (VirtualMidiBackend::Delivery::synchronous)
        , useBackend (backend)
        , useClock (clock)
        , unit (backend, unitName)
        , previousModel (currentSysExModel.load())
    {
        currentSysExModel.store (SimulatedKestrel::model);
        link = std::make_unique<ZOLMidiProcessing>();
        manager = std::make_unique<PresetManager> (link.get(), &effects, nullptr);
        manager->addChangeListener (this);
        ticker = std::make_unique<LinkTicker> (*link, *manager, nullptr);
        ticker->setLinkThreadRequired (false);
    }

    ~PresetManagerProcessor() override
    {
        manager->removeChangeListener (this);
        link->stopProcessing();
        manager->releaseLinkRequests();
        ticker.reset();
        manager.reset();
        link.reset();
        currentSysExModel.store (previousModel);
    }

    void changeListenerCallback (juce::ChangeBroadcaster*) override { codes.push_back (manager->getStatus()); }

    // One 10 ms tick of the program, the link's passes driven by hand.
    void tick()
    {
        link->processPass();
        unit.pump();
        ticker->tick();
        link->processPass();
        clock.advance (10);
    }

    bool tickUntil (const std::function<bool()>& done, int maxTicks = 1000)
    {
        for (int i = 0; i < maxTicks && ! done(); ++i)
            tick();

        return done();
    }

    bool idle() const
    {
        for (int i = 0; i < manager->getNumRequests(); ++i)
            if (manager->getRequestAt (i)->isRunning())
                return false;

        return true;
    }

    long indexOfCode (int code) const
    {
        auto found = std::find (codes.begin(), codes.end(), code);
        return found == codes.end() ? -1 : (long) (found - codes.begin());
    }

    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend;
    ManualClock clock{ 100000 };
    ManualClock::Installed useClock;
    SimulatedKestrel unit;
    juce::uint8 previousModel;
    RecordingNotifier notices;
    KestrelEffectManager effects;
    std::unique_ptr<ZOLMidiProcessing> link;
    std::unique_ptr<PresetManager> manager;
    std::unique_ptr<LinkTicker> ticker;
    std::vector<int> codes;
};
} // namespace

TEST_F (PresetManagerProcessor, NoStepRunsWhileAnEventCodeWaitsToBeBroadcast)
{
    tick();
    ASSERT_TRUE (link->isConnected());

    manager->setStatus (50, 1, 0); // posted, not yet broadcast
    ASSERT_TRUE (manager->requestBlockStates());
    auto& states = manager->getRequest (queryBlockStates);

    manager->processRequests (false);
    EXPECT_EQ (states.getCurrentState(), stepBeginCommunications);
    EXPECT_EQ (manager->getStatus(), 50);

    ASSERT_TRUE (manager->readAndClearStatusChanged()); // the window's broadcast
    manager->processRequests (false);
    EXPECT_NE (states.getCurrentState(), stepBeginCommunications);
    EXPECT_EQ (manager->getStatus(), 110);
}

TEST_F (PresetManagerProcessor, ARequestUnderWayKeepsPriorityOverOneEarlierInTheList)
{
    tick();
    ASSERT_TRUE (manager->requestBlockStates());
    ASSERT_TRUE (tickUntil ([this]
                            { return manager->getRequest (queryBlockStates).getCurrentState() !=
                                     stepBeginCommunications; }));

    // "Mute Outputs" heads the list, yet waits for the request under way.
    manager->getRequest (muteOutputs).muteValue = 1;
    manager->getRequest (muteOutputs).start();
    ASSERT_TRUE (tickUntil ([this] { return idle(); }));
    tick(); // the last end code is broadcast

    ASSERT_NE (indexOfCode (111), -1);
    ASSERT_NE (indexOfCode (120), -1);
    EXPECT_LT (indexOfCode (111), indexOfCode (120));
    EXPECT_EQ (manager->getRequest (queryBlockStates).getResult(), ZolStateMachine::resultCompleted);
    EXPECT_EQ (manager->getRequest (muteOutputs).getResult(), ZolStateMachine::resultCompleted);
}

TEST_F (PresetManagerProcessor, ARequestInFlightWhenTheLinkGoesDownEndsWithLinkClosed)
{
    tick();
    unit.setSilentFor (SYSEX_CPU_LOAD);
    ASSERT_TRUE (manager->requestBlockStates());
    auto& states = manager->getRequest (queryBlockStates);
    ASSERT_TRUE (tickUntil ([&] { return states.getCurrentState() == stepPresetQueryCpuUsage; }));
    tick(); // its message is with the link, unanswered
    ASSERT_TRUE (manager->requestSetTempo (120)); // waits, not yet under way

    link->closePorts();
    unit.vanish();
    ASSERT_TRUE (tickUntil ([this] { return idle(); }, 500));

    EXPECT_EQ (states.getResult(), ZolStateMachine::resultLinkClosed);
    EXPECT_EQ (manager->getRequest (setTempo).getResult(), ZolStateMachine::resultCancelled);
    EXPECT_EQ (indexOfCode (111), -1);
    EXPECT_EQ (indexOfCode (1), -1) << "no time-out is reported for a closed link";
}

TEST (LinkTickerTest, PortsAreTriedAtMostOnceASecondWhileNotConnected)
{
    VirtualMidiBackend backend (VirtualMidiBackend::Delivery::synchronous);
    VirtualMidiBackend::Installed useBackend (backend);
    ManualClock clock{ 5000 };
    ManualClock::Installed useClock (clock);
    ZOLMidiProcessing link;
    EffectManager effects;
    PresetManager manager (&link, &effects, nullptr);
    LinkTicker ticker (link, manager, nullptr);
    ticker.setLinkThreadRequired (false);

    EXPECT_FALSE (ticker.tick().portsOpened); // nothing to open yet

    backend.addDevice (unitName);
    link.getPorts().refreshDeviceLists(); // the link's list timer

    for (int i = 0; i < 99; ++i)
    {
        clock.advance (10);
        ticker.tick();
    }

    EXPECT_EQ (backend.getNumOpenInputs (unitName), 0) << "990 ms after the last try";
    EXPECT_FALSE (link.isConnected());

    clock.advance (10);
    EXPECT_TRUE (ticker.tick().portsOpened);
    EXPECT_EQ (backend.getNumOpenInputs (unitName), 1);
    EXPECT_EQ (backend.getNumOpenOutputs (unitName), 1);

    link.stopProcessing();
    manager.releaseLinkRequests();
}

// One step of one request per tick of the window, however quickly the unit
// answers: a request's messages reach the unit at fixed ticks. "Query Block
// States" posts its begin code (tick 0), sends the CPU query once the code is
// broadcast (tick 1), takes the answer, moves on and sends the states query
// (tick 4).
TEST_F (PresetManagerProcessor, EachTickRunsOneStep)
{
    tick();
    ASSERT_TRUE (link->isConnected());
    unit.clearReceived();
    ASSERT_TRUE (manager->requestBlockStates());

    std::vector<int> arrivals; // the tick at which each message reached the unit
    for (int t = 0; t < 50 && ! (arrivals.size() >= 2 && idle()); ++t)
    {
        tick();
        while ((int) arrivals.size() < unit.getReceived().size())
            arrivals.push_back (t);
    }

    ASSERT_EQ (unit.countReceived (SYSEX_CPU_LOAD) + unit.countReceived (SYSEX_QUERY_STATES), 2);
    EXPECT_EQ (unit.getReceived()[0].getRawData()[5], SYSEX_CPU_LOAD);
    EXPECT_EQ (arrivals, (std::vector<int> { 1, 4 }));
}

// A states report taken while "Query Block States" runs waits for the query
// to end, and the window's tick stays awake for it however long ago it last
// saw work, also when the query ends without an end code to broadcast, as
// it does when the unit goes away.
TEST_F (PresetManagerProcessor, AStatesReportWaitingForTheQueryKeepsTheTickAwake)
{
    tick();
    unit.setSilentFor (SYSEX_CPU_LOAD);
    ASSERT_TRUE (manager->requestBlockStates());
    auto& states = manager->getRequest (queryBlockStates);
    ASSERT_TRUE (tickUntil ([&] { return states.getCurrentState() == stepPresetQueryCpuUsage; }));
    unit.sendStatesChanged();
    tick(); // taken while the query runs

    link->closePorts();
    unit.vanish();
    ASSERT_TRUE (tickUntil ([this] { return ! manager->hasWork(); }));
    clock.advance (LinkTicker::settleMs);
    EXPECT_EQ (ticker->getNextTickIntervalMs (10), 10);
}
