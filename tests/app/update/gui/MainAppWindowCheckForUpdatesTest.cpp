#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "app/update/ProgramUpdateCheck.h"
#include "model/GlobalConfiguration.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UserFolders.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "support/LoopbackHttpServer.h"
#include "support/PumpMessages.h"
#include "support/RecordingNotifier.h"
#include "support/RedirectedUserFolders.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

// Sorted before MainAppWindowTest.cpp: the last test there ends the application.
namespace
{
const juce::String feedPath = "/rss/mzrtkwpqlnvbsa/Kestrel-Edit/kestrel-edit.xml";

juce::DialogWindow* findDialog (const juce::String& title)
{
    for (int i = juce::Desktop::getInstance().getNumComponents(); --i >= 0;)
        if (auto* dialog = dynamic_cast<juce::DialogWindow*> (juce::Desktop::getInstance().getComponent (i)))
            if (dialog->getName() == title && dialog->isVisible())
                return dialog;
    return nullptr;
}

juce::Component* findChildNamed (juce::Component& parent, const juce::String& name)
{
    for (auto* child : parent.getChildren())
        if (auto* found = child->getName() == name ? child : findChildNamed (*child, name))
            return found;
    return nullptr;
}

// Points the update check at the test's own server for one test (a feed base
// from the settings must be https).
struct ScopedFeedBase
{
    explicit ScopedFeedBase (const juce::String& base) { ZOLAutoUpdate::setDefaultFeedBase (base); }
    ~ScopedFeedBase() { ZOLAutoUpdate::setDefaultFeedBase (previous); }
    const juce::String previous = ZOLAutoUpdate::getDefaultFeedBase();
};

template <typename Widget>
Widget* findChild (juce::Component& parent, const juce::String& name)
{
    for (auto* child : parent.getChildren())
        if (auto* widget = dynamic_cast<Widget*> (child); widget != nullptr && widget->getName() == name)
            return widget;
    return nullptr;
}
juce::Button* findButton (juce::Component& parent, const juce::String& text)
{
    for (auto* child : parent.getChildren())
        if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getButtonText() == text)
            return button;
    return nullptr;
}
} // namespace

