#include "app/update/ProgramUpdateCheck.h"
#include "app/update/InstallerCopyFolder.h"
#include "app/update/InstallerSignature.h"
#include "app/update/UpdateFeed.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UserFolders.h"
#include "support/FileSizeLimit.h"
#include "support/HostileInputs.h"
#include "support/LoopbackHttpServer.h"
#include "support/PumpMessages.h"
#include "support/RecordingNotifier.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <sodium.h>

#if JUCE_LINUX
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#endif

namespace
{
const juce::String feedPath = "/rss/mzrtkwpqlnvbsa/Kestrel-Edit/kestrel-edit.xml";

struct SigningKey
{
    SigningKey()
    {
        EXPECT_GE (sodium_init(), 0);
        crypto_sign_keypair (publicKey.data(), secretKey);
    }

    juce::String sign (const juce::MemoryBlock& data) const
    {
        unsigned char signature[crypto_sign_BYTES];
        crypto_sign_detached (signature, nullptr, static_cast<const unsigned char*> (data.getData()), data.getSize(),
                              secretKey);
        return juce::Base64::toBase64 (signature, sizeof (signature));
    }

    // Signs as the release machine does: the installer's version line, then its bytes.
    juce::String signInstaller (const juce::MemoryBlock& installer, const char* version = "1.9.0") const
    {
        juce::MemoryBlock message;
        const juce::String header = juce::String ("Kestrel-Edit installer\nversion ") + version + "\n";
        message.append (header.toRawUTF8(), header.getNumBytesAsUTF8());
        message.append (installer.getData(), installer.getSize());
        return sign (message);
    }

    InstallerSignature::PublicKey publicKey{};
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
};

struct ChangeCallback : juce::ChangeListener
{
    void changeListenerCallback (juce::ChangeBroadcaster*) override { onChange(); }
    std::function<void()> onChange;
};

juce::MemoryBlock installerBytes (int size, int seed = 1)
{
    juce::MemoryBlock data ((size_t) size);
    juce::Random random (seed);
    for (int i = 0; i < size; ++i)
        data[i] = (char) random.nextInt (256);
    return data;
}

class ProgramUpdateCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (server.isListening());
        UserFolders::redirectTo (scratch.folder);
        // The private copies of started installers are made below here.
        setenv ("TMPDIR", privateTemp.getFullPathName().toRawUTF8(), 1);
        ASSERT_TRUE (privateTemp.createDirectory().wasOk());
        config = std::make_unique<KestrelGlobalConfiguration>();
        ZOLAutoUpdate::setDefaultFeedBase (server.getBaseUrl());
        ASSERT_TRUE (downloads.createDirectory().wasOk());

        check = std::make_unique<ProgramUpdateCheck> (*config, nullptr, [this] { ++closes; });
        check->updaterOptions.publicKey = key.publicKey;
        check->updaterOptions.feedLimits.stallTimeoutMs = 1000;
        check->updaterOptions.installerLimits = { 1024 * 1024, 1000, 60000 };
        check->updaterOptions.fetchPollMs = 5;
        check->updaterOptions.downloadPollMs = 5;
        check->showProgress = [this] (juce::Component&) { ++progressShown; };
        check->startInstaller = [this] (const juce::File& file)
        {
            started.add (file);
            return true;
        };
        check->prepareUpdater = [this] (ZOLAutoUpdate& updater)
        {
            updater.showInformation = [this] (juce::Component&, std::function<void (bool)> onClosed)
            {
                shownTexts.add (check->getUpdater()->getInformationText());
                shownNotes.add (check->getUpdater()->getNotesText());
                onClosed (answerOk);
            };
            updater.chooseFolder = [this] (const juce::File&, std::function<void (const juce::File&)> onChosen)
            { onChosen (downloads); };
        };
    }

    void TearDown() override
    {
        check.reset();
        config.reset();
        UserFolders::redirectTo ({});
        ZOLAutoUpdate::setDefaultFeedBase (previousFeedBase);

        if (previousTemp.isNotEmpty())
            setenv ("TMPDIR", previousTemp.toRawUTF8(), 1);
        else
            unsetenv ("TMPDIR");
    }

    void serveFeed (const juce::String& version, const juce::String& urlAttributes, const juce::String& more = {})
    {
        server.serve (feedPath, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<UPDATE><VERSION " + version + "><URL " +
                                    urlAttributes + "/></VERSION>" + more + "</UPDATE>");
    }

    // Offers version 1.9.0 whose installer is served at /dl/KestrelEditSetup.
    void offerInstaller (const juce::MemoryBlock& installer, const juce::String& signature, int holdAfter = -1)
    {
        serveFeed ("major=\"1\" minor=\"9\" revision=\"0\" compatibility=\"true\"",
                   "win=\"" + server.getBaseUrl() + "dl/KestrelEditSetup?build=7\" winSignature=\"" + signature + "\"");
        LoopbackHttpServer::Response response;
        response.body = installer;
        response.holdAfter = holdAfter;
        server.serve ("/dl/KestrelEditSetup", response);
    }

    // A manual check through to its end.
    int runManualCheck (ZOLAutoUpdate& updater)
    {
        int result = -1;
        updater.checkForUpdate (true, {}, [&result] (int r) { result = r; });
        EXPECT_TRUE (pumpMessagesUntil ([&] { return result >= 0; }));
        return result;
    }

    std::unique_ptr<ZOLAutoUpdate> makeUpdater()
    {
        auto updater = std::make_unique<ZOLAutoUpdate> (*config, 1, 8, 2, check->updaterOptions);
        updater->showInformation = [this, u = updater.get()] (juce::Component&, std::function<void (bool)> onClosed)
        {
            shownTexts.add (u->getInformationText());
            shownNotes.add (u->getNotesText());
            onClosed (answerOk);
        };
        return updater;
    }

    // The program's own way of starting the installer.
    std::function<bool (const juce::File&)> defaultLauncher()
    {
        return ProgramUpdateCheck (*config, nullptr, {}).startInstaller;
    }

    juce::StringArray folderContents() const
    {
        juce::StringArray names;
        for (auto& f : downloads.findChildFiles (juce::File::findFilesAndDirectories, false))
            names.add (f.getFileName());
        return names;
    }

    const juce::String previousFeedBase = ZOLAutoUpdate::getDefaultFeedBase();
    ScratchFolder scratch{ "kestrel-update" };
    juce::File downloads = scratch.folder.getChildFile ("downloads");
    const juce::String previousTemp = juce::SystemStats::getEnvironmentVariable ("TMPDIR", {});
    const juce::File privateTemp = scratch.folder.getChildFile ("tmp");
    LoopbackHttpServer server;
    RecordingNotifier notices;
    SigningKey key;
    std::unique_ptr<KestrelGlobalConfiguration> config;
    std::unique_ptr<ProgramUpdateCheck> check;

    bool answerOk = true;
    juce::StringArray shownTexts, shownNotes;
    juce::Array<juce::File> started;
    int closes = 0;
    int progressShown = 0;
};
} // namespace

