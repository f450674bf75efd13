#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExReplyBuilders.h"
#include "model/IdTables.h"
#include "support/ManualClock.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace
{
const juce::String unitName ("1- Kestrel MIDI");

juce::MidiMessage frame (int function, std::vector<juce::uint8> payload = {}, juce::uint8 model = 8)
{
    juce::MidiMessage message;
    buildSysExMessage (message, (juce::uint8) function, payload.data(), payload.size(), model);
    return message;
}

juce::MidiMessage withBadChecksum (const juce::MidiMessage& message)
{
    juce::MemoryBlock bytes (message.getRawData(), (size_t) message.getRawDataSize());
    auto* data = static_cast<juce::uint8*> (bytes.getData());
    data[bytes.getSize() - 2] ^= 0x01;
    return juce::MidiMessage (bytes.getData(), (int) bytes.getSize());
}

// The link driven by hand: virtual devices with synchronous delivery, the
// manual clock, and processPass / checkPorts called by the test.
class LinkTest : public ::testing::Test
{
protected:
    LinkTest()
        : backend (VirtualMidiBackend::Delivery::synchronous)
        , useBackend (backend)
        , useClock (clock)
    {
        backend.addDevice ("0- Other Device");
        backend.addDevice (unitName);
        backend.setOutputHandler (unitName,
                                  [this] (const juce::MidiMessage& m)
                                  {
                                      const std::lock_guard<std::mutex> guard (sentLock);
                                      sent.push_back (m);
                                  });
        link = std::make_unique<ZOLMidiProcessing>();
    }

    ~LinkTest() override { link.reset(); }

    void connect()
    {
        ASSERT_TRUE (link->getPorts().openInputByName ("Kestrel MIDI"));
        ASSERT_TRUE (link->getPorts().openOutputByName ("Kestrel MIDI"));
        ASSERT_TRUE (link->startProcessing (false));
    }

    void reply (const juce::MidiMessage& message) { backend.pushToInput (unitName, message); }

    int numSent()
    {
        const std::lock_guard<std::mutex> guard (sentLock);
        return (int) sent.size();
    }

    int lastSentFunction()
    {
        const std::lock_guard<std::mutex> guard (sentLock);
        return sent.empty() ? -1 : sent.back().getRawData()[5];
    }

    ManualClock clock;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend;
    ManualClock::Installed useClock;
    std::unique_ptr<ZOLMidiProcessing> link;
    std::mutex sentLock;
    std::vector<juce::MidiMessage> sent;
};
} // namespace

TEST_F (LinkTest, SendsOneRequestAtATime)
{
    connect();
    SysExRequest first (frame (SYSEX_QUERY_VERSION)), second (frame (SYSEX_GET_SYSINFO));
    ASSERT_TRUE (link->queueRequest (&first));
    ASSERT_TRUE (link->queueRequest (&second));
    EXPECT_FALSE (link->queueRequest (nullptr));
    EXPECT_FALSE (link->queueRequest (&first)) << "already with the link";
    EXPECT_EQ (first.getStatus(), 0);

    link->processPass();
    EXPECT_EQ (numSent(), 1);
    EXPECT_TRUE (link->readAndClearOutputActivity());
    link->processPass();
    EXPECT_EQ (numSent(), 1) << "the second waits while the first is in flight";

    // The answer completes the first; the second goes out in the same pass.
    reply (frame (SYSEX_QUERY_VERSION, { 6, 0, 0, 0, 0, 0 }));
    EXPECT_TRUE (link->readAndClearInputActivity());
    link->processPass();
    EXPECT_EQ (first.getStatus(), SysExRequest::stateComplete);
    EXPECT_EQ (first.getNumReplies(), 1);
    EXPECT_EQ (numSent(), 2);
    EXPECT_EQ (lastSentFunction(), SYSEX_GET_SYSINFO);

    // No answer: timed out after more than 3000 ms from sending.
    clock.advance (3000);
    link->processPass();
    EXPECT_EQ (second.getStatus(), 0);
    clock.advance (1);
    link->processPass();
    EXPECT_EQ (second.getStatus(), SysExRequest::stateTimedOut);

    // A control change expects nothing: complete on the pass after it went out.
    SysExRequest controlChange;
    controlChange.setControllerMessage (1, 7, 64);
    link->queueRequest (&controlChange);
    link->processPass();
    EXPECT_EQ (numSent(), 3);
    EXPECT_EQ (controlChange.getStatus(), 0);
    link->processPass();
    EXPECT_EQ (controlChange.getStatus(), SysExRequest::stateComplete);

    // The hold flag keeps the out-queue closed.
    SysExRequest held (frame (SYSEX_PATCHNUM));
    link->setHold (true);
    link->queueRequest (&held);
    link->processPass();
    EXPECT_EQ (numSent(), 3);
    link->setHold (false);
    link->processPass();
    EXPECT_EQ (numSent(), 4);
    link->stopProcessing();
}

TEST_F (LinkTest, EachReplyRearmsTheTimeOutOfALongAnswer)
{
    connect();
    SysExRequest dump (frame (SYSEX_PATCH_DUMP, { 127, 127 }));
    dump.setExpectedCount (34);
    link->queueRequest (&dump);
    link->processPass();

    // 34 messages, 2500 ms apart: 85 s in all, never a gap over 3000 ms.
    for (int i = 0; i < 34; ++i)
    {
        clock.advance (2500);
        auto function = i == 0 ? SYSEX_PATCH_START : (i == 33 ? SYSEX_PATCH_END : SYSEX_PATCH_DATA);
        reply (frame (function, { 0, 0 }));
        link->processPass();
        ASSERT_EQ (dump.getStatus(), i == 33 ? 1 : 0) << "message " << i;
    }
    EXPECT_EQ (dump.getNumReplies(), 34);

    // A gap over the time-out ends a partial answer.
    SysExRequest partial (frame (SYSEX_PATCH_DUMP, { 127, 127 }));
    partial.setExpectedCount (34);
    link->queueRequest (&partial);
    link->processPass();
    clock.advance (2000);
    reply (frame (SYSEX_PATCH_START, { 0, 0 }));
    link->processPass();
    clock.advance (3001);
    link->processPass();
    EXPECT_EQ (partial.getStatus(), SysExRequest::stateTimedOut);
    EXPECT_EQ (partial.getNumReplies(), 1);
    link->stopProcessing();
}

