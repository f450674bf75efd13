#include "app/KestrelEditApplication.h"
#include "app/MainAppWindow.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

TEST (MainAppWindow, OpensWithTheProgramTitleAndContentSize)
{
    KESTREL_REQUIRE_DISPLAY();
    MainAppWindow window ("Kestrel-Edit");
    window.setVisible (true);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (200);

    EXPECT_EQ (window.getName(), "Kestrel-Edit");
    ASSERT_NE (window.getContentComponent(), nullptr);
    EXPECT_EQ (window.getContentComponent()->getWidth(), 1024);
    EXPECT_EQ (window.getContentComponent()->getHeight(), 647);
    EXPECT_TRUE (window.isOnDesktop());

    auto shot = saveScreenshot (*window.getContentComponent(), "main-window");
    EXPECT_TRUE (shot.existsAsFile());
}

// Runs last in this executable: once the application has asked to quit, the
// message loop is stopping.
TEST (KestrelEditApplication, ShowsTheMainWindowAndQuitsWhenItIsClosed)
{
    KESTREL_REQUIRE_DISPLAY();
    KestrelEditApplication app;
    EXPECT_EQ (KestrelEditApplication::getApp(), &app);

    app.initialise ({});
    ASSERT_NE (app.getMainWindow(), nullptr);
    EXPECT_TRUE (app.getMainWindow()->isVisible());

    app.getMainWindow()->closeButtonPressed();
    EXPECT_TRUE (juce::MessageManager::getInstance()->hasStopMessageBeenSent());

    app.shutdown();
    EXPECT_EQ (app.getMainWindow(), nullptr);
}