TEST_F (ProgramUpdateCheckTest, ManualCheckSaysThereIsNoUpdateWhileTheSilentOneStaysQuiet)
{
    serveFeed ("major=\"1\" minor=\"8\" revision=\"2\" compatibility=\"1\" eol=\"0\"", "win=\"https://x/y.exe\"");

    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1; }));
    EXPECT_EQ (notices.get (0).message, "No update available.");
    EXPECT_EQ (notices.get (0).title, "Software Update");

    check->run (false);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return server.requestCount (feedPath) == 2; }));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! check->getUpdater()->isChecking(); }));
    EXPECT_EQ (notices.count(), 1);

    // Asked not to check at start-up, the silent check asks nothing of the
    // network; a manual one still does.
    ASSERT_TRUE (config->writeOtherKey ("AUTO_UPDATE_SKIP_CHECK", "1"));
    check->run (false);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! check->getUpdater()->isChecking(); }));
    EXPECT_EQ (server.requestCount (feedPath), 2);

    // An installer folder that is gone gives way to the home folder, written back.
    ASSERT_TRUE (config->writeOtherKey ("AUTO_UPDATE_DIR", scratch.folder.getChildFile ("gone").getFullPathName()));
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    EXPECT_EQ (ZOLAutoUpdate (*config, 1, 8, 2).getInstallerFolder(), home);
    EXPECT_EQ (config->readOtherKey ("AUTO_UPDATE_DIR"), home.getFullPathName());

    config->CHECK_FOR_UPDATE = false;
    check->run (false);
    EXPECT_EQ (check->getUpdater()->getFeedUrl().toString (false), server.getBaseUrl() + feedPath.substring (1));

    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 2; }));
    EXPECT_EQ (server.requestCount (feedPath), 3);
    EXPECT_TRUE (shownTexts.isEmpty());
}

TEST_F (ProgramUpdateCheckTest, NewerVersionIsOfferedWithItsNotesAndEndOfLifeIsAnnounced)
{
    serveFeed ("major=\"1\" minor=\"9\" revision=\"0\" compatibility=\"yes\"", "win=\"https://x/y.exe\"",
               "<RELEASENOTES url=\"" + server.getBaseUrl() + "notes.txt\"/>");
    server.serve ("/notes.txt", "1.9.0: faster preset loading.");

    auto updater = makeUpdater();
    answerOk = false;
    EXPECT_EQ (runManualCheck (*updater), ZOLAutoUpdate::checkDeclined);
    ASSERT_EQ (shownTexts.size(), 1);
    EXPECT_EQ (shownTexts[0], "IMPORTANT!\nBefore clicking OK to install this update, please review the notes below to "
                              "ensure your hardware has the required firmware version!\n\nVersion 1.9.0 is available. "
                              "You have version 1.8.2 installed.");
    EXPECT_EQ (shownNotes[0], "1.9.0: faster preset loading.");

    // No compatibility mark: OK means installing by hand. An error page
    // stands in for missing notes.
    serveFeed ("major=\"2\" minor=\"0\" revision=\"0\"", "win=\"https://x/y.exe\"",
               "<RELEASENOTES url=\"" + server.getBaseUrl() + "notes.txt\"/>");
    server.serve ("/notes.txt", "<html><body>Not here</body></html>");
    answerOk = true;
    EXPECT_EQ (runManualCheck (*updater), ZOLAutoUpdate::checkManualInstall);
    EXPECT_EQ (shownNotes[1], "No release notes available.");

    serveFeed ("major=\"1\" minor=\"8\" revision=\"2\" eol=\"true\"", "win=\"https://x/y.exe\"");
    EXPECT_EQ (runManualCheck (*updater), ZOLAutoUpdate::checkDeclined);
    EXPECT_EQ (shownTexts[2], "1.8.2 is the final version of Kestrel-Edit. No future updates are planned.");
    EXPECT_EQ (shownNotes[2], "No notes available.");
}

