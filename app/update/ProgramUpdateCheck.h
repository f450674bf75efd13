#pragma once

#include "app/update/ZOLAutoUpdate.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

class GlobalConfiguration;
class SkinManager;

// The main window's side of the update check: a silent check at start-up
// (when the user wants one) and a manual one on request. Each check makes a
// new ZOLAutoUpdate in place of the last; an accepted offer shows the
// download's progress, and the download's end is reported to the user or,
// for a verified installer, starts it and closes the program.
class ProgramUpdateCheck : private juce::ChangeListener
{
public:
    // The version this program reports to the feed.
    static constexpr int installedMajor = 1;
    static constexpr int installedMinor = 8;
    static constexpr int installedRevision = 2;
    // The same as "major.minor.revision": the program's version wherever it is shown.
    static juce::String installedVersionText()
    {
        return juce::String (installedMajor) + "." + juce::String (installedMinor) + "." + juce::String (installedRevision);
    }

    static constexpr const char* title = "Software Update";
    static constexpr const char* noUpdateText = "No update available.";
    static constexpr const char* unreachableText = "The update server could not be reached.";
    static constexpr const char* manualInstallText =
        "This update must be installed manually.\nPlease contact the support team for the latest version.";
    static constexpr const char* canceledText = "Update canceled.";
    static constexpr const char* downloadErrorText = "Download error.";
    static constexpr const char* changedText =
        "The downloaded installer was changed after its signature was checked.\nIt was deleted and has not been run.";
    static constexpr const char* refusedText =
        "The downloaded installer did not pass its signature check, so it is not from the maker of this "
        "program or it was damaged on the way.\nIt was deleted and has not been run.";

    // window: the main window, to centre the progress dialog on; closeProgram
    // closes the program as the main window's close button does; skin: the
    // skin the updater's views are built from (may be null). The private
    // copies of installers that earlier runs started are removed.
    ProgramUpdateCheck (GlobalConfiguration& configuration, juce::Component* window, std::function<void()> closeProgram,
                        const SkinManager* skin = nullptr);
    ~ProgramUpdateCheck() override;

    // A silent check runs only when the configuration's CHECK_FOR_UPDATE is on.
    void run (bool manual);

    ZOLAutoUpdate* getUpdater() const { return updater.get(); }

    // Given to every new updater (tests set their key and limits here).
    ZOLAutoUpdate::Options updaterOptions;
    // Called with every new updater before its check starts.
    std::function<void (ZOLAutoUpdate&)> prepareUpdater;
    // Shows the progress view; by default in a dialog "Kestrel-Edit Update".
    std::function<void (juce::Component& progressView)> showProgress;
    // Starts a verified installer, the private copy that
    // InstallerCopyFolder::writeCopy made; by default startWithoutShell.
    std::function<bool (const juce::File& installer)> startInstaller;

    // Starts the file as a process of its own, its path given as the one
    // argument of the call (never through a shell); true only when the
    // process really started.
    static bool startWithoutShell (const juce::File& installer);

private:
    void onCheckResult (int result);
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void closeProgressDialog();
    bool readVerified (const juce::File& installer, juce::MemoryBlock& bytes) const;
    static void warn (const juce::String& text);

    GlobalConfiguration& configuration;
    juce::Component::SafePointer<juce::Component> window;
    std::function<void()> closeProgram;
    const SkinManager* skin;
    std::unique_ptr<ZOLAutoUpdate> updater;
    juce::Component::SafePointer<juce::DialogWindow> progressDialog;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgramUpdateCheck)
};
