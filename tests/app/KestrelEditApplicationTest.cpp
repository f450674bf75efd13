#include "app/KestrelEditApplication.h"
#include "model/GlobalConfiguration.h"
#include "model/UserFolders.h"
#include "support/RecordingNotifier.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

// In an executable of its own: the application creates and deletes the
// process-wide managers, which exist once per process.
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
        app.shutdown();
    }

    EXPECT_EQ (settings.getSiblingFile (settings.getFileName() + ".bad").loadFileAsString(), junk);
    UserFolders::redirectTo ({});
}