TEST_F (ProgramUpdateCheckTest, VerifiedDownloadShowsProgressThenStartsTheInstallerAndClosesTheProgram)
{
    const auto installer = installerBytes (64 * 1024);
    offerInstaller (installer, key.signInstaller (installer), 16 * 1024);

    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return check->getUpdater()->getDownloadProgress() > 0.0; }));
    EXPECT_EQ (progressShown, 1);
    EXPECT_LT (check->getUpdater()->getDownloadProgress(), 1.0);
    EXPECT_TRUE (folderContents().isEmpty());

    server.release();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return started.size() == 1; }));
    const auto expected = downloads.getChildFile ("KestrelEditSetup.exe");
    EXPECT_EQ (started[0].getFileName(), expected.getFileName());
    EXPECT_TRUE (started[0].isAChildOf (privateTemp)) << started[0].getFullPathName();
    juce::MemoryBlock written, startedBytes;
    ASSERT_TRUE (expected.loadFileAsData (written));
    EXPECT_TRUE (written == installer);
    ASSERT_TRUE (started[0].loadFileAsData (startedBytes));
    EXPECT_TRUE (startedBytes == installer);
    EXPECT_EQ (folderContents(), juce::StringArray ("KestrelEditSetup.exe"));
    EXPECT_EQ (check->getUpdater()->getDownloadProgress(), 1.0);
    EXPECT_EQ (closes, 1);
    EXPECT_EQ (notices.count(), 0) << notices.lastMessage();
    EXPECT_EQ (config->readOtherKey ("AUTO_UPDATE_DIR"), downloads.getFullPathName());

#if JUCE_LINUX || JUCE_MAC
    // The next start removes the private copy, and nothing else: not the
    // saved installer, nor what a link of that name leads to.
    const auto kept = scratch.folder.getChildFile ("kept/file");
    ASSERT_TRUE (kept.create().wasOk());
    ASSERT_TRUE (kept.getParentDirectory().createSymbolicLink (privateTemp.getChildFile ("kestrel-installer-link"), false));
    ASSERT_TRUE (privateTemp.getChildFile ("other/file").create().wasOk());
    ProgramUpdateCheck nextStart (*config, nullptr, {});
    EXPECT_FALSE (started[0].getParentDirectory().exists());
    EXPECT_TRUE (expected.existsAsFile());
    EXPECT_TRUE (kept.existsAsFile());
    EXPECT_TRUE (privateTemp.getChildFile ("other/file").existsAsFile());
#endif
}

#if JUCE_LINUX || JUCE_MAC
// A start removes the folders the program made and marked to start installers
// from, and nothing else: not a user's folder named like them, nor what a
// link leads to, whether the link lies in the temporary folder or in a folder
// of ours (where a swap during the walk would put it).
TEST_F (ProgramUpdateCheckTest, AStartRemovesOnlyTheInstallerFoldersTheProgramMadeAndMarked)
{
    const juce::MemoryBlock bytes ("setup", 5);
    const char* usersFolders[] = { "kestrel-installers", "kestrel-installer-1.9.0-unpacked",
                                   "kestrel-installer-Ab12Cd" };
    for (auto name : usersFolders)
        ASSERT_TRUE (privateTemp.getChildFile (name).getChildFile ("notes.txt").create().wasOk());

    // A folder of ours moved out of the temporary folder, a link named like ours leading to it.
    const auto outside = scratch.folder.getChildFile ("outside");
    ASSERT_TRUE (InstallerCopyFolder::writeCopy (bytes, "Setup.exe").getParentDirectory().moveFileTo (outside));
    ASSERT_TRUE (outside.createSymbolicLink (privateTemp.getChildFile ("kestrel-installer-Link01"), false));

    // A folder of ours whose inner folder is a link to a folder outside.
    const auto victim = scratch.folder.getChildFile ("victim");
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE (victim.getChildFile ("file" + juce::String (i)).create().wasOk());
    const auto linked = InstallerCopyFolder::writeCopy (bytes, "Setup.exe").getParentDirectory();
    ASSERT_TRUE (victim.createSymbolicLink (linked.getChildFile ("inner"), false));

    const auto plain = InstallerCopyFolder::writeCopy (bytes, "Setup.exe");
    ASSERT_TRUE (plain.existsAsFile());
    ASSERT_TRUE (plain.getSiblingFile ("more/deeper.txt").create().wasOk());

    ProgramUpdateCheck nextStart (*config, nullptr, {});

    for (auto name : usersFolders)
        EXPECT_TRUE (privateTemp.getChildFile (name).getChildFile ("notes.txt").existsAsFile()) << name;
    EXPECT_TRUE (outside.getChildFile ("Setup.exe").existsAsFile());
    EXPECT_EQ (victim.getNumberOfChildFiles (juce::File::findFiles), 20);
    EXPECT_FALSE (linked.exists());
    EXPECT_FALSE (plain.getParentDirectory().exists());
}

