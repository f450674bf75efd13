#include "app/editor/BlockLibNameDialog.h"
#include "app/host/CommandTables.h"
#include "app/editor/EffectEditorContent.h"
#include "app/host/ContentPanes.h"
#include "app/grid/GridUnitContent.h"
#include "app/host/PaneHost.h"

#include "device/engines/EngineDetail.h"
#include "device/engines/PresetManager.h"
#include "model/BlockLibraryManager.h"
#include "model/EffectManager.h"
#include "model/GlobalConfiguration.h"
#include "model/IdTables.h"
#include "model/LanguageStore.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"
#include "skin/lists/DropDownLargeList.h"
#include "skin/engine/UserInteraction.h"
#include "skin/widgets/XYToggleComponent.h"

namespace
{
// Why the run did not read the block whole (the unit refused the reading,
// or its answer did not come whole); empty when it did. For a block whose
// reading failed the effect manager still holds an earlier one.
juce::String whyNotRead (const PresetStateMachine& run, juce::uint16 blockId)
{
    const auto* read = run.findBlockRead (blockId);

    if (read != nullptr && read->whole)
        return {};

    const auto blockName = getNameForId (BlockDisplayNames, blockId);
    return read != nullptr && read->refusal != 0
               ? "the Kestrel refused the reading of " + blockName + " (error " + juce::String (read->refusal) + ")"
               : "the Kestrel did not answer the reading of " + blockName;
}

constexpr int saveAllBlocksCommand = 1102;
constexpr int librarySaveCommand = 1700, librarySaveAsCommand = 1701, libraryRenameCommand = 1702,
              libraryDeleteCommand = 1703, libraryRevealCommand = 1704;
constexpr int copyXToYCommand = 1800, copyYToXCommand = 1801, swapXYCommand = 1802, copyXToClipboardCommand = 1803,
              copyYToClipboardCommand = 1804, pasteToXCommand = 1805, pasteToYCommand = 1806;

constexpr const char* insertTitle = "Block Libary Insert";

// The input, output and controller blocks: each stands once outside the grid.
bool isFixedBlockType (int effectType)
{
    return effectType == EFFECT_NOISEGATE || effectType == EFFECT_OUTPUT || effectType == EFFECT_CONTROL;
}

bool canBeLibraryBlock (int blockId)
{
    return blockId != 0 && ! isShuntBlockId (blockId);
}
} // namespace

//==============================================================================
// The list of the shown block's type.

void EffectEditorContent::updateLibraryList()
{
    // The library gives a negative id for a block without a link.
    const int linked =
        library != nullptr && shownBlock != 0 ? juce::jmax (0, library->getLinkedEntryId (shownBlock)) : 0;

    if (linked != shownLibraryEntry)
    {
        shownLibraryEntry = linked;
        repaint();
    }

    if (libraryDropDown == nullptr)
        return;

    // The drop-down lists the entries of the block's type, the linked one
    // selected.
    juce::StringArray names;
    juce::Array<juce::uint16> ids;
    int selected = -1;

    for (auto& [id, name] : getLibraryEntriesForShownBlock())
    {
        if (id == shownLibraryEntry)
            selected = names.size();

        names.add (name);
        ids.add ((juce::uint16) id);
    }

    libraryDropDown->setItems (names, names, ids, {}, selected);
    updateLibraryMatchColour();
    libraryDropDown->repaint();
}

void EffectEditorContent::updateLibraryMatchColour()
{
    if (libraryDropDown == nullptr)
        return;

    // The entry's name is drawn dimmed once the block has been edited since
    // it was saved or loaded.
    const bool matches = library != nullptr && shownBlock != 0 && library->getLinkMatchState (shownBlock) != 0;
    libraryDropDown->setFieldColour (matches ? libraryMatchColour : libraryChangedColour);
}

bool EffectEditorContent::handleLibraryHeaderGesture (juce::ChangeBroadcaster* source)
{
    if (xyToggle != nullptr && source == static_cast<juce::ChangeBroadcaster*> (xyToggle.get()) &&
        xyToggle->getChangeCode() == 3)
    {
        showXYClipboardMenu();
        return true;
    }

    if (libraryDropDown != nullptr && source == static_cast<juce::ChangeBroadcaster*> (libraryDropDown.get()) &&
        libraryDropDown->getChangeCode() == 4)
    {
        if (auto* item = libraryDropDown->getItem (libraryDropDown->getSelectedIndex()))
            insertLibraryEntry (item->value);

        return true;
    }

    // A command of the plus button's menu runs through the application's commands.
    if (libraryDropDown != nullptr && source == static_cast<juce::ChangeBroadcaster*> (libraryDropDown.get()) &&
        libraryDropDown->getChangeCode() == 11 && libraryDropDown->plusChoice > 0)
    {
        if (auto* host = PaneHost::find())
            if (auto* commands = host->getCommandManager())
                commands->invokeDirectly (libraryDropDown->plusChoice, true);

        return true;
    }

    return false;
}

