#include "app/shell/MainAppWindow.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/shell/PreferencesDialogContent.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/window/ZolLookAndFeel.h"
#include "device/engines/NamedRequestTable.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UserFolders.h"
#include "support/PumpMessages.h"
#include "support/RecordingNotifier.h"
#include "support/RedirectedUserFolders.h"
#include "support/Screenshot.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

namespace
{
struct RedirectedFolders : RedirectedUserFolders
{
    RedirectedFolders() : RedirectedUserFolders ("kestrel-app") {}
};
} // namespace

TEST (MainAppWindow, OpensAndConnectsToTheUnitThroughItsTimer)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedFolders folders;
    RecordingNotifier notices;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    SimulatedKestrel unit (backend);

    {
        MainAppWindow window ("Kestrel-Edit");
        window.setVisible (true);

        EXPECT_EQ (window.getName(), "Kestrel-Edit");
        ASSERT_NE (window.getContentComponent(), nullptr);
        EXPECT_EQ (window.getContentComponent()->getWidth(), 1024);
        EXPECT_EQ (window.getContentComponent()->getHeight(), 647);
        EXPECT_TRUE (window.isOnDesktop());

        // The window's timer opens the configured "Kestrel MIDI" ports.
        // The link reads the device lists every 2 s and the retry comes once
        // a second, so the unit is seen after about 3 s; waited for generously.
        pumpMessagesUntil ([&] { return window.isShowingConnected(); });

        EXPECT_TRUE (window.isShowingConnected());
        EXPECT_EQ (window.getName(), "Kestrel-Edit") << "the title bar shows the state, the name stays";

        auto shot = saveScreenshot (*window.getContentComponent(), "main-window");
        EXPECT_TRUE (shot.existsAsFile());
    }

    // The link must let go of the virtual ports before they go away.
    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
}

TEST (MainAppWindow, TicksSlowlyWhileUnconnectedAndIdleAndQuicklyOnceARequestStartsOrAPortOpens)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedFolders folders;
    RecordingNotifier notices;
    VirtualMidiBackend backend; // no unit yet
    VirtualMidiBackend::Installed useBackend (backend);

    {
        MainAppWindow window ("Kestrel-Edit");
        EXPECT_EQ (window.getTickIntervalMs(), MainAppWindow::tickIntervalMs);

        window.tick(); // finds no port to open
        EXPECT_GE (window.getTickIntervalMs(), 900) << "only the port retry, once a second, is left";

        auto* presetManager = PresetManager::getInstance();
        presetManager->getRequest (queryDeviceVersion).start();
        EXPECT_EQ (window.getTickIntervalMs(), MainAppWindow::tickIntervalMs) << "a request starts";

        for (int i = 0; i < 5 && presetManager->hasWork(); ++i)
            window.tick(); // the link is down: the request is cancelled

        window.tick();
        EXPECT_GE (window.getTickIntervalMs(), 900);

        // The unit appears: the slow tick's retry opens it, and the timer is
        // quick again.
        SimulatedKestrel unit (backend);

        // The link reads the device lists every 2 s and the retry comes once
        // a second, so the unit is seen after about 3 s; waited for generously.
        pumpMessagesUntil ([&] { return window.isShowingConnected(); });

        EXPECT_TRUE (window.isShowingConnected());
        EXPECT_EQ (window.getTickIntervalMs(), MainAppWindow::tickIntervalMs);

        if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
            link->closePorts();
    }
}

TEST (MainAppWindow, FitsTheScreenAtADesktopScaleOfTwo)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedFolders folders;
    RecordingNotifier notices;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    juce::Desktop::getInstance().setGlobalScaleFactor (2.0f);

    {
        MainAppWindow window ("Kestrel-Edit");
        auto area = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
        EXPECT_TRUE (area.contains (window.getBounds())) << area.toString() << " " << window.getBounds().toString();
        auto* content = window.getContentComponent();
        EXPECT_NEAR ((double) content->getWidth() / content->getHeight(), 1024.0 / 647.0, 0.01);
    }

    juce::Desktop::getInstance().setGlobalScaleFactor (1.0f);
}

// Runs last in this executable: the application deletes the process-wide
// managers when it ends, and once it has asked to quit the message loop is
// stopping.
TEST (KestrelEditApplication, ShowsTheMainWindowAndQuitsWhenItIsClosed)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedFolders folders;
    RecordingNotifier notices;

    {
        KestrelEditApplication app;
        EXPECT_EQ (KestrelEditApplication::getApp(), &app);

        app.initialise ({});
        ASSERT_NE (app.getMainWindow(), nullptr);
        EXPECT_TRUE (app.getMainWindow()->isVisible());
        EXPECT_EQ (notices.count(), 0) << notices.lastMessage();

        // The title bar's settings button (shown while disconnected) opens the preferences.
        auto* content = app.getMainWindow()->getContent();
        auto* look = dynamic_cast<ZolLookAndFeel*> (&app.getMainWindow()->getLookAndFeel());
        ASSERT_NE (look, nullptr);
        ASSERT_NE (look->getSettingsButton(), nullptr);
        look->getSettingsButton()->triggerClick();
        ASSERT_TRUE (pumpMessagesUntil (
            [&]
            {
                auto* shown = content->getPane (ContentPane::preferences);
                return shown != nullptr && shown->isVisible();
            }));
        EXPECT_TRUE (content->getPane (ContentPane::preferences)->isVisible());
        saveScreenshot (*app.getMainWindow(), "main-window-preferences");

        // Its skinned check boxes store their settings.
        auto* preferences = dynamic_cast<PreferencesDialogContent*> (content->getPane (ContentPane::preferences));
        ASSERT_NE (preferences, nullptr);
        auto* settings = KestrelGlobalConfiguration::getInstanceWithoutCreating();
        ASSERT_NE (settings, nullptr);
        const auto tooltipsWere = settings->SHOW_TOOLTIPS;
        auto& tooltips = preferences->getSwitch (0);
        ASSERT_TRUE (tooltips.isShowing());
        EXPECT_EQ (tooltips.getToggleState(), tooltipsWere);
        tooltips.triggerClick();
        EXPECT_TRUE (pumpMessagesUntil ([&] { return settings->SHOW_TOOLTIPS == ! tooltipsWere; }));
        EXPECT_EQ (settings->SHOW_TOOLTIPS, ! tooltipsWere);
        preferences->closeDialog();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return ! preferences->isVisible(); }));

        // So does the Preferences command.
        EXPECT_TRUE (app.getMainWindow()->getCommandManager().invokeDirectly (1400, false));
        EXPECT_TRUE (pumpMessagesUntil ([&] { return preferences->isVisible(); }));
        preferences->closeDialog();

        // An open librarian keeps the program running until the user closes it.
        content->setPane (ContentPane::librarian, std::make_unique<juce::Component>(), true);
        app.getMainWindow()->closeButtonPressed();
        EXPECT_FALSE (juce::MessageManager::getInstance()->hasStopMessageBeenSent());
        EXPECT_EQ (notices.lastMessage(), MainAppWindow::closeLibrarianFirstText);

        content->getPane (ContentPane::librarian)->setVisible (false);
        app.getMainWindow()->closeButtonPressed();
        EXPECT_TRUE (juce::MessageManager::getInstance()->hasStopMessageBeenSent());

        app.shutdown();
        EXPECT_EQ (app.getMainWindow(), nullptr);
    }

    EXPECT_EQ (KestrelGlobalConfiguration::getInstanceWithoutCreating(), nullptr);
    EXPECT_TRUE (KestrelGlobalConfiguration::getSettingsFile().existsAsFile()) << "settings saved at exit";
}
