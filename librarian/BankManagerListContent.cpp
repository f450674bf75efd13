#include "librarian/BankManagerListContent.h"

#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "app/dialogs/CabEasySetupDlg.h"
#include "app/host/CommandTables.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/MainAppWindow.h"
#include "device/wire/ModelRules.h"
#include "librarian/BrowserChooserDlg.h"
#include "librarian/SlotTexts.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/PromptCatalogue.h"
#include "model/UserNotifier.h"
#include "skin/engine/UserInteraction.h"
#include "skin/window/ZOLWindowSplitter.h"
#include "skin/lists/ZolScrollableListCtrl.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{
constexpr int margin = 16;
constexpr int rowHeight = 26;
constexpr int presetNamesEnd = 17;
constexpr int cabNamesEnd = 19;
constexpr int cab1Block = 108;
constexpr int cab2Block = 109;
constexpr int listSelectAll = 2100;
constexpr int listRename = 2101;
constexpr int listRenameRequest = 8;
constexpr int listRenamed = 9;
constexpr int presetNameLength = 32;
constexpr int listLoad = 2106;
constexpr int listImport = 2107;
constexpr int listExport = 2108;
constexpr int listRightClickReleased = 10;
constexpr int listActivated = 2;
constexpr int listFilesDroppedBeside = 7;
constexpr int loadPresetEnd = 21;
// Cabs are not exported to files: their drags go nowhere but their own list.
constexpr const char* cabCellDragDescription = "Brak-Manage Cab";
// The bank number that asks for the names of every preset at once.
constexpr juce::uint8 allPresets = 0x7F;
// The narrowest the two sides become when the bar between them is moved.
constexpr int minimumUnitSide = 330;
constexpr int sendColumn = 150;
constexpr int minimumDiskSide = 330;

// The framework's block comparison hands memcmp the null data of an empty block.
bool sameBytes (const juce::MemoryBlock& a, const juce::MemoryBlock& b)
{
    return a.getSize() == b.getSize() && (a.isEmpty() || std::memcmp (a.getData(), b.getData(), a.getSize()) == 0);
}

bool holdTheSame (const LibrarianDiskEntry& a, const LibrarianDiskEntry& b)
{
    return a.fileType == b.fileType && a.readResult == b.readResult && a.model == b.model
           && a.positionInFile == b.positionInFile && a.name == b.name && sameBytes (a.data, b.data)
           && a.damaged == b.damaged;
}
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

//==============================================================================
juce::String BankManagerListContent::slotText (int slot) const
{
    auto* manager = getPresetManager();
    const int offset = manager != nullptr ? manager->getDisplayOffset() : 0;
    return presetSlotNumber (slot, offset);
}

void BankManagerListContent::refreshUnitList()
{
    unitRecords.clear();
    unitSlots.clear();
    auto* manager = getPresetManager();

    if (manager != nullptr)
    {
        if (cabMode)
        {
            juce::StringArray names;
            juce::Array<juce::uint16> slots;
            manager->getCabNames (true, names, slots);

            for (int i = 0; i < names.size(); ++i)
                unitSlots.add (slots[i]);

            unitRecords.resize ((size_t) names.size());
            for (int i = 0; i < names.size(); ++i)
            {
                juce::String name, label;
                manager->getCabLabel (slots[i], name, label);
                unitRecords[(size_t) i].number = label + "  ";
                unitRecords[(size_t) i].name = names[i];
            }
        }
        else
        {
            const int count = juce::jmax (0, getPresetCount (manager->getFirmware()));
            unitRecords.resize ((size_t) count);

            for (int slot = 0; slot < count; ++slot)
            {
                juce::String name;
                manager->getPresetName (slot, name);
                unitRecords[(size_t) slot].number = slotText (slot) + "  ";
                unitRecords[(size_t) slot].name = name;
                unitSlots.add (slot);
            }
        }
    }

    refreshUnitListCells();

    // Names still on their way are no sign of a lost connection.
    const bool connected = manager != nullptr && manager->getLink() != nullptr && manager->getLink()->isConnected();
    if (! connected && unitRecords.empty())
        statusLabel.setText (notConnectedText, juce::dontSendNotification);
    else if (statusLabel.getText() == notConnectedText)
        statusLabel.setText ({}, juce::dontSendNotification);
}