juce::Array<std::pair<int, juce::String>> EffectEditorContent::getLibraryEntriesForShownBlock() const
{
    juce::Array<std::pair<int, juce::String>> list;
    const int type = effectTypeOfBlock (shownBlock);

    if (library == nullptr || type <= 0)
        return list;

    for (int i = 0; i < library->getNumEntries(); ++i)
        if (auto* entry = library->getEntry (i))
            if (entry->effectType == type)
                list.add ({ (int) entry->entryId, entry->name });

    return list;
}

//==============================================================================
// Saving the shown block.

bool EffectEditorContent::startLibrarySave (bool saveAs)
{
    librarySaveMode = 0;

    if (presets == nullptr || library == nullptr || ! canBeLibraryBlock (shownBlock))
        return false;

    if (! presets->requestBlockLibraryQuery ((juce::uint16) shownBlock))
        return false;

    librarySaveMode = saveAs ? BlockLibNameDialog::modeSaveAs : BlockLibNameDialog::modeSave;
    return true;
}

void EffectEditorContent::onLibraryQueryDone()
{
    const int mode = librarySaveMode;
    librarySaveMode = 0;

    if ((mode != BlockLibNameDialog::modeSave && mode != BlockLibNameDialog::modeSaveAs) || library == nullptr ||
        ! canBeLibraryBlock (shownBlock))
        return;

    // Nothing is stored from an earlier reading.
    if (const auto why = whyNotRead (presets->getRequest (blockLibraryQuery), (juce::uint16) shownBlock);
        why.isNotEmpty())
    {
        UserNotifier::warn ("Save to Blocks Library: " + why + "; it was not saved.",
                            LanguageStore::textOr (14, "Block Library"));
        return;
    }

    auto* entry = library->findEntryById (library->getLinkedEntryId (shownBlock));
    bool isNew = false;

    if (mode == BlockLibNameDialog::modeSaveAs || entry == nullptr)
    {
        entry = library->createEntry (effectTypeOfBlock (shownBlock));
        isNew = true;
    }

    if (entry == nullptr)
        return;

    const auto uuid = entry->uuid;

    if (! storeLibraryEntry (entry->entryId, shownBlock, isNew) && isNew)
    {
        // Nothing to store: the new entry would stay empty.
        library->unlinkEntry (entry->entryId);
        library->removeEntry (uuid, true);
        return;
    }

    if (isNew)
        startLibraryNameDialog (mode, entry->entryId);
}

bool EffectEditorContent::storeLibraryEntry (int entryId, int blockId, bool isNew)
{
    auto* entry = library != nullptr ? library->findEntryById (entryId) : nullptr;
    auto* record = effects != nullptr ? effects->findEffect (blockId) : nullptr;

    if (entry == nullptr || record == nullptr || record->allParamsData.isEmpty())
        return false;

    entry->paramData = record->allParamsData;
    entry->modifierRecords.clearQuick();
    effects->getModifierDumpsForBlock (blockId, entry->modifierRecords);

    const int xy = channelOf (blockId);

    entry->xyState = xy;
    entry->modified = 1;
    library->linkBlockToEntry (blockId, entryId);

    // A block saved over its entry is written at once; a new one once named.
    if (! isNew)
    {
        library->saveModifiedEntries();
        updateLibraryList();
    }

    return true;
}