TEST (MainAppWindowUpdate, ChecksSilentlyAtStartAndOffersANewerVersionInItsOwnDialogOnRequest)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-window-update" };
    RecordingNotifier notices;
    LoopbackHttpServer server;
    ASSERT_TRUE (server.isListening());
    server.serve (feedPath, "<UPDATE><VERSION major=\"1\" minor=\"8\" revision=\"2\"/></UPDATE>");

    const ScopedFeedBase feedBase (server.getBaseUrl());

    {
        MainAppWindow window ("Kestrel-Edit");
        window.setVisible (true);

        ASSERT_TRUE (pumpMessagesUntil ([&] { return server.requestCount (feedPath) == 1; }));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return ! window.getUpdateCheck()->getUpdater()->isChecking(); }));
        EXPECT_EQ (notices.count(), 0) << "the silent check has nothing to say";

        server.serve (feedPath, "<UPDATE><VERSION major=\"1\" minor=\"9\" revision=\"0\" compatibility=\"1\">"
                                "<URL win=\"https://127.0.0.1:9/setup.exe\"/></VERSION></UPDATE>");
        ASSERT_TRUE (window.getCommandManager().invokeDirectly (2300, false));

        juce::DialogWindow* dialog = nullptr;
        ASSERT_TRUE (pumpMessagesUntil ([&] { return (dialog = findDialog ("Software Update")) != nullptr; }));
        // A new check while the offer is open replaces the offer and its dialog.
        auto* first = window.getUpdateCheck()->getUpdater();
        window.checkForUpdates();
        ASSERT_NE (window.getUpdateCheck()->getUpdater(), first);
        ASSERT_TRUE (pumpMessagesUntil (
            [&] { return window.getUpdateCheck()->getUpdater()->getInformationComponent().isShowing(); }));
        dialog = findDialog ("Software Update");
        auto& info = window.getUpdateCheck()->getUpdater()->getInformationComponent();
        EXPECT_EQ (info.findParentComponentOfClass<juce::DialogWindow>(), dialog);
        EXPECT_TRUE (saveScreenshot (info, "update-offer").existsAsFile());

        // Cancel declines the offer: the dialog closes and nothing else happens.
        findButton (info, "Cancel")->triggerClick();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return findDialog ("Software Update") == nullptr; }));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return ! window.getUpdateCheck()->getUpdater()->isChecking(); }));
        EXPECT_EQ (notices.count(), 0) << notices.lastMessage();

        // OK starts the download in a progress dialog of its own; closing
        // that dialog cancels the download.
        LoopbackHttpServer::Response installer;
        installer.body.setSize (8192, true);
        installer.holdAfter = 1024;
        server.serve ("/setup", installer);
        server.serve (feedPath, "<UPDATE><VERSION major=\"1\" minor=\"9\" revision=\"0\" compatibility=\"1\">"
                                "<URL win=\"" +
                                    server.getBaseUrl() + "setup\"/></VERSION></UPDATE>");
        const juce::File downloads = scratch.folder.getChildFile ("downloads");
        ASSERT_TRUE (downloads.createDirectory().wasOk());
        window.getUpdateCheck()->prepareUpdater = [&] (ZOLAutoUpdate& updater)
        { updater.chooseFolder = [&] (const juce::File&, auto onChosen) { onChosen (downloads); }; };
        window.checkForUpdates();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return findDialog ("Software Update") != nullptr; }));
        findButton (window.getUpdateCheck()->getUpdater()->getInformationComponent(), "OK")->triggerClick();

        ASSERT_TRUE (
            pumpMessagesUntil ([&] { return window.getUpdateCheck()->getUpdater()->getDownloadProgress() > 0; }));
        auto* progress = findDialog ("Kestrel-Edit Update");
        ASSERT_NE (progress, nullptr);
        pumpMessagesFor (300); // the bar catches up with the progress, for the picture only
        EXPECT_TRUE (saveScreenshot (*window.getUpdateCheck()->getUpdater(), "update-progress").existsAsFile());
        progress->closeButtonPressed();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1; }));
        EXPECT_EQ (notices.get (0).message, "Update canceled.");
        EXPECT_EQ (findDialog ("Kestrel-Edit Update"), nullptr);
        EXPECT_EQ (downloads.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    }
}

TEST (MainAppWindowUpdate, AManualCheckThatCannotReachTheFeedSaysSoAndTheCheckAtStartStaysSilent)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-window-update-unreachable" };
    RecordingNotifier notices;
    LoopbackHttpServer server;
    ASSERT_TRUE (server.isListening());
    server.serve (feedPath, "<html><body>Service unavailable</body></html>");

    const ScopedFeedBase feedBase (server.getBaseUrl());
    {
        MainAppWindow window ("Kestrel-Edit");
        window.setVisible (true);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return server.requestCount (feedPath) == 1; }));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return ! window.getUpdateCheck()->getUpdater()->isChecking(); }));
        EXPECT_EQ (notices.count(), 0) << "the check at start-up stays silent";

        // Something that is not the feed, then no feed at all, then the feed.
        ASSERT_TRUE (window.getCommandManager().invokeDirectly (2300, false));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 1; }));
        EXPECT_EQ (notices.get (0).message, "The update server could not be reached.");
        EXPECT_EQ (notices.get (0).title, "Software Update");

        LoopbackHttpServer::Response missing;
        missing.status = 404;
        server.serve (feedPath, missing);
        ASSERT_TRUE (window.getCommandManager().invokeDirectly (2300, false));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 2; }));
        EXPECT_EQ (notices.get (1).message, "The update server could not be reached.");

        server.serve (feedPath, "<UPDATE><VERSION major=\"1\" minor=\"8\" revision=\"2\"/></UPDATE>");
        ASSERT_TRUE (window.getCommandManager().invokeDirectly (2300, false));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == 3; }));
        EXPECT_EQ (notices.get (2).message, "No update available.");
    }
}