TEST_F (LinkTest, AnnouncingMessagesSetTheExpectedCount)
{
    connect();

    struct Case
    {
        int request;
        juce::MidiMessage announce;
        int expected;
    };

    const Case cases[] = {
        // multi-message start: count + 2
        { SYSEX_CABNAME, frame (SYSEX_MULTIMSG_START, { SYSEX_CABNAME, 10, 0 }), 12 },
        // effect start: (word count >> 6) + 3; 200 words
        { SYSEX_GET_ALL_PARAMS, frame (SYSEX_EFFECT_START, { 5, 0, 200 & 0x7F, 200 >> 7, 0 }), 6 },
        // system data start: (size >> 6) + 2
        { SYSEX_DUMP_SYSTEM, frame (SYSEX_SYSTEM_DATA_START, { 0, 2, 0 }), 6 },
        // preset and cab dump on model 8: 66 + 1 + 66 for each of cabs 0 and 2
        { SYSEX_PATCH_PLUS_CAB_DUMP, frame (SYSEX_PATCH_PLUS_CAB_DUMP, { 0x05, 0 }), 199 },
        // model 3 dump: 34 + 1
        { SYSEX_PATCH_PLUS_CAB_DUMP, frame (SYSEX_PATCH_PLUS_CAB_DUMP, { 0x00, 0 }, 3), 35 },
        // a model without a known dump length leaves the count as it was
        { SYSEX_PATCH_PLUS_CAB_DUMP, frame (SYSEX_PATCH_PLUS_CAB_DUMP, { 0x00, 0 }, 9), 3 },
        // a status of success answering the all-parameters request ends it at once
        { SYSEX_GET_ALL_PARAMS, frame (SYSEX_STATUS_MSG, { SYSEX_GET_ALL_PARAMS, 0 }), 1 },
    };

    for (auto& c : cases)
    {
        SysExRequest request (frame (c.request, { 0, 0 }));
        request.setExpectedCount (3);
        link->matchReply (c.announce, &request);
        EXPECT_EQ (request.getExpectedCount(), c.expected) << "request 0x" << std::hex << c.request;
        EXPECT_EQ (request.getNumReplies(), 1);
    }

    // An announcement for another request neither counts nor answers.
    SysExRequest other (frame (SYSEX_QUERY_VERSION));
    link->matchReply (frame (SYSEX_MULTIMSG_START, { 1, 10, 0 }), &other);
    EXPECT_EQ (other.getExpectedCount(), 1);
    EXPECT_EQ (other.getNumReplies(), 0);
    link->stopProcessing();
}

// A status that refuses the request in flight ends it at once as refused,
// however many messages it awaited, and nothing after it is filed; a status
// of success, another function's, or the empty answer to a question of value
// texts is no refusal.
TEST_F (LinkTest, ARefusingStatusEndsTheRequestAtOnceAsRefused)
{
    connect();
    const struct
    {
        int request;
        juce::uint8 echoed, result;
        bool refused;
    } rows[] = {
        { SYSEX_MODIFIER_DUMP, SYSEX_MODIFIER_DUMP, 1, true },
        { SYSEX_CABNAME, SYSEX_CABNAME, 4, true },
        { SYSEX_QUERY_STATES, SYSEX_QUERY_STATES, 2, true },
        { SYSEX_GET_PARAM_INFO, SYSEX_GET_PARAM_INFO, 27, true },
        { SYSEX_GET_PARAM_STRINGS, SYSEX_GET_PARAM_STRINGS, 27, false },
        { SYSEX_GET_PARAM_STRINGS, SYSEX_GET_PARAM_STRINGS, 3, true },
        { SYSEX_MODIFIER_DUMP, SYSEX_MODIFIER_DUMP, 0, false },
        { SYSEX_MODIFIER_DUMP, SYSEX_CABNAME, 1, false },
    };

    for (auto& row : rows)
    {
        SysExRequest request (frame (row.request, { 0, 0 }));
        request.setExpectedCount (3);
        link->matchReply (frame (SYSEX_STATUS_MSG, { row.echoed, row.result }), &request);
        link->matchReply (frame (SYSEX_MULTIMSG_END), &request);
        EXPECT_EQ (request.getRefusal(), row.refused ? row.result : 0) << row.request << " " << (int) row.result;
        EXPECT_EQ (request.getState() == SysExRequest::stateComplete, row.refused) << row.request;
        if (row.refused)
        {
            EXPECT_EQ (request.getNumReplies(), 1) << "nothing is filed after the refusal";
        }
    }

    link->stopProcessing();
}

TEST_F (LinkTest, EditorDisconnectEchoAnswersOrRaisesTheFlag)
{
    connect();
    const auto echo = frame (SYSEX_STATUS_MSG, { SYSEX_EDITOR_DISCONNECT, 0 });

    SysExRequest disconnect (frame (SYSEX_EDITOR_DISCONNECT));
    link->matchReply (echo, &disconnect);
    EXPECT_EQ (disconnect.getState(), SysExRequest::stateComplete);
    EXPECT_FALSE (link->takeEditorDisconnected());

    link->matchReply (echo, nullptr);
    EXPECT_TRUE (link->takeEditorDisconnected());
    EXPECT_FALSE (link->takeEditorDisconnected()) << "read and cleared";

    SysExRequest version (frame (SYSEX_QUERY_VERSION));
    link->matchReply (echo, &version);
    EXPECT_TRUE (link->takeEditorDisconnected());
    EXPECT_EQ (version.getNumReplies(), 0);

    // A status of 7 bytes does not parse and answers nothing.
    SysExRequest save (frame (SYSEX_SAVE_PATCH));
    const juce::uint8 shortStatus[] = { 0xF0, 0x00, 0x02, 0x6B, 0x08, 0x64, 0x1D };
    link->matchReply (juce::MidiMessage (shortStatus, 7), &save);
    EXPECT_EQ (save.getNumReplies(), 0);
    link->stopProcessing();
}

