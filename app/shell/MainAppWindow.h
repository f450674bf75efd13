#pragma once

#include "model/UserNotifier.h"

#include "device/engines/LinkTicker.h"
#include "skin/window/ZolBoundsConstrainer.h"

#include <juce_gui_basics/juce_gui_basics.h>

class KestrelContentComponent;
class KestrelMenuBarModel;
class PresetManager;
class ProgramUpdateCheck;
class SkinManager;
class ZolLookAndFeel;

// The program's main window. Its content area is 1024 by 647 and keeps that
// ratio when the window is resized. Its title bar, drawn by the look-and-feel,
// shows the connection state. Its 10 ms timer drives the link and the preset
// manager; while no request runs it sleeps: once a second while connected
// (the link wakes it as soon as the unit sends anything or a request ends),
// and only as often as the port retry needs while the link is down.
//
// When the link comes up "Query device version" starts; the command target
// carries the connection on from its end code. Closing while connected runs
// "Editor Disconnect" first and closes once it has ended, or after
// disconnectTimeoutMs when the unit stays silent.
class MainAppWindow : public juce::DocumentWindow, private juce::Timer
{
public:
    static constexpr const char* closeLibrarianFirstText = "Please close Brak-Manage before exiting the application.";

    static constexpr int contentWidth = 1024;
    static constexpr int contentHeight = 647;
    static constexpr int tickIntervalMs = 10;
    // One request time-out and a little more.
    static constexpr juce::uint32 disconnectTimeoutMs = 3500;

    // The skin may be null (the window then has the framework's look).
    explicit MainAppWindow (const juce::String& title, const SkinManager* skin = nullptr);
    ~MainAppWindow() override;

    void closeButtonPressed() override;
    void resized() override;

    // One tick of the window's timer; also called by tests.
    void tick();

    // The timer's present interval (0 when it is not running).
    int getTickIntervalMs() const { return getTimerInterval(); }
    LinkTicker* getLinkTicker() const { return linkTicker.get(); }

    // The update check: silent once at start-up, manual on request.
    void checkForUpdates() { runUpdateCheck (true); }
    ProgramUpdateCheck* getUpdateCheck() const { return updateCheck.get(); }

    bool isShowingConnected() const { return shownConnected; }
    const SkinManager* getSkin() const { return skin; }

    // The content component, which owns the panes.
    KestrelContentComponent* getContent() const;

    // The window's scale: its content's width against the design width.
    double getScale() const;

    // Closes both ports and keeps them closed until they are unplugged or
    // other ports are chosen (a unit the program cannot edit).
    void forgetPorts();

    // The commands' manager: the application's, or the window's own when it
    // runs without the application (tests).
    juce::ApplicationCommandManager& getCommandManager() { return *commandManager; }
    KestrelMenuBarModel* getMenuBarModel() const { return menuBarModel.get(); }
    juce::MenuBarComponent* getMenuBar() const { return menuBar.get(); }

    // The user's pause of communication: the link holds its out-queue.
    void setCommunicationPaused (bool shouldPause);
    bool isCommunicationPaused() const { return linkTicker != nullptr && linkTicker->isPaused(); }

    // The window at its design size, or filling the screen.
    void showNormalSize();

    // "Editor Disconnect" is under way before the window closes.
    bool isClosing() const { return closing; }

    // A notice or a question, shown in the program's own dialog in the skin's
    // look; the answer reaches the notice's callback. False without a skinned
    // dialog style, when the notice is left to the message box. It comes to
    // the front; a message the same as one still open is not shown again.
    bool showMessageDialog (const Notice& notice);

private:
    void timerCallback() override { tick(); }
    // The link's activity, on the message thread: a sleeping timer ticks at
    // once and goes back to the quick interval.
    void wake();

    struct Waker : juce::AsyncUpdater
    {
        std::function<void()> onWake;
        void handleAsyncUpdate() override { onWake(); }
    };

    void showConnection (bool connected);
    // Enables the panes that reach the unit, or disables them and says why.
    void showUnitState (bool linkUp);
    void fitOnScreen();
    void runUpdateCheck (bool manual);
    ZolLookAndFeel* getZolLookAndFeel();
    void finishClosing();
    // Closing: once no request but "Editor Disconnect" runs and it has not
    // begun, outputs the program left muted are turned on first.
    void turnOutputsOnBeforeGoodbye (PresetManager& presetManager);
    void placeMenuBar();

    const SkinManager* skin;
    std::unique_ptr<LinkTicker> linkTicker;
    Waker waker;
    bool shownConnected = false;
    bool everConnected = false;
    std::unique_ptr<ProgramUpdateCheck> updateCheck;
    ZolBoundsConstrainer constrainer;
    juce::Array<juce::Component::SafePointer<juce::Component>> titleBarButtons;

    std::unique_ptr<juce::ApplicationCommandManager> ownCommandManager;
    juce::ApplicationCommandManager* commandManager = nullptr;
    std::unique_ptr<KestrelMenuBarModel> menuBarModel;
    std::unique_ptr<juce::MenuBarComponent> menuBar;

    bool closing = false;
    juce::uint32 closeStartedMs = 0;
    bool outputsAskedOn = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainAppWindow)
};
