#include "device/wire/SysExRequest.h"
#include "device/link/SysExRequestQueue.h"
#include "device/wire/SysExFraming.h"
#include "support/ManualClock.h"

#include <gtest/gtest.h>

namespace
{
juce::MidiMessage frame (juce::uint8 function, std::initializer_list<juce::uint8> payload = {})
{
    juce::MidiMessage message;
    std::vector<juce::uint8> bytes (payload);
    buildSysExMessage (message, function, bytes.data(), bytes.size(), 3);
    return message;
}
} // namespace

TEST (SysExRequest, RepliesCompleteAtTheExpectedCountAndRearmTheTimeOut)
{
    ManualClock clock (5000);
    ManualClock::Installed use (clock);

    SysExRequest request (frame (0x08));
    EXPECT_EQ (request.getTimeout(), 3000u);
    EXPECT_EQ (request.getExpectedCount(), 1);
    request.setExpectedCount (2);
    request.restartTimer();

    clock.advance (2500);
    EXPECT_FALSE (request.addReply (frame (0x08, { 1 })));
    EXPECT_EQ (request.getState(), SysExRequest::stateWaiting);
    EXPECT_EQ (request.getStartTime(), 7500u); // the reply re-armed the time-out

    clock.advance (2999);
    EXPECT_FALSE (request.checkTimeOut());
    clock.advance (1);
    EXPECT_FALSE (request.checkTimeOut()); // exactly the time-out is not yet over it

    EXPECT_TRUE (request.addReply (frame (0x08, { 2 })));
    EXPECT_EQ (request.getState(), SysExRequest::stateComplete);

    // Complete: further replies are dropped, and it never times out.
    EXPECT_FALSE (request.addReply (frame (0x08, { 3 })));
    EXPECT_EQ (request.getNumReplies(), 2);
    clock.advance (10000);
    EXPECT_FALSE (request.checkTimeOut());
    EXPECT_EQ (request.getState(), SysExRequest::stateComplete);

    juce::MemoryBlock data;
    request.getReplyData (data);
    EXPECT_EQ (data.getSize(), 18u);
    EXPECT_EQ (static_cast<const juce::uint8*> (data.getData())[6], 1);
    EXPECT_EQ (static_cast<const juce::uint8*> (data.getData())[15], 2);
}

TEST (SysExRequest, TimesOutOnlyOnceSentAndAcrossTheCounterWrap)
{
    ManualClock clock (0xFFFFFF00u);
    ManualClock::Installed use (clock);

    SysExRequest request (1000);
    request.setState (SysExRequest::stateWaiting);
    EXPECT_FALSE (request.checkTimeOut()) << "never sent: start time 0";

    request.restartTimer();
    clock.advance (0x200); // crosses the wrap of the 32-bit counter: 512 ms
    EXPECT_FALSE (request.checkTimeOut());
    clock.advance (500);
    EXPECT_TRUE (request.checkTimeOut());
    EXPECT_EQ (request.getState(), SysExRequest::stateTimedOut);
}

TEST (SysExRequest, StatusStaysZeroWhileBusyAndResetClearsOldReplies)
{
    ManualClock clock;
    ManualClock::Installed use (clock);

    SysExRequest request (frame (0x14));
    request.setFlags (SysExRequest::flagKeepOwnership | SysExRequest::flagAlertOnTimeOut);
    request.setBusy (true);
    request.setState (SysExRequest::stateComplete);
    EXPECT_EQ (request.getStatus(), 0);
    request.setBusy (false);
    EXPECT_EQ (request.getStatus(), 1);

    request.addReply (frame (0x14, { 0, 5 }));
    request.reset (2000);
    EXPECT_EQ (request.getNumReplies(), 0) << "replies of the old send must not count towards the resend";
    EXPECT_EQ (request.getFunctionCode(), 0x14) << "the message stays";
    EXPECT_EQ (request.getState(), 0);
    EXPECT_EQ (request.getFlags(), 0u);
    EXPECT_EQ (request.getTimeout(), 2000u);
    EXPECT_EQ (request.getStartTime(), 0u);

    // After the reset one new reply completes it again.
    EXPECT_TRUE (request.addReply (frame (0x14, { 0, 6 })));

    juce::MidiMessage out = frame (0x01);
    EXPECT_FALSE (request.getReply (out, 1));
    EXPECT_EQ (out.getRawData()[5], 0x01) << "out message untouched";
    EXPECT_FALSE (request.getReply (out, -1));
    EXPECT_TRUE (request.getReply (out, 0));
    EXPECT_EQ (out.getRawData()[7], 6);
}

TEST (SysExRequest, ControllerMessagesAndFunctionCodes)
{
    SysExRequest request (frame (0x3C, { 1, 2 }));
    EXPECT_EQ (request.getFunctionCode(), 0x3C);

    EXPECT_TRUE (request.setControllerMessage (1, 7, 100));
    EXPECT_EQ (request.getExpectedCount(), 0);
    EXPECT_EQ (request.getFunctionCode(), 0);
    EXPECT_TRUE (request.getMessage().isControllerOfType (7));

    EXPECT_FALSE (request.setControllerMessage (0, 7, 100));
    EXPECT_FALSE (request.setControllerMessage (1, 128, 100));
    EXPECT_FALSE (request.setControllerMessage (1, 7, -1));

    const juce::uint8 shortSysEx[] = { 0xF0, 0x00, 0x02, 0x6B, 0xF7 };
    request.setMessage (juce::MidiMessage (shortSysEx, 5));
    EXPECT_EQ (request.getFunctionCode(), 0);
}

TEST (SysExRequestQueue, FirstInFirstOutWithoutOwnership)
{
    SysExRequest a, b, c;
    SysExRequestQueue queue;
    EXPECT_EQ (queue.pop(), nullptr);
    EXPECT_EQ (queue.front(), nullptr);

    queue.push (&a);
    queue.push (&b);
    queue.push (&c);
    EXPECT_EQ (queue.size(), 3);
    EXPECT_EQ (queue.front(), &a);
    EXPECT_TRUE (queue.remove (&b));
    EXPECT_FALSE (queue.remove (&b));
    EXPECT_EQ (queue.pop(), &a);
    EXPECT_EQ (queue.pop(), &c);
    EXPECT_TRUE (queue.isEmpty());
}