TEST_F (LinkTest, PresetNumberAnswersOrGoesToTheMailbox)
{
    connect();
    PresetNumberRecord number;

    SysExRequest asked (frame (SYSEX_PATCHNUM));
    link->matchReply (frame (SYSEX_PATCHNUM, { 2, 44 }), &asked);
    EXPECT_EQ (asked.getState(), SysExRequest::stateComplete);
    EXPECT_FALSE (link->takePresetChange (&number)) << "an answer leaves the mailbox alone";

    link->setPresetChangeRequested (true);
    link->matchReply (frame (SYSEX_PATCHNUM, { 1, 3 }), nullptr);
    link->matchReply (frame (SYSEX_PATCHNUM, { 2, 5 }), nullptr); // overwrites the untaken one
    bool editorAsked = false;
    EXPECT_FALSE (link->takePresetChange (nullptr, &editorAsked));
    ASSERT_TRUE (link->takePresetChange (&number, &editorAsked));
    EXPECT_EQ (number.getNumber(), 2 * 128 + 5);
    EXPECT_TRUE (editorAsked);
    EXPECT_FALSE (link->takePresetChange (&number));

    link->matchReply (frame (SYSEX_PATCHNUM, { 0, 9 }), nullptr);
    ASSERT_TRUE (link->takePresetChange (&number, &editorAsked));
    EXPECT_FALSE (editorAsked) << "the take cleared the mark";

    // A request is stamped with the reports filed before its answer, not
    // with one that follows it; an answer to the question is no report.
    const auto before = link->getPresetReports();
    EXPECT_EQ (before.last, 9);
    SysExRequest save (frame (SYSEX_SAVE_PATCH));
    link->matchReply (frame (SYSEX_PATCHNUM, { 0, 6 }), &save);
    link->matchReply (frame (SYSEX_STATUS_MSG, { SYSEX_SAVE_PATCH, 0 }), &save);
    link->matchReply (frame (SYSEX_PATCHNUM, { 0, 7 }), &save);
    ASSERT_EQ (save.getState(), SysExRequest::stateComplete);
    EXPECT_EQ (save.getPresetReportCountAtAnswer(), before.count + 1);
    EXPECT_EQ (save.getLastPresetReportAtAnswer(), 6);
    EXPECT_EQ (link->getPresetReports().count, before.count + 2);
    EXPECT_EQ (link->getPresetReports().last, 7);
    SysExRequest again (frame (SYSEX_PATCHNUM));
    link->matchReply (frame (SYSEX_PATCHNUM, { 0, 8 }), &again);
    EXPECT_EQ (again.getLastPresetReportAtAnswer(), 7);
    EXPECT_EQ (link->getPresetReports().count, before.count + 2);
    link->stopProcessing();
}

TEST_F (LinkTest, BroadcastsFillTheirMailboxesEvenWhenTheyAnswer)
{
    connect();
    KnobBroadcast knobs;

    SysExRequest subscribe (frame (SYSEX_BROADCAST_KNOB, { 1, 10, 0 }));
    link->matchReply (frame (SYSEX_BROADCAST_KNOB, { 10, 0, 99, 11, 0, 5 }), &subscribe);
    EXPECT_EQ (subscribe.getState(), SysExRequest::stateComplete);
    ASSERT_TRUE (link->takeKnobBroadcast (&knobs));
    EXPECT_EQ (knobs.count, 2u);
    EXPECT_EQ (knobs.paramIds[1], 11);
    EXPECT_EQ (knobs.values[0], 99);
    EXPECT_FALSE (link->takeKnobBroadcast (&knobs));

    link->matchReply (frame (SYSEX_BROADCAST_KNOB, { 10, 0 }), nullptr); // not whole pairs
    EXPECT_FALSE (link->takeKnobBroadcast (&knobs));

    LooperState looper;
    link->matchReply (frame (SYSEX_LOOPER_STATE, { 3, 4 }), nullptr);
    ASSERT_TRUE (link->takeLooperState (&looper));
    EXPECT_EQ (looper.state, 3);
    EXPECT_EQ (looper.position, 4);

    ModifierBroadcast modifier;
    link->matchReply (frame (SYSEX_BROADCAST_MODIFIER, { 77 }), nullptr);
    ASSERT_TRUE (link->takeModifierBroadcast (&modifier));
    EXPECT_EQ (modifier.bytes[2], 77);

    // The tuner is taken without a checksum test; so are states and tempo.
    TunerReading tuner;
    link->matchReply (withBadChecksum (frame (SYSEX_TUNER, { 1, 2, 3 })), nullptr);
    ASSERT_TRUE (link->takeTunerData (&tuner));
    EXPECT_EQ (tuner.values[2], 3);
    EXPECT_FALSE (link->takeTunerData (nullptr));

    link->matchReply (withBadChecksum (frame (SYSEX_TEMPO, { 1 })), nullptr);
    EXPECT_TRUE (link->takeTempoChanged());
    EXPECT_FALSE (link->takeTempoChanged());

    link->matchReply (frame (SYSEX_QUERY_STATES, {}), nullptr);
    EXPECT_TRUE (link->takeStatesChanged());
    EXPECT_FALSE (link->takeStatesChanged());
    SysExRequest states (frame (SYSEX_QUERY_STATES));
    states.setExpectedCount (2);
    link->matchReply (frame (SYSEX_QUERY_STATES, {}), &states);
    EXPECT_FALSE (link->takeStatesChanged()) << "an answer is not a change on the unit";
    // A second states message before the answer's scene is the unit's own.
    link->matchReply (frame (SYSEX_QUERY_STATES, {}), &states);
    EXPECT_TRUE (link->takeStatesChanged());
    link->matchReply (frame (SYSEX_SET_SCENE, { 2 }), &states);
    EXPECT_EQ (states.getState(), SysExRequest::stateComplete);
    EXPECT_EQ (states.getNumReplies(), 2);
    link->stopProcessing();
}