// A folder of ours that a start cannot empty (here: folders nested deeper
// than the walk goes, which stops it even for root) keeps its mark, so that a
// later start, once it can, removes the folder.
TEST_F (ProgramUpdateCheckTest, AnInstallerFolderThatCannotBeEmptiedIsRemovedByALaterStart)
{
    const auto copy = InstallerCopyFolder::writeCopy (juce::MemoryBlock ("setup", 5), "Setup.exe");
    const auto folder = copy.getParentDirectory();
    auto deep = folder.getChildFile ("nested");
    for (int i = 0; i < 20; ++i)
        deep = deep.getChildFile ("level" + juce::String (i));
    ASSERT_TRUE (deep.getChildFile ("notes.txt").create().wasOk());

    ProgramUpdateCheck (*config, nullptr, {});
    EXPECT_FALSE (copy.exists());
    ASSERT_TRUE (folder.isDirectory());

    // What held it back goes elsewhere; the next start takes the rest.
    ASSERT_TRUE (folder.getChildFile ("nested/level0/level1").moveFileTo (scratch.folder.getChildFile ("deep")));
    ProgramUpdateCheck (*config, nullptr, {});
    EXPECT_FALSE (folder.exists());
}
#endif

TEST_F (ProgramUpdateCheckTest, CancelledDownloadWritesNothing)
{
    const auto installer = installerBytes (64 * 1024);
    offerInstaller (installer, key.signInstaller (installer), 16 * 1024);

    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return check->getUpdater()->getDownloadProgress() > 0.0; }));
    check->getUpdater()->cancelDownload();

    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1; }));
    EXPECT_EQ (notices.get (0).message, "Update canceled.");
    EXPECT_TRUE (folderContents().isEmpty());
    EXPECT_TRUE (started.isEmpty());
    EXPECT_EQ (closes, 0);
}

// A redirect is followed to a web address only, and never from https to
// anything less; here the download starts on http, which may go on to http.
TEST_F (ProgramUpdateCheckTest, RedirectsAreFollowedOnlyToTheWebAndNeverOutOfHttps)
{
    using Download = ZOLAutoUpdateDownloadThread;
    EXPECT_FALSE (Download::mayFollowRedirect (juce::URL ("https://a.example/x"), juce::URL ("http://a.example/x")));
    EXPECT_FALSE (Download::mayFollowRedirect (juce::URL ("HTTPS://a.example/x"), juce::URL ("http://a.example/x")));
    EXPECT_TRUE (Download::mayFollowRedirect (juce::URL ("https://a.example/x"), juce::URL ("https://b.example/y")));
    EXPECT_TRUE (Download::mayFollowRedirect (juce::URL ("http://a.example/x"), juce::URL ("https://a.example/x")));
    EXPECT_FALSE (Download::mayFollowRedirect (juce::URL ("http://a.example/x"), juce::URL ("file:///etc/passwd")));
    EXPECT_FALSE (Download::mayFollowRedirect (juce::URL ("https://a.example/x"), juce::URL ("ftp://a.example/x")));

    // Through an absolute and a relative redirect to the installer.
    const auto installer = installerBytes (16 * 1024);
    offerInstaller (installer, key.signInstaller (installer));
    LoopbackHttpServer::Response moved;
    moved.status = 302;
    moved.location = server.getBaseUrl() + "dl/old/Setup";
    server.serve ("/dl/KestrelEditSetup", moved);
    moved.location = "../KestrelEditSetup2";
    server.serve ("/dl/old/Setup", moved);
    LoopbackHttpServer::Response file;
    file.body = installer;
    server.serve ("/dl/KestrelEditSetup2", file);
    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return started.size() == 1; }));
    EXPECT_EQ (server.requestCount ("/dl/KestrelEditSetup2"), 1);

    // Out of the web, or round in a circle: refused.
    moved.location = "file://" + started[0].getFullPathName();
    server.serve ("/dl/KestrelEditSetup", moved);
    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1; }));
    EXPECT_EQ (notices.get (0).message, "Download error.");
    moved.location = "/dl/KestrelEditSetup";
    server.serve ("/dl/KestrelEditSetup", moved);
    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 2; }));
    EXPECT_EQ (notices.get (1).message, "Download error.");
    EXPECT_EQ (server.requestCount ("/dl/KestrelEditSetup"), 2 + 1 + Download::maxRedirects);
    EXPECT_EQ (started.size(), 1);
}

