#include "device/link/ZOLInterprocessConnection.h"
#include "support/ManualClock.h"

#include <gtest/gtest.h>

namespace
{
InterprocessCommand makeCommand (juce::uint32 command, juce::uint32 argument, juce::uint32 kind,
                                 juce::uint32 sendTime = 0)
{
    InterprocessCommand record;
    record.words[0] = command;
    record.words[1] = argument;
    record.words[2] = kind;
    record.words[3] = 0x12345678; // some command data
    record.words[11] = sendTime;
    record.words[12] = record.computeCheck();
    return record;
}
} // namespace

TEST (Interprocess, CheckWordIsTheXorOfTheLittleEndianHalfWords)
{
    auto record = makeCommand (1, 0, 1);
    auto bytes = record.toBytes();
    ASSERT_EQ (bytes.getSize(), 52u);
    EXPECT_EQ (static_cast<const juce::uint8*> (bytes.getData())[12], 0x78);

    // 0x0001 ^ 0x0001 ^ 0x5678 ^ 0x1234
    EXPECT_EQ (record.words[12], (juce::uint32) (0x5678 ^ 0x1234));

    InterprocessCommand read;
    EXPECT_TRUE (read.readFrom (bytes.getData(), bytes.getSize()));
    EXPECT_EQ (read.words[3], 0x12345678u);
    EXPECT_FALSE (read.readFrom (bytes.getData(), 51));

    clearInterprocessCommand (read);
    EXPECT_TRUE (read.isEmpty());
    EXPECT_EQ (read.words[3], 0u);
}

TEST (Interprocess, AcceptsOnlyValidCommandsOneAtATime)
{
    ZOLInterprocessConnection connection;
    EXPECT_FALSE (connection.hasUntakenMessage());

    auto valid = makeCommand (2, 4, 3).toBytes();
    juce::MemoryBlock tooLong (valid);
    tooLong.append ("\0", 1);
    juce::MemoryBlock tooShort (valid.getData(), 51);
    juce::MemoryBlock badCheck (valid);
    static_cast<juce::uint8*> (badCheck.getData())[48] ^= 1;

    for (auto* block : { &tooLong, &tooShort, &badCheck })
        connection.messageReceived (*block);
    connection.messageReceived (makeCommand (5, 0, 1).toBytes());
    connection.messageReceived (makeCommand (1, 5, 1).toBytes());
    connection.messageReceived (makeCommand (1, 0, 0).toBytes());
    connection.messageReceived (makeCommand (1, 0, 4).toBytes());
    EXPECT_FALSE (connection.hasUntakenMessage());

    connection.messageReceived (valid);
    EXPECT_TRUE (connection.hasUntakenMessage());

    // While one is untaken a new one is dropped, not queued.
    connection.messageReceived (makeCommand (3, 0, 1).toBytes());
    InterprocessCommand taken;
    ASSERT_TRUE (connection.takeMessage (taken));
    EXPECT_EQ (taken.getCommand(), 2u);
    EXPECT_FALSE (connection.takeMessage (taken));
    EXPECT_FALSE (connection.hasUntakenMessage());
}

TEST (Interprocess, WaitingCommandTakesOnlyItsAnswerUntilItTimesOut)
{
    ManualClock clock (10000);
    ManualClock::Installed use (clock);
    ZOLInterprocessConnection connection;
    EXPECT_EQ (connection.updatePendingState(), ZOLInterprocessConnection::pendingNone);

    connection.setPendingCommand (makeCommand (3, 0, 1, 10000));
    EXPECT_EQ (connection.updatePendingState(), ZOLInterprocessConnection::pendingWaiting);

    connection.messageReceived (makeCommand (1, 2, 1).toBytes()); // answers command 2, not ours
    EXPECT_FALSE (connection.hasUntakenMessage());
    connection.messageReceived (makeCommand (1, 3, 1).toBytes());
    EXPECT_TRUE (connection.hasUntakenMessage());

    clock.advance (3000);
    EXPECT_EQ (connection.updatePendingState(), ZOLInterprocessConnection::pendingWaiting);
    clock.advance (1);
    EXPECT_EQ (connection.updatePendingState(), ZOLInterprocessConnection::pendingTimedOut);

    // No longer waiting: any valid command is taken again.
    InterprocessCommand taken;
    connection.takeMessage (taken);
    connection.messageReceived (makeCommand (4, 1, 2).toBytes());
    EXPECT_TRUE (connection.hasUntakenMessage());
}