void EffectEditorContent::saveAllBlocksToLibrary()
{
    if (presets == nullptr || library == nullptr)
        return;

    const auto presetName = presets->getCurrentPresetName();
    const auto& run = presets->getRequest (blockLibraryQueryAll);
    PresetGridIterator blocks (&presets->getPresetGrid(), 1);
    juce::uint16 blockId = 0;
    juce::StringArray unsaved; // for each block not saved, why
    int saved = 0;

    while (blocks.next (blockId))
    {
        if (blockId == blockIdGlobal)
            continue;

        const int type = effectTypeOfBlock (blockId);
        const auto blockName = getNameForId (BlockDisplayNames, blockId);

        // Only what this run read whole is saved.
        if (const auto why = whyNotRead (run, blockId); why.isNotEmpty())
        {
            unsaved.add (why);
            continue;
        }

        auto* entry = library->createEntry (type);

        if (entry == nullptr)
            continue;

        // A second run over the same preset gets names of its own.
        juce::String name = presetName + "-" + blockName;

        if (! library->isTextUniqueForType (type, name))
            library->makeUniqueText (type, name, name);

        entry->name = name;
        entry->secondText = presetName;
        entry->modified = 1;

        if (! storeLibraryEntry (entry->entryId, blockId, false))
        {
            library->removeEntry (entry->uuid, false);
            unsaved.add (blockName + " could not be stored");
        }
        else
        {
            ++saved;
        }
    }

    // A failed write has warned the user already; it is not "completed".
    const bool written = library->saveModifiedEntries();
    updateLibraryList();

    if (! unsaved.isEmpty())
    {
        juce::String message = "Save as Blocks in Library: ";

        if (unsaved.size() == 1)
        {
            message << unsaved[0] << "; it was not saved.";
        }
        else
        {
            message << "these blocks were not saved:";

            for (auto& why : unsaved)
                message << "\n" << why.substring (0, 1).toUpperCase() << why.substring (1) << ".";
        }

        // A failed write has said what it could not keep.
        if (written)
            message << "\n" << (saved == 0 ? juce::String ("No other block was saved.")
                                 : saved == 1 ? juce::String ("1 other block was saved.")
                                              : juce::String (saved) + " other blocks were saved.");

        UserNotifier::warn (message, LanguageStore::textOr (14, "Block Library"));
    }
    else if (written)
    {
        if (auto* content = findContent())
            content->showBubbleMessage ("Save all Blocks completed.", -1);
    }
}

//==============================================================================
// The name dialog.

bool EffectEditorContent::startLibraryNameDialog (int mode, int entryId)
{
    auto* entry = library != nullptr ? library->findEntryById (entryId) : nullptr;

    if (nameDialog == nullptr || entry == nullptr)
        return false;

    // The dialog covers the window when there is one, and closes with its other dialogs.
    auto* content = findContent();
    juce::Component* host = content != nullptr ? dynamic_cast<juce::Component*> (content) : this;

    if (content != nullptr)
        content->lendPane (ContentPane::blockLibraryName, nameDialog.get());

    if (nameDialog->getParentComponent() != host)
        host->addChildComponent (*nameDialog);

    nameDialog->open (mode, entry->uuid, {}, library);
    return true;
}

void EffectEditorContent::handleNameDialogChange()
{
    switch (nameDialog->getChangeCode())
    {
        case 0:
        case 1: refreshForDialogs(); break;

        case 2:
        case 3:
        case 4:
            if (onLibraryNameDialog (nameDialog->getChangeCode()))
                refreshForDialogs();
            break;

        case 5:
            deleteUnnamedLibraryEntry();
            refreshForDialogs();
            break;

        default: break;
    }
}

void EffectEditorContent::refreshForDialogs()
{
    const bool dialogShowing = (nameDialog != nullptr && nameDialog->isVisible()) ||
                               (hooks.isDialogShowing != nullptr && hooks.isDialogShowing());

    // The page waits, without live reports, while a dialog is open.
    setControlsEnabled (! dialogShowing);

    if (dialogShowing)
        return;

    if (embeddedSequencer == nullptr)
        if (auto* selected = getSelectedControl())
            selectControl (selected);

    if (auto* host = PaneHost::find())
        host->rebuildMenus();

    setLiveUpdates (false);
}

bool EffectEditorContent::onLibraryNameDialog (int)
{
    auto* entry = library != nullptr ? library->findEntryByUuid (nameDialog->getEntry()) : nullptr;

    if (entry == nullptr)
    {
        nameDialog->close (0);
        return false;
    }

    const auto name = nameDialog->getText();
    juce::String refusal;

    if (name.isEmpty())
        refusal = LanguageStore::textOr (15, "Please enter a new name.");
    else if (name != entry->name && ! library->isTextUniqueForType (entry->effectType, name))
        refusal = LanguageStore::textOr (
            16, "The name you provided is already in use for this block type.\nPlease enter a new name.");

    if (refusal.isNotEmpty())
    {
        UserNotifier::warn (refusal, LanguageStore::textOr (14, "Block Library"));
        nameDialog->reselectText();
        return false;
    }

    entry->name = name;
    entry->modified = 1;
    library->saveModifiedEntries();
    updateLibraryList();
    nameDialog->close (0);
    return true;
}

