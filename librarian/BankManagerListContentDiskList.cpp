// The "Files on disk" list: the files added or dropped, what each holds, and
// sending the chosen entries to the unit's slots after checking them again.

#include "librarian/BankManagerListContent.h"

#include "device/engines/PresetManager.h"
#include "device/wire/ModelRules.h"
#include "librarian/BrowserChooserDlg.h"
#include "librarian/SlotTexts.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/PromptCatalogue.h"
#include "model/UserNotifier.h"
#include "skin/engine/UserInteraction.h"
#include "skin/lists/ZolScrollableListCtrl.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{
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
        record.name = printableName (entry.name);
        record.tooltip = printableName (entry.describe());
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
        // Named as it is stored: the unit keeps 31 letters, and a preset that
        // holds no name gets none.
        auto& entry = diskEntries[(size_t) entries[i]];
        names.add (entry.ownName ? entry.name.substring (0, presetNameLength) : juce::String());
        fileNames.add (entry.file.getFileName());
        // A preset slot whose name is not read yet may hold anything.
        anyHeld = anyHeld || ! isEmptySlotName (unitRecords[(size_t) (index + i)].name)
                  || (! cabMode && ! getPresetManager()->arePresetNamesLoaded (unitSlots[index + i], 1));
    }
    // A cab slot is named by its number and, quoted as the cab sent is, the
    // name it holds.
    auto slotEntry = [this] (int unitIndex)
    {
        const auto& record = unitRecords[(size_t) unitIndex];
        return cabMode && ! isEmptySlotName (record.name)
                   ? record.number.trim() + " \"" + record.name.trim() + "\""
                   : getUnitEntryText (unitIndex);
    };
    auto question = replaceSlotsQuestion (fitting, cabMode, slotEntry (index), slotEntry (lastIndex),
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
            UserNotifier::warn (unsentPresetText (entry.name, why));
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

        // A preset is stored under the name its data holds, which must reach
        // the unit as it is: one listed as "EMPTY" for the control character
        // it begins with is refused by what it holds, never sent as listed.
        if (const auto held = cabMode ? juce::String() : getPresetDumpName (entry.data);
            ! nameFieldKeepsCharacters (held))
        {
            UserNotifier::warn (unsentPresetText (held, unstorableNameText (held)));
            return false;
        }

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
