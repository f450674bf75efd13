#include "app/update/ZOLAutoUpdate.h"

#include "model/GlobalConfiguration.h"
#include "skin/engine/UserInteraction.h"

namespace
{
struct Product
{
    const char* displayName;
    const char* feedFile;
};

constexpr Product products[] = {
    { "Quillon-Bot", "quillon-bot.xml" }, { "Brak-Edit", "brak-edit.xml" }, { "Konvo", "konvo.xml" },
    { "Plover-Edit", "plover-edit.xml" }, { "Konvo3", "konvo3.xml" },       { "Kestrel-Edit", "kestrel-edit.xml" }
};

constexpr const char* feedPathToken = "mzrtkwpqlnvbsa";
constexpr juce::int64 maxNotesBytes = 1024 * 1024;

const juce::Colour dialogBackground (0xffd3d3d3);

// The feed base from the settings when it is an https address, else the
// maker's server; always ending with a slash. A plain-http base from the
// settings is refused: whoever sits on the way could answer in the maker's
// name (and a plain-http feed lets its installers come that way too).
juce::String feedBaseFrom (const juce::String& configured)
{
    auto base = configured.trim();

    if (! base.startsWithIgnoreCase ("https://") || juce::URL (base).getDomain().isEmpty())
        base = ZOLAutoUpdate::getDefaultFeedBase();

    return base.endsWithChar ('/') ? base : base + "/";
}

juce::CriticalSection defaultFeedBaseLock;
juce::String defaultFeedBase (ZOLAutoUpdate::makerFeedBase);

bool isProductWithHardware (int index)
{
    return index == 1 || index == 3 || index == 5;
}
} // namespace

void ZOLAutoUpdate::setDefaultFeedBase (const juce::String& base)
{
    const juce::ScopedLock sl (defaultFeedBaseLock);
    defaultFeedBase = base;
}

juce::String ZOLAutoUpdate::getDefaultFeedBase()
{
    const juce::ScopedLock sl (defaultFeedBaseLock);
    return defaultFeedBase;
}

juce::String ZOLAutoUpdate::getProductName (int index)
{
    return juce::isPositiveAndBelow (index, (int) std::size (products)) ? products[index].displayName : "";
}

juce::String ZOLAutoUpdate::getFeedFileName (int index)
{
    return juce::isPositiveAndBelow (index, (int) std::size (products)) ? products[index].feedFile : "";
}

ZOLAutoUpdate::ZOLAutoUpdate (GlobalConfiguration& configuration, int major, int minor, int revision,
                              Options updateOptions)
    : settings (configuration)
    , options (updateOptions)
    , installedMajor (major)
    , installedMinor (minor)
    , installedRevision (revision)
    , productName (getProductName (productIndex))
    , feedFileName (getFeedFileName (productIndex))
{
    if (productName.isNotEmpty())
        feedAddress = feedBaseFrom (settings.readOtherKey ("AUTO_UPDATE_FEED_BASE")) + "rss/" + feedPathToken + "/" +
                      productName + "/" + feedFileName;

    buildViews();
    loadSettings();

    showInformation = [] (juce::Component& info, std::function<void (bool)> onClosed)
    {
        juce::DialogWindow::LaunchOptions launch;
        launch.content.setNonOwned (&info);
        launch.dialogTitle = "Software Update";
        launch.dialogBackgroundColour = dialogBackground;
        launch.escapeKeyTriggersCloseButton = true;
        launch.useNativeTitleBar = true;
        launch.resizable = false;

        auto* window = launch.create();
        window->centreWithSize (window->getWidth(), window->getHeight());
        window->enterModalState (true, juce::ModalCallbackFunction::create ([onClosed] (int r) { onClosed (r == 1); }),
                                 true);
    };

    chooseFolder = [this] (const juce::File& start, std::function<void (const juce::File&)> onChosen)
    {
        FileRequest request;
        request.mode = FileRequest::Mode::folder;
        request.title = "Save installer to...";
        request.initial = start;
        UserInteraction::chooseFile (request, [onChosen] (const juce::File& folder) { onChosen (folder); });
    };
}

ZOLAutoUpdate::ZOLAutoUpdate (GlobalConfiguration& configuration, int major, int minor, int revision)
    : ZOLAutoUpdate (configuration, major, minor, revision, Options())
{
}