// A download that begins on https never goes on over plain http: the
// redirect ends it as a download error, and nothing is written or started.
TEST_F (ProgramUpdateCheckTest, ARedirectFromHttpsToHttpIsRefusedAndWritesNothing)
{
    // The loopback server, plain http, stands in for https at its own address.
    check->updaterOptions.opener = [port = juce::URL (server.getBaseUrl()).getPort()] (const juce::URL& address)
    {
        if (address.getScheme() == "https" && address.getDomain() == "127.0.0.1" && address.getPort() == port)
            return std::make_unique<juce::WebInputStream> (
                juce::URL ("http://" + address.toString (true).fromFirstOccurrenceOf ("://", false, false)), false);
        return std::make_unique<juce::WebInputStream> (address, false);
    };
    const auto secureBase = server.getBaseUrl().replace ("http://", "https://");

    const auto installer = installerBytes (16 * 1024);
    serveFeed ("major=\"1\" minor=\"9\" revision=\"0\" compatibility=\"true\"",
               "win=\"" + secureBase + "dl/KestrelEditSetup\" winSignature=\"" + key.signInstaller (installer) + "\"");
    LoopbackHttpServer::Response moved;
    moved.status = 302;
    moved.location = server.getBaseUrl() + "dl/Plain";
    server.serve ("/dl/KestrelEditSetup", moved);
    LoopbackHttpServer::Response file;
    file.body = installer;
    server.serve ("/dl/Plain", file);

    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1 || ! started.isEmpty(); }));
    EXPECT_EQ (notices.lastMessage(), "Download error.");
    EXPECT_EQ (server.requestCount ("/dl/KestrelEditSetup"), 1);
    EXPECT_EQ (server.requestCount ("/dl/Plain"), 0);
    EXPECT_TRUE (folderContents().isEmpty()) << folderContents().joinIntoString (", ");
    EXPECT_TRUE (started.isEmpty());
}

TEST_F (ProgramUpdateCheckTest, AnInstallerWithABadOrMissingSignatureIsRefusedDeletedAndNeverRun)
{
    const auto installer = installerBytes (32 * 1024);
    const auto tampered = installerBytes (32 * 1024, 2);

    // A signature of other bytes, none, another key's, the bytes alone, and
    // this installer's own signature as version 1.7.0, offered as 1.9.0.
    for (auto signature : { key.signInstaller (tampered), juce::String(), SigningKey().signInstaller (installer),
                            key.sign (installer), key.signInstaller (installer, "1.7.0") })
    {
        notices.clear();
        offerInstaller (installer, signature);
        check->run (true);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1; }));
        EXPECT_EQ (notices.get (0).message, ProgramUpdateCheck::refusedText);
        EXPECT_EQ (notices.get (0).icon, Notice::Icon::warning);
        EXPECT_EQ (check->getUpdater()->getDownloadResult(), ZOLAutoUpdateDownloadThread::resultRefused);
        EXPECT_TRUE (folderContents().isEmpty()) << folderContents().joinIntoString (", ");
    }

    EXPECT_TRUE (started.isEmpty());
    EXPECT_EQ (closes, 0);
}

TEST_F (ProgramUpdateCheckTest, AFeedThatIsNotXmlNotUtf8OrHugeIsRefused)
{
    const juce::String offer = "<UPDATE><VERSION major=\"9\" minor=\"0\" revision=\"0\" compatibility=\"1\">"
                               "<URL win=\"https://x/y.exe\"/></VERSION>";
    auto updater = makeUpdater();

    // The well-formed feed is offered, so a refusal below is the refusal of its form.
    server.serve (feedPath, offer + "</UPDATE>");
    EXPECT_EQ (runManualCheck (*updater), ZOLAutoUpdate::checkAccepted);

    server.serve (feedPath, "VERSION major=9 minor=0 revision=0");
    EXPECT_EQ (runManualCheck (*updater), ZOLAutoUpdate::checkUnreachable);

    LoopbackHttpServer::Response notUtf8;
    notUtf8.body.append (offer.toRawUTF8(), offer.getNumBytesAsUTF8());
    notUtf8.body.append ("<!-- \xc3\x28 --></UPDATE>", 20);
    server.serve (feedPath, notUtf8);
    EXPECT_EQ (runManualCheck (*updater), ZOLAutoUpdate::checkUnreachable);

    LoopbackHttpServer::Response huge;
    huge.body.append (offer.toRawUTF8(), offer.getNumBytesAsUTF8());
    huge.body.append (juce::String::repeatedString (" ", (int) UpdateFeed::maxBytes).toRawUTF8(),
                      (size_t) UpdateFeed::maxBytes);
    huge.body.append ("</UPDATE>", 9);
    for (bool sendLength : { true, false })
    {
        huge.sendLength = sendLength;
        server.serve (feedPath, huge);
        EXPECT_EQ (runManualCheck (*updater), ZOLAutoUpdate::checkUnreachable);
    }

    EXPECT_EQ (shownTexts.size(), 1);
}