// Every kind the unit sends of its own accord reaches its mailbox when it
// follows a whole answer in the same burst, also when it looks like another
// answer to the request just answered.
TEST_F (LinkTest, ReportsRightBehindAWholeAnswerReachTheirMailboxes)
{
    connect();
    const auto version = frame (SYSEX_QUERY_VERSION, { 6, 0, 0, 0, 0, 0 });
    const auto disconnectEcho = frame (SYSEX_STATUS_MSG, { SYSEX_EDITOR_DISCONNECT, 0 });

    struct Kind
    {
        const char* name;
        int asked;
        std::vector<juce::MidiMessage> answer;
        juce::MidiMessage report;
        std::function<bool()> taken; // the report's content, taken from its mailbox
    };

    const Kind kinds[] = {
        { "states",
          SYSEX_QUERY_STATES,
          { frame (SYSEX_QUERY_STATES), frame (SYSEX_SET_SCENE, { 2 }) },
          frame (SYSEX_QUERY_STATES),
          [&] { return link->takeStatesChanged(); } },
        { "preset number",
          SYSEX_PATCHNUM,
          { frame (SYSEX_PATCHNUM, { 2, 44 }) },
          frame (SYSEX_PATCHNUM, { 0, 9 }),
          [&]
          {
              PresetNumberRecord number;
              return link->takePresetChange (&number) && number.getNumber() == 9;
          } },
        { "editor disconnected",
          SYSEX_EDITOR_DISCONNECT,
          { disconnectEcho },
          disconnectEcho,
          [&] { return link->takeEditorDisconnected(); } },
        { "looper",
          SYSEX_LOOPER_STATE,
          { frame (SYSEX_LOOPER_STATE, { 1, 2 }) },
          frame (SYSEX_LOOPER_STATE, { 3, 4 }),
          [&]
          {
              LooperState looper;
              return link->takeLooperState (&looper) && looper.state == 3 && looper.position == 4;
          } },
        { "knob",
          SYSEX_BROADCAST_KNOB,
          { frame (SYSEX_BROADCAST_KNOB, { 10, 0, 99 }) },
          frame (SYSEX_BROADCAST_KNOB, { 11, 0, 5 }),
          [&]
          {
              KnobBroadcast knobs;
              return link->takeKnobBroadcast (&knobs) && knobs.count == 1 && knobs.paramIds[0] == 11;
          } },
        { "modifier",
          SYSEX_BROADCAST_MODIFIER,
          { frame (SYSEX_BROADCAST_MODIFIER, { 7 }) },
          frame (SYSEX_BROADCAST_MODIFIER, { 77 }),
          [&]
          {
              ModifierBroadcast modifier;
              return link->takeModifierBroadcast (&modifier) && modifier.bytes[2] == 77;
          } },
        { "tuner",
          SYSEX_QUERY_VERSION,
          { version },
          withBadChecksum (frame (SYSEX_TUNER, { 1, 2, 3 })),
          [&]
          {
              TunerReading tuner;
              return link->takeTunerData (&tuner) && tuner.values[2] == 3;
          } },
        { "tempo", SYSEX_QUERY_VERSION, { version }, frame (SYSEX_TEMPO), [&] { return link->takeTempoChanged(); } },
        { "resync", SYSEX_QUERY_VERSION, { version }, frame (SYSEX_RESYNC), [&] { return link->takeResyncRequest(); } },
    };

    for (const auto& kind : kinds)
    {
        SCOPED_TRACE (kind.name);
        SysExRequest request (frame (kind.asked));
        request.setExpectedCount ((int) kind.answer.size());
        ASSERT_TRUE (link->queueRequest (&request));
        link->processPass();

        for (const auto& message : kind.answer)
            reply (message);

        reply (kind.report);
        link->processPass();
        EXPECT_EQ (request.getState(), SysExRequest::stateComplete);
        EXPECT_EQ (request.getNumReplies(), (int) kind.answer.size());
        EXPECT_TRUE (kind.taken());
    }

    link->stopProcessing();
}

TEST_F (LinkTest, DropsBadChecksumsUnknownFunctionsAndShortMessages)
{
    connect();
    SysExRequest version (frame (SYSEX_QUERY_VERSION));
    link->matchReply (withBadChecksum (frame (SYSEX_QUERY_VERSION, { 6, 0 })), &version);
    EXPECT_EQ (version.getNumReplies(), 0);

    SysExRequest whoAmI (frame (SYSEX_WHO_AM_I));
    link->matchReply (frame (SYSEX_WHO_AM_I, {}), &whoAmI);
    link->matchReply (frame (0x7D, {}), &whoAmI);
    EXPECT_EQ (whoAmI.getNumReplies(), 0) << "functions outside 1 to 124 are dropped";

    // The unit answers SYSEX_WHO_AM_I with a status echoing 0.
    link->matchReply (frame (SYSEX_STATUS_MSG, { 0, 0 }), &whoAmI);
    EXPECT_EQ (whoAmI.getState(), SysExRequest::stateComplete);

    const juce::uint8 tooShort[] = { 0xF0, 0x00, 0x02, 0x6B, 0xF7 };
    link->matchReply (juce::MidiMessage (tooShort, 5), &version);
    EXPECT_EQ (version.getNumReplies(), 0);
    link->stopProcessing();
}

TEST_F (LinkTest, ResyncAfterASceneChangeIsSwallowedOnce)
{
    connect();
    link->setResyncSkipNext (true);
    link->matchReply (frame (SYSEX_RESYNC), nullptr);
    EXPECT_FALSE (link->takeResyncRequest());
    link->matchReply (frame (SYSEX_RESYNC), nullptr);
    EXPECT_TRUE (link->takeResyncRequest());
    EXPECT_FALSE (link->takeResyncRequest());
    link->stopProcessing();
}

TEST_F (LinkTest, WithoutAnOutputRequestsEndAtOnce)
{
    EXPECT_FALSE (link->startProcessing (false)) << "nothing open";
    ASSERT_TRUE (link->getPorts().openInputByName ("Kestrel"));
    ASSERT_TRUE (link->startProcessing (false));
    EXPECT_TRUE (link->isInputPresent());
    EXPECT_FALSE (link->isOutputPresent());
    EXPECT_FALSE (link->isConnected());

    SysExRequest a (frame (SYSEX_QUERY_VERSION)), b (frame (SYSEX_PATCHNUM));
    link->queueRequest (&a);
    link->queueRequest (&b);
    link->processPass();
    link->processPass();
    EXPECT_EQ (a.getStatus(), SysExRequest::stateTimedOut);
    EXPECT_EQ (b.getStatus(), SysExRequest::stateTimedOut);
    EXPECT_EQ (numSent(), 0);
    link->stopProcessing();
}

