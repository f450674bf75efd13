#include "librarian/LibrarianWindows.h"

#include "app/dialogs/CabEasySetupDlg.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelContentComponent.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/BrakChangeWindow.h"
#include "librarian/BrowserChooserDlg.h"
#include "librarian/RawPresetDialogFollower.h"
#include "librarian/RawPresetThreadDlg.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UserNotifier.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/KestrelImageDepot.h"

#include <utility>

std::unique_ptr<juce::Component> LibrarianWindows::createPane (ContentPane pane, MainAppWindow* owner,
                                                               const SkinManager* skin)
{
    auto* configuration = KestrelGlobalConfiguration::getInstanceWithoutCreating();

    switch (pane)
    {
        case ContentPane::librarian: return std::make_unique<BankManagerListContent> (owner, skin);
        case ContentPane::browserChooser: return std::make_unique<BrowserChooserDlg> (owner, configuration, skin);
        case ContentPane::rawPreset: return std::make_unique<RawPresetThreadDlg> (skin);
        case ContentPane::exchangeWindow:
            return std::make_unique<BrakChangeWindow> (skin, KestrelControlManager::getInstanceWithoutCreating(),
                                                       configuration, KestrelImageDepot::getInstanceWithoutCreating());
        default: return nullptr;
    }
}

void LibrarianWindows::registerPanes()
{
    for (auto pane : { ContentPane::librarian, ContentPane::browserChooser, ContentPane::rawPreset,
                       ContentPane::exchangeWindow })
        KestrelContentComponent::setPaneCreator (pane, [pane] (MainAppWindow* owner, const SkinManager* skin)
                                                 { return createPane (pane, owner, skin); });
}

LibrarianWindows::LibrarianWindows (KestrelContentComponent& content)
    : librarian (content.getPaneAs<BankManagerListContent> (ContentPane::librarian))
    , browser (content.getPaneAs<BrowserChooserDlg> (ContentPane::browserChooser))
    , rawPresets (content.getPaneAs<RawPresetThreadDlg> (ContentPane::rawPreset))
    , exchange (content.getPaneAs<BrakChangeWindow> (ContentPane::exchangeWindow))
    , mainContent (&content)
    , cabSetup (content.getPaneAs<CabEasySetupDlg> (ContentPane::cabEasySetup))
{
    if (cabSetup != nullptr)
        cabSetup->addChangeListener (this);

    if (rawPresets != nullptr)
    {
        follower = std::make_unique<RawPresetDialogFollower> (*rawPresets);
        rawPresets->addChangeListener (this);
    }

    if (librarian != nullptr)
    {
        librarian->onExportToFiles = [this] (const juce::Array<int>& slots)
        {
            if (rawPresets != nullptr)
                rawPresets->open (RawPresetThreadDlg::exportMode, slots);
        };
        librarian->onFilesWritten = [this] (const juce::File& folder)
        {
            if (browser != nullptr && browser->isVisible() && browser->getFolder() == folder)
                browser->rescan();
        };
        librarian->onImportFromFiles = [this] (int firstSlot)
        {
            if (rawPresets != nullptr)
                rawPresets->open (RawPresetThreadDlg::importMode, { firstSlot });
        };
        librarian->onBrowseFolder = [this]
        {
            if (browser != nullptr)
                browser->open();
        };
        librarian->onCabSetup = [this] (const CabSetupInfo& setup, std::function<void (const CabSetupInfo&)> onConfirmed)
        {
            if (cabSetup == nullptr)
            {
                UserNotifier::inform ("The cab easy-setup dialog is not available in this version.");
                return;
            }

            onCabSetupConfirmed = std::move (onConfirmed);
            cabSetup->setSetupInfo (setup);
        };
    }

    if (browser != nullptr)
        browser->onCellsDropped = [this] (juce::Component* source)
        {
            if (librarian != nullptr && browser != nullptr)
                librarian->exportDraggedCells (source, browser->getFolder());
        };

    if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
        target->addPerformer (this);
}

LibrarianWindows::~LibrarianWindows()
{
    if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
        target->removePerformer (this);

    follower.reset();

    if (rawPresets != nullptr)
        rawPresets->removeChangeListener (this);

    if (cabSetup != nullptr)
        cabSetup->removeChangeListener (this);

    if (librarian != nullptr)
    {
        librarian->onCabSetup = nullptr;
        librarian->onExportToFiles = nullptr;
        librarian->onImportFromFiles = nullptr;
        librarian->onBrowseFolder = nullptr;
        librarian->onFilesWritten = nullptr;
    }

    if (browser != nullptr)
        browser->onCellsDropped = nullptr;
}

bool LibrarianWindows::ownsCommand (int commandId) const
{
    return commandId == managePresetsCommand || commandId == manageCabsCommand || commandId == exchangeCommand;
}

bool LibrarianWindows::performCommand (int commandId)
{
    if (commandId == exchangeCommand && exchange != nullptr)
    {
        exchange->open (mainContent.getComponent());
        return true;
    }

    if ((commandId == managePresetsCommand || commandId == manageCabsCommand) && librarian != nullptr)
    {
        librarian->open (commandId == manageCabsCommand);
        if (librarian->isShowing())
            librarian->grabKeyboardFocus();
        return true;
    }

    return false;
}

void LibrarianWindows::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (rawPresets != nullptr && source == static_cast<juce::ChangeBroadcaster*> (rawPresets.getComponent()))
    {
        // The presets window's status tells how the last transfer it opened ended.
        const int code = rawPresets->getChangeCode();
        if (code == RawPresetThreadDlg::codeTransferStarted)
            rawTransferRan = true;
        else if (code == RawPresetThreadDlg::codeClosed && std::exchange (rawTransferRan, false) && librarian != nullptr)
            librarian->showStatus (false, rawPresets->getStatusText());
        return;
    }

    if (cabSetup == nullptr || source != static_cast<juce::ChangeBroadcaster*> (cabSetup.getComponent()))
        return;

    const int code = cabSetup->getChangeCode();

    if (code != SkinnedOverlayDialog::codeConfirmed && code != SkinnedOverlayDialog::codeCancelled)
        return;

    // Taken before it runs: whatever it starts may open the dialog again.
    auto confirmed = std::exchange (onCabSetupConfirmed, nullptr);

    if (code == SkinnedOverlayDialog::codeConfirmed && confirmed)
        confirmed (cabSetup->getSetupInfo());
}
