#include "device/link/SysExMultiMsgTimer.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExFraming.h"
#include "model/IdTables.h"
#include "support/HostileInputs.h"
#include "support/ManualClock.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace
{
const juce::String unitName ("1- Kestrel MIDI");

void appendFrame (juce::MemoryBlock& buffer, int function, std::vector<juce::uint8> payload)
{
    juce::MidiMessage message;
    buildSysExMessage (message, (juce::uint8) function, payload.data(), payload.size(), 8);
    buffer.append (message.getRawData(), (size_t) message.getRawDataSize());
}

// A preset dump of model 8: start, 64 data messages, end.
juce::MemoryBlock makeDump()
{
    juce::MemoryBlock dump;
    appendFrame (dump, SYSEX_PATCH_START, { 127, 127, 0, 32 });
    for (int i = 0; i < 64; ++i)
        appendFrame (dump, SYSEX_PATCH_DATA, { 64, 0, (juce::uint8) i, 0, 0 });
    appendFrame (dump, SYSEX_PATCH_END, { 0, 0, 0 });
    return dump;
}

// The unit answers each message with a status echoing its function; the
// result is 0 except for message number failAt (counted from 1).
class SenderTest : public ::testing::Test
{
protected:
    SenderTest()
        : backend (VirtualMidiBackend::Delivery::synchronous)
        , useBackend (backend)
        , useClock (clock)
    {
        backend.addDevice (unitName);
        backend.setOutputHandler (
            unitName,
            [this] (const juce::MidiMessage& m)
            {
                auto number = ++received;
                sentMessages.emplace_back (m.getRawData(), m.getRawData() + m.getRawDataSize());
                if (silent)
                    return;
                auto function = m.getRawData()[5];
                juce::uint8 status[] = { function, (juce::uint8) (number == failAt ? failResult : 0) };
                juce::MidiMessage reply;
                if (function == SYSEX_PARAM_SET)
                    reply = m; // the unit echoes a parameter set, no status
                else
                    buildSysExMessage (reply, SYSEX_STATUS_MSG, status, sizeof (status), 8);
                backend.pushToInput (unitName, reply);
            });
        link = std::make_unique<ZOLMidiProcessing>();
        link->getPorts().openInputByName ("Kestrel");
        link->getPorts().openOutputByName ("Kestrel");
        link->startProcessing (false);
    }

    ~SenderTest() override
    {
        sender.reset();
        link.reset();
    }

    // One tick of the sender, then two passes of the link (send, then file
    // the answer). Gives the number of ticks run.
    int runUntilFinished (int maxTicks = 1000)
    {
        int ticks = 0;
        while (sender->getState() == SysExMultiMsgTimer::stateRunning && ticks < maxTicks)
        {
            auto before = received.load();
            sender->timerCallback();
            link->processPass();
            link->processPass();
            EXPECT_LE (received.load() - before, 1) << "one message per tick";
            ++ticks;
        }
        return ticks;
    }

    ManualClock clock;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend;
    ManualClock::Installed useClock;
    std::unique_ptr<ZOLMidiProcessing> link;
    std::unique_ptr<SysExMultiMsgTimer> sender;
    std::atomic<int> received{ 0 };
    std::vector<std::vector<juce::uint8>> sentMessages;
    int failAt = -1;
    int failResult = 0;
    bool silent = false;
};
} // namespace

TEST_F (SenderTest, SendsADumpOneMessagePerTick)
{
    auto dump = makeDump();
    sender = std::make_unique<SysExMultiMsgTimer> (link.get());
    ASSERT_TRUE (sender->loadMessages (dump.getData(), dump.getSize(), 8));
    EXPECT_EQ (sender->getTotalMessages(), 66);
    ASSERT_TRUE (sender->start());
    EXPECT_FALSE (sender->start()) << "refused while running";
    EXPECT_FALSE (sender->loadMessages (dump.getData(), dump.getSize(), 8));
    EXPECT_FALSE (sender->setFastInterval()) << "start already set 1 ms";

    runUntilFinished();
    EXPECT_EQ (sender->getState(), SysExMultiMsgTimer::stateDone);
    EXPECT_EQ (received.load(), 66);
    EXPECT_EQ (sender->getNumSent(), 66);
    EXPECT_DOUBLE_EQ (sender->getProgress(), 0.9999);
    EXPECT_EQ (sender->getErrorCode(), 0);

    // Final until the next start, which sends everything again.
    sender->timerCallback();
    EXPECT_EQ (received.load(), 66);
    ASSERT_TRUE (sender->start());
    runUntilFinished();
    EXPECT_EQ (received.load(), 132);
}