TEST_F (LinkTest, StoppingFailsEveryRequestLeft)
{
    connect();
    SysExRequest inFlight (frame (SYSEX_QUERY_VERSION)), queued (frame (SYSEX_PATCHNUM));
    link->queueRequest (&inFlight);
    link->queueRequest (&queued);
    link->processPass();
    EXPECT_EQ (inFlight.getStatus(), 0);

    link->stopProcessing();
    EXPECT_EQ (inFlight.getStatus(), SysExRequest::stateTimedOut);
    EXPECT_EQ (queued.getStatus(), SysExRequest::stateTimedOut);
    EXPECT_FALSE (link->isInputPresent());
    EXPECT_FALSE (link->isOutputPresent());
    EXPECT_TRUE (link->closePorts());
    EXPECT_FALSE (link->closePorts());
}

TEST_F (LinkTest, OpensByContainedNameFirstDeviceOrNothing)
{
    auto& ports = link->getPorts();
    EXPECT_EQ (link->getMidiInputNames(), juce::StringArray ("0- Other Device", unitName));

    EXPECT_TRUE (ports.openInputByName ("Kestrel MIDI"));
    EXPECT_EQ (ports.getInputName(), unitName);
    EXPECT_TRUE (ports.openOutputByName (""));
    EXPECT_EQ (ports.getOutputName(), "0- Other Device");

    EXPECT_FALSE (ports.openInputByName ("Falcon"));
    EXPECT_EQ (ports.getInputName(), unitName) << "no match: nothing changed";
    EXPECT_FALSE (ports.openInputByIndex (-1));
    EXPECT_FALSE (ports.isInputOpen()) << "an open by index closes the old port first";

    EXPECT_FALSE (ports.openOutputByIndex (2));
    EXPECT_FALSE (ports.isOutputOpen());
    EXPECT_TRUE (ports.openOutputByIndex (1));
    EXPECT_EQ (backend.getNumOpenOutputs (unitName), 1);
    EXPECT_TRUE (ports.closeOutput());
    EXPECT_FALSE (ports.closeOutput());
    EXPECT_EQ (backend.getNumOpenOutputs (unitName), 0);

    // The device list is a copy refreshed by the timer: a device removed
    // since then cannot be opened, and is gone after the refresh.
    backend.removeDevice (unitName);
    EXPECT_FALSE (ports.openInputByName ("Kestrel MIDI"));
    link->timerCallback();
    EXPECT_EQ (link->getMidiOutputNames(), juce::StringArray ("0- Other Device"));
}

TEST_F (LinkTest, WatchdogNoticesAVanishedDeviceAndReopensIt)
{
    connect();
    EXPECT_TRUE (link->isConnected());

    backend.removeDevice (unitName);
    link->timerCallback();
    link->checkPorts();
    EXPECT_TRUE (link->isConnected()) << "at most one check per 1000 ms";

    clock.advance (1001);
    link->checkPorts();
    EXPECT_FALSE (link->isInputPresent());
    EXPECT_FALSE (link->isOutputPresent());
    EXPECT_FALSE (link->getPorts().isOutputOpen()) << "closed; nothing to reopen yet";

    SysExRequest whileGone (frame (SYSEX_QUERY_VERSION));
    link->queueRequest (&whileGone);
    link->processPass();
    EXPECT_EQ (whileGone.getStatus(), SysExRequest::stateTimedOut);

    backend.addDevice (unitName);
    link->timerCallback();
    clock.advance (1001);
    link->checkPorts();
    EXPECT_TRUE (link->getPorts().isInputOpen());
    EXPECT_TRUE (link->getPorts().isOutputOpen());
    EXPECT_EQ (link->getPorts().getOutputName(), unitName);

    clock.advance (1001);
    link->checkPorts();
    EXPECT_TRUE (link->isConnected());

    // Traffic flows again through the reopened ports.
    SysExRequest again (frame (SYSEX_QUERY_VERSION));
    link->queueRequest (&again);
    link->processPass();
    reply (frame (SYSEX_QUERY_VERSION, { 6, 0, 0, 0, 0, 0 }));
    link->processPass();
    EXPECT_EQ (again.getStatus(), SysExRequest::stateComplete);
    link->stopProcessing();
}

TEST_F (LinkTest, WaitsOneMillisecondWithWorkAndUntilThePortCheckWithout)
{
    connect();
    EXPECT_EQ (link->getIdleWaitMs(), 1001) << "idle: until the next port check";
    clock.advance (400);
    EXPECT_EQ (link->getIdleWaitMs(), 601);

    SysExRequest request (frame (SYSEX_QUERY_VERSION));
    link->setHold (true);
    link->queueRequest (&request);
    EXPECT_EQ (link->getIdleWaitMs(), 601) << "a held queue is no work";
    link->setHold (false);
    EXPECT_EQ (link->getIdleWaitMs(), 1) << "a request waits to be sent";

    link->processPass();
    ASSERT_EQ (numSent(), 1);
    EXPECT_EQ (link->getIdleWaitMs(), 1) << "in flight: the time-out is tested every millisecond";

    reply (frame (SYSEX_QUERY_VERSION, { 6, 0, 0, 0, 0, 0 }));
    link->processPass();
    EXPECT_EQ (request.getStatus(), SysExRequest::stateComplete);
    clock.advance (700);
    EXPECT_EQ (link->getIdleWaitMs(), 1) << "the port check is due";
    link->checkPorts();
    EXPECT_EQ (link->getIdleWaitMs(), 1001);
}

TEST_F (LinkTest, ReleasedRequestsAreFreedByTheLink)
{
    connect();
    auto* queuedOnly = new SysExRequest (frame (SYSEX_PATCHNUM));
    auto* inFlight = new SysExRequest (frame (SYSEX_QUERY_VERSION));
    link->queueRequest (inFlight);
    link->queueRequest (queuedOnly);
    link->processPass();

    link->releaseRequest (queuedOnly); // freed at once: it never left the queue
    link->releaseRequest (inFlight);   // freed when the link lets go of it
    reply (frame (SYSEX_QUERY_VERSION, { 6, 0, 0, 0, 0, 0 }));
    link->processPass();
    link->processPass();
    EXPECT_EQ (numSent(), 1) << "the released queued request was never sent";
    link->stopProcessing();
    // A leak or double free shows under the leak detector or sanitizers.
}