TEST_F (ProgramUpdateCheckTest, AServerThatStallsEndsTheCheckOrTheDownloadWithoutHanging)
{
    LoopbackHttpServer::Response silent;
    silent.holdAfter = 0;
    server.serve (feedPath, silent);
    auto updater = makeUpdater();
    EXPECT_EQ (runManualCheck (*updater), ZOLAutoUpdate::checkUnreachable);

    const auto installer = installerBytes (64 * 1024);
    offerInstaller (installer, key.signInstaller (installer), 16 * 1024);
    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1; }));
    EXPECT_EQ (notices.get (0).message, "Download error.");
    EXPECT_TRUE (folderContents().isEmpty());
    EXPECT_TRUE (started.isEmpty());
    server.release();
}

TEST_F (ProgramUpdateCheckTest, HostileInstallerNamesAreCleanedAndTheInstallerStartsWithoutAShell)
{
    // The folder the user picks may hold shell syntax too; no shell ever reads it.
    downloads = scratch.folder.getChildFile ("dl $(touch$IFS'injected') `touch injected`");
    ASSERT_TRUE (downloads.createDirectory().wasOk());
    const auto ranMarker = scratch.folder.getChildFile ("installer-ran");
    struct WorkingFolder
    {
        juce::File previous = juce::File::getCurrentWorkingDirectory();
        ~WorkingFolder() { previous.setAsCurrentWorkingDirectory(); }
    } workingFolder;
    ASSERT_TRUE (scratch.folder.setAsCurrentWorkingDirectory());
    check->startInstaller = [this, launch = defaultLauncher()] (const juce::File& file)
    {
        started.add (file);
        return launch (file);
    };

    const std::pair<const char*, const char*> feeds[] = {
        { "update-feed-installer-name-runs-shell.xml", "KestreltouchIFSinjectedSetup.exe" },
        { "update-feed-installer-name-tilde.xml", "Setup.exe" }
    };
    int runs = 0;

    for (auto [file, expectedName] : feeds)
    {
        SCOPED_TRACE (file);
        const juce::String script = "#!/bin/sh\necho ran >> '" + ranMarker.getFullPathName() + "'\n";
        const juce::MemoryBlock installer (script.toRawUTF8(), script.getNumBytesAsUTF8());
        const auto feedText = loadHostileInput (file).toString();
        ASSERT_TRUE (feedText.contains ("https://updates.example/"));
        server.serve (feedPath, feedText.replace ("https://updates.example/", server.getBaseUrl())
                                    .replace ("(base64 signature of any installer signed with the release key)",
                                              key.signInstaller (installer)));
        LoopbackHttpServer::Response response;
        response.body = installer;
        server.serve (feedText.fromFirstOccurrenceOf ("https://updates.example", false, false)
                          .upToFirstOccurrenceOf ("\"", false, false),
                      response);

        check->run (true);
        ++runs;
        ASSERT_TRUE (pumpMessagesUntil ([&] { return closes == runs || notices.count() > 0; }));
        ASSERT_EQ (closes, runs) << notices.lastMessage();
        EXPECT_EQ (started.getLast().getFileName(), juce::String (expectedName));
        EXPECT_TRUE (pumpMessagesUntil (
            [&] { return juce::StringArray::fromLines (ranMarker.loadFileAsString().trim()).size() == runs; }));
    }

    auto contents = folderContents();
    contents.sort (false);
    EXPECT_EQ (contents, juce::StringArray ("KestreltouchIFSinjectedSetup.exe", "Setup.exe"));
    EXPECT_TRUE (scratch.folder.findChildFiles (juce::File::findFilesAndDirectories, true, "injected*").isEmpty());
    EXPECT_FALSE (workingFolder.previous.getChildFile ("injected").exists());
}

TEST_F (ProgramUpdateCheckTest, AnInstallerThatDoesNotStartKeepsTheProgramOpen)
{
    const auto installer = installerBytes (8 * 1024); // not a program this computer can run
    offerInstaller (installer, key.signInstaller (installer));
    check->startInstaller = defaultLauncher();

    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1 || closes > 0; }));
    EXPECT_EQ (closes, 0);
    EXPECT_EQ (notices.lastMessage(),
               "The installer could not be started:\n" + downloads.getChildFile ("KestrelEditSetup.exe").getFullPathName());
}

TEST_F (ProgramUpdateCheckTest, AnInstallerChangedAfterItsCheckIsNeverStarted)
{
    const auto installer = installerBytes (32 * 1024);
    offerInstaller (installer, key.signInstaller (installer));

    // Runs before the main window's own listener: the file changes between
    // the download's check and the start.
    ChangeCallback tamper;
    tamper.onChange = [this]
    {
        const auto file = check->getUpdater()->getInstallerFile();
        juce::MemoryBlock bytes;
        ASSERT_TRUE (file.loadFileAsData (bytes));
        bytes[100] = (char) (bytes[100] ^ 1);
        ASSERT_TRUE (file.replaceWithData (bytes.getData(), bytes.getSize()));
    };
    auto prepare = check->prepareUpdater;
    check->prepareUpdater = [&tamper, prepare] (ZOLAutoUpdate& updater)
    {
        prepare (updater);
        updater.addChangeListener (&tamper);
    };

    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1 || closes > 0; }));
    check->getUpdater()->removeChangeListener (&tamper);
    EXPECT_EQ (notices.lastMessage(), ProgramUpdateCheck::changedText);
    EXPECT_TRUE (started.isEmpty());
    EXPECT_EQ (closes, 0);
    EXPECT_TRUE (folderContents().isEmpty());
}

