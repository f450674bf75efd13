#include "model/ByteReader.h"
#include "model/ByteWriter.h"
#include "model/Clock.h"
#include "model/SafeFileWrite.h"
#include "model/Singleton.h"
#include "model/UserFolders.h"
#include "model/UserNotifier.h"
#include "support/ManualClock.h"
#include "support/RecordingNotifier.h"

#include "support/FileSizeLimit.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace
{

int countEntries (const juce::File& folder)
{
    return folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*");
}

// Runs body on its own thread; false when it has not finished in time
// (a deadlock), so the test fails instead of hanging.
template <typename Body>
bool finishesWithin (std::chrono::seconds limit, Body body)
{
    auto done = std::make_shared<std::atomic<bool>> (false);
    std::thread (
        [done, body]
        {
            body();
            done->store (true);
        })
        .detach();

    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (! done->load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for (std::chrono::milliseconds (5));

    return done->load();
}

juce::MemoryBlock bytesOf (std::initializer_list<int> values)
{
    juce::MemoryBlock block;
    for (auto v : values)
    {
        auto b = (juce::uint8) v;
        block.append (&b, 1);
    }
    return block;
}
} // namespace

//==============================================================================
TEST (SafeFileWrite, ReplacesAtomicallyAndLeavesNoTemporaries)
{
    ScratchFolder scratch;
    const auto target = scratch.folder.getChildFile ("sub/settings.xml");

    EXPECT_EQ (writeFileSafely (target, juce::String ("one")), "");
    EXPECT_EQ (writeFileSafely (target, juce::String ("two, longer")), "");
    EXPECT_EQ (target.loadFileAsString(), "two, longer");
    EXPECT_EQ (countEntries (target.getParentDirectory()), 1) << "a temporary file was left behind";

    const char raw[] = { 1, 0, 2 };
    EXPECT_EQ (writeFileSafely (target, raw, sizeof (raw)), "");
    EXPECT_EQ (target.getSize(), 3);
}

TEST (SafeFileWrite, FailureKeepsTheOldFile)
{
    ScratchFolder scratch;
    const auto target = scratch.folder.getChildFile ("keep.bin");
    ASSERT_EQ (writeFileSafely (target, juce::String ("old contents")), "");

    // The parent cannot be made: a regular file is in the way.
    const auto blocked = target.getChildFile ("child.bin");
    EXPECT_NE (writeFileSafely (blocked, juce::String ("x")), "");
    EXPECT_EQ (target.loadFileAsString(), "old contents");

    // A folder of the target's name is not replaced.
    const auto folderTarget = scratch.folder.getChildFile ("folder");
    folderTarget.getChildFile ("inside").create();
    EXPECT_NE (writeFileSafely (folderTarget, juce::String ("x")), "");
    EXPECT_TRUE (folderTarget.getChildFile ("inside").existsAsFile());

    EXPECT_NE (writeFileSafely (juce::File(), juce::String ("x")), "");

#if JUCE_LINUX || JUCE_MAC
    {
        // The disk "fills up" half-way through the new data.
        juce::MemoryBlock big (64 * 1024, true);
        FileSizeLimit limit (1000);
        ASSERT_TRUE (limit.active);
        EXPECT_NE (writeFileSafely (target, big), "");
    }
    EXPECT_EQ (target.loadFileAsString(), "old contents");
    EXPECT_EQ (countEntries (scratch.folder), 2) << "a temporary file was left behind";
#endif
}

//==============================================================================
TEST (ByteReader, NeverReadsPastTheData)
{
    const auto data = bytesOf ({ 0x01, 0x02, 0x03 });

    ByteReader reader (data);
    EXPECT_EQ (reader.readU16(), 0x0201);
    EXPECT_EQ (reader.readU32(), 0u);
    EXPECT_FALSE (reader.ok());
    EXPECT_EQ (reader.position(), 2u) << "a failed read must not move";
    EXPECT_EQ (reader.readU8(), 0) << "a failed reader stays failed";

    ByteReader bytes (data);
    juce::uint8 dest[4] = { 9, 9, 9, 9 };
    EXPECT_FALSE (bytes.readBytes (dest, 4));
    EXPECT_EQ (dest[0], 9);

    ByteReader skipping (data);
    EXPECT_FALSE (skipping.skip (std::numeric_limits<size_t>::max()));
    EXPECT_FALSE (skipping.ok());

    ByteReader wrap (data);
    wrap.readU8();
    EXPECT_FALSE (wrap.require (std::numeric_limits<size_t>::max())) << "position + count must not wrap";

    ByteReader nothing (nullptr, 100);
    EXPECT_EQ (nothing.remaining(), 0u);
    EXPECT_EQ (nothing.readU8(), 0);
    EXPECT_FALSE (nothing.ok());
}

TEST (ByteReader, BadTextLengthsFail)
{
    auto textRecord = [] (juce::uint32 length, const juce::MemoryBlock& body)
    {
        juce::MemoryBlock block;
        ByteWriter writer (block);
        writer.writeU32 (length);
        writer.writeBytes (body.getData(), body.getSize());
        return block;
    };
    const auto body = bytesOf ({ 'a', 'b', 'c', 'd' });

    for (juce::uint32 length : { 0xfffffffbu, 0x7fffffffu, 0xffffffffu, 0x80000000u, 5u })
    {
        const auto record = textRecord (length, body);
        ByteReader reader (record);
        EXPECT_EQ (reader.readText(), "") << length;
        EXPECT_FALSE (reader.ok()) << length;
    }

    {
        const auto record = textRecord (4, body);
        ByteReader reader (record);
        EXPECT_EQ (reader.readText (3), "") << "longer than the caller allows";
        EXPECT_FALSE (reader.ok());
    }
    {
        const auto record = textRecord (4, body);
        ByteReader reader (record);
        EXPECT_EQ (reader.readText(), "abcd");
        EXPECT_TRUE (reader.ok());
        EXPECT_EQ (reader.remaining(), 0u);
    }
    {
        const auto record = textRecord (0, {});
        ByteReader reader (record);
        EXPECT_EQ (reader.readText(), "");
        EXPECT_TRUE (reader.ok());
    }
    {
        const auto record = bytesOf ({ 4, 0, 0 });
        ByteReader reader (record);
        EXPECT_EQ (reader.readText(), "");
        EXPECT_FALSE (reader.ok()) << "truncated length";
    }

    // Broken UTF-8 (a lead byte without its continuation bytes) is refused:
    // inside a juce::String it would make later walks step past the text.
    for (auto broken :
         { bytesOf ({ 'A', 0xf0 }), bytesOf ({ 0xc3 }), bytesOf ({ 0xe2, 0x82, 'x' }), bytesOf ({ 0x80 }) })
    {
        const auto record = textRecord ((juce::uint32) broken.getSize(), broken);
        ByteReader reader (record);
        EXPECT_EQ (reader.readText(), "");
        EXPECT_FALSE (reader.ok());
    }
}

TEST (ByteReader, CanHoldDoesNotWrap)
{
    juce::uint8 data[16] = {};
    ByteReader reader (data, sizeof (data));

    EXPECT_TRUE (reader.canHold (4, 4));
    EXPECT_FALSE (reader.canHold (5, 4));
    EXPECT_TRUE (reader.canHold (0, 8));

    // Counts whose product wraps in 32 or 64 bits must not look small.
    EXPECT_FALSE (reader.canHold (0x40000001ull, 4));
    EXPECT_FALSE (reader.canHold (0xffffffffull, 16));
    EXPECT_FALSE (reader.canHold (1ull << 32, 1));
    EXPECT_FALSE (reader.canHold ((1ull << 62) + 1, 4));
    EXPECT_FALSE (reader.canHold (std::numeric_limits<juce::uint64>::max(), 2));

    reader.readU32();
    EXPECT_TRUE (reader.canHold (3, 4));
    EXPECT_FALSE (reader.canHold (4, 4));

    reader.fail();
    EXPECT_FALSE (reader.canHold (1, 1));
}

TEST (ByteWriter, RoundTripsThroughByteReader)
{
    juce::MemoryBlock block;
    ByteWriter writer (block);
    const juce::String umlauts (juce::CharPointer_UTF8 ("Gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac"));

    writer.writeU8 (0xab);
    writer.writeU16 (0xbeef);
    writer.writeU32 (0x11223344);
    writer.writeI32 (-2);
    writer.writeFloat (-1.25f);
    writer.writeText (umlauts);
    writer.writeText ({});
    writer.writeBytes ("xyz", 3);
    writer.writeBytes (nullptr, 5);

    // Little-endian on disk whatever the machine.
    const auto* raw = static_cast<const juce::uint8*> (block.getData());
    EXPECT_EQ (raw[3], 0x44);
    EXPECT_EQ (raw[6], 0x11);
    EXPECT_EQ (writer.size(), block.getSize());

    ByteReader reader (block);
    EXPECT_EQ (reader.readU8(), 0xab);
    EXPECT_EQ (reader.readU16(), 0xbeef);
    EXPECT_EQ (reader.readU32(), 0x11223344u);
    EXPECT_EQ (reader.readI32(), -2);
    EXPECT_EQ (reader.readFloat(), -1.25f);
    EXPECT_EQ (reader.readText(), umlauts);
    EXPECT_EQ (reader.readText(), "");
    char tail[3];
    EXPECT_TRUE (reader.readBytes (tail, 3));
    EXPECT_EQ (std::string (tail, 3), "xyz");
    EXPECT_TRUE (reader.ok());
    EXPECT_EQ (reader.remaining(), 0u);
}

//==============================================================================
namespace
{
struct Counted : public Singleton<Counted>
{
    static inline std::atomic<int> constructions{ 0 };

private:
    friend class Singleton<Counted>;
    Counted() { ++constructions; }
};

struct SelfAsking : public Singleton<SelfAsking>
{
    static inline SelfAsking* seenWhileConstructing = reinterpret_cast<SelfAsking*> (1);

private:
    friend class Singleton<SelfAsking>;
    SelfAsking() { seenWhileConstructing = getInstance(); }
};

struct SlowToBuild : public Singleton<SlowToBuild>
{
    static inline std::atomic<int> constructions{ 0 };

private:
    friend class Singleton<SlowToBuild>;
    SlowToBuild()
    {
        ++constructions;
        std::this_thread::sleep_for (std::chrono::milliseconds (50));
    }
};
} // namespace

TEST (Singleton, CreatedOnceAndNeverAgainAfterDeletion)
{
    Counted::resetForTests();
    Counted::constructions = 0;

    EXPECT_EQ (Counted::getInstanceWithoutCreating(), nullptr);
    auto* first = Counted::getInstance();
    ASSERT_NE (first, nullptr);
    EXPECT_EQ (Counted::getInstance(), first);
    EXPECT_EQ (Counted::getInstanceWithoutCreating(), first);
    EXPECT_EQ (Counted::constructions, 1);

    Counted::deleteInstance();
    EXPECT_EQ (Counted::getInstance(), nullptr) << "a manager deleted at shutdown must not come back";
    EXPECT_EQ (Counted::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ (Counted::constructions, 1);
    Counted::deleteInstance(); // twice is harmless

    Counted::resetForTests();
    EXPECT_NE (Counted::getInstance(), nullptr);
    EXPECT_EQ (Counted::constructions, 2);
    Counted::resetForTests();
}

TEST (Singleton, ConstructorAskingForItselfGetsNullWithoutDeadlock)
{
    SelfAsking::resetForTests();
    SelfAsking* created = nullptr;

    ASSERT_TRUE (finishesWithin (std::chrono::seconds (60), [&created] { created = SelfAsking::getInstance(); }))
        << "getInstance deadlocked inside the constructor";
    EXPECT_NE (created, nullptr);
    EXPECT_EQ (SelfAsking::seenWhileConstructing, nullptr);
    EXPECT_EQ (SelfAsking::getInstance(), created);
    SelfAsking::resetForTests();
}

TEST (Singleton, ConcurrentFirstCallsCreateOneObject)
{
    SlowToBuild::resetForTests();
    SlowToBuild::constructions = 0;

    constexpr int threadCount = 8;
    std::atomic<bool> go{ false };
    std::vector<SlowToBuild*> seen (threadCount, nullptr);
    std::vector<std::thread> threads;

    for (int i = 0; i < threadCount; ++i)
        threads.emplace_back (
            [&, i]
            {
                while (! go.load())
                    std::this_thread::yield();
                seen[(size_t) i] = SlowToBuild::getInstance();
            });

    go = true;
    for (auto& t : threads)
        t.join();

    EXPECT_EQ (SlowToBuild::constructions, 1);
    ASSERT_NE (seen[0], nullptr);
    for (auto* p : seen)
        EXPECT_EQ (p, seen[0]) << "a thread saw a different or missing object";

    SlowToBuild::resetForTests();
}

//==============================================================================
TEST (Clock, ManualClockDrivesNowAcrossTheWrap)
{
    {
        ManualClock clock (0xffffff00u);
        ManualClock::Installed use (clock);

        const auto start = Clock::nowMs();
        EXPECT_EQ (start, 0xffffff00u);
        clock.advance (0x200);
        EXPECT_EQ (Clock::nowMs(), 0x100u);
        EXPECT_EQ (Clock::elapsedSince (start), 0x200u);
        EXPECT_EQ (Clock::elapsedSince (Clock::nowMs()), 0u);

        clock.set (5);
        EXPECT_EQ (Clock::elapsedSince (0xfffffffbu), 10u);
    }

    // Uninstalled, the system counter is back.
    EXPECT_EQ (Clock::getSource(), nullptr);
    const auto before = juce::Time::getMillisecondCounter();
    const auto now = Clock::nowMs();
    EXPECT_LE (now - before, juce::Time::getMillisecondCounter() - before);
}

//==============================================================================
TEST (UserFolders, RedirectedBelowATestRoot)
{
    ScratchFolder scratch;
    UserFolders::redirectTo (scratch.folder);

    const auto documents = UserFolders::getDocumentsFolder();
    const auto appData = UserFolders::getApplicationDataFolder();
    const auto program = UserFolders::getProgramFolder();
    const auto settings = UserFolders::getSettingsFolder();
    const auto work = UserFolders::getWorkFolder();
    const auto root = UserFolders::getRedirectRoot();

    UserFolders::redirectTo ({});

    EXPECT_EQ (root, scratch.folder);
    for (auto& folder : { documents, appData, program, settings, work })
        EXPECT_TRUE (folder.isAChildOf (scratch.folder)) << folder.getFullPathName();

    const auto sep = juce::File::getSeparatorString();
    EXPECT_TRUE (settings.getFullPathName().endsWith ("Quillon Audio" + sep + "Kestrel-Edit"));
    EXPECT_TRUE (settings.isAChildOf (appData));
    EXPECT_TRUE (work.getFullPathName().endsWith ("Quillon Audio" + sep + "Kestrel-Edit"));
    EXPECT_TRUE (work.isAChildOf (documents));

    EXPECT_EQ (UserFolders::getRedirectRoot(), juce::File());
    EXPECT_FALSE (UserFolders::getSettingsFolder().isAChildOf (scratch.folder));
}

//==============================================================================
TEST (UserNotifier, NoticesReachTheSinkFromAnyThread)
{
    RecordingNotifier recorder;

    std::thread worker ([] { UserNotifier::warn ("Communication lost."); });
    worker.join();

    ASSERT_EQ (recorder.count(), 1);
    const auto notice = recorder.get (0);
    EXPECT_EQ (notice.message, "Communication lost.");
    EXPECT_EQ (notice.title, "Kestrel-Edit");
    EXPECT_EQ (notice.icon, Notice::Icon::warning);
    EXPECT_EQ (notice.buttons, Notice::Buttons::ok);

    UserNotifier::inform ("Done.", "Own title");
    EXPECT_EQ (recorder.get (1).title, "Own title");
}

TEST (UserNotifier, AnsweredQuestionCallsBackWithTheChoice)
{
    RecordingNotifier recorder;
    std::vector<bool> answers;

    UserNotifier::askOkCancel ("Overwrite?", [&answers] (bool ok) { answers.push_back (ok); });
    UserNotifier::askOkCancel ("Delete?", [&answers] (bool ok) { answers.push_back (ok); });
    UserNotifier::askOkCancel ("Nobody listens", {});

    ASSERT_EQ (recorder.count(), 3);
    EXPECT_EQ (recorder.get (0).buttons, Notice::Buttons::okCancel);
    EXPECT_EQ (recorder.get (0).icon, Notice::Icon::question);
    EXPECT_TRUE (answers.empty()) << "no answer before the user gives one";

    recorder.answer (0, 1);
    recorder.answer (1, 0);
    recorder.answer (2, 1); // no callback: nothing happens
    EXPECT_EQ (answers, (std::vector<bool>{ true, false }));
}