//==============================================================================
// The real thread.

TEST (LinkThread, AnswersRequestsAndStopsPromptly)
{
    VirtualMidiBackend backend; // delivery on its own thread, as a driver
    VirtualMidiBackend::Installed useBackend (backend);
    backend.addDevice (unitName);
    backend.setOutputHandler (unitName,
                              [&backend] (const juce::MidiMessage& m)
                              {
                                  if (m.getRawDataSize() > 5 && m.getRawData()[5] == SYSEX_QUERY_VERSION)
                                      backend.pushToInput (unitName, frame (SYSEX_QUERY_VERSION, { 6, 0, 0, 0, 0, 0 }));
                              });

    ZOLMidiProcessing link;
    ASSERT_TRUE (link.getPorts().openInputByName ("Kestrel MIDI"));
    ASSERT_TRUE (link.getPorts().openOutputByName ("Kestrel MIDI"));
    ASSERT_TRUE (link.startProcessing());
    EXPECT_TRUE (link.isProcessing());

    for (int round = 0; round < 3; ++round)
    {
        SysExRequest request (frame (SYSEX_QUERY_VERSION));
        link.queueRequest (&request);

        for (int waited = 0; request.getStatus() == 0 && waited < 30000; waited += 2)
            juce::Thread::sleep (2);

        EXPECT_EQ (request.getStatus(), SysExRequest::stateComplete);
        EXPECT_EQ (request.getNumReplies(), 1);
    }

    // A request nobody answers is still with the link when it stops; the stop
    // ends it instead of leaving it busy. Its time-out never comes on the
    // program's clock, so only a thread that ends at once by itself (the
    // framework would kill one that did not) leaves no word in the log.
    SysExRequest unanswered (frame (SYSEX_GET_SYSINFO));
    ManualClock clock (juce::Time::getMillisecondCounter());
    ManualClock::Installed useClock (clock);
    link.queueRequest (&unanswered);

    struct KillWatch : juce::Logger
    {
        void logMessage (const juce::String& message) override { killed = killed || message.contains ("killing"); }
        bool killed = false;
    } watch;
    juce::Logger::setCurrentLogger (&watch);
    link.stopProcessing();
    juce::Logger::setCurrentLogger (nullptr);
    EXPECT_FALSE (watch.killed) << "the link's thread was killed";
    EXPECT_FALSE (link.isProcessing());
    EXPECT_EQ (unanswered.getStatus(), SysExRequest::stateTimedOut);
    link.closePorts();
}

TEST (LinkThread, WakesForRequestsAndInputAndCarriesAShortSystemName)
{
    // The frozen clock keeps the port check from coming due: only a wake-up
    // gets the idle thread going before its next check, a second away.
    ManualClock clock;
    ManualClock::Installed useClock (clock);
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    backend.addDevice (unitName);
    backend.setOutputHandler (unitName,
                              [&backend] (const juce::MidiMessage& m) {
                                  backend.pushToInput (unitName, frame (m.getRawData()[5], { 6, 0, 0, 0, 0, 0 }));
                              });

    std::vector<std::unique_ptr<SysExRequest>> requests; // outlive the link, which may still hold one
    ZOLMidiProcessing link;
    ASSERT_TRUE (link.getPorts().openInputByName ("Kestrel MIDI"));
    ASSERT_TRUE (link.getPorts().openOutputByName ("Kestrel MIDI"));
    ASSERT_TRUE (link.startProcessing());

    auto waitFor = [] (const std::function<bool()>& done)
    {
        for (int waited = 0; waited < 600; ++waited)
        {
            if (done())
                return true;

            juce::Thread::sleep (1);
        }

        return false;
    };

    juce::Thread::sleep (20); // the thread has passed once and gone idle: its wake-up is what is checked

    for (int round = 0; round < 3; ++round)
    {
        requests.push_back (std::make_unique<SysExRequest> (frame (SYSEX_QUERY_VERSION)));
        auto& request = *requests.back();
        link.queueRequest (&request);
        EXPECT_TRUE (waitFor ([&] { return request.getStatus() != 0; })) << "a queued request wakes the thread";
        EXPECT_EQ (request.getStatus(), SysExRequest::stateComplete);
        juce::Thread::sleep (20);
    }

    backend.pushToInput (unitName, frame (SYSEX_TEMPO));
    EXPECT_TRUE (waitFor ([&] { return link.takeTempoChanged(); })) << "input wakes the thread";

    // The system shows the thread under a name that fits its 15 characters.
    bool named = false;

    for (const auto& task : juce::File ("/proc/self/task").findChildFiles (juce::File::findDirectories, false))
        named = named || task.getChildFile ("comm").loadFileAsString().trim() == ZOLMidiProcessing::systemThreadName;

    EXPECT_LE (juce::String (ZOLMidiProcessing::systemThreadName).length(), 15);
    EXPECT_TRUE (named);
    link.closePorts();
}

TEST (LinkThread, PortsReopenedOnTheMessageThreadWhileTheLinkSends)
{
    // The main window reopens ports while the link thread sends and its
    // watchdog closes and reopens them: the port lock keeps these apart (a
    // thread sanitizer build checks this test).
    ManualClock clock;
    ManualClock::Installed useClock (clock);
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    backend.addDevice (unitName);
    backend.setOutputHandler (unitName,
                              [&backend] (const juce::MidiMessage& m) {
                                  backend.pushToInput (unitName, frame (m.getRawData()[5], { 1, 1, 1, 1, 1, 1 }));
                              });

    ZOLMidiProcessing link;
    link.getPorts().openInputByName ("Kestrel");
    link.getPorts().openOutputByName ("Kestrel");
    ASSERT_TRUE (link.startProcessing());

    std::vector<std::unique_ptr<SysExRequest>> requests;

    for (int i = 0; i < 200; ++i)
    {
        requests.push_back (std::make_unique<SysExRequest> (frame (SYSEX_QUERY_VERSION)));
        link.queueRequest (requests.back().get());

        if (i % 3 == 0)
            link.getPorts().openOutputByName ("Kestrel MIDI");
        if (i % 5 == 0)
            link.getPorts().openInputByName ("Kestrel MIDI");
        if (i % 7 == 0)
            link.getPorts().closeOutput();
        if (i % 50 == 0)
            link.timerCallback();

        clock.advance (400); // lets the watchdog run now and then
        juce::Thread::sleep (1);
    }

    link.stopProcessing();

    for (auto& request : requests)
        EXPECT_NE (request->getStatus(), 0) << "nothing left busy after the stop";

    link.closePorts();
}

