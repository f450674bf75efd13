#include "librarian/BrowserChooserDlg.h"

#include "librarian/LibrarianDiskEntry.h"
#include "model/FileUtils.h"
#include "model/GlobalConfiguration.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/engine/UserInteraction.h"
#include "skin/lists/ZolScrollableListCtrl.h"

namespace
{
constexpr int margin = 16;
constexpr int rowHeight = 26;
} // namespace

BrowserChooserDlg::BrowserChooserDlg (MainAppWindow* ownerWindow, GlobalConfiguration* config, const SkinManager* skin)
    : LibrarianDialog (skin, "BrowserDialog", { 232, 80, 560, 480 })
    , owner (ownerWindow)
    , configuration (config)
    , list (std::make_unique<ZolScrollableListCtrl> (0, 0, 10, 10))
{
    for (auto* label : { &titleLabel, &folderLabel, &statusLabel })
    {
        LibrarianStyle::styleLabel (*label, label == &titleLabel);
        addAndMakeVisible (*label);
    }
    titleLabel.setText ("Browse for Preset and Cab Files", juce::dontSendNotification);

    for (auto* button : { &folderButton, &addButton, &cancelButton })
    {
        LibrarianStyle::styleButton (*button);
        addAndMakeVisible (*button);
    }

    const auto* section = skin != nullptr ? skin->getSection ("BrowserDialog") : nullptr;
    subfoldersToggle = SkinWidgetReaders::createCheckBox (skin, section, "subfolders", "Include subfolders");
    if (section == nullptr || SkinAttributes::findWidget (*section, "subfolders") == nullptr)
    {
        subfoldersToggle->fontSize = 14;
        subfoldersToggle->setColour (juce::ToggleButton::textColourId, juce::Colour (LibrarianStyle::quietText));
    }
    subfoldersToggle->setColour (juce::ToggleButton::tickColourId, juce::Colour (LibrarianStyle::accent));
    subfoldersToggle->setToggleState (true, juce::dontSendNotification);
    subfoldersToggle->onClick = [this] { scan (folder, subfoldersToggle->getToggleState()); };
    addAndMakeVisible (*subfoldersToggle);

    folderButton.onClick = [this] { chooseFolder(); };
    addButton.onClick = [this] { closeWithResult (resultChosen); };
    cancelButton.onClick = [this] { closeWithResult (resultCancelled); };

    LibrarianStyle::styleList (*list, true);
    list->addChangeListener (this);
    addAndMakeVisible (*list);

    resized();
}

BrowserChooserDlg::~BrowserChooserDlg()
{
    stopTimer();
    list->removeChangeListener (this);
}

void BrowserChooserDlg::open()
{
    auto start = configuration != nullptr ? juce::File (configuration->getMruDirectory())
                                          : juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);

    chosen.clear();
    LibrarianStyle::enableDragging (*list, dragDescription, cellDragDescription);
    setVisible (true);
    toFront (true);
    scan (start, subfoldersToggle->getToggleState());
}

void BrowserChooserDlg::chooseFolder()
{
    FileRequest request;
    request.mode = FileRequest::Mode::folder;
    request.title = "Folder to browse";
    request.initial = folder;
    juce::Component::SafePointer<BrowserChooserDlg> self (this);
    UserInteraction::chooseFile (request,
                                 [self] (juce::File picked)
                                 {
                                     if (self != nullptr && picked != juce::File())
                                         self->scan (picked, self->subfoldersToggle->getToggleState());
                                 });
}

void BrowserChooserDlg::scan (const juce::File& newFolder, bool subfolders)
{
    // A scan under way is stopped; it ends between two files.
    worker.stopThread (5000);
    folder = newFolder;
    folderLabel.setText ("Folder: " + printableName (folder.getFullPathName()), juce::dontSendNotification);
    subfoldersToggle->setToggleState (subfolders, juce::dontSendNotification);
    // What the last folder held goes at once: the worker still has it.
    found.clear();
    records.clear();
    list->setItems ({});

    if (! folder.isDirectory())
    {
        statusLabel.setText ("The folder does not exist.", juce::dontSendNotification);
        return;
    }

    if (configuration != nullptr)
        configuration->MRU_DIRECTORY = folder.getFullPathName();

    statusLabel.setText ("Scanning...", juce::dontSendNotification);
    worker.startScan (folder, subfolders);
    startTimer (pollIntervalMs);
}

bool BrowserChooserDlg::isScanning() const
{
    return worker.isThreadRunning() || isTimerRunning();
}