#if JUCE_LINUX
// Someone who may write to the download folder swaps the saved installer the
// moment the program has read it for its check: what starts is still the
// checked bytes, from a folder only this user can enter, or nothing starts
// and the user is told.
TEST_F (ProgramUpdateCheckTest, TheInstallerThatStartsIsTheOneThatWasChecked)
{
    const auto installer = installerBytes (32 * 1024);
    offerInstaller (installer, key.signInstaller (installer));
    const juce::String name = "KestrelEditSetup.exe";
    auto other = installer;
    other[100] = (char) (other[100] ^ 1);
    const auto otherFile = scratch.folder.getChildFile ("other.exe");
    ASSERT_TRUE (otherFile.replaceWithData (other.getData(), other.getSize()));

    struct Neighbour
    {
        int watch = inotify_init1 (IN_CLOEXEC | IN_NONBLOCK);
        std::atomic<bool> stop{ false };
        std::atomic<int> swaps{ 0 };
        std::thread thread;
        ~Neighbour()
        {
            stop = true;
            if (thread.joinable())
                thread.join();
            close (watch);
        }
    } neighbour;
    ASSERT_GE (neighbour.watch, 0);
    ASSERT_GE (inotify_add_watch (neighbour.watch, downloads.getFullPathName().toRawUTF8(), IN_CLOSE_NOWRITE), 0);
    const auto saved = downloads.getChildFile (name).getFullPathName().toStdString();
    const auto swapIn = otherFile.getFullPathName().toStdString();

    neighbour.thread = std::thread ([&neighbour, saved, swapIn, name]
    {
        alignas (inotify_event) char events[4096];
        pollfd wait{ neighbour.watch, POLLIN, 0 };

        while (! neighbour.stop && neighbour.swaps == 0)
        {
            if (poll (&wait, 1, 20) <= 0)
                continue;

            const auto size = read (neighbour.watch, events, sizeof (events));

            for (ssize_t at = 0; at < size;)
            {
                const auto* event = reinterpret_cast<const inotify_event*> (events + at);
                at += (ssize_t) (sizeof (inotify_event) + event->len);

                if (event->len > 0 && name == event->name && rename (swapIn.c_str(), saved.c_str()) == 0)
                    ++neighbour.swaps;
            }
        }
    });

    juce::MemoryBlock startedBytes;
    check->startInstaller = [&] (const juce::File& file)
    {
        started.add (file);
        // The start goes ahead only once the neighbour has had its go.
        for (int waited = 0; neighbour.swaps == 0 && waited < 20000; waited += 5)
            juce::Thread::sleep (5);
        return file.loadFileAsData (startedBytes);
    };

    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return closes > 0 || notices.count() > 0; }));

    if (closes == 0)
    {
        EXPECT_EQ (notices.lastMessage(), ProgramUpdateCheck::changedText);
        EXPECT_TRUE (started.isEmpty());
        return;
    }

    EXPECT_EQ (neighbour.swaps, 1);
    ASSERT_EQ (started.size(), 1);
    EXPECT_TRUE (startedBytes == installer);
    EXPECT_EQ (started[0].getFileName(), name);

    struct stat folder{}, copy{};
    ASSERT_EQ (stat (started[0].getParentDirectory().getFullPathName().toRawUTF8(), &folder), 0);
    ASSERT_EQ (stat (started[0].getFullPathName().toRawUTF8(), &copy), 0);
    EXPECT_EQ (folder.st_mode & 07777, 0700u);
    EXPECT_EQ (folder.st_uid, getuid());
    EXPECT_EQ (copy.st_mode & 07777, 0700u);
}
#endif

TEST_F (ProgramUpdateCheckTest, APlainHttpFeedBaseFromTheSettingsIsRefused)
{
    ZOLAutoUpdate::setDefaultFeedBase ("http://127.0.0.1:9/");
    ASSERT_TRUE (config->writeOtherKey ("AUTO_UPDATE_FEED_BASE", server.getBaseUrl()));
    serveFeed ("major=\"1\" minor=\"9\" revision=\"0\" compatibility=\"1\"", "win=\"https://x/y.exe\"");

    check->run (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1; }));
    EXPECT_EQ (notices.get (0).message, ProgramUpdateCheck::unreachableText);
    EXPECT_EQ (server.requestCount (feedPath), 0);
    EXPECT_TRUE (shownTexts.isEmpty());

    ASSERT_TRUE (config->writeOtherKey ("AUTO_UPDATE_FEED_BASE", "https://mirror.example/updates"));
    EXPECT_EQ (ZOLAutoUpdate (*config, 1, 8, 2).getFeedUrl().toString (false),
               "https://mirror.example/updates/rss/mzrtkwpqlnvbsa/Kestrel-Edit/kestrel-edit.xml");
}