TEST (MainAppWindowUpdate, TheOfferIsDrawnFromTheSkinAndItsToggleStopsTheNextCheckAtStart)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-window-update-skin" };
    RecordingNotifier notices;
    LoopbackHttpServer server;
    ASSERT_TRUE (server.isListening());
    server.serve (feedPath, "<UPDATE><VERSION major=\"1\" minor=\"9\" revision=\"0\" compatibility=\"1\">"
                            "<URL win=\"https://127.0.0.1:9/setup.exe\"/></VERSION></UPDATE>");
    const ScopedFeedBase feedBase (server.getBaseUrl());
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());

    {
        MainAppWindow window ("Kestrel-Edit", &skin);
        window.setVisible (true);

        // The check at start-up offers the newer version in the skin's dialog.
        juce::DialogWindow* dialog = nullptr;
        ASSERT_TRUE (pumpMessagesUntil ([&] { return (dialog = findDialog ("Software Update")) != nullptr; }));
        auto& updater = *window.getUpdateCheck()->getUpdater();
        auto& info = updater.getInformationComponent();
        ASSERT_NE (findChild<ZOLDrawableButton> (info, "infoOkayButton"), nullptr);
        auto* cancel = findChild<ZOLDrawableButton> (info, "infoCancelButton");
        auto* toggle = findChild<juce::ToggleButton> (info, "infoNoCheckOnStartupToggle");
        ASSERT_NE (cancel, nullptr);
        ASSERT_NE (toggle, nullptr);
        EXPECT_EQ (toggle->getButtonText(), "Do not check for updates at start-up");
        EXPECT_FALSE (toggle->getToggleState());
        EXPECT_EQ (findChild<juce::Label> (info, "infoLabel")->getText(), updater.getInformationText());
        EXPECT_EQ (findChild<juce::Label> (info, "infoButtonLabel")->getText(),
                   "Click OK to download and install the update.");
        EXPECT_NE (findChild<juce::ProgressBar> (updater, "progressBar"), nullptr);
        EXPECT_NE (findChild<ZOLDrawableButton> (updater, "progressCancelButton"), nullptr);
        EXPECT_TRUE (saveScreenshot (*dialog, "update-offer-skinned").existsAsFile());

        toggle->triggerClick();
        cancel->triggerClick();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return findDialog ("Software Update") == nullptr; }));
    }
    const int requests = server.requestCount (feedPath);
    EXPECT_EQ (KestrelGlobalConfiguration::getInstance()->readOtherKey ("AUTO_UPDATE_SKIP_CHECK"), "1");

    {
        MainAppWindow window ("Kestrel-Edit", &skin);
        window.setVisible (true);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return ! window.getUpdateCheck()->getUpdater()->isChecking(); }));
        EXPECT_EQ (server.requestCount (feedPath), requests) << "the user asked for no check at start-up";
        EXPECT_EQ (findDialog ("Software Update"), nullptr);

        // A check on request still goes ahead, and shows the toggle ticked.
        window.checkForUpdates();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return findDialog ("Software Update") != nullptr; }));
        auto* toggle = window.getUpdateCheck()->getUpdater()->getSkipToggle();
        ASSERT_NE (toggle, nullptr);
        EXPECT_TRUE (toggle->getToggleState());
    }
    EXPECT_EQ (notices.count(), 0) << notices.lastMessage();
}