void EffectEditorContent::deleteUnnamedLibraryEntry()
{
    const int mode = nameDialog->getMode();

    if (library == nullptr || (mode != BlockLibNameDialog::modeSave && mode != BlockLibNameDialog::modeSaveAs))
        return;

    auto* entry = library->findEntryByUuid (nameDialog->getEntry());

    // A cancelled save leaves no unnamed entry, and no block linked to it.
    if (entry != nullptr && entry->name.isEmpty())
    {
        library->unlinkEntry (entry->entryId);
        library->removeEntry (nameDialog->getEntry(), true);
        updateLibraryList();
    }
}

//==============================================================================
// Rename, delete, show, insert.

void EffectEditorContent::renameLibraryEntry()
{
    if (shownLibraryEntry != 0)
        startLibraryNameDialog (BlockLibNameDialog::modeRename, shownLibraryEntry);
}

void EffectEditorContent::deleteLinkedLibraryEntry()
{
    if (library == nullptr || shownLibraryEntry == 0)
        return;

    Notice notice;
    notice.icon = Notice::Icon::warning;
    notice.title = LanguageStore::textOr (12, "Confirm Block Library Delete");
    notice.message =
        LanguageStore::textOr (13, "Deleting the block entry from the library will also delete the library file from "
                                   "disk.\nDo you want to continue?");
    notice.buttons = Notice::Buttons::yesNo;

    // The answer comes later: the entry is looked up again then.
    const int entryId = shownLibraryEntry;
    juce::Component::SafePointer<EffectEditorContent> editor (this);

    notice.onResult = [editor, entryId] (int result)
    {
        if (result != 1 || editor == nullptr || editor->library == nullptr)
            return;

        if (auto* entry = editor->library->findEntryById (entryId))
        {
            editor->library->unlinkEntry (entryId);
            editor->library->removeEntry (entry->uuid, true);
        }

        editor->updateLibraryList();

        if (auto* host = PaneHost::find())
            if (auto* commands = host->getCommandManager())
                commands->commandStatusChanged();
    };

    UserNotifier::show (notice);
}

void EffectEditorContent::revealLibraryFile()
{
    juce::File path;

    if (auto* entry = library != nullptr ? library->findEntryById (shownLibraryEntry) : nullptr)
        path = entry->file;
    else if (library != nullptr)
        path = library->getLibraryFolder();

    if (path == juce::File() || ! path.exists())
        return;

    // A file is shown in its folder. The host hands the path to the
    // desktop's opener as data: no shell ever reads a folder's name.
    if (auto* host = PaneHost::find())
        host->openInDesktop (path.isDirectory() ? path : path.getParentDirectory());
}

bool EffectEditorContent::insertLibraryEntry (int entryId)
{
    auto* entry = library != nullptr ? library->findEntryById (entryId) : nullptr;

    if (entry == nullptr || presets == nullptr || ! canBeLibraryBlock (shownBlock))
        return false;

    // The values of one effect type mean nothing to another.
    if (entry->effectType != effectTypeOfBlock (shownBlock))
    {
        UserNotifier::warn ("The library entry \"" + entry->name + "\" is a " +
                                getNameForId (EffectTypeNames, (juce::uint32) entry->effectType) +
                                " block and can only be inserted into a block of that type.",
                            insertTitle);
        return false;
    }

    // Block words come in pairs of bytes; anything else is a damaged entry.
    if ((entry->paramData.getSize() & 1) != 0)
    {
        UserNotifier::warn ("The library entry \"" + entry->name + "\" is damaged and cannot be inserted.",
                            insertTitle);
        return false;
    }

    if (! presets->requestBlockPaste ((juce::uint16) shownBlock, &entry->paramData))
        return false;

    auto& paste = presets->getRequest (blockPaste);

    for (auto& record : entry->modifierRecords)
        paste.modifierRecords.add (EngineDetail::readdressed (record, (juce::uint16) shownBlock));

    library->linkBlockToEntry (shownBlock, entryId);
    updateLibraryList();
    return true;
}

//==============================================================================
// The X/Y menu.

void EffectEditorContent::showXYClipboardMenu()
{
    juce::ApplicationCommandManager* commands = nullptr;

    if (auto* host = PaneHost::find())
        commands = host->getCommandManager();

    auto menu = createMenuFromCommandTable (XYMenuCommands, commands);

    if (menu == nullptr)
        return;

    const auto clipboard = presets != nullptr ? presets->getXYClipboardName() : juce::String();
    menu->addSeparator();
    menu->addItem (-1, clipboard.isEmpty() ? juce::String ("[Clipboard empty]") : "[Clipboard: " + clipboard + "]",
                   false);

    // Shown at the X/Y switch, which is scaled with the page, so that the menu is too.
    juce::Component* anchor = xyToggle != nullptr ? (juce::Component*) xyToggle.get() : this;
    juce::Component::SafePointer<EffectEditorContent> editor (this);
    UserInteraction::showMenu (*menu, juce::PopupMenu::Options().withTargetComponent (anchor),
                               [editor] (int chosen)
                               {
                                   if (editor != nullptr && chosen > 0 && editor->ownsCommand (chosen))
                                       editor->performCommand (chosen);
                               });
}