#if JUCE_LINUX || JUCE_MAC
TEST_F (ProgramUpdateCheckTest, AnInstallerThatCannotBeSavedKeepsTheOldFileAndSaysSo)
{
    const auto previous = downloads.getChildFile ("KestrelEditSetup.exe");
    ASSERT_TRUE (previous.replaceWithText ("the previous installer"));
    const auto installer = installerBytes (64 * 1024);
    offerInstaller (installer, key.signInstaller (installer));

    {
        FileSizeLimit fullDisk (16 * 1024);
        ASSERT_TRUE (fullDisk.active);
        check->run (true);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1 || closes > 0; }));
    }

    EXPECT_EQ (notices.lastMessage(), "The installer could not be saved to:\n" + previous.getFullPathName());
    EXPECT_EQ (previous.loadFileAsString(), "the previous installer");
    EXPECT_EQ (folderContents(), juce::StringArray ("KestrelEditSetup.exe"));
    EXPECT_TRUE (started.isEmpty());
    EXPECT_EQ (closes, 0);
}
#endif

TEST (UpdateFeed, VersionsPlatformsAndInstallerNames)
{
    UpdateFeed feed;
    feed.major = 1;
    feed.minor = 8;
    feed.revision = 2;
    EXPECT_FALSE (feed.isNewerThan (1, 8, 2));
    EXPECT_TRUE (feed.isNewerThan (1, 8, 1));
    EXPECT_TRUE (feed.isNewerThan (1, 7, 9));
    EXPECT_TRUE (feed.isNewerThan (0, 9, 9));
    EXPECT_FALSE (feed.isNewerThan (1, 8, 3));
    EXPECT_FALSE (feed.isNewerThan (1, 9, 0));
    EXPECT_FALSE (feed.isNewerThan (2, 0, 0));

    const juce::String text = "<R><VERSION major=\"1\" minor=\"9\"><URL win=\"https://a/w.exe\" winXP=\"https://a/x\" "
                              "winXPSignature=\"c2ln\"/></VERSION></R>";
    juce::MemoryBlock data (text.toRawUTF8(), text.getNumBytesAsUTF8());
    juce::String error;
    ASSERT_TRUE (UpdateFeed::read (data, {}, feed, error)) << error;
    EXPECT_EQ (feed.downloadUrl, "https://a/w.exe");
    EXPECT_TRUE (feed.signature.isEmpty());
    EXPECT_FALSE (feed.compatibility);
    EXPECT_EQ (feed.versionText(), "1.9.0");
    ASSERT_TRUE (UpdateFeed::read (data, "winXP", feed, error));
    EXPECT_EQ (feed.downloadUrl, "https://a/x");
    EXPECT_EQ (feed.signature, "c2ln");

    EXPECT_EQ (UpdateFeed::installerFileName ("https://a/b/Setup-1.9.exe?x=/y.exe"), "Setup-1.9.exe");
    EXPECT_EQ (UpdateFeed::installerFileName ("https://a/b/Setup"), "Setup.exe");
    EXPECT_EQ (UpdateFeed::installerFileName ("https://a/b/.."), "Kestrel-Edit-Setup.exe");
    EXPECT_EQ (UpdateFeed::installerFileName ("https://a/b/"), "Kestrel-Edit-Setup.exe");
    EXPECT_EQ (UpdateFeed::installerFileName ("https://a/b/a:b*c.exe"), "abc.exe");
    EXPECT_EQ (UpdateFeed::installerFileName ("https://a/b/x$(rm -rf ~)`id`\"'y.exe"), "xrm-rfidy.exe");
    EXPECT_EQ (UpdateFeed::installerFileName ("https://a/b/~.-Setup"), "Setup.exe");
    EXPECT_EQ (UpdateFeed::installerFileName ("https://a/b/%7E%2e%2e"), "7E2e2e.exe");
}

TEST (InstallerSignature, AcceptsOnlyTheKeysOwnSignatureOfTheseBytes)
{
    SigningKey key, other;
    const auto data = installerBytes (4096);
    const auto signature = key.sign (data);

    EXPECT_TRUE (InstallerSignature::verify (data, signature, key.publicKey));
    EXPECT_FALSE (InstallerSignature::verify (data, signature, other.publicKey));
    EXPECT_FALSE (InstallerSignature::verify (data, other.sign (data), key.publicKey));
    EXPECT_FALSE (InstallerSignature::verify (data, {}, key.publicKey));
    EXPECT_FALSE (InstallerSignature::verify (data, signature.substring (4), key.publicKey));
    EXPECT_FALSE (InstallerSignature::verify (data, signature + "AAAA", key.publicKey));

    auto changed = data;
    changed[100] = (char) (changed[100] ^ 1);
    EXPECT_FALSE (InstallerSignature::verify (changed, signature, key.publicKey));

    // The program's own key is not the test key.
    EXPECT_FALSE (InstallerSignature::verify (data, signature, InstallerSignature::builtInKey()));
}