ZOLAutoUpdate::~ZOLAutoUpdate()
{
    // A dialog that still shows one of the views only borrows it; it goes first.
    for (auto* view : { &information, static_cast<juce::Component*> (this) })
        if (auto* window = view->findParentComponentOfClass<juce::DialogWindow>())
            delete window;

    stopTimer (downloadTimer);
    stopTimer (fetchTimer);
    fetchThread.reset();
    downloadThread.reset();
}

void ZOLAutoUpdate::buildViews()
{
    setSize (progressWidth, progressHeight);
    information.setName ("Update Info");
    information.setSize (informationWidth, informationHeight);

    for (auto* label : { &informationLabel, &buttonLabel, &downloadLabel })
    {
        label->setEditable (false);
        label->setAlpha (1.0f);
        label->setColour (juce::Label::textColourId, juce::Colours::black);
        label->setJustificationType (juce::Justification::topLeft);
    }

    downloadLabel.setText ("Downloading update...", juce::dontSendNotification);
    downloadLabel.setBounds (20, 15, 360, 24);
    progressBar.setColour (juce::ProgressBar::foregroundColourId, juce::Colour (0xff3a7bd5));
    progressBar.setColour (juce::ProgressBar::backgroundColourId, juce::Colour (0xff9a9a9a));
    progressBar.setBounds (20, 50, 360, 24);
    progressCancelButton.setBounds (150, 95, 100, 28);
    addAndMakeVisible (downloadLabel);
    // Shown only while a download runs: a visible bar ticks every 30 ms, even
    // while nothing shows this component.
    addChildComponent (progressBar);
    addAndMakeVisible (progressCancelButton);

    informationLabel.setBounds (20, 15, 510, 90);
    notesEditor.setBounds (20, 110, 510, 270);
    notesEditor.setColour (juce::TextEditor::outlineColourId, juce::Colour (0xff000000));
    notesEditor.setColour (juce::TextEditor::backgroundColourId, juce::Colours::white);
    notesEditor.setColour (juce::TextEditor::textColourId, juce::Colours::black);
    notesEditor.setScrollbarsShown (true);
    notesEditor.setMultiLine (true, true);
    notesEditor.setReadOnly (true);
    buttonLabel.setBounds (20, 390, 510, 24);
    okPositionX = 330;
    okCenterPositionX = (informationWidth - 90) / 2;
    okButton.setBounds (okPositionX, 425, 90, 28);
    cancelButton.setBounds (440, 425, 90, 28);

    for (auto* child : std::initializer_list<juce::Component*>{ &informationLabel, &notesEditor, &buttonLabel,
                                                                &okButton, &cancelButton })
        information.addAndMakeVisible (child);

    for (auto* button : { &okButton, &cancelButton, &progressCancelButton })
        button->addListener (this);
}

void ZOLAutoUpdate::loadSettings()
{
    const auto folder = settings.readOtherKey ("AUTO_UPDATE_DIR");

    if (folder.isNotEmpty() && juce::File::isAbsolutePath (folder) && juce::File (folder).isDirectory())
    {
        installerFolder = juce::File (folder);
    }
    else
    {
        installerFolder = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
        settings.writeOtherKey ("AUTO_UPDATE_DIR", installerFolder.getFullPathName());
    }

    const auto skip = settings.readOtherKey ("AUTO_UPDATE_SKIP_CHECK", "0").trim();
    skipCheck = skip.getIntValue() != 0 || skip.startsWithIgnoreCase ("t") || skip.startsWithIgnoreCase ("y");
}

void ZOLAutoUpdate::checkForUpdate (bool manual, const juce::String& platform, std::function<void (int)> onResult)
{
    progressCancelButton.setEnabled (true);
    progressCancelButton.setAlpha (1.0f);
    onCheckResult = std::move (onResult);

    if ((skipCheck && ! manual) || feedAddress.isEmpty())
    {
        finishCheck (checkNothingToShow);
        return;
    }

    fetch (feedAddress, options.feedLimits,
           [this, platform] (bool fetched, const juce::MemoryBlock& data) { readFeed (fetched, data, platform); });
}

