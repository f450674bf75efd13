#include "librarian/LibrarianWindows.h"

#include "app/KestrelCommandTarget.h"
#include "app/KestrelContentComponent.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/BrakChangeWindow.h"
#include "librarian/BrowserChooserDlg.h"
#include "librarian/RawPresetDialogFollower.h"
#include "librarian/RawPresetThreadDlg.h"
#include "model/KestrelGlobalConfiguration.h"
#include "skin/KestrelControlManager.h"
#include "skin/KestrelImageDepot.h"

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
{
    if (rawPresets != nullptr)
        follower = std::make_unique<RawPresetDialogFollower> (*rawPresets);

    if (librarian != nullptr)
    {
        librarian->onExportToFiles = [this] (const juce::Array<int>& slots)
        {
            if (rawPresets != nullptr)
                rawPresets->open (RawPresetThreadDlg::exportMode, slots);
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
    }

    if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
        target->addPerformer (this);
}

LibrarianWindows::~LibrarianWindows()
{
    if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
        target->removePerformer (this);

    follower.reset();

    if (librarian != nullptr)
    {
        librarian->onExportToFiles = nullptr;
        librarian->onImportFromFiles = nullptr;
        librarian->onBrowseFolder = nullptr;
    }
}

bool LibrarianWindows::ownsCommand (int commandId) const
{
    return commandId == managePresetsCommand || commandId == manageCabsCommand || commandId == exchangeCommand;
}

bool LibrarianWindows::performCommand (int commandId)
{
    if (commandId == exchangeCommand && exchange != nullptr)
    {
        exchange->open();
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
