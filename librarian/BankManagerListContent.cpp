// The librarian's window: its buttons, the two lists side by side with the bar
// between them, opening and closing, the cab easy setup, and what it hears
// from the lists, the disk browser and the preset manager.

#include "librarian/BankManagerListContent.h"

#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "app/dialogs/CabEasySetupDlg.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/MainAppWindow.h"
#include "device/wire/ModelRules.h"
#include "librarian/BrowserChooserDlg.h"
#include "model/UserNotifier.h"
#include "skin/window/ZOLWindowSplitter.h"
#include "skin/lists/ZolScrollableListCtrl.h"

#include <algorithm>
#include <utility>

namespace
{
constexpr int margin = 16;
constexpr int rowHeight = 26;
constexpr int presetNamesEnd = 17;
constexpr int cabNamesEnd = 19;
constexpr int cab1Block = 108;
constexpr int cab2Block = 109;
constexpr int listRenameRequest = 8;
constexpr int listRenamed = 9;
constexpr int listRightClickReleased = 10;
constexpr int listActivated = 2;
constexpr int listFilesDroppedBeside = 7;
constexpr int loadPresetEnd = 21;
// Cabs are not exported to files: their drags go nowhere but their own list.
constexpr const char* cabCellDragDescription = "Brak-Manage Cab";
// The narrowest the two sides become when the bar between them is moved.
constexpr int minimumUnitSide = 330;
constexpr int sendColumn = 150;
constexpr int minimumDiskSide = 330;
} // namespace

BankManagerListContent::BankManagerListContent (MainAppWindow* ownerWindow, const SkinManager* skin)
    : LibrarianDialog (skin, "BankManagerList", { 0, 0, 1024, 647 })
    , owner (ownerWindow)
    , unitList (std::make_unique<ZolScrollableListCtrl> (0, 0, 10, 10))
    , diskList (std::make_unique<ZolScrollableListCtrl> (0, 0, 10, 10))
{
    for (auto* label : { &titleLabel, &unitLabel, &diskLabel, &statusLabel })
    {
        LibrarianStyle::styleLabel (*label, label == &titleLabel);
        addAndMakeVisible (*label);
    }
    diskLabel.setText ("Files on disk", juce::dontSendNotification);

    for (auto* button : { &refreshButton, &exportButton, &importButton, &cabSetupButton, &addFilesButton,
                          &browseButton, &clearButton, &sendButton, &closeButton })
    {
        LibrarianStyle::styleButton (*button);
        addAndMakeVisible (*button);
    }

    refreshButton.onClick = [this]
    {
        if (! canReachUnit())
            return;
        if (auto* manager = getPresetManager())
            cabMode ? manager->requestCabNames (true, true, true) : manager->requestPresetNames (allPresets);
    };
    exportButton.onClick = [this]
    {
        if (onExportToFiles && canReachUnit())
            onExportToFiles (getSelectedUnitSlots());
    };
    importButton.onClick = [this]
    {
        auto slots = getSelectedUnitSlots();
        if (onImportFromFiles && canReachUnit())
            onImportFromFiles (slots.isEmpty() ? 0 : slots.getFirst());
    };
    cabSetupButton.onClick = [this]
    {
        if (! onCabSetup)
        {
            UserNotifier::inform ("The cab easy-setup dialog is not available in this version.");
            return;
        }

        if (! canReachUnit())
            return;

        juce::Component::SafePointer<BankManagerListContent> safeThis (this);
        onCabSetup (makeCabSetup(),
                    [safeThis] (const CabSetupInfo& setup)
                    {
                        if (safeThis != nullptr)
                            safeThis->applyCabSetup (setup);
                    });
    };
    addFilesButton.onClick = [this] { chooseFiles(); };
    browseButton.onClick = [this]
    {
        if (onBrowseFolder)
            onBrowseFolder();
    };
    clearButton.onClick = [this] { clearDiskEntries(); };
    sendButton.onClick = [this] { sendSelection(); };
    closeButton.onClick = [this] { requestClose(); };

    for (auto* list : { unitList.get(), diskList.get() })
    {
        LibrarianStyle::styleList (*list, true);
        addAndMakeVisible (*list);
    }
    unitList->addChangeListener (this);

    splitter = LibrarianStyle::makeSplitter (skin, "BankManagerList");
    splitter->addChangeListener (this);
    addAndMakeVisible (*splitter);

    resized();
}