void BankManagerListContent::refreshUnitListCells()
{
    // The selection survives a rebuild of the same slots; a window shown
    // again takes back its own once its slots are listed.
    auto selected = getSelectedUnitSlots();
    if (! unitRecords.empty() && ! pendingSelection.isEmpty())
        selected = std::exchange (pendingSelection, {});
    juce::Array<ScrollableListItem*> records;

    for (size_t i = 0; i < unitRecords.size(); ++i)
    {
        unitRecords[i].itemId = (int) i + 1;
        unitRecords[i].acceptsFiles = false;
        unitRecords[i].hasRenameSettings = true;
        unitRecords[i].renamable = ! cabMode;
        unitRecords[i].maxNameLength = presetNameLength;
        records.add (&unitRecords[i]);
    }

    unitList->setItems (records);

    for (auto slot : selected)
        if (auto index = unitSlots.indexOf (slot); index >= 0 && index < unitList->getNumCells())
            unitList->selectCell (index, true, false, false);
}

void BankManagerListContent::showStatus (bool cabs, const juce::String& text)
{
    if (cabs == cabMode)
        statusLabel.setText (text, juce::dontSendNotification);
    else
        otherWindow.status = text;
}

juce::String BankManagerListContent::getUnitEntryText (int index) const
{
    if (! juce::isPositiveAndBelow (index, (int) unitRecords.size()))
        return {};

    return slotEntryText (unitRecords[(size_t) index].number, unitRecords[(size_t) index].name);
}

//==============================================================================
void BankManagerListContent::addFiles (const juce::Array<juce::File>& files)
{
    for (auto& file : files)
        for (auto& entry : LibrarianDiskEntry::read (file))
            diskEntries.push_back (std::move (entry));

    refreshDiskList();
}

void BankManagerListContent::clearDiskEntries()
{
    if (sending)
        return;

    diskEntries.clear();
    refreshDiskList();
}

void BankManagerListContent::refreshDiskList()
{
    diskRecords.clear();
    diskRecords.resize (diskEntries.size());
    juce::Array<ScrollableListItem*> records;

    for (size_t i = 0; i < diskEntries.size(); ++i)
    {
        auto& entry = diskEntries[i];
        auto& record = diskRecords[i];
        const bool usable = cabMode ? entry.isCab() : entry.isPreset();
        record.number = juce::String ((int) i + 1) + "  ";
        record.name = entry.name;
        record.tooltip = entry.describe();
        record.italic = ! usable;
        record.itemId = (int) i + 1;
        record.dragEnabled = false;
        records.add (&record);
    }

    // The selection survives a rebuild, as far as its entries still exist.
    auto selected = getSelectedDiskEntries();
    diskList->setItems (records);

    for (auto index : selected)
        if (index < diskList->getNumCells())
            diskList->selectCell (index, true, false, false);
}

juce::Rectangle<int> BankManagerListContent::getUnitListBounds() const
{
    return unitList->getBounds();
}

juce::Rectangle<int> BankManagerListContent::getDiskListBounds() const
{
    return diskList->getBounds();
}

void BankManagerListContent::chooseFiles()
{
    FileRequest request;
    request.mode = FileRequest::Mode::openMultiple;
    request.title = cabMode ? "Cab files" : "Preset files";
    request.patterns = "*.syx";

    // The folder files were last imported from, the documents folder at first.
    auto* configuration = KestrelGlobalConfiguration::getInstanceWithoutCreating();
    juce::String folder = configuration != nullptr ? configuration->MRU_DIR_IMPORT : juce::String();
    GlobalConfiguration::validateFolder (folder);
    request.initial = juce::File (folder);

    juce::Component::SafePointer<BankManagerListContent> self (this);
    UserInteraction::chooseFiles (request,
                                  [self] (juce::Array<juce::File> files)
                                  {
                                      if (self == nullptr || files.isEmpty())
                                          return;
                                      if (auto* settings = KestrelGlobalConfiguration::getInstanceWithoutCreating())
                                          settings->MRU_DIR_IMPORT = files.getFirst().getParentDirectory().getFullPathName();
                                      self->addFiles (files);
                                  });
}