TEST (MainAppWindowUpdate, TheToggleIsKeptWhenTheOfferIsClosedWithEscape)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-window-update-escape" };
    RecordingNotifier notices;
    LoopbackHttpServer server;
    ASSERT_TRUE (server.isListening());
    server.serve (feedPath, "<UPDATE><VERSION major=\"1\" minor=\"9\" revision=\"0\" compatibility=\"1\">"
                            "<URL win=\"https://127.0.0.1:9/setup.exe\"/></VERSION></UPDATE>");
    const ScopedFeedBase feedBase (server.getBaseUrl());
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    KestrelGlobalConfiguration::getInstance()->writeOtherKey ("AUTO_UPDATE_SKIP_CHECK", "0");

    MainAppWindow window ("Kestrel-Edit", &skin);
    window.setVisible (true);
    juce::DialogWindow* dialog = nullptr;
    ASSERT_TRUE (pumpMessagesUntil ([&] { return (dialog = findDialog ("Software Update")) != nullptr; }));
    auto* toggle = window.getUpdateCheck()->getUpdater()->getSkipToggle();
    ASSERT_NE (toggle, nullptr);

    toggle->triggerClick();
    EXPECT_TRUE (static_cast<juce::Component*> (dialog)->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return findDialog ("Software Update") == nullptr; }));
    EXPECT_TRUE (pumpMessagesUntil ([&]
                                    { return KestrelGlobalConfiguration::getInstance()->readOtherKey ("AUTO_UPDATE_SKIP_CHECK") == "1"; }));
}

// The answer to a check the user asked for is a notice with one button, in
// the program's own dialog: Return closes it, as Escape does.
TEST (MainAppWindowUpdate, TheOneButtonNoticeOfAManualCheckClosesOnReturn)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-window-update-return" };
    LoopbackHttpServer server;
    ASSERT_TRUE (server.isListening());
    server.serve (feedPath, "<UPDATE><VERSION major=\"1\" minor=\"8\" revision=\"2\"/></UPDATE>");
    const ScopedFeedBase feedBase (server.getBaseUrl());

    KestrelEditApplication app;
    app.initialise ({});
    auto* window = app.getMainWindow();
    ASSERT_NE (window, nullptr);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! window->getUpdateCheck()->getUpdater()->isChecking(); }));

    // "No update available." closed by Return and by Escape; then the notice
    // that the installed version is the last, which offers only OK.
    const juce::String lastVersion = "<UPDATE><VERSION major=\"1\" minor=\"8\" revision=\"2\" eol=\"1\"/></UPDATE>";
    for (auto [key, feed] : { std::pair<int, juce::String> (juce::KeyPress::returnKey, {}),
                              std::pair<int, juce::String> (juce::KeyPress::escapeKey, {}),
                              std::pair<int, juce::String> (juce::KeyPress::returnKey, lastVersion) })
    {
        if (feed.isNotEmpty())
            server.serve (feedPath, feed);
        ASSERT_TRUE (window->getCommandManager().invokeDirectly (2300, false));
        juce::DialogWindow* dialog = nullptr;
        ASSERT_TRUE (pumpMessagesUntil ([&] { return (dialog = findDialog ("Software Update")) != nullptr; }));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return dialog->isShowing() && dialog->getPeer() != nullptr; }));
        if (feed.isNotEmpty())
        {
            // Its lone OK keeps clear of the start-up toggle's caption.
            auto* ok = findChildNamed (*dialog, "infoOkayButton");
            auto* toggle = findChildNamed (*dialog, "infoNoCheckOnStartupToggle");
            ASSERT_TRUE (ok != nullptr && toggle != nullptr);
            EXPECT_FALSE (ok->getBounds().intersects (toggle->getBounds()))
                << ok->getBounds().toString() << " over " << toggle->getBounds().toString();
            saveScreenshot (*dialog, "update-last-version-notice");
        }
        dialog->getPeer()->handleKeyPress (juce::KeyPress (key));
        EXPECT_TRUE (pumpMessagesUntil ([&] { return findDialog ("Software Update") == nullptr; }, 5000)) << key << feed;
        if (auto* left = findDialog ("Software Update"))
            delete left;
    }

    app.shutdown();
}