BankManagerListContent::~BankManagerListContent()
{
    stopTimer();
    setPresetManager (nullptr);
    splitter->removeChangeListener (this);

    if (sending)
        setHolds (false);
}

void BankManagerListContent::setPresetManager (PresetManager* manager)
{
    if (presets != nullptr)
        presets->removeChangeListener (this);

    presets = manager;

    if (presets != nullptr)
        presets->addChangeListener (this);
}

PresetManager* BankManagerListContent::getPresetManager() const
{
    return presets != nullptr ? presets : PresetManager::getInstanceWithoutCreating();
}

void BankManagerListContent::open (bool cabs)
{
    if (! sending)
    {
        if (cabMode != cabs)
        {
            clearDiskEntries();

            // Each window keeps its own selection and status line.
            auto shown = WindowState{ getSelectedUnitSlots(), statusLabel.getText() };
            for (int i = 0; i < unitList->getNumCells(); ++i)
                unitList->selectCell (i, false, false, false);
            statusLabel.setText (otherWindow.status, juce::dontSendNotification);
            pendingSelection = otherWindow.selectedSlots;
            otherWindow = shown;
        }
        cabMode = cabs;
    }

    titleLabel.setText (cabMode ? "Brak-Manage Cabs" : "Brak-Manage Presets", juce::dontSendNotification);
    unitLabel.setText (cabMode ? "User cabs on the Kestrel" : "Presets on the Kestrel", juce::dontSendNotification);
    sendButton.setButtonText (cabMode ? "<< Send Cabs\nto Kestrel" : "<< Send Presets\nto Kestrel");
    LibrarianStyle::enableDragging (*unitList,
                                    cabMode ? cabCellDragDescription : BrowserChooserDlg::cellDragDescription,
                                    BrowserChooserDlg::dragDescription);
    exportButton.setVisible (! cabMode);
    importButton.setVisible (! cabMode);
    cabSetupButton.setVisible (cabMode);

    if (auto* manager = getPresetManager())
    {
        // The preset name list is made once the unit's preset count is known.
        const int presetCount = getPresetCount (manager->getFirmware());

        if (! cabMode && manager->getNumPresetNames() != juce::jmax (0, presetCount))
            manager->resetPresetList();

        // Every cab table at once, so that the user slots are numbered after
        // the factory ones.
        if (cabMode)
            manager->requestCabNames (true, true, true);
        else if (! manager->arePresetNamesLoaded (0, juce::jmax (1, presetCount)))
            manager->requestPresetNames (allPresets);
    }

    refreshUnitList();
    setVisible (true);
    toFront (true);
    resized();
    postChangeCode (codeOpened);
}

juce::Rectangle<int> BankManagerListContent::getUnitListBounds() const
{
    return unitList->getBounds();
}

juce::Rectangle<int> BankManagerListContent::getDiskListBounds() const
{
    return diskList->getBounds();
}

bool BankManagerListContent::refuseWhilePaused() const
{
    if (owner == nullptr || ! owner->isCommunicationPaused())
        return false;

    UserNotifier::inform (KestrelCommandTarget::communicationsPausedText());
    return true;
}

bool BankManagerListContent::canReachUnit() const
{
    auto* manager = getPresetManager();

    if (manager == nullptr || manager->getLink() == nullptr || ! manager->getLink()->isConnected())
    {
        UserNotifier::warn (notConnectedText);
        return false;
    }

    return ! refuseWhilePaused();
}

