#include "app/update/ProgramUpdateCheck.h"
#include "app/update/InstallerCopyFolder.h"

#include "model/FileUtils.h"
#include "model/GlobalConfiguration.h"
#include "model/StartWithoutShell.h"
#include "model/UserNotifier.h"

ProgramUpdateCheck::ProgramUpdateCheck (GlobalConfiguration& config, juce::Component* mainWindow,
                                        std::function<void()> close, const SkinManager* skinDocument)
    : configuration (config)
    , window (mainWindow)
    , closeProgram (std::move (close))
    , skin (skinDocument)
{
    showProgress = [this] (juce::Component& view)
    {
        juce::DialogWindow::LaunchOptions launch;
        launch.content.setNonOwned (&view);
        launch.dialogTitle = "Kestrel-Edit Update";
        launch.dialogBackgroundColour = juce::Colour (0xffd3d3d3);
        launch.escapeKeyTriggersCloseButton = true;
        launch.useNativeTitleBar = true;
        launch.resizable = false;
        launch.componentToCentreAround = window.getComponent();

        // Shown modally but not waited for; closing it cancels the download.
        progressDialog = launch.create();
        progressDialog->enterModalState (true, nullptr, true);
    };

    startInstaller = [] (const juce::File& installer) { return startWithoutShell (installer); };

    // An installer started by an earlier run has done its work by now (it
    // is what started this one, or it ended long ago).
    InstallerCopyFolder::removeEarlierCopies();
}

ProgramUpdateCheck::~ProgramUpdateCheck()
{
    closeProgressDialog();
}

void ProgramUpdateCheck::run (bool manual)
{
    if (! manual && ! configuration.CHECK_FOR_UPDATE)
        return;

    closeProgressDialog();
    updater = std::make_unique<ZOLAutoUpdate> (configuration, installedMajor, installedMinor, installedRevision,
                                               updaterOptions, skin);
    updater->addChangeListener (this);

    if (prepareUpdater)
        prepareUpdater (*updater);

    auto* checked = updater.get();
    updater->checkForUpdate (manual, {},
                             [this, checked, manual] (int result)
                             {
                                 if (updater.get() != checked)
                                     return;

                                 // A check at start-up stays silent, whatever became of it.
                                 if (result == ZOLAutoUpdate::checkNothingToShow && manual)
                                     UserNotifier::inform (noUpdateText, title);
                                 else if (result == ZOLAutoUpdate::checkUnreachable && manual)
                                     warn (unreachableText);
                                 else
                                     onCheckResult (result);
                             });
}

void ProgramUpdateCheck::onCheckResult (int result)
{
    if (result == ZOLAutoUpdate::checkManualInstall)
    {
        UserNotifier::inform (manualInstallText, title);
        return;
    }

    if (result != ZOLAutoUpdate::checkAccepted)
        return;

    showProgress (*updater);
    auto* offered = updater.get();
    updater->startDownload (
        [this, offered] (bool started)
        {
            if (! started && updater.get() == offered)
                closeProgressDialog();
        });
}

bool ProgramUpdateCheck::readVerified (const juce::File& installer, juce::MemoryBlock& bytes) const
{
    // The one reader of outside files: a regular file only, never more than
    // the limit, whatever its size claimed.
    return readRegularFile (installer, updaterOptions.installerLimits.maxBytes, bytes) == FileReadResult::read &&
           ! bytes.isEmpty() &&
           InstallerSignature::verifyInstaller (bytes, updater->getOfferedVersion(), updater->getInstallerSignature(),
                                                updater->getPublicKey());
}

bool ProgramUpdateCheck::startWithoutShell (const juce::File& installer)
{
    if (! installer.existsAsFile())
        return false;

    // The path goes to exec as one argument.
    return startProgramWithoutShell (juce::StringArray (installer.getFullPathName()));
}

void ProgramUpdateCheck::closeProgressDialog()
{
    // The dialog shows the updater without owning it; it goes first.
    if (auto* dialog = progressDialog.getComponent())
    {
        dialog->exitModalState (0);
        delete dialog;
    }
}

void ProgramUpdateCheck::warn (const juce::String& text)
{
    UserNotifier::show ({ Notice::Icon::warning, title, text, Notice::Buttons::ok, {} });
}

void ProgramUpdateCheck::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (updater == nullptr || source != updater.get())
        return;

    closeProgressDialog();

    switch (updater->getDownloadResult())
    {
        case ZOLAutoUpdateDownloadThread::resultDone:
        {
            const auto installer = updater->getInstallerFile();
            juce::MemoryBlock verified;

            // The saved installer is read and checked again: bytes changed in
            // its folder since the download are deleted, never run.
            if (! readVerified (installer, verified))
            {
                installer.deleteFile();
                warn (changedText);
                break;
            }

            // What starts is the copy of the very bytes just checked, in a
            // folder nobody else can write to, so a swap of the saved file
            // between the check and the start changes nothing.
            const auto copy = InstallerCopyFolder::writeCopy (verified, installer.getFileName());

            if (copy != juce::File() && startInstaller (copy))
            {
                if (closeProgram)
                    closeProgram();
            }
            else
            {
                if (copy != juce::File())
                    InstallerCopyFolder::removeCopy (copy);

                warn ("The installer could not be started:\n" + installer.getFullPathName());
            }
            break;
        }
        case ZOLAutoUpdateDownloadThread::resultCancelled: warn (canceledText); break;
        case ZOLAutoUpdateDownloadThread::resultDownloadError: warn (downloadErrorText); break;
        case ZOLAutoUpdateDownloadThread::resultRefused: warn (refusedText); break;
        case ZOLAutoUpdateDownloadThread::resultWriteFailed:
            warn ("The installer could not be saved to:\n" + updater->getInstallerFile().getFullPathName());
            break;
        default: break;
    }
}