void ZOLAutoUpdate::fetch (const juce::String& address, const ZOLAutoUpdateDownloadThread::Limits& limits,
                           FetchDone then)
{
    fetchThread = std::make_unique<ZOLAutoUpdateDownloadThread> (juce::URL (address), limits);
    fetchDone = std::move (then);
    fetchThread->startThread();
    startTimer (fetchTimer, options.fetchPollMs);
}

void ZOLAutoUpdate::pollFetch()
{
    if (fetchThread == nullptr || fetchThread->isThreadRunning())
        return;

    stopTimer (fetchTimer);
    auto finished = std::move (fetchThread);
    auto then = std::move (fetchDone);

    if (then)
        then (finished->getResult() == ZOLAutoUpdateDownloadThread::resultDone, finished->getData());
}

void ZOLAutoUpdate::readFeed (bool fetched, const juce::MemoryBlock& data, const juce::String& platform)
{
    juce::String error;

    // A feed that did not arrive whole, or is not well-formed XML, offers
    // nothing, and is not taken for news that there is no update.
    if (! fetched || ! UpdateFeed::read (data, platform, feed, error))
    {
        finishCheck (checkUnreachable);
        return;
    }

    if (feed.isNewerThan (installedMajor, installedMinor, installedRevision))
        offerUpdate();
    else if (feed.endOfLife)
        showEndOfLifeNotice();
    else
        finishCheck (checkNothingToShow);
}

void ZOLAutoUpdate::withNotes (bool named, const juce::String& address, const juce::String& replacement,
                               std::function<void (const juce::String& notes)> then)
{
    if (! named)
    {
        then (replacement);
        return;
    }

    // Notes that cannot be fetched show as empty; an HTML page (a server's
    // error page, say) is not notes.
    fetch (address, { maxNotesBytes, options.feedLimits.stallTimeoutMs, options.feedLimits.totalTimeoutMs },
           [replacement, then] (bool fetched, const juce::MemoryBlock& data)
           {
               const auto text =
                   fetched ? juce::String::fromUTF8 (static_cast<const char*> (data.getData()), (int) data.getSize())
                           : juce::String();
               then (text.contains ("<html") ? replacement : text);
           });
}

void ZOLAutoUpdate::showEndOfLifeNotice()
{
    auto present = [this] (const juce::String& notes)
    {
        notesEditor.setText (notes, false);
        informationLabel.setText (feed.versionText() + " is the final version of " + productName +
                                      ". No future updates are planned.",
                                  juce::dontSendNotification);
        buttonLabel.setText ({}, juce::dontSendNotification);
        okButton.setTopLeftPosition (okCenterPositionX, okButton.getY());
        cancelButton.setVisible (false);
        showInformation (information,
                         [safe = juce::WeakReference<ZOLAutoUpdate> (this)] (bool)
                         {
                             if (safe != nullptr)
                                 safe->finishCheck (checkDeclined);
                         });
    };

    withNotes (feed.hasEndOfLifeNotes, feed.endOfLifeNotesUrl, "No notes available.", present);
}

bool ZOLAutoUpdate::isAllowedDownload (const juce::URL& url) const
{
    // The installer comes over HTTPS; only a process-wide plain-HTTP feed base
    // (a test program's own server; the settings cannot set one) lets its
    // installers come that way too. The signature is checked either way.
    const auto scheme = url.getScheme();
    return url.getDomain().isNotEmpty() &&
           (scheme == "https" || (scheme == "http" && juce::URL (feedAddress).getScheme() == "http"));
}

void ZOLAutoUpdate::offerUpdate()
{
    // (A juce::URL is never copy-assigned: that copies its empty post data
    // through a null pointer.)
    downloadAddress = isAllowedDownload (juce::URL (feed.downloadUrl)) ? feed.downloadUrl : juce::String();
    installerFileName = UpdateFeed::installerFileName (feed.downloadUrl);

    auto present = [this] (const juce::String& notes)
    {
        notesEditor.setText (notes, false);

        juce::String text;

        if (isProductWithHardware (productIndex))
            text << "IMPORTANT!\n"
                 << "Before clicking OK to install this update, please review the notes below to ensure your "
                    "hardware has the required firmware version!"
                 << "\n\n";

        text << "Version " << feed.versionText() << " is available. You have version " << installedMajor << "."
             << installedMinor << "." << installedRevision << " installed.";

        informationLabel.setText (text, juce::dontSendNotification);
        buttonLabel.setText ("Click OK to download and install the update.", juce::dontSendNotification);
        okButton.setTopLeftPosition (okPositionX, okButton.getY());
        cancelButton.setVisible (true);

        showInformation (information,
                         [safe = juce::WeakReference<ZOLAutoUpdate> (this)] (bool ok)
                         {
                             if (safe != nullptr)
                                 safe->finishCheck (! ok                       ? checkDeclined
                                                    : safe->feed.compatibility ? checkAccepted
                                                                               : checkManualInstall);
                         });
    };

    withNotes (feed.hasReleaseNotes, feed.releaseNotesUrl, "No release notes available.", present);
}

