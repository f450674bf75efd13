#include "app/update/ProgramUpdateCheck.h"

#include "model/FileUtils.h"
#include "model/GlobalConfiguration.h"
#include "model/StartWithoutShell.h"
#include "model/UserNotifier.h"

#if JUCE_LINUX || JUCE_MAC || JUCE_BSD
#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{
// The start of the name of every folder a private copy is made in.
constexpr const char* copyFolderPrefix = "kestrel-installer";
} // namespace

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
    removeEarlierCopies();
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

juce::File ProgramUpdateCheck::writePrivateCopy (const juce::MemoryBlock& bytes, const juce::String& fileName)
{
    const auto base = juce::File::getSpecialLocation (juce::File::tempDirectory);

    if (fileName.isEmpty() || ! juce::File::isAbsolutePath (base.getFullPathName()))
        return {};

#if JUCE_LINUX || JUCE_MAC || JUCE_BSD
    // A folder made afresh, that only this user may enter (mkdtemp gives it
    // mode 0700): nobody else can put other bytes under the copy's name.
    auto pattern = base.getChildFile (juce::String (copyFolderPrefix) + "-XXXXXX").getFullPathName().toStdString();

    if (mkdtemp (pattern.data()) == nullptr)
        return {};

    const juce::File folder (juce::String::fromUTF8 (pattern.c_str()));
    const auto copy = folder.getChildFile (fileName);
    const int fd = ::open (copy.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         S_IRUSR | S_IWUSR);
    bool written = fd >= 0;

    for (size_t done = 0; written && done < bytes.getSize();)
    {
        const auto count = ::write (fd, static_cast<const char*> (bytes.getData()) + done, bytes.getSize() - done);

        if (count < 0 && errno == EINTR)
            continue;

        written = count > 0;
        done += written ? (size_t) count : 0;
    }

    // Made executable through the descriptor that wrote it, not by its name.
    written = written && fchmod (fd, S_IRWXU) == 0;

    if (fd >= 0)
        written = ::close (fd) == 0 && written;

    if (! written)
    {
        folder.deleteRecursively();
        return {};
    }

    return copy;
#else
    const auto folder = base.getNonexistentChildFile (copyFolderPrefix, {}, false);
    const auto copy = folder.getChildFile (fileName);

    if (! folder.createDirectory() || ! copy.replaceWithData (bytes.getData(), bytes.getSize()))
    {
        folder.deleteRecursively();
        return {};
    }

    return copy;
#endif
}

void ProgramUpdateCheck::removeEarlierCopies()
{
    const auto base = juce::File::getSpecialLocation (juce::File::tempDirectory);

    if (! juce::File::isAbsolutePath (base.getFullPathName()))
        return;

    for (const auto& entry : juce::RangedDirectoryIterator (base, false, juce::String (copyFolderPrefix) + "*",
                                                            juce::File::findDirectories))
    {
        const auto folder = entry.getFile();
#if JUCE_LINUX || JUCE_MAC || JUCE_BSD
        // Only a folder of this user's own, never a link or another's folder.
        struct stat info {};

        if (::lstat (folder.getFullPathName().toRawUTF8(), &info) != 0 || ! S_ISDIR (info.st_mode)
            || info.st_uid != ::getuid())
            continue;
#endif
        folder.deleteRecursively();
    }
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
            const auto copy = writePrivateCopy (verified, installer.getFileName());

            if (copy != juce::File() && startInstaller (copy))
            {
                if (closeProgram)
                    closeProgram();
            }
            else
            {
                if (copy != juce::File())
                    copy.getParentDirectory().deleteRecursively();

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