bool BankManagerListContent::isInterestedInFileDrag (const juce::StringArray& files)
{
    for (auto& name : files)
        if (name.endsWithIgnoreCase (".syx"))
            return true;

    return false;
}

void BankManagerListContent::filesDropped (const juce::StringArray& files, int, int)
{
    juce::Array<juce::File> chosen;
    for (auto& name : files)
        if (name.endsWithIgnoreCase (".syx"))
            chosen.add (juce::File (name));

    addFiles (chosen);
}

//==============================================================================
void BankManagerListContent::selectDiskEntries (const juce::Array<int>& indexes)
{
    for (int i = 0; i < diskList->getNumCells(); ++i)
        diskList->selectCell (i, indexes.contains (i), false, false);
}

void BankManagerListContent::selectUnitEntry (int index)
{
    if (juce::isPositiveAndBelow (index, unitList->getNumCells()))
        unitList->selectCell (index, true, true, false);
}

juce::Array<int> BankManagerListContent::getSelectedDiskEntries() const
{
    juce::Array<int> indexes;
    juce::Array<ScrollableListCell*> cells;
    diskList->getSelectedCells (cells);

    for (auto* cell : cells)
        indexes.add (diskList->getCellIndex (cell));

    indexes.sort();
    return indexes;
}

juce::Array<int> BankManagerListContent::getSelectedUnitSlots() const
{
    juce::Array<int> slots;
    juce::Array<ScrollableListCell*> cells;
    unitList->getSelectedCells (cells);

    for (auto* cell : cells)
    {
        auto index = unitList->getCellIndex (cell);
        if (juce::isPositiveAndBelow (index, unitSlots.size()))
            slots.add (unitSlots[index]);
    }

    slots.sort();
    return slots;
}