void ZOLAutoUpdate::finishCheck (int result)
{
    if (auto callback = std::move (onCheckResult))
        callback (result);
}

void ZOLAutoUpdate::closeInformation (int result)
{
    if (auto* window = information.findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState (result);
}

void ZOLAutoUpdate::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
        closeInformation (1);
    else if (button == &cancelButton)
        closeInformation (0);
    else if (button == &progressCancelButton)
        cancelDownload();
}

void ZOLAutoUpdate::startDownload (std::function<void (bool)> onStarted)
{
    chooseFolder (installerFolder,
                  [safe = juce::WeakReference<ZOLAutoUpdate> (this), onStarted] (const juce::File& chosen)
                  {
                      if (safe == nullptr)
                          return;

                      if (chosen == juce::File() || ! chosen.isDirectory())
                      {
                          if (onStarted)
                              onStarted (false);
                          return;
                      }

                      auto& self = *safe;
                      self.installerFolder = chosen;
                      self.settings.writeOtherKey ("AUTO_UPDATE_DIR", chosen.getFullPathName());
                      self.installerFile = chosen.getChildFile (self.installerFileName);

                      {
                          const juce::ScopedLock sl (self.resultLock);
                          self.downloadResult = 0;
                      }

                      self.progress = 0.0;
                      self.progressWasShowing = false;
                      self.downloadThread.reset();
                      self.downloadThread = std::make_unique<ZOLAutoUpdateDownloadThread> (
                          juce::URL (self.downloadAddress), self.installerFile, self.feed.signature,
                          self.getOfferedVersion(), self.options.publicKey, self.options.installerLimits);
                      self.downloadThread->startThread();
                      self.progressBar.setVisible (true);
                      self.startTimer (downloadTimer, self.options.downloadPollMs);

                      if (onStarted)
                          onStarted (true);
                  });
}

void ZOLAutoUpdate::cancelDownload()
{
    if (downloadThread != nullptr)
        downloadThread->cancel();
}

juce::File ZOLAutoUpdate::getInstallerFile() const
{
    return installerFile;
}

InstallerSignature::Version ZOLAutoUpdate::getOfferedVersion() const
{
    return { feed.major, feed.minor, feed.revision };
}

int ZOLAutoUpdate::getDownloadResult() const
{
    const juce::ScopedLock sl (resultLock);
    return downloadResult;
}

void ZOLAutoUpdate::pollDownload()
{
    if (downloadThread == nullptr)
    {
        stopTimer (downloadTimer);
        progressBar.setVisible (false);
        return;
    }

    progress = downloadThread->getProgress();

    // The user closed the dialog that showed the progress.
    if (progressWasShowing && ! isShowing() && ! information.isShowing())
        downloadThread->cancel();

    progressWasShowing = progressWasShowing || isShowing();

    if (downloadThread->isThreadRunning())
    {
        if (progress >= 1.0)
        {
            downloadLabel.setText ("Processing...", juce::dontSendNotification);
            progressCancelButton.setEnabled (false);
            progressCancelButton.setAlpha (0.3f);
        }

        return;
    }

    stopTimer (downloadTimer);
    progressBar.setVisible (false);

    if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState (0);

    {
        const juce::ScopedLock sl (resultLock);
        downloadResult = downloadThread->getResult();
    }

    sendChangeMessage();
}

void ZOLAutoUpdate::timerCallback (int timerId)
{
    if (timerId == fetchTimer)
        pollFetch();
    else if (timerId == downloadTimer)
        pollDownload();
}