CabSetupInfo BankManagerListContent::makeCabSetup() const
{
    CabSetupInfo setup;
    setup.dontShow = cabSetupDontShow;
    auto* manager = getPresetManager();

    if (manager == nullptr)
        return setup;

    setup.presetNumber = juce::jmax (0, (int) manager->getCurrentPresetNumber()) + manager->getDisplayOffset();
    setup.presetName = manager->getCurrentPresetName().trimEnd();
    const int blocks[] = { cab1Block, cab2Block };

    for (int b = 0; b < 2; ++b)
    {
        int left = -1, right = -1;
        if (! manager->getCabBlockCabs (blocks[b], left, right, false))
            continue;

        const int cabs[] = { left, right };
        for (int side = 0; side < 2; ++side)
        {
            const auto location = b * 2 + side;
            juce::String name, label;
            setup.inUse[location] = cabs[side] >= 0;

            if (cabs[side] >= 0 && manager->getCabLabel (cabs[side], name, label))
                setup.cabText[location] = label + ": " + name;
        }
    }

    return setup;
}

bool BankManagerListContent::applyCabSetup (const CabSetupInfo& setup)
{
    cabSetupDontShow = setup.dontShow;
    auto* manager = getPresetManager();

    if (manager == nullptr)
        return false;

    // A cab parameter holds the flat cab number: factory cabs, then user
    // cabs, then the scratchpads. Until the unit has told its cab counts the
    // scratchpads cannot be addressed, and a guess would pick another cab.
    const int firstScratchpad = manager->getFirstScratchpadCabIndex();
    juce::Array<ParamWrite> writes;

    for (int location = 0; location < CabSetupInfo::locationCount; ++location)
    {
        const int target = setup.targets[location];

        if (setup.inUse[location] && target >= 0 && target < CabEasySetupDlg::scratchpadCount)
            writes.add ({ (juce::uint16) (location < 2 ? cab1Block : cab2Block), (juce::uint16) (location % 2 == 0 ? 0 : 2),
                          (juce::uint16) (firstScratchpad + target), 1 });
    }

    if (writes.isEmpty())
        return false;

    if (firstScratchpad <= 0 || ! manager->requestSetMultipleParams (writes))
    {
        UserNotifier::warn ("The cab locations could not be pointed at the scratchpads.\n"
                            "The unit is busy or has not reported its cab memory yet. Please try again.");
        return false;
    }

    return true;
}

void BankManagerListContent::requestClose()
{
    // A rename under way (the press on Close took the name being typed)
    // finishes without a question: nothing waits behind it.
    if (! sending || (current.diskIndex == renameOnly && queue.empty()))
    {
        close();
        return;
    }

    juce::Component::SafePointer<BankManagerListContent> self (this);
    askToCloseWhileRunning (closeWhileSendingText,
                            [self] (bool ok)
                            {
                                if (self == nullptr || ! ok)
                                    return;

                                if (! self->sending)
                                    self->close();
                                else
                                    self->closeWhenSent = true;
                            });
}

void BankManagerListContent::close()
{
    closeWhenSent = false;

    if (! isVisible())
        return;

    setVisible (false);
    postChangeCode (codeClosed);
}

