#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/UserFolders.h"
#include "model/UserNotifier.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLToggleButton.h"
#include "skin/window/GenericDialogContent.h"
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

        // Messages through the program's message-box seam: the program's own
        // dialog in the skin's look, titled in its title bar, its icon inside
        // its box; a question answers through its buttons.
        auto showAndFind = [&] (Notice notice) -> GenericDialogContent*
        {
            UserNotifier::show (std::move (notice));
            juce::DialogWindow* shown = nullptr;
            pumpMessagesUntil ([&] { return (shown = findDesktopWindow<juce::DialogWindow> (window)) != nullptr; });
            return shown != nullptr ? dynamic_cast<GenericDialogContent*> (shown->getContentComponent()) : nullptr;
        };
        auto iconFits = [] (GenericDialogContent& body)
        {
            auto drawn = body.getIconRect().withY (body.getTextRect().getY());
            return body.getIcon() != nullptr && ! drawn.isEmpty() && body.getLocalBounds().contains (drawn) &&
                   ! body.getTextRect().intersects (drawn) && ! body.getCloseButtonRect().intersects (drawn);
        };
        auto closedWith = [&] (int& result)
        {
            pumpMessagesUntil ([&] { return result >= 0; });
            return result;
        };

        int result = -1;
        for (auto icon : { Notice::Icon::warning, Notice::Icon::info })
        {
            const bool warning = icon == Notice::Icon::warning;
            result = -1;
            auto* body = showAndFind ({ icon, warning ? "Kestrel-Edit" : "Check for updates",
                                        warning ? "The unit did not answer in time.\nCheck the USB cable and try again."
                                                : "No update available.",
                                        Notice::Buttons::ok, [&result] (int r) { result = r; } });
            ASSERT_NE (body, nullptr) << "the message is shown in the program's dialog";
            EXPECT_EQ (body->iconType, warning ? 5 : 0);
            if (warning)
            {
                EXPECT_TRUE (iconFits (*body)) << body->getIconRect().toString();
            }
            else
            {
                EXPECT_EQ (body->getIcon(), nullptr) << "an information box shows no icon";
            }
            auto* dialog = body->findParentComponentOfClass<juce::DialogWindow>();
            EXPECT_EQ (dialog->getTitleBarHeight(), look->getTitleBarHeight());
            // The title bar's gradient runs downwards: a row across its middle
            // holds more than one colour only where the title is written.
            auto bar =
                dialog->createComponentSnapshot (dialog->getLocalBounds().withHeight (dialog->getTitleBarHeight()));
            EXPECT_TRUE (
                showsMoreThanOneColour (bar.getClippedImage ({ 60, bar.getHeight() / 2, bar.getWidth() - 120, 1 })))
                << "the title is drawn in the title bar";
            EXPECT_TRUE (
                saveWindowShot (*dialog, warning ? "program-message-dialog" : "program-info-dialog").existsAsFile());
            EXPECT_TRUE (body->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
            EXPECT_EQ (closedWith (result), 1);
            EXPECT_EQ (findDesktopWindow<juce::DialogWindow> (window), nullptr);
        }

        // A question: its answers in place of Close; a click gives the
        // answer's result, Escape declines.
        for (int answer : { 1, 0 })
        {
            result = -1;
            auto* body = showAndFind ({ Notice::Icon::question, "Export", "Replace the preset file on disk?",
                                        Notice::Buttons::okCancel, [&result] (int r) { result = r; } });
            ASSERT_NE (body, nullptr) << "the question is shown in the program's dialog";
            ASSERT_EQ (body->getNumAnswers(), 2);
            EXPECT_FALSE (body->getCloseButton()->isVisible());
            EXPECT_TRUE (iconFits (*body));
            auto* dialog = body->findParentComponentOfClass<juce::DialogWindow>();
            if (answer == 1)
            {
                EXPECT_TRUE (saveWindowShot (*dialog, "program-question-dialog").existsAsFile());
                body->getAnswerButton (0)->handlePress (true, false, false);
            }
            else
                EXPECT_TRUE (body->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
            EXPECT_EQ (closedWith (result), answer);
            EXPECT_EQ (findDesktopWindow<juce::DialogWindow> (window), nullptr);
        }

        app.shutdown();
    }

    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
}