void BrowserChooserDlg::timerCallback()
{
    const bool running = worker.isThreadRunning();
    takeFound();

    if (running)
        return;

    stopTimer();
    juce::String text;
    text << found.size() << " file(s) found";
    if (worker.reachedLimit())
        text << " (the scan stopped at " << BrowserWorkerThread::maxFiles << ")";

    // What the scan met but could not list is named, all of it in the tip.
    const auto unreadable = worker.getUnreadableNames();
    if (! unreadable.isEmpty())
    {
        juce::StringArray shown;
        for (int i = 0; i < juce::jmin (3, unreadable.size()); ++i)
            shown.add (unreadable[i]);
        text << "; not listed, as their names are not UTF-8 (rename them to list them): "
             << shown.joinIntoString (", ") << (unreadable.size() > shown.size() ? ", ..." : "");
    }

    statusLabel.setText (text, juce::dontSendNotification);
    statusLabel.setTooltip (unreadable.joinIntoString ("\n"));
}

void BrowserChooserDlg::takeFound (bool rebuild)
{
    auto latest = worker.getFound();

    if (! rebuild && latest.size() == found.size() && ! records.empty())
        return;

    found = latest;
    records.clear();
    records.resize ((size_t) found.size());
    juce::Array<ScrollableListItem*> items;

    for (int i = 0; i < found.size(); ++i)
    {
        auto& record = records[(size_t) i];
        record.number = LibrarianDiskEntry::shortKindText (found[i].type, found[i].readResult) + "  ";
        // A control character in a file's name is shown escaped, never drawn.
        record.name = printableName (found[i].file.getRelativePathFrom (folder));
        record.tooltip = LibrarianDiskEntry::kindText (found[i].type, found[i].readResult);
        record.italic = found[i].type == SYSEX_FILE_UNKNOWN;
        record.itemId = i + 1;
        record.acceptsFiles = false;
        items.add (&record);
    }

    list->setItems (items);
}

juce::String BrowserChooserDlg::getFoundText (int index) const
{
    if (! juce::isPositiveAndBelow (index, found.size()))
        return {};

    return found[index].file.getFileName() + " ("
           + LibrarianDiskEntry::kindText (found[index].type, found[index].readResult) + ")";
}

void BrowserChooserDlg::selectFound (const juce::Array<int>& indexes)
{
    for (int i = 0; i < list->getNumCells(); ++i)
        list->selectCell (i, indexes.contains (i), false, false);
}

juce::Array<juce::File> BrowserChooserDlg::getDraggedFiles (const juce::Component* source) const
{
    juce::Array<juce::File> files;
    auto* cell = dynamic_cast<const ScrollableListCell*> (source);

    if (cell == nullptr || findParentScrollableListCtrl (cell) != list.get())
        return files;

    juce::Array<ScrollableListCell*> cells;
    list->getSelectedCells (cells);

    for (auto* selected : cells)
        if (auto index = list->getCellIndex (selected); juce::isPositiveAndBelow (index, found.size()))
            files.add (found[index].file);

    return files;
}

void BrowserChooserDlg::changeListenerCallback (juce::ChangeBroadcaster*)
{
    if (LibrarianStyle::isDropFromElsewhere (*list, list->getChangeCode()) && onCellsDropped)
        onCellsDropped (list->getExternalDragSource());
}

bool BrowserChooserDlg::isInterestedInDragSource (const SourceDetails& details)
{
    return isEnabled() && details.description.toString() == cellDragDescription;
}

void BrowserChooserDlg::itemDropped (const SourceDetails& details)
{
    if (onCellsDropped && details.sourceComponent != nullptr)
        onCellsDropped (details.sourceComponent.get());
}

void BrowserChooserDlg::closeWithResult (int result)
{
    worker.stopThread (5000);
    stopTimer();
    takeFound();
    chosen.clear();

    if (result == resultChosen)
    {
        juce::Array<ScrollableListCell*> cells;
        list->getSelectedCells (cells);

        for (auto* cell : cells)
            if (auto index = list->getCellIndex (cell); juce::isPositiveAndBelow (index, found.size()))
                chosen.add (found[index].file);

        if (cells.isEmpty())
            for (auto& item : found)
                chosen.add (item.file);
    }

    setVisible (false);
    postChangeCode (result);
}

void BrowserChooserDlg::resized()
{
    auto area = getLocalBounds().reduced (margin);
    titleLabel.setBounds (area.removeFromTop (rowHeight + 4));
    area.removeFromTop (6);
    auto folderRow = area.removeFromTop (rowHeight);
    folderButton.setBounds (folderRow.removeFromRight (100));
    folderLabel.setBounds (folderRow.withTrimmedRight (8));
    area.removeFromTop (4);
    subfoldersToggle->setBounds (area.removeFromTop (rowHeight));
    area.removeFromTop (6);

    auto buttons = area.removeFromBottom (rowHeight + 4);
    cancelButton.setBounds (buttons.removeFromRight (90));
    buttons.removeFromRight (8);
    addButton.setBounds (buttons.removeFromRight (170));
    area.removeFromBottom (8);
    statusLabel.setBounds (area.removeFromBottom (rowHeight));
    area.removeFromBottom (4);
    list->setBounds (area);
    LibrarianStyle::fitCellsToWidth (*list);
    takeFound (true);
}
