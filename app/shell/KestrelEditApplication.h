#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MainAppWindow;
class SkinManager;
class TooltipsOnDemand;
class ZolLookAndFeel;

// The application object: owns the main window and, as the program grows,
// the process-wide managers.
class KestrelEditApplication : public juce::JUCEApplication
{
public:
    KestrelEditApplication();
    ~KestrelEditApplication() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void systemRequestedQuit() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;

    static constexpr const char* unloadableResourcesText = "Unable to load application resources.";
    static constexpr const char* unreadableSettingsText =
        "The settings could not be read, so the defaults are used.\n"
        "The unreadable file is kept with the ending \".bad\" when the settings are next saved.";

    // The running application, or nullptr when the running one is of another type.
    static KestrelEditApplication* getApp();

    MainAppWindow* getMainWindow() const { return mainWindow.get(); }
    SkinManager* getSkin() const { return skin.get(); }
    ZolLookAndFeel* getLookAndFeel() const { return lookAndFeel.get(); }

    // The manager of every command; menus built from command tables show and
    // run their items through it.
    juce::ApplicationCommandManager& getCommandManager() { return *commandManager; }

    // The main window's current scale, recorded by its content on every resize.
    void setCurrentScale (double scale) { currentScale = scale; }
    double getCurrentScale() const { return currentScale; }

    // Tooltips appear after 1250 ms while they are wanted (SHOW_TOOLTIPS).
    void showTooltips (bool show);
    bool areTooltipsShown() const { return tooltips != nullptr; }
    TooltipsOnDemand* getTooltips() const { return tooltips.get(); }

    static juce::String anotherInstanceText (const juce::String& applicationName);

    // Every window needs a graphical display. Empty when the display that
    // DISPLAY names opens within displayDeadlineMs and can be drawn on;
    // otherwise why the program cannot start, naming the display with its
    // control characters escaped (or that DISPLAY is not set): it did not
    // open, or its screen's colour depth is one it cannot draw on. Asked before the application object is
    // made, so that a start without a display touches no file of the user's.
    static juce::String missingDisplayText();
    static constexpr int displayDeadlineMs = 5000;
    static juce::String unopenedDisplayText (const char* displayName);

protected:
    // Loads the built-in skin into the skin document.
    virtual juce::Result loadSkin (SkinManager& skinDocument);

    // Reads the built-in layout document into the layout manager; false with
    // the alert text when the document is refused.
    virtual bool loadLayouts (juce::String& errorText);

private:
    // Created first and deleted last: every window draws with them.
    std::unique_ptr<ZolLookAndFeel> lookAndFeel;
    std::unique_ptr<juce::ApplicationCommandManager> commandManager;
    double currentScale = 1.0;
    std::unique_ptr<SkinManager> skin;
    std::unique_ptr<MainAppWindow> mainWindow;
    std::unique_ptr<TooltipsOnDemand> tooltips;

    // The settings are read when the application is created: the framework
    // asks moreThanOneInstanceAllowed() before initialise().
    bool settingsReadable = true;

    // Set once initialise() has got as far as the main window. Only then are
    // the settings saved at shutdown: a start refused by the single-instance
    // check or by the layout document leaves the user's settings alone.
    bool started = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KestrelEditApplication)
};
