#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MainAppWindow;

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

    static constexpr const char* unreadableSettingsText =
        "The settings could not be read, so the defaults are used.\n"
        "The unreadable file is kept with the ending \".bad\" when the settings are next saved.";

    // The running application, or nullptr when the running one is of another type.
    static KestrelEditApplication* getApp();

    MainAppWindow* getMainWindow() const { return mainWindow.get(); }

private:
    std::unique_ptr<MainAppWindow> mainWindow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KestrelEditApplication)
};
