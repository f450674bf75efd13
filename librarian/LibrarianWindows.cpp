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

LibrarianWindows::LibrarianWindows (KestrelContentComponent& contentComponent, const SkinManager* skin)
    : content (&contentComponent)
{
    auto* configuration = KestrelGlobalConfiguration::getInstanceWithoutCreating();

    librarian = std::make_unique<BankManagerListContent> (nullptr, skin);
    browser = std::make_unique<BrowserChooserDlg> (nullptr, configuration, skin);
    rawPresets = std::make_unique<RawPresetThreadDlg> (skin);
    follower = std::make_unique<RawPresetDialogFollower> (*rawPresets);
    exchange = std::make_unique<BrakChangeWindow> (skin, KestrelControlManager::getInstanceWithoutCreating(),
                                                   configuration, KestrelImageDepot::getInstanceWithoutCreating());

    librarian->onExportToFiles = [this] (const juce::Array<int>& slots)
    { rawPresets->open (RawPresetThreadDlg::exportMode, slots); };
    librarian->onImportFromFiles = [this] (int firstSlot)
    { rawPresets->open (RawPresetThreadDlg::importMode, { firstSlot }); };
    librarian->onBrowseFolder = [this] { browser->open(); };
    browser->addChangeListener (this);

    // The dialogs show above the librarian, the librarian above the editor.
    for (juce::Component* dialog : { (juce::Component*) librarian.get(), (juce::Component*) browser.get(),
                                     (juce::Component*) rawPresets.get() })
    {
        contentComponent.addChildComponent (dialog);
        dialog->setAlwaysOnTop (true);
    }

    using Outer = KestrelContentComponent::OuterDialog;
    contentComponent.addOuterDialog (Outer{ librarian.get(), [this] { librarian->requestClose(); }, true, true });
    contentComponent.addOuterDialog (
        Outer{ browser.get(), [this] { browser->closeWithResult (BrowserChooserDlg::resultCancelled); }, true, false });
    contentComponent.addOuterDialog (Outer{ rawPresets.get(), [this] { rawPresets->requestClose(); }, true, false });
    contentComponent.addOuterDialog (Outer{ exchange.get(), [this] { exchange->closeButtonPressed(); }, false, false });

    if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
        target->addPerformer (this);
}

LibrarianWindows::~LibrarianWindows()
{
    if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
        target->removePerformer (this);

    browser->removeChangeListener (this);

    if (content != nullptr)
        for (juce::Component* dialog : { (juce::Component*) librarian.get(), (juce::Component*) browser.get(),
                                         (juce::Component*) rawPresets.get(), (juce::Component*) exchange.get() })
            content->removeOuterDialog (dialog);

    exchange.reset();
    follower.reset();
    rawPresets.reset();
    browser.reset();
    librarian.reset();
}

bool LibrarianWindows::ownsCommand (int commandId) const
{
    return commandId == managePresetsCommand || commandId == manageCabsCommand || commandId == exchangeCommand;
}

bool LibrarianWindows::performCommand (int commandId)
{
    if (commandId == exchangeCommand)
    {
        exchange->open();
        return true;
    }

    if (commandId == managePresetsCommand || commandId == manageCabsCommand)
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
    if (source == browser.get() && browser->getChangeCode() == BrowserChooserDlg::resultChosen)
        librarian->addFiles (browser->getChosenFiles());
}
