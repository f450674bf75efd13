#include "app/shell/KestrelEditApplication.h"
#include "model/GlobalConfiguration.h"
#include "model/UserFolders.h"
#include "skin/engine/SkinManager.h"
#include "skin/window/ZolLookAndFeel.h"
#include "support/ForgetSingletons.h"
#include "support/RecordingNotifier.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

// In an executable of its own: the application creates and deletes the
// process-wide managers, which exist once per process; each test lets the
// next one create them again.
TEST (KestrelEditApplication, AnUnreadableSettingsFileIsReportedAndKept)
{
    KESTREL_REQUIRE_DISPLAY();
    ScratchFolder scratch{ "kestrel-app-settings" };
    UserFolders::redirectTo (scratch.folder);
    RecordingNotifier notices;

    const juce::String junk = "not <xml";
    const auto settings = GlobalConfiguration::getSettingsFile();
    ASSERT_TRUE (settings.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE (settings.replaceWithText (junk));

    {
        KestrelEditApplication app;
        app.initialise ({});
        ASSERT_EQ (notices.count(), 1);
        EXPECT_EQ (notices.lastMessage(), KestrelEditApplication::unreadableSettingsText);
        EXPECT_NE (KestrelImageDepot::getInstanceWithoutCreating(), nullptr);
        EXPECT_NE (KestrelControlManager::getInstanceWithoutCreating(), nullptr);
        app.shutdown();
    }

    EXPECT_EQ (KestrelImageDepot::getInstanceWithoutCreating(), nullptr) << "deleted with the other managers";
    EXPECT_EQ (KestrelControlManager::getInstanceWithoutCreating(), nullptr);

    EXPECT_EQ (settings.getSiblingFile (settings.getFileName() + ".bad").loadFileAsString(), junk);
    forgetSingletons();
    UserFolders::redirectTo ({});
}

TEST (KestrelEditApplication, SettingsAreReadBeforeTheSingleInstanceCheck)
{
    ScratchFolder scratch{ "kestrel-app-instances" };
    UserFolders::redirectTo (scratch.folder);

    const juce::String text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<PROPERTIES>\n"
                              "  <VALUE name=\"ALLOW_MORE_THAN_ONE\" val=\"1\"/>\n</PROPERTIES>\n";
    const auto settings = GlobalConfiguration::getSettingsFile();
    ASSERT_TRUE (settings.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE (settings.replaceWithText (text));
    const auto written = settings.loadFileAsString();

    {
        KestrelEditApplication app;
        EXPECT_TRUE (app.moreThanOneInstanceAllowed());

        // A start the framework refuses: shut down without initialise().
        app.shutdown();
    }

    EXPECT_EQ (settings.loadFileAsString(), written) << "a start that never ran leaves the settings alone";
    forgetSingletons();
    UserFolders::redirectTo ({});
}

TEST (KestrelEditApplication, AnUnreadableSkinEndsTheProgramOnceTheUserHasReadWhy)
{
    KESTREL_REQUIRE_DISPLAY();
    struct DamagedSkin : public KestrelEditApplication
    {
        juce::Result loadSkin (SkinManager& skinDocument) override
        {
            const char damaged[] = "PK\x03\x04 not really an archive";
            return skinDocument.loadFromArchiveData (damaged, sizeof (damaged));
        }
    };

    ScratchFolder scratch{ "kestrel-app-skin" };
    UserFolders::redirectTo (scratch.folder);
    RecordingNotifier notices;
    auto* messages = juce::MessageManager::getInstance();

    {
        DamagedSkin app;
        app.initialise ({});
        ASSERT_EQ (notices.count(), 1);
        EXPECT_EQ (notices.lastMessage(), "Unable to load application resources.");
        EXPECT_EQ (app.getMainWindow(), nullptr);
        EXPECT_NE (&juce::LookAndFeel::getDefaultLookAndFeel(), (juce::LookAndFeel*) app.getLookAndFeel());
        EXPECT_FALSE (messages->hasStopMessageBeenSent());

        notices.answer (0, 1);
        EXPECT_TRUE (messages->hasStopMessageBeenSent());
        app.shutdown();
    }

    forgetSingletons();
    UserFolders::redirectTo ({});
}

TEST (KestrelEditApplication, ARefusedLayoutDocumentEndsTheProgramOnlyOnceTheUserHasReadWhy)
{
    KESTREL_REQUIRE_DISPLAY();
    struct RefusedLayouts : public KestrelEditApplication
    {
        bool loadLayouts (juce::String& errorText) override
        {
            errorText = "There was an error while trying to load the effect layouts:\nInvalid firmware version.";
            return false;
        }
    };

    ScratchFolder scratch{ "kestrel-app-layouts" };
    UserFolders::redirectTo (scratch.folder);
    RecordingNotifier notices;
    auto* messages = juce::MessageManager::getInstance();

    {
        RefusedLayouts app;
        app.initialise ({});
        ASSERT_EQ (notices.count(), 1);
        EXPECT_EQ (notices.lastMessage(),
                   "There was an error while trying to load the effect layouts:\nInvalid firmware version.");
        EXPECT_EQ (app.getMainWindow(), nullptr);
        EXPECT_FALSE (messages->hasStopMessageBeenSent()) << "the program still runs while its message is shown";

        notices.answer (0, 1);
        EXPECT_TRUE (messages->hasStopMessageBeenSent());
        app.shutdown();
    }

    forgetSingletons();
    UserFolders::redirectTo ({});
}