TEST (LinkThread, SystemDevicesWithNothingToOpen)
{
    // The program's own backend (JUCE on ALSA). On a machine without MIDI
    // devices the lists are empty; nothing opens and nothing starts.
    ZOLMidiProcessing link;
    auto ins = link.getMidiInputNames();
    auto outs = link.getMidiOutputNames();
    EXPECT_FALSE (link.getPorts().openInputByName ("no such device 7f3a"));
    EXPECT_FALSE (link.getPorts().openOutputByName ("no such device 7f3a"));

    if (ins.isEmpty() && outs.isEmpty())
    {
        EXPECT_FALSE (link.getPorts().openInputByName (""));
        EXPECT_FALSE (link.startProcessing());
        EXPECT_FALSE (link.isProcessing());
    }

    link.checkPorts();
    EXPECT_FALSE (link.closePorts());
}

// A run of writes goes out only while the unit plays the preset it is meant
// for: the link sends a guarded request, or keeps it back (ended unsent) once
// the unit reported a change of preset; a reload of the preset stops a run
// once it has written to it, and a save or an export from the start. A run
// that recalls a slot is judged from the unit's answer to the recall on. A
// refused write stops the run; a refused question does not. The link keeps
// whether the outputs were left muted.
TEST_F (LinkTest, AGuardedRunGoesOutOnlyWhileTheUnitPlaysItsPreset)
{
    connect();
    auto report = [&] (int preset) { link->matchReply (frame (SYSEX_PATCHNUM, { 0, (juce::uint8) preset }), nullptr); };
    auto write = [] { return frame (SYSEX_PARAM_SET, { 106, 0, 2, 0, 1, 0, 0, 1 }); };
    // Sends one guarded request; true when it went out, and is then answered
    // with the status given, or left to time out.
    auto send = [&] (const std::shared_ptr<WriteGuard>& guard, const juce::MidiMessage& message, int status = -1)
    {
        SysExRequest request (message);
        request.setGuard (guard);
        const int sentBefore = numSent();
        link->queueRequest (&request);
        link->processPass();
        const bool wentOut = numSent() > sentBefore;
        if (wentOut && status >= 0)
            reply (frame (SYSEX_STATUS_MSG, { request.getFunctionCode(), (juce::uint8) status }));
        else if (wentOut)
            clock.advance (SysExRequest::defaultTimeoutMs + 1);
        link->processPass();
        EXPECT_NE (request.getStatus(), 0);
        EXPECT_EQ (request.wasWithheld(), ! wentOut);
        return wentOut;
    };
    const auto seen = [&] { return link->getPresetReports().count; };

    // An edit: the unit reloads its preset before the first write (no harm),
    // then after it (the write is gone), then moves.
    auto edit = std::make_shared<WriteGuard> (3, seen());
    report (3);
    EXPECT_TRUE (send (edit, write(), 0));
    report (3);
    EXPECT_FALSE (send (edit, write()));
    EXPECT_EQ (edit->getState().stop, WriteGuard::Stop::moved);
    EXPECT_EQ (edit->getState().movedTo, 3);

    // A save stores the edit as the unit holds it: a reload before it stops it.
    auto save = std::make_shared<WriteGuard> (3, seen(), true);
    report (3);
    EXPECT_FALSE (send (save, frame (SYSEX_SAVE_PATCH, { 0, 3 })));

    // A report before the answer: the write met the other preset.
    auto answered = std::make_shared<WriteGuard> (3, seen());
    {
        SysExRequest request (write());
        request.setGuard (answered);
        link->queueRequest (&request);
        link->processPass();
        report (4);
        reply (frame (SYSEX_PARAM_SET, { 106, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0 }));
        link->processPass();
        EXPECT_EQ (request.getState(), SysExRequest::stateComplete);
    }
    EXPECT_EQ (answered->getState().stop, WriteGuard::Stop::moved);
    EXPECT_TRUE (answered->getState().reachedUnit);

    // A recall's run: what the unit reports before it answers the recall is
    // no move; its slot's report is allowed; another preset after it is.
    auto recalled = std::make_shared<WriteGuard> (3, seen());
    recalled->awaitRecall();
    report (9);
    EXPECT_TRUE (send (recalled, frame (SYSEX_RECALL_PATCH, { 0, 5 }), 0));
    report (5);
    EXPECT_TRUE (send (recalled, write(), 0));
    EXPECT_EQ (recalled->getMeant(), 5);
    report (9);
    EXPECT_FALSE (send (recalled, write()));
    EXPECT_EQ (recalled->getState().movedTo, 9);

    // Once written to, the recalled slot reloaded is a move; its own report
    // trailing the first write is not, but once.
    for (const bool trailing : { false, true })
    {
        auto slot = std::make_shared<WriteGuard> (3, seen());
        slot->awaitRecall();
        EXPECT_TRUE (send (slot, frame (SYSEX_RECALL_PATCH, { 0, 5 }), 0));
        if (! trailing)
            report (5);
        EXPECT_TRUE (send (slot, write(), 0));
        report (5);
        EXPECT_EQ (send (slot, write(), 0), trailing) << trailing;
        report (5);
        EXPECT_FALSE (send (slot, write())) << "reloaded once more";
    }

    // Refusals: a write stops the run, a question the unit cannot answer does not.
    auto refused = std::make_shared<WriteGuard> (5, seen());
    EXPECT_TRUE (send (refused, frame (SYSEX_PARAM_SET, { 106, 0, 99, 0, 0, 0, 0, 0 }), 1));
    EXPECT_TRUE (send (refused, frame (SYSEX_GET_MODIFIER_INFO, { 0, 1 }), 1));
    EXPECT_FALSE (refused->isStopped());
    EXPECT_TRUE (send (refused, frame (SYSEX_SAVE_PATCH, { 0, 5 }), 1));
    EXPECT_EQ (refused->getState().stop, WriteGuard::Stop::refused);
    EXPECT_EQ (refused->getState().refusal, 1);

    // Muted once a mute goes out, on again only once an unmute is answered.
    EXPECT_FALSE (link->areOutputsMuted());
    EXPECT_TRUE (send (nullptr, frame (SYSEX_MUTE, { 0 }), 0));
    EXPECT_TRUE (link->areOutputsMuted());
    EXPECT_TRUE (send (nullptr, frame (SYSEX_MUTE, { 1 })));
    EXPECT_TRUE (link->areOutputsMuted()) << "unanswered";
    EXPECT_TRUE (send (nullptr, frame (SYSEX_MUTE, { 1 }), 0));
    EXPECT_FALSE (link->areOutputsMuted());
    link->stopProcessing();
}

