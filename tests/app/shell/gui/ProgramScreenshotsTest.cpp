#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/UserFolders.h"
#include "model/UserNotifier.h"
#include "skin/window/GenericDialogContent.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/window/ZolLookAndFeel.h"
#include "support/PumpMessages.h"
#include "support/RedirectedUserFolders.h"
#include "support/Screenshot.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include "support/CachedDefinitions.h"

#include <gtest/gtest.h>

namespace
{
void runFor (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

// The first visible window on the desktop of the type, other than skip.
template <typename Type>
Type* findDesktopWindow (const juce::Component* skip = nullptr)
{
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* c = desktop.getComponent (i); c != skip && c->isVisible())
            if (auto* typed = dynamic_cast<Type*> (c))
                return typed;
    return nullptr;
}

// The whole on-screen window of a component, drawn as the framework draws it.
juce::File saveWindowShot (juce::Component& window, const juce::String& name)
{
    return saveScreenshot (window, name);
}
} // namespace

// The real program, started with a unit on its ports: its main window, an
// open menu and an alert, each drawn in the program's own skin.
TEST (ProgramScreenshots, MainWindowMenuAndAlertInTheProgramsOwnLook)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-shots" };
    ASSERT_TRUE (cacheDefinitionsOfTheSimulatedUnit());
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    SimulatedKestrel unit (backend);

    {
        KestrelEditApplication app;
        app.initialise ({});
        auto* window = app.getMainWindow();
        ASSERT_NE (window, nullptr);
        auto* look = dynamic_cast<ZolLookAndFeel*> (&juce::LookAndFeel::getDefaultLookAndFeel());
        ASSERT_EQ (look, app.getLookAndFeel()) << "the skin's look-and-feel is the default";

        EXPECT_EQ (window->getTitleBarHeight(), look->getTitleBarHeight());
        EXPECT_EQ (window->getContentComponent()->getWidth(), MainAppWindow::contentWidth);
        EXPECT_EQ (window->getContentComponent()->getHeight(), MainAppWindow::contentHeight);

        EXPECT_TRUE (look->getSettingsButton()->isVisible()) << "shown while not connected";
        EXPECT_TRUE (saveWindowShot (*window, "program-main-window-disconnected").existsAsFile());

        pumpMessagesUntil ([&] { return window->isShowingConnected(); });
        ASSERT_TRUE (window->isShowingConnected());

        // While the unit is identified and its preset read, the wait cursor shows.
        auto* presets = PresetManager::getInstance();
        presets->getRequest (queryDeviceVersion).start();
        pumpMessagesUntil ([&] { return ! presets->getRequest (queryDeviceVersion).isRunning(); });
        presets->requestLoadPreset();
        bool sawBusy = false;
        pumpMessagesUntil (
            [&]
            {
                sawBusy = sawBusy || look->isBusy();
                return sawBusy && ! look->isBusy();
            });
        EXPECT_TRUE (sawBusy) << "the preset manager drives the look-and-feel's wait cursor";
        EXPECT_FALSE (look->isBusy());
        ASSERT_NE (look->getPauseButton(), nullptr);
        EXPECT_TRUE (look->getPauseButton()->isVisible());
        EXPECT_FALSE (look->getSettingsButton()->isVisible());
        EXPECT_TRUE (saveWindowShot (*window, "program-main-window").existsAsFile());

        // A menu with what menus of the program carry: a header, ticks,
        // shortcuts, a disabled item, a separator and a submenu.
        juce::PopupMenu recent;
        recent.addItem (20, "Clean Crunch.syx");
        recent.addItem (21, "Ambient Pad.syx");
        juce::PopupMenu menu;
        menu.addSectionHeader ("Preset");
        juce::PopupMenu::Item save ("Save Preset");
        save.itemID = 1;
        save.shortcutKeyDescription = "shortcut: 'S'";
        menu.addItem (save);
        juce::PopupMenu::Item importItem ("Import Preset...");
        importItem.itemID = 2;
        importItem.shortcutKeyDescription = "Ctrl + I";
        menu.addItem (importItem);
        menu.addItem (3, "Export as Snapshot", false);
        menu.addSeparator();
        menu.addItem (4, "Show Modifiers", true, true);
        menu.addSubMenu ("Recent Files", recent);
        menu.showMenuAsync (juce::PopupMenu::Options()
                                .withTargetScreenArea (window->getScreenBounds().withSize (1, 1).translated (240, 60))
                                .withMinimumWidth (220));
        // The menu is laid out as it opens; it is pictured at once, since a
        // bare display without a window manager may hand the keyboard focus
        // elsewhere, and a menu closes when its program loses the focus.
        auto* menuWindow = findDesktopWindow<juce::Component> (window);
        ASSERT_NE (menuWindow, nullptr) << "the menu is open";
        EXPECT_TRUE (saveWindowShot (*menuWindow, "program-menu").existsAsFile());
        juce::PopupMenu::dismissAllActiveMenus();
        runFor (100); // the menu goes; nothing is judged on it

        // A message through the program's message-box seam: the program's own
        // dialog in the skin's look, its icon inside its box, closed by Escape.
        bool closed = false;
        UserNotifier::show ({ Notice::Icon::warning, "Kestrel-Edit",
                              "The unit did not answer in time.\nCheck the USB cable and try again.",
                              Notice::Buttons::ok, [&closed] (int) { closed = true; } });
        juce::DialogWindow* dialog = nullptr;
        pumpMessagesUntil ([&] { return (dialog = findDesktopWindow<juce::DialogWindow> (window)) != nullptr; });
        ASSERT_NE (dialog, nullptr) << "the message is shown in a dialog window";
        auto* body = dynamic_cast<GenericDialogContent*> (dialog->getContentComponent());
        ASSERT_NE (body, nullptr);
        EXPECT_EQ (body->iconType, 5);
        ASSERT_NE (body->getIcon(), nullptr);
        EXPECT_FALSE (body->getIconRect().isEmpty());
        EXPECT_TRUE (body->getLocalBounds().contains (body->getIconRect())) << body->getIconRect().toString();
        EXPECT_FALSE (body->getTextRect().intersects (body->getIconRect()));
        EXPECT_TRUE (saveWindowShot (*dialog, "program-message-dialog").existsAsFile());
        EXPECT_TRUE (body->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
        pumpMessagesUntil ([&] { return closed; });
        EXPECT_TRUE (closed);
        EXPECT_EQ (findDesktopWindow<juce::DialogWindow> (window), nullptr);

        // A question keeps the message box and its answers.
        UserNotifier::askOkCancel ("Replace the preset on the unit?", [] (bool) {});
        pumpMessagesUntil ([] { return findDesktopWindow<juce::AlertWindow>() != nullptr; });
        auto* alert = findDesktopWindow<juce::AlertWindow>();
        ASSERT_NE (alert, nullptr) << "the alert is shown";
        EXPECT_EQ (&alert->getLookAndFeel(), look);
        EXPECT_TRUE (saveWindowShot (*alert, "program-alert").existsAsFile());
        alert->exitModalState (0);
        runFor (50); // the alert goes before the program; nothing is judged on it

        app.shutdown();
    }

    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
}