void BankManagerListContent::sendSelection()
{
    auto entries = getSelectedDiskEntries();
    auto slots = getSelectedUnitSlots();

    if (entries.isEmpty() || slots.isEmpty())
    {
        UserNotifier::inform (cabMode ? "Choose the cabs on disk and the first user cab slot to replace."
                                      : "Choose the presets on disk and the first preset slot to replace.");
        return;
    }

    // What is sent is what the files hold now, not what they held when listed.
    if (rereadFiles (entries))
        selectDiskEntries (entries);

    // What cannot be sent is told first: the question names only what is sent.
    if (! canSend (entries))
        return;

    const int firstSlot = slots.getFirst();
    const int index = unitSlots.indexOf (firstSlot);
    const int fitting = juce::jmin (entries.size(), unitSlots.size() - index);
    const int lastIndex = index + fitting - 1;
    juce::StringArray names, fileNames;
    bool anyHeld = false;
    for (int i = 0; i < fitting; ++i)
    {
        auto& entry = diskEntries[(size_t) entries[i]];
        names.add (entry.name);
        fileNames.add (entry.file.getFileName());
        // A preset slot whose name is not read yet may hold anything.
        anyHeld = anyHeld || ! isEmptySlotName (unitRecords[(size_t) (index + i)].name)
                  || (! cabMode && ! getPresetManager()->arePresetNamesLoaded (unitSlots[index + i], 1));
    }
    auto question = replaceSlotsQuestion (fitting, cabMode, getUnitEntryText (index), getUnitEntryText (lastIndex),
                                          sentItemsText (cabMode, names, fileNames), anyHeld);
    if (entries.size() > fitting)
        question << "\n" << (entries.size() - fitting) << (cabMode ? " cab(s)" : " preset(s)")
                 << " after the last slot are left out.";
    // Each preset sent is loaded on the unit, and the preset being edited is
    // read again afterwards: its unsaved changes would go without a word.
    if (! cabMode && getPresetManager()->isPresetModified())
        question << "\n\n" << promptText (PROMPT_PRESET_MODIFIED);

    juce::Component::SafePointer<BankManagerListContent> self (this);
    UserNotifier::askOkCancel (question,
                               [self, entries, firstSlot] (bool ok)
                               {
                                   if (self != nullptr && ok)
                                       self->sendEntries (entries, firstSlot);
                               });
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

bool BankManagerListContent::canSend (const juce::Array<int>& diskIndexes) const
{
    auto* manager = getPresetManager();

    if (! canReachUnit())
        return false;

    const int unitModel = manager->getConnectedModel();
    auto modelName = [] (int model)
    {
        auto name = getNameForId (ModelNames, (juce::uint32) model);
        return name.isNotEmpty() ? name : "Model " + juce::String (model);
    };

    // Every entry must be of the kind this side manages, and for the
    // connected model, before anything is sent.
    for (auto i : diskIndexes)
    {
        if (! juce::isPositiveAndBelow (i, (int) diskEntries.size()))
            return false;

        auto& entry = diskEntries[(size_t) i];
        const auto fileName = entry.file.getFileName();
        auto refuse = [&entry] (const juce::String& why)
        {
            UserNotifier::warn ("Unable to send \"" + entry.name + "\".\n" + why + "\nNothing was sent to the Kestrel.");
            return false;
        };

        if (entry.readResult != FileReadResult::read)
            return refuse ("The file " + fileName + " is "
                           + LibrarianDiskEntry::kindText (entry.fileType, entry.readResult)
                           + (entry.readResult == FileReadResult::tooLarge
                                  ? " (more than " + juce::String (LibrarianDiskEntry::largestFileBytes >> 20) + " MB)."
                                  : "."));

        if (entry.damaged)
            return refuse ("It is damaged in the file " + fileName + ".");

        if (cabMode ? ! entry.isCab() : ! entry.isPreset())
            return refuse ("The file " + fileName + " is a " + getSysExFileTypeText (entry.fileType) + ", not a "
                           + (cabMode ? "cab." : "preset."));

        bool needsConversion = false;
        const char* what = cabMode ? "a cab" : "a preset";

        if (! (cabMode ? isCabTransferable (unitModel, entry.model, needsConversion)
                       : isPresetTransferable (unitModel, entry.model, needsConversion)))
            return refuse ("The file " + fileName + " holds " + what + " for the " + modelName (entry.model)
                           + ", which the " + modelName (unitModel) + " cannot take.");

        // Presets are converted on the way where a conversion is known; no
        // cab conversion is.
        juce::MemoryBlock converted (entry.data);
        if (needsConversion && (cabMode || ! manager->convertPatchDumpForModel (converted)))
            return refuse ("The file " + fileName + " holds " + what + " for the " + modelName (entry.model)
                           + ", which the " + modelName (unitModel)
                           + " takes only converted, and Kestrel-Edit has no such conversion.");
    }

    return true;
}

bool BankManagerListContent::rereadFiles (juce::Array<int>& diskIndexes)
{
    // What is being sent is queued by its place in the list, which stays.
    if (sending)
        return false;

    std::vector<LibrarianDiskEntry> listed;
    juce::Array<int> indexes;
    bool changed = false;

    // The entries of one file, added at once, follow each other from its first.
    for (size_t start = 0, end = 0; start < diskEntries.size(); start = end)
    {
        const auto file = diskEntries[start].file;
        end = start + 1;
        while (end < diskEntries.size() && diskEntries[end].file == file
               && diskEntries[end].positionInFile == diskEntries[end - 1].positionInFile + 1)
            ++end;

        juce::Array<int> chosen;
        for (auto i : diskIndexes)
            if (i >= (int) start && i < (int) end)
                chosen.add (i);

        auto now = chosen.isEmpty() ? std::vector<LibrarianDiskEntry>() : LibrarianDiskEntry::read (file);
        const bool same = chosen.isEmpty()
                          || std::equal (now.begin(), now.end(), diskEntries.begin() + (std::ptrdiff_t) start,
                                         diskEntries.begin() + (std::ptrdiff_t) end, holdTheSame);

        if (same)
        {
            for (auto i : chosen)
                indexes.add ((int) listed.size() + i - (int) start);
            listed.insert (listed.end(), diskEntries.begin() + (std::ptrdiff_t) start,
                           diskEntries.begin() + (std::ptrdiff_t) end);
            continue;
        }

        changed = true;
        for (auto& entry : now)
        {
            indexes.add ((int) listed.size());
            listed.push_back (std::move (entry));
        }
    }

    if (! changed)
        return false;

    diskEntries = std::move (listed);
    diskIndexes = indexes;
    refreshDiskList();
    return true;
}

bool BankManagerListContent::sendEntries (const juce::Array<int>& diskIndexes, int firstSlot)
{
    int index = unitSlots.indexOf (firstSlot);

    if (sending || index < 0)
        return false;

    for (auto i : diskIndexes)
        if (! juce::isPositiveAndBelow (i, (int) diskEntries.size()))
            return false;

    // A file that changed since its entries were listed (after the question,
    // on the send button's road) is listed anew: what it holds now is refused
    // as any other entry is, or the user is told it was not what was asked.
    auto now = diskIndexes;
    const bool changed = rereadFiles (now);
    if (changed)
        selectDiskEntries (now);

    if (! canSend (now))
        return false;

    if (changed)
    {
        UserNotifier::warn ("A file changed on disk after you were asked; the list shows what it holds now.\n"
                            "Nothing was sent to the Kestrel.");
        return false;
    }

    queue.clear();
    leftOut = 0;
    for (auto i : diskIndexes)
    {
        if (index >= unitSlots.size())
            ++leftOut;
        else
            queue.push_back ({ unitSlots[index++], i, diskEntries[(size_t) i].name.substring (0, presetNameLength) });
    }

    return startTransfers();
}

void BankManagerListContent::sendDroppedFiles()
{
    auto* source = unitList->getExternalDragSource();
    auto* browser = source != nullptr ? source->findParentComponentOfClass<BrowserChooserDlg>() : nullptr;
    const auto files = browser != nullptr ? browser->getDraggedFiles (source) : juce::Array<juce::File>();
    const int target = unitList->getDropTargetIndex();

    if (sending || files.isEmpty() || ! juce::isPositiveAndBelow (target, unitSlots.size()))
        return;

    // The files already on the disk side are not listed twice.
    juce::Array<juce::File> unlisted;
    for (auto& file : files)
        if (std::none_of (diskEntries.begin(), diskEntries.end(), [&file] (auto& entry) { return entry.file == file; }))
            unlisted.add (file);
    addFiles (unlisted);

    juce::Array<int> entries;
    for (auto& file : files)
        for (size_t i = 0; i < diskEntries.size(); ++i)
            if (diskEntries[i].file == file)
                entries.addIfNotAlreadyThere ((int) i);

    selectDiskEntries (entries);
    selectUnitEntry (target);
    sendSelection();
}

bool BankManagerListContent::exportDraggedCells (const juce::Component* source, const juce::File& folder)
{
    auto* cell = dynamic_cast<const ScrollableListCell*> (source);

    auto* manager = getPresetManager();

    if (cabMode || sending || cell == nullptr || findParentScrollableListCtrl (cell) != unitList.get())
        return false;

    auto slots = getSelectedUnitSlots();
    if (slots.isEmpty() || ! folder.isDirectory())
        return false;

    if (manager == nullptr || ! canReachUnit())
        return false;

    queue.clear();
    leftOut = 0;
    exportFolder = folder;
    for (auto slot : slots)
        queue.push_back ({ slot, writeToFile, unitRecords[(size_t) unitSlots.indexOf (slot)].name });

    return startTransfers();
}

bool BankManagerListContent::renamePreset (int slot, const juce::String& newName)
{
    auto* manager = getPresetManager();

    if (sending || cabMode || ! unitSlots.contains (slot) || manager == nullptr || ! canReachUnit())
        return false;

    auto rename = [this, slot, name = newName.substring (0, presetNameLength)]
    {
        queue.clear();
        leftOut = 0;
        queue.push_back ({ slot, renameOnly, name });
        return startTransfers();
    };

    // A rename loads the slot on the unit too.
    return whenEditsMayGo (rename, [this] { refreshUnitListCells(); });
}

bool BankManagerListContent::whenEditsMayGo (std::function<bool()> action, std::function<void()> notDone)
{
    auto* manager = getPresetManager();

    if (manager == nullptr || ! manager->isPresetModified())
    {
        if (action())
            return true;
        notDone();
        return false;
    }

    // Unsaved changes go only when the user agrees.
    juce::Component::SafePointer<BankManagerListContent> self (this);
    UserNotifier::askOkCancel (promptText (PROMPT_PRESET_MODIFIED),
                               [self, action, notDone] (bool ok)
                               {
                                   if (self != nullptr && (! ok || self->sending || ! action()))
                                       notDone();
                               });
    return true;
}

bool BankManagerListContent::loadPreset (int slot)
{
    if (sending || cabMode || ! unitSlots.contains (slot) || ! canReachUnit())
        return false;

    // The window's own road: the unit reports the new preset, and the
    // window reads it and shows it.
    auto load = [this, slot]
    {
        auto* manager = getPresetManager();
        if (manager == nullptr || ! manager->choosePreset ((juce::uint16) slot))
            return false;
        loadingSlot = slot;
        statusLabel.setText ("Loading " + getUnitEntryText (unitSlots.indexOf (slot)) + "...",
                             juce::dontSendNotification);
        return true;
    };

    return whenEditsMayGo (load, [] {});
}

void BankManagerListContent::takeRenamedCell()
{
    // The cell whose text no longer matches its record is the one renamed.
    for (int i = 0; i < unitList->getNumCells() && i < (int) unitRecords.size(); ++i)
        if (auto* cell = unitList->getCell (i); cell != nullptr && cell->getNameText() != unitRecords[(size_t) i].name)
        {
            auto newName = cell->getNameText().trim();

            if (newName.isEmpty() || ! renamePreset (unitSlots[i], newName))
                refreshUnitListCells();
            return;
        }
}

bool BankManagerListContent::startTransfers()
{
    sending = true;
    sentCount = 0;
    failure.clear();
    setHolds (true);
    startTimer (pollIntervalMs);

    if (! startNext())
    {
        endSending();
        return false;
    }

    return true;
}

bool BankManagerListContent::startNext()
{
    auto* manager = getPresetManager();

    if (queue.empty() || manager == nullptr)
        return false;

    auto transfer = queue.front();
    queue.pop_front();
    current = transfer;
    const auto* data = transfer.diskIndex >= 0 ? &diskEntries[(size_t) transfer.diskIndex].data : nullptr;
    bool started = false;
    int bank = 0, program = 0;

    if (transfer.diskIndex == writeToFile)
        // "Get Preset Data": the stored preset's dump, read without loading it.
        started = manager->getPresetLocation (transfer.slot, bank, program)
                  && manager->requestFileOperation ((juce::uint8) bank, (juce::uint8) program, 2);
    else if (cabMode)
        // The list holds flat cab numbers; the upload names its slot among the user cabs.
        started = data != nullptr && transfer.slot >= (int) manager->getNumFactoryCabs()
                  && manager->requestImportUserCab ((juce::uint16) (transfer.slot - manager->getNumFactoryCabs()), *data);
    else
        started = manager->requestManagePreset (transfer.slot, data, &transfer.name);

    if (! started)
    {
        failure = "The Kestrel refused \"" + transfer.name + "\"";
        return false;
    }

    presetRecalled = presetRecalled || (! cabMode && transfer.diskIndex != writeToFile);

    const char* doing = data != nullptr                       ? "Sending \""
                        : transfer.diskIndex == writeToFile ? "Reading \""
                                                            : "Renaming to \"";
    statusLabel.setText (doing + transfer.name + "\": " + slotText (transfer.slot) + "...", juce::dontSendNotification);
    return true;
}

void BankManagerListContent::timerCallback()
{
    auto* manager = getPresetManager();

    if (! sending || manager == nullptr)
    {
        stopTimer();
        return;
    }

    const bool writing = current.diskIndex == writeToFile;
    auto& request = manager->getRequest (writing ? getPresetDataFile : cabMode ? importUserCab : managePreset);

    if (request.isRunning())
        return;

    if (request.getResult() != ZolStateMachine::resultCompleted)
    {
        failure = "The Kestrel did not answer";
        endSending();
        return;
    }

    if (writing)
    {
        writeExportedFile (current);
        if (failure.isNotEmpty())
        {
            endSending();
            return;
        }
    }

    ++sentCount;

    if (closeWhenSent || queue.empty() || ! startNext())
        endSending();
}

void BankManagerListContent::endSending()
{
    stopTimer();
    const int notSent = (int) queue.size() + (failure.isNotEmpty() ? 1 : 0);
    const bool writing = current.diskIndex == writeToFile;
    queue.clear();
    sending = false;

    // Each preset sent or renamed was recalled on the unit: it goes back to
    // the preset the editor shows, which is then read again as it is stored.
    int bank = 0, program = 0;
    auto* manager = getPresetManager();
    const bool recall = std::exchange (presetRecalled, false) && manager != nullptr
                        && manager->getCurrentBankAndProgram (bank, program);
    setHolds (false, ! recall);
    if (recall)
        manager->requestRecallPreset ((juce::uint8) bank, (juce::uint8) program);

    juce::String summary;
    const bool renaming = current.diskIndex == renameOnly;
    summary << (writing    ? "Written to " + exportFolder.getFileName() + ": "
                : renaming ? juce::String ("Renamed on the Kestrel: ")
                           : juce::String ("Sent to the Kestrel: "))
            << sentCount;
    if (notSent > 0)
        summary << (writing ? ", not written: " : renaming ? ", not renamed: " : ", not sent: ") << notSent;
    if (leftOut > 0)
        summary << ", left out: " << leftOut;
    statusLabel.setText (summary, juce::dontSendNotification);

    if (failure.isNotEmpty())
        UserNotifier::warn (failure + ".\n" + summary + ".");

    if (writing)
    {
        // What was written shows in the browser at once.
        if (sentCount > 0 && onFilesWritten)
            onFilesWritten (exportFolder);
    }
    else
    {
        if (manager != nullptr)
            cabMode ? manager->requestCabNames (true, true, true) : manager->requestPresetNames (allPresets);

        refreshUnitList();
    }

    if (closeWhenSent)
        close();
}

void BankManagerListContent::writeExportedFile (const Transfer& transfer)
{
    auto* manager = getPresetManager();
    juce::MemoryBlock data;

    // Only a whole dump is written: a read cut short must not end up in a
    // file that looks complete.
    if (manager != nullptr && ! manager->getPatchDumpBuffer().isEmpty())
        data = manager->getPatchDumpBuffer();

    // The dump's start names the slot it was read from.
    juce::StringArray names;
    juce::Array<juce::uint8> banks, programs;
    collectPresetNames (juce::Array<juce::MemoryBlock> { data }, names, &banks, &programs);
    int bank = 0, program = 0;
    const bool fromSlot = manager != nullptr && manager->getPresetLocation (transfer.slot, bank, program)
                          && banks == juce::Array<juce::uint8> ((juce::uint8) bank)
                          && programs == juce::Array<juce::uint8> ((juce::uint8) program);

    if (! fromSlot || getSysExFileType (data) != SYSEX_FILE_PRESET || ! PresetManager::isWholePresetDump (data))
    {
        failure = "The Kestrel did not send \"" + transfer.name + "\" whole";
        return;
    }

    // Named as Export names its records, beside what the folder holds.
    juce::String path;
    const auto baseName = makeLegalFileName (slotText (transfer.slot) + "_" + transfer.name.trimEnd());
    if (! makeUniqueFilePath (exportFolder, baseName, ".syx", false, path))
    {
        failure = "No free file name for \"" + transfer.name + "\" in " + exportFolder.getFullPathName();
        return;
    }

    // The writer's text names the file and what went wrong.
    if (auto error = saveDataToFile (path, data); error.isNotEmpty())
        failure = error.trimCharactersAtEnd (".");
}

void BankManagerListContent::setHolds (bool hold, bool catchUp)
{
    auto* manager = getPresetManager();
    if (manager == nullptr)
        return;

    manager->setResyncHold (hold);
    manager->setPresetChangeHold (hold);

    // A preset change the unit reported meanwhile is caught up now.
    if (! hold && catchUp && manager->getDeferredPresetChanges() != 0)
        manager->requestCurrentPresetNumber();
}

//==============================================================================
juce::PopupMenu BankManagerListContent::makeUnitListMenu() const
{
    juce::PopupMenu menu;
    fillMenuFromCommandTable (menu, cabMode ? LibrarianCabListMenuCommands : LibrarianPresetListMenuCommands, nullptr);
    const bool chosen = ! getSelectedUnitSlots().isEmpty();

    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
    {
        auto& item = it.getItem();
        const auto id = item.itemID;
        item.isEnabled = ! sending
                         && (id == listSelectAll || ((id == listLoad || id == listRename) && chosen && ! cabMode)
                             || (id == listImport && (cabMode || chosen)) || (id == listExport && chosen && ! cabMode));
    }

    return menu;
}

void BankManagerListContent::showUnitListMenu()
{
    juce::Component::SafePointer<BankManagerListContent> self (this);
    // At the pointer, where the user right-clicked.
    UserInteraction::showMenu (makeUnitListMenu(), juce::PopupMenu::Options().withMousePosition(),
                               [self] (int chosen)
                               {
                                   if (self != nullptr && chosen != 0)
                                       self->performListCommand (chosen);
                               });
}

bool BankManagerListContent::performListCommand (int commandId)
{
    auto slots = getSelectedUnitSlots();

    switch (commandId)
    {
        case listSelectAll:
            for (int i = 0; i < unitList->getNumCells(); ++i)
                unitList->selectCell (i, true, false, false);
            return true;

        case listLoad: return ! slots.isEmpty() && loadPreset (slots.getFirst());

        case listRename:
        {
            auto* cell = slots.isEmpty() || cabMode ? nullptr : unitList->getCell (unitSlots.indexOf (slots.getFirst()));
            return cell != nullptr && ! sending && canReachUnit() && cell->showNameEditor();
        }

        case listImport:
            if (cabMode)
                chooseFiles();
            else if (onImportFromFiles && ! slots.isEmpty() && canReachUnit())
                onImportFromFiles (slots.getFirst());
            return true;

        case listExport:
            if (cabMode || slots.isEmpty() || ! onExportToFiles || ! canReachUnit())
                return false;
            onExportToFiles (slots);
            return true;

        default: return false;
    }
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

//==============================================================================
void BankManagerListContent::requestClose()
{
    if (! sending)
    {
        close();
        return;
    }

    juce::Component::SafePointer<BankManagerListContent> self (this);
    UserNotifier::askOkCancel (closeWhileSendingText,
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

    if (manager == nullptr || manager != getPresetManager() || ! isVisible())
        return;

    const auto code = manager->getStatus();

    // What a Load made current is told once the window has read it.
    if (code == loadPresetEnd && loadingSlot >= 0 && manager->getCurrentPresetNumber() == loadingSlot)
        statusLabel.setText ("Loaded: " + getUnitEntryText (unitSlots.indexOf (std::exchange (loadingSlot, -1))),
                             juce::dontSendNotification);

    if ((code == presetNamesEnd && ! cabMode) || (code == cabNamesEnd && cabMode))
        refreshUnitList();
}

//==============================================================================
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
