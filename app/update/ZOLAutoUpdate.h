#pragma once

#include "app/update/UpdateFeed.h"
#include "app/update/ZOLAutoUpdateDownloadThread.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class GlobalConfiguration;
class SkinManager;

// Tells the user of a newer version of the program, or that it has reached
// its final version, from the product's feed on the maker's web server, and
// downloads the new installer. The component itself is the progress view
// that the main window shows during the download; the information component
// ("Update Info") shows the version text and the notes.
//
// Nothing here blocks the message thread: the feed, the notes and the
// installer are fetched on the "Download Thread" worker and polled by timers,
// and the user's answers arrive through callbacks. An installer is only ever
// written once its signature has been checked against the key built into the
// program (InstallerSignature).
//
// Both views are built from the skin's "AutoUpdateSkin" section; a widget the
// section does not name is left out. Without the section (or without a skin)
// the views are plain ones, so that an offer can always be answered.
class ZOLAutoUpdate : public juce::Component,
                      public juce::Button::Listener,
                      public juce::ChangeBroadcaster,
                      private juce::MultiTimer,
                      private juce::KeyListener
{
public:
    enum CheckResult
    {
        checkNothingToShow = 0, // skipped, feed unreadable, or no newer version and no end-of-life mark
        checkAccepted = 1,      // a newer version was offered, OK was pressed and it installs itself
        checkDeclined = 2,      // the offer was declined, or the end-of-life notice was shown
        checkManualInstall = 3, // OK was pressed, but the feed says the update cannot install itself
        checkUnreachable = 4    // the feed could not be fetched, or what came was not the feed
    };

    struct Options
    {
        InstallerSignature::PublicKey publicKey = InstallerSignature::builtInKey();
        ZOLAutoUpdateDownloadThread::Limits feedLimits{ UpdateFeed::maxBytes, 15000, 60000 };
        ZOLAutoUpdateDownloadThread::Limits installerLimits{};
        int downloadPollMs = 1000;
        int fetchPollMs = 50;
        // How each fetch opens its address; empty, as in the program, opens
        // the address itself (ZOLAutoUpdateDownloadThread::setOpener).
        ZOLAutoUpdateDownloadThread::Opener opener;
    };

    // The maker's server. The settings key AUTO_UPDATE_FEED_BASE replaces it
    // for one user when it is an https address (plain http is ignored);
    // setDefaultFeedBase replaces it for the whole process,
    // which test programs do so that no test ever reaches beyond the machine.
    static constexpr const char* makerFeedBase = "https://updates.quillon-audio.invalid/";
    static void setDefaultFeedBase (const juce::String& base);
    static juce::String getDefaultFeedBase();
    static constexpr int productIndex = 5;

    // Reads the product's names, builds the feed address and both views (from
    // the skin when it has them), and loads the settings (AUTO_UPDATE_DIR,
    // AUTO_UPDATE_SKIP_CHECK, AUTO_UPDATE_FEED_BASE) kept in the
    // configuration's settings file.
    ZOLAutoUpdate (GlobalConfiguration& settings, int installedMajor, int installedMinor, int installedRevision,
                   Options options, const SkinManager* skin = nullptr);
    ZOLAutoUpdate (GlobalConfiguration& settings, int installedMajor, int installedMinor, int installedRevision);
    ~ZOLAutoUpdate() override;

    // Checks the feed and calls onResult (a CheckResult) once the check and
    // the user's answer are done. A silent check (manual false) is skipped
    // when the user asked not to be bothered at start-up. The platform names
    // the feed's download attribute ("win" when empty).
    void checkForUpdate (bool manual, const juce::String& platform, std::function<void (int result)> onResult);
    // From checkForUpdate until its onResult is called.
    bool isChecking() const { return checking; }

    // Asks for the installer folder and starts the download; onStarted(false)
    // when the user cancelled the folder chooser. When the download ends, the
    // result is kept (getDownloadResult) and a change message is sent.
    void startDownload (std::function<void (bool started)> onStarted);

    // Stops a running download; it then ends as cancelled.
    void cancelDownload();

    juce::File getInstallerFile() const;

    // The version and signature that the feed gave for its installer.
    InstallerSignature::Version getOfferedVersion() const;
    juce::String getInstallerSignature() const { return feed.signature; }
    const InstallerSignature::PublicKey& getPublicKey() const { return options.publicKey; }

    // A ZOLAutoUpdateDownloadThread::Result once the download has ended, else 0.
    int getDownloadResult() const;
    double getDownloadProgress() const { return progress; }

    static juce::String getProductName (int index);
    static juce::String getFeedFileName (int index);
    juce::URL getFeedUrl() const { return juce::URL (feedAddress); }
    juce::File getInstallerFolder() const { return installerFolder; }

    juce::Component& getInformationComponent() { return information; }
    juce::String getInformationText() const { return informationText; }
    juce::String getNotesText() const { return notesText; }
    juce::String getDownloadLabelText() const { return downloadText; }
    // The toggle that stops the check at start-up; null when the skin has none.
    juce::ToggleButton* getSkipToggle() const { return skipToggle.get(); }

    // How the check asks the user: by default the program's own dialogs.
    // showInformation shows the information component ("Software Update")
    // and reports whether OK closed it; chooseFolder reports the chosen
    // folder, or a default File when the user cancelled.
    std::function<void (juce::Component& information, std::function<void (bool ok)> onClosed)> showInformation;
    std::function<void (const juce::File& start, std::function<void (const juce::File& chosen)> onChosen)> chooseFolder;

    void buttonClicked (juce::Button* button) override;

    // The plain views' sizes.
    static constexpr int progressWidth = 400;
    static constexpr int progressHeight = 145;
    static constexpr int informationWidth = 550;
    static constexpr int informationHeight = 475;

    static constexpr const char* skinSection = "AutoUpdateSkin";

private:
    enum TimerId
    {
        downloadTimer = 0,
        fetchTimer = 1
    };

    using FetchDone = std::function<void (bool fetched, const juce::MemoryBlock& data)>;

    void timerCallback (int timerId) override;
    void buildViews (const SkinManager* skin);
    // True when the skin has the section; the views are then built from it.
    bool buildFromSkin (const SkinManager* skin);
    void buildPlainViews();
    void setInformationText (const juce::String& text);
    void setNotesText (const juce::String& text);
    void setDownloadText (const juce::String& text);
    void setButtonText (const juce::String& text);
    void storeSkipCheck();
    void loadSettings();
    void fetch (const juce::String& address, const ZOLAutoUpdateDownloadThread::Limits& limits, FetchDone then);
    void pollFetch();
    void pollDownload();
    void readFeed (bool fetched, const juce::MemoryBlock& data, const juce::String& platform);
    void showEndOfLifeNotice();
    void offerUpdate();
    void finishCheck (int result);
    void informationClosed (int result);
    // Return closes the information while it offers only its OK button, as
    // Escape does and as Return closes the program's other notices.
    bool keyPressed (const juce::KeyPress& key, juce::Component* origin) override;
    void closeInformation (int result);
    bool isAllowedDownload (const juce::URL& url) const;

    // Calls then with the notes at address, or with replacement when the feed names none.
    void withNotes (bool named, const juce::String& address, const juce::String& replacement,
                    std::function<void (const juce::String& notes)> then);

    GlobalConfiguration& settings;
    const Options options;
    const int installedMajor, installedMinor, installedRevision;

    juce::String productName, feedFileName;
    juce::String feedAddress, downloadAddress; // the download's empty when the feed's is not allowed
    UpdateFeed feed;
    juce::String installerFileName;
    juce::File installerFolder, installerFile;
    bool skipCheck = false;

    std::function<void (int)> onCheckResult;
    bool checking = false;
    std::unique_ptr<ZOLAutoUpdateDownloadThread> fetchThread;
    FetchDone fetchDone;

    std::unique_ptr<ZOLAutoUpdateDownloadThread> downloadThread;
    double progress = 0.0; // the progress bar's value, copied from the thread on the message thread
    bool progressWasShowing = false;
    mutable juce::CriticalSection resultLock;
    int downloadResult = 0;

    juce::String informationText, notesText, downloadText;

    // Each widget is null when the skin does not name it.
    juce::Component information;
    std::unique_ptr<juce::Label> informationLabel, buttonLabel, downloadLabel;
    std::unique_ptr<juce::TextEditor> notesEditor;
    std::unique_ptr<juce::ToggleButton> skipToggle;
    std::unique_ptr<juce::Button> okButton, cancelButton, progressCancelButton;
    std::unique_ptr<juce::ProgressBar> progressBar;
    int okPositionX = 0, okCenterPositionX = 0;

    JUCE_DECLARE_WEAK_REFERENCEABLE (ZOLAutoUpdate)
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZOLAutoUpdate)
};