//==============================================================================
// A ".blk" file dropped on the editor.

bool EffectEditorContent::isInterestedInFileDrag (const juce::StringArray& files)
{
    if (files.size() != 1 || library == nullptr)
        return false;

    // A file is dropped on the library drop-down when the header has one.
    return libraryDropDown != nullptr ? libraryDropDown->isVisible() : canBeLibraryBlock (shownBlock);
}

void EffectEditorContent::fileDragEnter (const juce::StringArray&, int, int)
{
    dropRect = libraryDropDown != nullptr ? libraryDropDown->getBounds().expanded (2) : getLocalBounds().reduced (2);

    if (! dropHover)
    {
        dropHover = true;
        repaint();
    }
}

void EffectEditorContent::fileDragExit (const juce::StringArray&)
{
    if (dropHover)
    {
        dropHover = false;
        repaint();
    }
}

void EffectEditorContent::filesDropped (const juce::StringArray& files, int, int)
{
    dropHover = false;
    repaint();

    if (files.size() != 1 || library == nullptr)
        return;

    const juce::File file (files[0]);
    int errorCode = 0;
    juce::String name;
    const int entryId = library->loadBlockFile (file, errorCode, name);

    if (entryId == 0)
    {
        juce::String error;
        library->getErrorText (errorCode, error);
        UserNotifier::warn (error, insertTitle);
        return;
    }

    auto* entry = library->findEntryById (entryId);

    if (entry == nullptr)
        return;

    const int entryType = entry->effectType;
    const int shownType = effectTypeOfBlock (shownBlock);

    if (isFixedBlockType (shownType) && ! isFixedBlockType (entryType))
    {
        UserNotifier::warn (file.getFullPathName() + ": " +
                                "Selected block is a Grid block and can not be imported into the Input, Output, or "
                                "Controller view.",
                            insertTitle);
        return;
    }

    // An input, output or controller entry goes to the one block of its type,
    // which the grid selects so that the grid and the editor agree.
    if (isFixedBlockType (entryType) && entryType != shownType)
    {
        const int target = firstBlockIdOfType (entryType);
        auto* content = findContent();

        if (auto* grid = content != nullptr ? content->getPaneAs<GridUnitContent> (ContentPane::grid) : nullptr)
            grid->selectBlockById (target);

        // A block the grid has no place for is shown all the same.
        if (shownBlock != target)
            showBlock (target);
    }

    insertLibraryEntry (entryId);
}

//==============================================================================
// Commands.

bool EffectEditorContent::ownsCommand (int commandId) const
{
    return commandId == saveAllBlocksCommand ||
           (commandId >= librarySaveCommand && commandId <= libraryRevealCommand) ||
           (commandId >= copyXToYCommand && commandId <= pasteToYCommand);
}

bool EffectEditorContent::performCommand (int commandId)
{
    if (presets == nullptr)
        return false;

    const auto block = (juce::uint16) shownBlock;

    switch (commandId)
    {
        case saveAllBlocksCommand: return presets->requestBlockLibraryQuery (0);
        case librarySaveCommand: return startLibrarySave (false);
        case librarySaveAsCommand: return startLibrarySave (true);
        case libraryRenameCommand: renameLibraryEntry(); return shownLibraryEntry != 0;
        case libraryDeleteCommand: deleteLinkedLibraryEntry(); return shownLibraryEntry != 0;
        case libraryRevealCommand: revealLibraryFile(); return true;
        case copyXToYCommand: return presets->requestXYCopy (block, 0, 1);
        case copyYToXCommand: return presets->requestXYCopy (block, 1, 0);
        case swapXYCommand: return presets->requestXYSwap (block);
        case copyXToClipboardCommand: return presets->requestXYCopyToClipboard (block, 0);
        case copyYToClipboardCommand: return presets->requestXYCopyToClipboard (block, 1);
        case pasteToXCommand: return presets->requestXYPasteClipboard (block, 0);
        case pasteToYCommand: return presets->requestXYPasteClipboard (block, 1);
        default: return false;
    }
}

void EffectEditorContent::paintDropTarget (juce::Graphics& g)
{
    if (! dropHover)
        return;

    g.setColour (fileDropColour.withAlpha (0.75f));
    g.drawRect (dropRect, 2);
}