void BankManagerListContent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == splitter.get())
    {
        resized();
        return;
    }

    if (source == unitList.get())
    {
        const int code = unitList->getChangeCode();
        if (code == listRightClickReleased)
            showUnitListMenu();
        else if (code == listActivated && ! cabMode)
            performListCommand (listLoad);
        else if (code == listRenameRequest && ! cabMode)
            performListCommand (listRename);
        else if (code == listRenamed)
            takeRenamedCell();
        else if (LibrarianStyle::isDropFromElsewhere (*unitList, code))
            sendDroppedFiles();
        else if (code == listFilesDroppedBeside)
            // Files from the desktop go to the disk side, wherever they land.
            filesDropped (unitList->getDroppedFiles(), 0, 0);
        return;
    }

    if (auto* browser = dynamic_cast<BrowserChooserDlg*> (source))
    {
        if (browser->getChangeCode() == BrowserChooserDlg::resultChosen)
            addFiles (browser->getChosenFiles());
        return;
    }

    auto* manager = dynamic_cast<PresetManager*> (source);

    if (manager == nullptr || manager != getPresetManager())
        return;

    const auto code = manager->getStatus();

    // What a Load made current is told once the window has read it; a Load
    // whose preset change failed ends with that (also while hidden).
    const auto& change = manager->getRequest (changePreset);
    if (loadingSlot >= 0 && code == loadPresetEnd && manager->getCurrentPresetNumber() == loadingSlot)
    {
        loadingSlot = -1;
        showStatus (false, "Loaded: " + loadingText);
    }
    else if (loadingSlot >= 0 && code == PresetManager::timeOutCode && ! change.isRunning()
             && change.getRunCount() != loadRuns && change.getResult() == ZolStateMachine::resultTimedOut)
    {
        loadingSlot = -1;
        showStatus (false, "Not loaded: " + loadingText + ". The Kestrel did not answer.");
    }

    if (! isVisible())
        return;

    if ((code == presetNamesEnd && ! cabMode) || (code == cabNamesEnd && cabMode))
        refreshUnitList();

    // A names reading that timed out leaves the list as it was: that is told.
    auto& names = manager->getRequest (cabMode ? refreshCabNames : refreshPresetNames);
    if (code == PresetManager::timeOutCode && ! names.isRunning()
        && names.getResult() == ZolStateMachine::resultTimedOut
        && std::exchange (namesRunTold, names.getRunCount()) != names.getRunCount())
    {
        const bool anyNamed = std::any_of (unitRecords.begin(), unitRecords.end(),
                                           [] (auto& record) { return record.name.isNotEmpty(); });
        statusLabel.setText (juce::String (cabMode ? "The cab names" : "The preset names")
                                 + " could not be read from the Kestrel"
                                 + (anyNamed ? "; the list shows those it had." : "."),
                             juce::dontSendNotification);
    }
}

void BankManagerListContent::resized()
{
    auto area = getLocalBounds().reduced (margin);
    auto top = area.removeFromTop (rowHeight + 6);
    closeButton.setBounds (top.removeFromRight (90).withSizeKeepingCentre (90, rowHeight));
    titleLabel.setBounds (top);
    area.removeFromTop (8);

    auto bottom = area.removeFromBottom (rowHeight);
    statusLabel.setBounds (bottom);
    area.removeFromBottom (8);

    auto [unitSide, otherSide] =
        LibrarianStyle::splitPanes (*splitter, area, minimumUnitSide, sendColumn + minimumDiskSide);
    auto middle = otherSide.removeFromLeft (sendColumn).reduced (10, 0);
    auto diskSide = otherSide;

    unitLabel.setBounds (unitSide.removeFromTop (rowHeight));
    auto unitButtons = unitSide.removeFromBottom (rowHeight);
    unitSide.removeFromBottom (8);
    unitList->setBounds (unitSide);
    LibrarianStyle::fitCellsToWidth (*unitList);
    refreshButton.setBounds (unitButtons.removeFromLeft (100));
    unitButtons.removeFromLeft (8);
    if (cabMode)
    {
        cabSetupButton.setBounds (unitButtons.removeFromLeft (120));
    }
    else
    {
        exportButton.setBounds (unitButtons.removeFromLeft (100));
        unitButtons.removeFromLeft (8);
        importButton.setBounds (unitButtons.removeFromLeft (100));
    }

    middle.removeFromTop (middle.getHeight() / 2 - rowHeight);
    sendButton.setBounds (middle.removeFromTop (rowHeight * 2));

    diskLabel.setBounds (diskSide.removeFromTop (rowHeight));
    auto diskButtons = diskSide.removeFromBottom (rowHeight);
    diskSide.removeFromBottom (8);
    diskList->setBounds (diskSide);
    LibrarianStyle::fitCellsToWidth (*diskList);
    addFilesButton.setBounds (diskButtons.removeFromLeft (110));
    diskButtons.removeFromLeft (8);
    browseButton.setBounds (diskButtons.removeFromLeft (130));
    clearButton.setBounds (diskButtons.removeFromRight (80));
    refreshUnitListCells();
    refreshDiskList();
}