TEST_F (SenderTest, AMessageCutOffBeforeTheNextIsNeverSentJoinedToIt)
{
    auto file = loadHostileInput ("sysex-message-cut-off-before-next.syx");
    ASSERT_EQ (file.getSize(), 14u);
    const auto* bytes = static_cast<const juce::uint8*> (file.getData());

    sender = std::make_unique<SysExMultiMsgTimer> (link.get());
    ASSERT_TRUE (sender->loadMessages (file.getData(), file.getSize(), 8));
    EXPECT_EQ (sender->getTotalMessages(), 2);
    sender->start();
    runUntilFinished();

    ASSERT_EQ (sentMessages.size(), 2u);
    EXPECT_EQ (sentMessages[0], std::vector<juce::uint8> (bytes, bytes + 6)) << "the cut-off message alone";
    EXPECT_EQ (sentMessages[1], std::vector<juce::uint8> (bytes + 6, bytes + 14));
}

TEST_F (SenderTest, StopsAtTheFirstRefusal)
{
    auto dump = makeDump();
    failAt = 5;
    failResult = 3;
    sender = std::make_unique<SysExMultiMsgTimer> (link.get());
    sender->loadMessages (dump.getData(), dump.getSize(), sysExAnyModel);
    sender->start();
    runUntilFinished();

    EXPECT_EQ (sender->getState(), SysExMultiMsgTimer::stateError);
    EXPECT_EQ (sender->getErrorCode(), 3);
    EXPECT_EQ (received.load(), 5) << "nothing goes out after the refusal";
    EXPECT_LT (sender->getProgress(), 0.1);
}

TEST_F (SenderTest, AnswersOtherThanARefusalDoNotFail)
{
    // Parameter sets are answered by their echo, not by a status.
    juce::MemoryBlock messages;
    for (int i = 0; i < 3; ++i)
        appendFrame (messages, SYSEX_PARAM_SET, { 10, 0, (juce::uint8) i, 0, 0, 0, 0, 1 });
    appendFrame (messages, SYSEX_SET_SCENE, { 2 });

    sender = std::make_unique<SysExMultiMsgTimer> (link.get());
    sender->loadMessages (messages.getData(), messages.getSize(), 8);
    sender->start();
    runUntilFinished();
    EXPECT_EQ (sender->getState(), SysExMultiMsgTimer::stateDone);
    EXPECT_EQ (received.load(), 4);
}

TEST_F (SenderTest, TimeOutOutputMissingAndEmptyBuffer)
{
    auto dump = makeDump();
    silent = true;
    sender = std::make_unique<SysExMultiMsgTimer> (link.get());
    sender->loadMessages (dump.getData(), dump.getSize(), 8);
    sender->start();
    sender->timerCallback();
    link->processPass();
    clock.advance (3001);
    link->processPass();
    sender->timerCallback();
    EXPECT_EQ (sender->getState(), SysExMultiMsgTimer::stateTimedOut);
    EXPECT_EQ (received.load(), 1);

    // An empty buffer is done at the first tick, with nothing sent.
    ASSERT_TRUE (sender->loadMessages (nullptr, 0, 8));
    sender->start();
    sender->timerCallback();
    EXPECT_EQ (sender->getState(), SysExMultiMsgTimer::stateDone);
    EXPECT_EQ (received.load(), 1);

    // The output vanished: state 6 at the next tick.
    link->stopProcessing();
    sender->loadMessages (dump.getData(), dump.getSize(), 8);
    sender->start();
    sender->timerCallback();
    EXPECT_EQ (sender->getState(), SysExMultiMsgTimer::stateOutputMissing);
    EXPECT_EQ (received.load(), 1);
}

TEST_F (SenderTest, PauseKeepsTheRequestAndDestructionHandsItToTheLink)
{
    auto dump = makeDump();
    silent = true;
    sender = std::make_unique<SysExMultiMsgTimer> (link.get());
    sender->loadMessages (dump.getData(), dump.getSize(), 8);
    EXPECT_FALSE (sender->setPaused (true)) << "not running";
    sender->start();
    sender->timerCallback();
    link->processPass();

    EXPECT_TRUE (sender->setPaused (true));
    EXPECT_EQ (sender->getState(), SysExMultiMsgTimer::statePaused);
    sender->timerCallback();
    EXPECT_FALSE (sender->start());
    EXPECT_TRUE (sender->setPaused (false));
    EXPECT_EQ (sender->getState(), SysExMultiMsgTimer::stateRunning);
    sender->timerCallback();
    EXPECT_EQ (received.load(), 1) << "still waiting for the first answer";

    // Destroyed while the link still holds its request: the link frees it
    // when it lets go (a sanitizer build catches a use after free here).
    sender.reset();
    clock.advance (3001);
    link->processPass();
    link->processPass();

    // Without a link the sender does nothing.
    SysExMultiMsgTimer unlinked (nullptr);
    unlinked.loadMessages (dump.getData(), dump.getSize(), 8);
    unlinked.start();
    unlinked.timerCallback();
    EXPECT_EQ (unlinked.getState(), SysExMultiMsgTimer::stateRunning);
    EXPECT_EQ (unlinked.getNumSent(), 0);
}
