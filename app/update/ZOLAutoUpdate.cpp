#include "app/update/ZOLAutoUpdate.h"

#include "model/GlobalConfiguration.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/engine/UserInteraction.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLLabelComponent.h"

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
                              Options updateOptions, const SkinManager* skin)
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

    buildViews (skin);
    loadSettings();

    showInformation = [this] (juce::Component& info, std::function<void (bool)> onClosed)
    {
        juce::DialogWindow::LaunchOptions launch;
        launch.content.setNonOwned (&info);
        launch.dialogTitle = "Software Update";
        launch.dialogBackgroundColour = dialogBackground;
        launch.escapeKeyTriggersCloseButton = true;
        launch.useNativeTitleBar = true;
        launch.resizable = false;

        auto* window = launch.create();
        window->addKeyListener (this);
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

void ZOLAutoUpdate::buildViews (const SkinManager* skin)
{
    information.setName ("Update Info");

    if (! buildFromSkin (skin))
        buildPlainViews();

    setDownloadText ("Downloading update...");

    for (auto* button : { okButton.get(), cancelButton.get(), progressCancelButton.get() })
        if (button != nullptr)
            button->addListener (this);
}

bool ZOLAutoUpdate::buildFromSkin (const SkinManager* skin)
{
    const auto* section = skin != nullptr && skin->isLoaded() ? skin->getSection (skinSection) : nullptr;

    if (section == nullptr)
        return false;

    namespace SA = SkinAttributes;
    auto size = [section] (const char* name) { return SA::clampedInt (*section, name, 10000); };
    setSize (juce::jmax (0, size ("progressWidth")), juce::jmax (0, size ("progressHeight")));
    information.setSize (juce::jmax (0, size ("infoWidth")), juce::jmax (0, size ("infoHeight")));

    auto label = [skin] (const juce::XmlElement& widget, const juce::String& name)
    {
        std::unique_ptr<juce::Label> made = skin->createLabelComponent (&widget, name);
        made->setEditable (false);
        made->setAlpha (1.0f);
        return made;
    };

    auto button = [skin] (const juce::XmlElement& widget, const juce::String& name)
    {
        auto made = SkinWidgetReaders::createDrawableButton (*skin, &widget, name, nullptr, false);

        if (widget.hasAttribute ("labelText"))
            made->setLabelText (widget.getStringAttribute ("labelText"));

        return std::unique_ptr<juce::Button> (std::move (made));
    };

    for (auto* widget : section->getChildWithTagNameIterator ("Widget"))
    {
        const auto name = widget->getStringAttribute ("name");
        auto& w = *widget;

        if (name == "progressDownloadLabel")
        {
            downloadLabel = label (w, name);
            addAndMakeVisible (*downloadLabel);
        }
        else if (name == "progressBar")
        {
            progressBar = std::make_unique<juce::ProgressBar> (progress);
            progressBar->setName (name);
            progressBar->setColour (juce::ProgressBar::foregroundColourId, SA::colour (w, "foregroundColor"));
            progressBar->setColour (juce::ProgressBar::backgroundColourId, SA::colour (w, "backgroundColor"));
            progressBar->setBounds (SA::rectangle (w, "bounds"));
            // Shown only while a download runs: a visible bar ticks every
            // 30 ms, even while nothing shows this component.
            addChildComponent (*progressBar);
        }
        else if (name == "progressCancelButton")
        {
            progressCancelButton = button (w, name);
            addAndMakeVisible (*progressCancelButton);
        }
        else if (name == "infoLabel" || name == "infoButtonLabel")
        {
            auto& target = name == "infoLabel" ? informationLabel : buttonLabel;
            target = label (w, name);
            information.addAndMakeVisible (*target);
        }
        else if (name == "infoNotes")
        {
            notesEditor = std::make_unique<juce::TextEditor> (name);
            notesEditor->setBounds (SA::clampedInt (w, "positionX", 10000), SA::clampedInt (w, "positionY", 10000),
                                    juce::jmax (0, SA::clampedInt (w, "width", 10000)),
                                    juce::jmax (0, SA::clampedInt (w, "height", 10000)));
            notesEditor->setColour (juce::TextEditor::outlineColourId, juce::Colour (0xff000000));
            notesEditor->setScrollbarsShown (true);
            notesEditor->setIndents (4, 4);
            notesEditor->setBorder ({});
            notesEditor->setReadOnly (true);
            notesEditor->setMultiLine (true, true);
            information.addAndMakeVisible (*notesEditor);
        }
        else if (name == "infoNoCheckOnStartupToggle")
        {
            skipToggle = std::make_unique<juce::ToggleButton> (w.getStringAttribute ("text"));
            skipToggle->setName (name);
            skipToggle->setColour (juce::TextEditor::focusedOutlineColourId, SA::colour (w, "focusedOutlineColor"));
            skipToggle->setColour (juce::TextButton::buttonColourId, SA::colour (w, "buttonColor"));
            skipToggle->setBounds (SA::rectangle (w, "toggleRect"));
            // The update dialogs are light grey whatever the skin, so the
            // caption and the box are dark unless the skin says otherwise.
            const auto text = SA::colourOr (w, "fontColor", juce::Colour (0xff1c1d20));
            skipToggle->setColour (juce::ToggleButton::textColourId, text);
            skipToggle->setColour (juce::ToggleButton::tickColourId, text);
            skipToggle->setColour (juce::ToggleButton::tickDisabledColourId, text.withAlpha (0.6f));
            information.addAndMakeVisible (*skipToggle);
        }
        else if (name == "infoOkayButton" || name == "infoCancelButton")
        {
            auto& target = name == "infoOkayButton" ? okButton : cancelButton;
            target = button (w, name);
            information.addAndMakeVisible (*target);

            if (name == "infoOkayButton")
            {
                okPositionX = SA::clampedInt (w, "positionX", 10000);
                okCenterPositionX = SA::clampedInt (w, "centerPositionX", 10000);
            }
        }
    }

    return true;
}

void ZOLAutoUpdate::buildPlainViews()
{
    setSize (progressWidth, progressHeight);
    information.setSize (informationWidth, informationHeight);

    informationLabel = std::make_unique<juce::Label>();
    buttonLabel = std::make_unique<juce::Label>();
    downloadLabel = std::make_unique<juce::Label>();

    for (auto* label : { informationLabel.get(), buttonLabel.get(), downloadLabel.get() })
    {
        label->setEditable (false);
        label->setAlpha (1.0f);
        label->setColour (juce::Label::textColourId, juce::Colours::black);
        label->setJustificationType (juce::Justification::topLeft);
    }

    progressBar = std::make_unique<juce::ProgressBar> (progress);
    progressCancelButton = std::make_unique<juce::TextButton> ("Cancel");
    downloadLabel->setBounds (20, 15, 360, 24);
    progressBar->setColour (juce::ProgressBar::foregroundColourId, juce::Colour (0xff3a7bd5));
    progressBar->setColour (juce::ProgressBar::backgroundColourId, juce::Colour (0xff9a9a9a));
    progressBar->setBounds (20, 50, 360, 24);
    progressCancelButton->setBounds (150, 95, 100, 28);
    addAndMakeVisible (*downloadLabel);
    addChildComponent (*progressBar);
    addAndMakeVisible (*progressCancelButton);

    notesEditor = std::make_unique<juce::TextEditor>();
    okButton = std::make_unique<juce::TextButton> ("OK");
    cancelButton = std::make_unique<juce::TextButton> ("Cancel");
    informationLabel->setBounds (20, 15, 510, 90);
    notesEditor->setBounds (20, 110, 510, 270);
    notesEditor->setColour (juce::TextEditor::outlineColourId, juce::Colour (0xff000000));
    notesEditor->setColour (juce::TextEditor::backgroundColourId, juce::Colours::white);
    notesEditor->setColour (juce::TextEditor::textColourId, juce::Colours::black);
    notesEditor->setScrollbarsShown (true);
    notesEditor->setMultiLine (true, true);
    notesEditor->setReadOnly (true);
    buttonLabel->setBounds (20, 390, 510, 24);
    okPositionX = 330;
    okCenterPositionX = (informationWidth - 90) / 2;
    okButton->setBounds (okPositionX, 425, 90, 28);
    cancelButton->setBounds (440, 425, 90, 28);

    for (auto* child : std::initializer_list<juce::Component*>{ informationLabel.get(), notesEditor.get(),
                                                                buttonLabel.get(), okButton.get(), cancelButton.get() })
        information.addAndMakeVisible (child);
}

void ZOLAutoUpdate::setInformationText (const juce::String& text)
{
    informationText = text;
    if (informationLabel != nullptr)
        informationLabel->setText (text, juce::dontSendNotification);
}

void ZOLAutoUpdate::setNotesText (const juce::String& text)
{
    notesText = text;
    if (notesEditor != nullptr)
        notesEditor->setText (text, false);
}

void ZOLAutoUpdate::setDownloadText (const juce::String& text)
{
    downloadText = text;
    if (downloadLabel != nullptr)
        downloadLabel->setText (text, juce::dontSendNotification);
}

void ZOLAutoUpdate::setButtonText (const juce::String& text)
{
    if (buttonLabel != nullptr)
        buttonLabel->setText (text, juce::dontSendNotification);
}

// The toggle's state, when the skin has one, decides whether the next silent
// check at start-up runs.
void ZOLAutoUpdate::storeSkipCheck()
{
    if (skipToggle == nullptr)
        return;

    skipCheck = skipToggle->getToggleState();
    settings.writeOtherKey ("AUTO_UPDATE_SKIP_CHECK", skipCheck ? "1" : "0");
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

    if (skipToggle != nullptr)
        skipToggle->setToggleState (skipCheck, juce::dontSendNotification);
}

void ZOLAutoUpdate::checkForUpdate (bool manual, const juce::String& platform, std::function<void (int)> onResult)
{
    if (progressCancelButton != nullptr)
    {
        progressCancelButton->setEnabled (true);
        progressCancelButton->setAlpha (1.0f);
    }

    onCheckResult = std::move (onResult);
    checking = true;

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
    fetchThread->setOpener (options.opener);
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
        setNotesText (notes);
        setInformationText (feed.versionText() + " is the final version of " + productName +
                            ". No future updates are planned.");
        setButtonText ({});

        if (okButton != nullptr)
            okButton->setTopLeftPosition (okCenterPositionX, okButton->getY());
        if (cancelButton != nullptr)
            cancelButton->setVisible (false);

        showInformation (information,
                         [safe = juce::WeakReference<ZOLAutoUpdate> (this)] (bool)
                         {
                             if (safe != nullptr)
                                 safe->informationClosed (checkDeclined);
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
        setNotesText (notes);

        juce::String text;

        if (isProductWithHardware (productIndex))
            text << "IMPORTANT!\n"
                 << "Before clicking OK to install this update, please review the notes below to ensure your "
                    "hardware has the required firmware version!"
                 << "\n\n";

        text << "Version " << feed.versionText() << " is available. You have version " << installedMajor << "."
             << installedMinor << "." << installedRevision << " installed.";

        setInformationText (text);
        setButtonText ("Click OK to download and install the update.");

        if (okButton != nullptr)
            okButton->setTopLeftPosition (okPositionX, okButton->getY());
        if (cancelButton != nullptr)
            cancelButton->setVisible (true);

        showInformation (information,
                         [safe = juce::WeakReference<ZOLAutoUpdate> (this)] (bool ok)
                         {
                             if (safe != nullptr)
                                 safe->informationClosed (! ok                       ? checkDeclined
                                                          : safe->feed.compatibility ? checkAccepted
                                                                                     : checkManualInstall);
                         });
    };

    withNotes (feed.hasReleaseNotes, feed.releaseNotesUrl, "No release notes available.", present);
}

void ZOLAutoUpdate::finishCheck (int result)
{
    checking = false;

    if (auto callback = std::move (onCheckResult))
        callback (result);
}

// However the dialog closes (OK, Cancel, Escape or its close button), the
// toggle keeps what the user set.
void ZOLAutoUpdate::informationClosed (int result)
{
    storeSkipCheck();
    finishCheck (result);
}

bool ZOLAutoUpdate::keyPressed (const juce::KeyPress& key, juce::Component*)
{
    const bool onlyOk = cancelButton == nullptr || ! cancelButton->isVisible();

    if (key != juce::KeyPress::returnKey || ! onlyOk || ! information.isShowing())
        return false;

    closeInformation (1);
    return true;
}

void ZOLAutoUpdate::closeInformation (int result)
{
    if (auto* window = information.findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState (result);
}

void ZOLAutoUpdate::buttonClicked (juce::Button* button)
{
    if (button == okButton.get() || button == cancelButton.get())
        closeInformation (button == okButton.get() ? 1 : 0);
    else if (button == progressCancelButton.get())
    {
        cancelDownload();
    }
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
                      self.downloadThread->setOpener (self.options.opener);
                      self.downloadThread->startThread();
                      if (self.progressBar != nullptr)
                          self.progressBar->setVisible (true);
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
        if (progressBar != nullptr)
            progressBar->setVisible (false);
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
            setDownloadText ("Processing...");

            if (progressCancelButton != nullptr)
            {
                progressCancelButton->setEnabled (false);
                progressCancelButton->setAlpha (0.3f);
            }
        }

        return;
    }

    stopTimer (downloadTimer);
    if (progressBar != nullptr)
        progressBar->setVisible (false);

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