// A run that addresses a scene writes that scene only. Without a states
// report from the unit nothing more goes out; after one, the unit is asked
// its scene before the run's next request: in the run's scene the request
// goes out, in another it is kept back and the run stops; unanswered, it is
// not sent either. A scene the run sets is its own, and a states answer
// naming another stops it too.
TEST_F (LinkTest, ARunThatAddressesASceneAsksItAfterAStatesReportAndStopsInAnother)
{
    connect();
    const auto write = frame (SYSEX_PARAM_SET, { 106, 0, 2, 0, 1, 0, 0, 1 });
    auto statesReport = [&] { link->matchReply (frame (SYSEX_QUERY_STATES, {}), nullptr); };
    // Sends one request of the run. Each time the link asks the unit its
    // scene first, the unit answers `scene` (-1: never, the question times
    // out); the request, once out, gets `answer`. Tells what went out: "asked "
    // per question, then "sent". A request the link keeps asking for, or
    // does not end, fails the test here.
    auto send = [&] (const std::shared_ptr<WriteGuard>& guard, const juce::MidiMessage& message, int scene,
                     const juce::MidiMessage& answer, bool reportBeforeAnswer = false)
    {
        auto* request = new SysExRequest (message);
        request->setGuard (guard);
        int seen = numSent();
        link->queueRequest (request);
        link->processPass();
        juce::String went;
        while (request->getStartTime() == 0 && request->getStatus() == 0 && numSent() > seen)
        {
            seen = numSent();
            if (lastSentFunction() != SYSEX_SET_SCENE)
            {
                ADD_FAILURE() << "the link sent function " << lastSentFunction()
                              << " in place of the request after: " << went;
                break;
            }
            if (went == "asked asked asked ")
            {
                ADD_FAILURE() << "the link asks the unit its scene a fourth time for one request";
                break;
            }
            went << "asked ";
            if (scene >= 0)
                reply (frame (SYSEX_SET_SCENE, { (juce::uint8) scene }));
            else
                clock.advance (SysExRequest::defaultTimeoutMs + 1);
            link->processPass();
        }
        if (request->getStartTime() != 0)
        {
            went << "sent";
            if (reportBeforeAnswer)
                statesReport();
            reply (answer);
            link->processPass();
        }
        if (request->getStatus() == 0)
        {
            ADD_FAILURE() << "the request did not end after: " << went;
            link->releaseRequest (request);
        }
        else
        {
            delete request;
        }
        return went;
    };
    const auto done = frame (SYSEX_STATUS_MSG, { SYSEX_PARAM_SET, 0 });

    auto paste = std::make_shared<WriteGuard> (3, 0);
    paste->addressScene (2, link->getPresetReports().states);
    EXPECT_EQ (send (paste, write, 2, done), "sent");
    statesReport(); // a block bypassed on the unit
    EXPECT_EQ (send (paste, write, 2, done), "asked sent");
    EXPECT_EQ (send (paste, write, 2, done), "sent");
    statesReport(); // a scene footswitch
    EXPECT_EQ (send (paste, write, 5, done), "asked ");
    EXPECT_EQ (paste->getState().stop, WriteGuard::Stop::sceneMoved);
    EXPECT_EQ (paste->getState().scene, 2);
    EXPECT_EQ (paste->getState().sceneMovedTo, 5);
    EXPECT_FALSE (paste->getState().reachedUnit);

    // The report came before a write's answer: the write may have met the other scene.
    auto met = std::make_shared<WriteGuard> (3, 0);
    met->addressScene (2, link->getPresetReports().states);
    EXPECT_EQ (send (met, write, 2, done, true), "sent");
    EXPECT_TRUE (met->isSceneInDoubt());
    EXPECT_EQ (send (met, write, 6, done), "asked ");
    EXPECT_TRUE (met->getState().reachedUnit);

    // A question the unit leaves unanswered: the write is not sent, and ends as a lost answer does.
    auto unanswered = std::make_shared<WriteGuard> (3, 0);
    unanswered->addressScene (2, link->getPresetReports().states);
    statesReport();
    EXPECT_EQ (send (unanswered, write, -1, done), "asked ");
    EXPECT_EQ (lastSentFunction(), SYSEX_SET_SCENE);

    // A run that sets its scene; a states answer naming another stops it.
    auto set = std::make_shared<WriteGuard> (3, 0);
    set->addressScene (-1, link->getPresetReports().states);
    statesReport();
    EXPECT_EQ (send (set, write, 0, done), "sent") << "no scene of its own yet";
    EXPECT_EQ (send (set, frame (SYSEX_SET_SCENE, { 4 }), 0, frame (SYSEX_SET_SCENE, { 4 })), "sent");
    juce::MidiMessage states;
    buildQueryStatesReply (states, { 0x01000068u }, 8);
    SysExRequest query (frame (SYSEX_QUERY_STATES));
    query.setExpectedCount (2);
    query.setGuard (set);
    link->queueRequest (&query);
    link->processPass();
    reply (states);
    reply (frame (SYSEX_SET_SCENE, { 7 }));
    link->processPass();
    EXPECT_EQ (set->getState().stop, WriteGuard::Stop::sceneMoved);
    EXPECT_EQ (set->getState().sceneMovedTo, 7);
    link->stopProcessing();
}
