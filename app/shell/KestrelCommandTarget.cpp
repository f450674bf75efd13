#include "app/shell/KestrelCommandTarget.h"

#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelMenuBarModel.h"
#include "app/shell/MainAppWindow.h"
#include "app/shell/SnapshotList.h"
#include "app/update/ProgramUpdateCheck.h"
#include "model/StartWithoutShell.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/ModelRules.h"
#include "device/wire/PresetCabBundle.h"
#include "device/wire/SysExFiles.h"
#include "model/FileUtils.h"
#include "model/IdNameTable.h"
#include "model/IdTables.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/SnapshotMenu.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"
#include "skin/engine/UserInteraction.h"



namespace
{
// The tables whose commands the target registers, in this order.
const CommandRecord* const registeredTables[] = {
    PresetMenuCommands,        BlockMenuCommands,     ToolsMenuCommands,       SettingsMenuCommands,
    HelpMenuCommands,          SceneMenuCommands,     XYMenuCommands,          BlockLibraryMenuCommands,
    TempoToUseMenuCommands,    SnapshotsMenuCommands, PresetBrowserMenuCommands, CabBrowserMenuCommands,
};

// Save, Save to New Number, Save Snapshot and the exports of the preset (the
// files are named after the preset shown): the unit is asked first which
// preset it plays, and they go on only for the preset shown.
bool writesThePresetShown (int id)
{
    switch (id)
    {
        case 1118: case 1119: case 1000: case 1002: case 1004: case 1005: case 1007: return true;
        default: return false;
    }
}

// Why nothing was saved or exported.
juce::String notWrittenText (int id, const PresetManager::PresetNumberAnswer& answer)
{
    const bool exporting = id == 1002 || id == 1004 || id == 1005 || id == 1007;

    if (answer.kind != PresetManager::PresetNumberAnswer::Kind::another)
        return juce::String (exporting ? "The preset was not exported.\n" : "The preset was not saved.\n")
               + KestrelCommandTarget::presetNumberUnknownText;

    const auto nothing = exporting ? juce::String ("; nothing was exported.") : juce::String ("; nothing was saved.");

    // The unit plays the preset shown, but it reloaded it on its own, or the
    // window was moving to another then.
    if (answer.playing == answer.shown)
        return answer.reportedByUnit
                   ? "The Kestrel reloaded " + presetNumberAndName (answer.shown, answer.shownName) + nothing
                   : "Kestrel-Edit was still changing presets" + nothing;

    return "The Kestrel plays " + presetNumberAndName (answer.playing, answer.playingName) + ", not "
           + presetNumberAndName (answer.shown, answer.shownName) + nothing;
}

// Commands that work without the unit.
bool worksOffline (int id)
{
    switch (id)
    {
        case 1316:
        case 1400: case 1401: case 1402: case 1404:
        case 1900: case 1901: case loadSnapshotCommandId:
        case 2300: case 2301: case 2302:
            return true;
        default:
            return false;
    }
}

// Commands that no part of the program gives a behaviour yet: shown greyed
// out so that nothing looks broken, and their keys (F and U of the browser's
// favourites, say) left to whoever else wants them. The librarian's browser
// has no menus, so none of its commands (2200-2229) is performed.
bool hasNoBehaviour (int id)
{
    return id == 1300 || id == 1405 || (id >= 2200 && id <= 2229);
}

// Commands that change the current preset, its grid, its blocks or their
// X/Y and bypass states, or that act on the panes showing them: they are
// meant for the home screen, and whatever hides it hides what they act on.
bool needsHomeScreen (int id)
{
    switch (id)
    {
        case 1001: case 1003:                       // import, new from template
        case 1100: case 1101: case 1104: case 1105: // clear, initialize, refresh, revert
        case 1108: case 1117: case 1118: case 1119: // rename, preset list, save
        case 1122: case 1123: case 1124:            // go to a preset, change the bank
        case 1500:                                  // the grid takes the keyboard
        case loadSnapshotCommandId:
            return true;
        default:
            return (id >= 1109 && id <= 1116)    // scenes
                || (id >= 1200 && id < 1300)     // blocks
                || (id >= 1600 && id < 1900)     // scene menu, block library, X/Y menu
                || (id >= 2401 && id <= 2408);   // presets of the bank
    }
}

// Reads a file that should hold a preset: only a regular file, and none
// larger than any preset file.
FileReadResult readPresetFile (const juce::File& file, juce::MemoryBlock& data)
{
    return readRegularFile (file, KestrelCommandTarget::largestPresetFileBytes, data);
}

// Describes a chosen ".syx" file in the "Sysex Information" box: the unit it
// was made for and the kind of file. A file that cannot be read or is too
// large gets a warning under the same title.
void describeSysExFile (const juce::File& file)
{
    juce::MemoryBlock data;
    const auto read = readPresetFile (file, data);
    const auto path = file.getFullPathName();

    if (read == FileReadResult::tooLarge)
    {
        UserNotifier::warn ("The file is too large to be a SysEx file of the Kestrel:\n" + path, sysExInfoTitle);
        return;
    }

    if (read != FileReadResult::read)
    {
        UserNotifier::warn ("The file could not be read:\n" + path, sysExInfoTitle);
        return;
    }

    if (auto* configuration = KestrelGlobalConfiguration::getInstanceWithoutCreating())
        configuration->MRU_SYSEX_INFO = file.getParentDirectory().getFullPathName();

    juce::String text;
    getSysExFileInfoText (data.getData(), data.getSize(), text);
    UserNotifier::inform (text, sysExInfoTitle);
}
} // namespace

std::function<bool (const juce::File&)> KestrelCommandTarget::openDocument = [] (const juce::File& file)
{ return openWithoutShell (file); };

//==============================================================================
bool KestrelCommandTarget::readCommandText (int commandId, juce::String& name, juce::String& description,
                                            juce::String& category) const
{
    for (auto* table : registeredTables)
        if (findCommandText (table, commandId, name, description, category))
            return true;

    return findCommandText (BlockContextMenuCommands, commandId, name, description, category)
        || findCommandText (UnlistedCommands, commandId, name, description, category);
}

void KestrelCommandTarget::getAllCommands (juce::Array<juce::CommandID>& commands)
{
    for (auto* table : registeredTables)
        addCommandTableIds (table, &commands);

    // The front panel's buttons, their keys and the snapshot menu need these too.
    addCommandTableIds (UnlistedCommands, &commands);
}

void KestrelCommandTarget::getCommandInfo (juce::CommandID commandId, juce::ApplicationCommandInfo& result)
{
    juce::String name, description, category;

    if (! readCommandText (commandId, name, description, category))
        return;

    result.setInfo (name, description, category, 0);

    juce::KeyPress key;

    if (findCommandKeyPress (MainKeyBindings, commandId, key) || findCommandKeyPress (ExtraKeyBindings, commandId, key))
        result.addDefaultKeypress (key.getKeyCode(), key.getModifiers());

    auto* owner = ownerOf (commandId);
    // Paused, they stay enabled, and say why they do nothing.
    bool enabled = (worksWithoutUnit (commandId) || isConnectedToUnit()) && (owner == nullptr || owner->canPerform (commandId));

    if (commandId == 1901 || commandId == loadSnapshotCommandId)
        enabled = enabled && SnapshotList::getInstanceWithoutCreating() != nullptr
               && ! SnapshotList::getInstanceWithoutCreating()->isEmpty();

    if (owner == nullptr && hasNoBehaviour (commandId))
        enabled = false;

    if (waitsForHomeScreen (commandId))
        enabled = false;

    result.setActive (enabled);

    if (commandId == 1404)
        result.setTicked (mainWindow != nullptr && mainWindow->isCommunicationPaused());

    if (commandId == 1120 || commandId == 1121)
        if (auto* presetManager = PresetManager::getInstanceWithoutCreating())
            result.setTicked ((presetManager->getTempoToUse() != 0) == (commandId == 1121));
}

bool KestrelCommandTarget::getCommandTooltip (int commandId, juce::String& text)
{
    juce::String name, description, category;
    text.clear();

    if (! readCommandText (commandId, name, description, category))
        return false;

    text = description.isNotEmpty() ? description : name;

    for (auto* keys : { MainKeyBindings, ExtraKeyBindings })
        for (auto* row = keys; row->commandId != 0; ++row)
            if (row->commandId == commandId)
                text << " [" << juce::KeyPress (row->keyCode, juce::ModifierKeys (row->modifiers), 0).getTextDescription()
                     << "]";

    return true;
}

//==============================================================================
bool KestrelCommandTarget::isConnectedToUnit() const
{
    auto* link = ZOLMidiProcessing::getInstanceWithoutCreating();
    return link != nullptr && link->isConnected() && PresetManager::getInstanceWithoutCreating() != nullptr;
}

// Paused, the unit is left alone: what a key or menu asked for then would
// otherwise wait in the queue and reach the unit at resume, behind the
// window's back.
bool KestrelCommandTarget::isUnitReady() const
{
    return isConnectedToUnit() && (mainWindow == nullptr || ! mainWindow->isCommunicationPaused());
}

bool KestrelCommandTarget::isUnitReadyOrSayPaused() const
{
    if (isUnitReady())
        return true;

    if (isConnectedToUnit())
        UserNotifier::inform (communicationsPausedText());
    return false;
}

juce::String KestrelCommandTarget::communicationsPausedText()
{
    // Paused, the menu bar opens nothing: only what works then is named.
    constexpr int pauseCommand = 1404;
    juce::KeyPress key;
    const bool hasKey = findCommandKeyPress (MainKeyBindings, pauseCommand, key);
    return "Communications with the Kestrel are paused: nothing was sent to it.\nTo resume them, "
           + (hasKey ? "press " + key.getTextDescription() + ", " : juce::String())
           + "click the box in the middle of the paused window or the pause button in the title bar.";
}

// The pane added last wins a command that two panes claim.
CommandPerformer* KestrelCommandTarget::ownerOf (int commandId) const
{
    for (int i = performers.size(); --i >= 0;)
        if (performers[i]->ownsCommand (commandId))
            return performers[i];

    return nullptr;
}

// The pane that performs a command decides whether it needs the unit.
bool KestrelCommandTarget::worksWithoutUnit (int commandId) const
{
    auto* owner = ownerOf (commandId);
    return owner != nullptr ? owner->worksWithoutUnit (commandId) : worksOffline (commandId);
}

bool KestrelCommandTarget::isHomeScreenHidden() const
{
    auto* content = mainWindow != nullptr ? mainWindow->getContent() : nullptr;
    return content != nullptr && content->getDialogOverHomeScreen() != nullptr;
}

bool KestrelCommandTarget::waitsForHomeScreen (int commandId) const
{
    return needsHomeScreen (commandId & 0xffff) && isHomeScreenHidden();
}

bool KestrelCommandTarget::invokeCommand (int commandId)
{
    // A key or menu item meant for the preset behind a dialog does nothing.
    if (waitsForHomeScreen (commandId))
        return false;

    if ((commandId & 0xffff) == loadSnapshotCommandId)
    {
        loadSnapshot (commandId >> 16);
        return true;
    }

    return performCommand (commandId);
}

bool KestrelCommandTarget::perform (const juce::ApplicationCommandTarget::InvocationInfo& info)
{
    return invokeCommand (info.commandID);
}

PaneHost* PaneHost::find()
{
    return KestrelCommandTarget::getInstanceWithoutCreating();
}

juce::ApplicationCommandManager* KestrelCommandTarget::getCommandManager() const
{
    return mainWindow != nullptr ? &mainWindow->getCommandManager() : nullptr;
}

void KestrelCommandTarget::rebuildMenus()
{
    if (mainWindow != nullptr)
        if (auto* menus = mainWindow->getMenuBarModel())
            menus->rebuildMenus();
}

void KestrelCommandTarget::addPerformer (CommandPerformer* performer)
{
    performers.addIfNotAlreadyThere (performer);
}

void KestrelCommandTarget::removePerformer (CommandPerformer* performer)
{
    performers.removeAllInstancesOf (performer);
}

bool KestrelCommandTarget::performCommand (int id)
{
    if (! worksWithoutUnit (id) && ! isUnitReadyOrSayPaused())
        return false;

    auto* presetManager = PresetManager::getInstanceWithoutCreating();

    // Revert acts on the slot of the preset shown: while the unit may play
    // another preset, it is asked first.
    if (id == 1105 && presetManager != nullptr && presetManager->isPresetNumberInDoubt())
    {
        presetManager->whenPresetNumberConfirmed (
            [id] (bool confirmed)
            {
                if (confirmed)
                {
                    if (auto* target = getInstanceWithoutCreating())
                        target->performCommand (id);
                    return;
                }

                UserNotifier::warn (juce::String ("The preset was not reverted.\n") + presetNumberUnknownText);
            });
        return true;
    }

    // What is saved or exported is the preset the unit plays, under the
    // number and name the window shows: the unit is asked first, every time.
    if (writesThePresetShown (id) && presetManager != nullptr)
    {
        presetManager->checkPresetNumber (
            [id] (const PresetManager::PresetNumberAnswer& answer)
            {
                auto* target = getInstanceWithoutCreating();

                if (answer.kind == PresetManager::PresetNumberAnswer::Kind::same)
                {
                    if (target != nullptr && target->isUnitReadyOrSayPaused())
                        target->performAnsweredCommand (id);
                    return;
                }

                UserNotifier::warn (notWrittenText (id, answer));
            });
        return true;
    }

    return performAnsweredCommand (id);
}

bool KestrelCommandTarget::performAnsweredCommand (int id)
{
    auto* presetManager = PresetManager::getInstanceWithoutCreating();

    if (auto* owner = ownerOf (id))
        return owner->performCommand (id);

    const auto here = PresetManager::currentPresetLocation;

    switch (id)
    {
        // Preset
        case 1100: return presetManager->requestClearPreset();
        case 1101: presetManager->getRequest (initializePreset).start(); return true;
        case 1104: return presetManager->requestRefreshPreset();
        case 1105:
        case 1118:
        {
            int bank = 0, program = 0;

            if (! presetManager->getCurrentBankAndProgram (bank, program))
                return false;

            return id == 1105 ? presetManager->requestRecallPreset ((juce::uint8) bank, (juce::uint8) program)
                              : presetManager->requestSavePreset ((juce::uint8) bank, (juce::uint8) program);
        }
        case 1000: return presetManager->requestFileOperation (here, here, 3);
        case 1002: return presetManager->requestFileOperation (here, here, 0);
        case 1004: return presetManager->requestFileOperation (here, here, 4);
        case 1005: return presetManager->requestFileOperation (here, here, 5);
        case 1007: return presetManager->requestFileOperation (here, here, 1);

        // Scenes, banks and the presets of the bank
        case 1109: case 1110: case 1111: case 1112: case 1113: case 1114: case 1115: case 1116:
            return presetManager->requestChangeScene ((juce::uint16) (id - 1109));
        case 1123: return changeBank (1);
        case 1124: return changeBank (-1);
        case 2401: case 2402: case 2403: case 2404: case 2405: case 2406: case 2407: case 2408:
            return presetManager->selectPresetInBank (id - 2400);

        // The scene menu
        case 1600:
        {
            SceneRecord scene;
            presetManager->captureScene (scene);
            presetManager->setSceneClipboard (scene);
            return true;
        }
        case 1601:
        {
            // The copied scene's states go into the request's own record,
            // which its start empties; with nothing copied there is nothing
            // to paste.
            const auto& copied = presetManager->getSceneClipboard();

            if (copied.sceneNumber < 0)
                return false;

            auto& paste = presetManager->getRequest (scenePaste);
            paste.start();
            paste.sceneRecord = copied;
            return true;
        }
        case 1602: return presetManager->requestScenePasteAll();
        case 1603: case 1604: case 1605: case 1606: case 1607: case 1608: case 1609: case 1610:
            return presetManager->requestSceneSwap ((juce::uint16) (id - 1603));
        case 1611: return presetManager->requestBypassAllBlocks();

        // Settings
        case 1401:
        case 1402:
            if (mainWindow == nullptr)
                return false;

            if (id == 1401)
                mainWindow->setFullScreen (true);
            else
                mainWindow->showNormalSize();
            return true;
        case 1404:
            if (mainWindow == nullptr)
                return false;

            mainWindow->setCommunicationPaused (! mainWindow->isCommunicationPaused());
            return true;

        // Snapshots
        case 1900:
            if (auto* configuration = KestrelGlobalConfiguration::getInstanceWithoutCreating();
                configuration != nullptr && juce::File::isAbsolutePath (configuration->SNAPSHOTS_DIR))
                openInDesktop (juce::File (configuration->SNAPSHOTS_DIR));
            return true;
        case 1901:
            if (auto* snapshots = SnapshotList::getInstanceWithoutCreating())
                snapshots->destroyElements();
            return true;

        // Help
        case 2300:
            if (mainWindow != nullptr)
                mainWindow->checkForUpdates();
            return true;
        case 2301: return showAbout();
        case 2302: return showReleaseNotes();

        // Tools
        case 1316: return showSysExFileInfo();

        default:
            return false;
    }
}

juce::File KestrelCommandTarget::getReleaseNotesFile()
{
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile (releaseNotesFileName);
}

bool KestrelCommandTarget::showReleaseNotes()
{
    // The notes are installed beside the program, so the notes shown are
    // always those of the version that runs: an update brings its own.
    const auto notes = getReleaseNotesFile();

    if (! notes.existsAsFile())
    {
        UserNotifier::warn ("The release notes could not be found:\n" + notes.getFullPathName());
        return false;
    }

    return openInDesktop (notes);
}

juce::String KestrelCommandTarget::getAboutText()
{
    return juce::String (UserNotifier::defaultTitle()) + "\nVersion " + ProgramUpdateCheck::installedVersionText();
}

bool KestrelCommandTarget::showAbout()
{
    Notice about;
    about.icon = Notice::Icon::logo;
    about.title = aboutTitle;
    about.message = getAboutText();
    UserNotifier::show (std::move (about));
    return true;
}

bool KestrelCommandTarget::openInDesktop (const juce::File& folderOrDocument)
{
    if (openDocument != nullptr && openDocument (folderOrDocument))
        return true;

    // A path that has gone has nothing to show.
    if (! folderOrDocument.exists())
        return false;

    const auto cause = hasDesktopOpener() ? juce::String ("This could not be opened:\n")
                                          : "This computer has no program to open folders and documents with (\""
                                                + desktopOpenerName() + "\" was not found).\nPlease open this yourself:\n";
    // The path's control characters are shown escaped, never acted on.
    UserNotifier::warn (cause + printableName (folderOrDocument.getFullPathName()));
    return false;
}

bool KestrelCommandTarget::showSysExFileInfo()
{
    // The folder of the last file described.
    juce::String folder;
    if (auto* configuration = KestrelGlobalConfiguration::getInstanceWithoutCreating())
        folder = configuration->MRU_SYSEX_INFO;
    GlobalConfiguration::validateFolder (folder);

    FileRequest request;
    request.mode = FileRequest::Mode::open;
    request.title = "Get Sysex File Information";
    request.initial = juce::File (folder);
    request.patterns = "*.syx";
    UserInteraction::chooseFile (request,
                                 [] (juce::File chosen)
                                 {
                                     if (chosen != juce::File())
                                         describeSysExFile (chosen);
                                 });
    return true;
}

bool KestrelCommandTarget::changeBank (int direction)
{
    auto* presetManager = PresetManager::getInstanceWithoutCreating();
    // From where the last clicks lead, so that each click moves one bank on.
    const auto current = presetManager->getChosenPresetNumber();
    const auto count = getPresetCount (presetManager->getFirmware());

    if (current < 0 || count <= 0)
        return false;

    const auto banks = (count + presetsPerBank - 1) / presetsPerBank;
    const auto bank = (current / presetsPerBank + direction + banks) % banks;
    const auto number = juce::jmin (count - 1, bank * presetsPerBank + current % presetsPerBank);
    return presetManager->choosePreset ((juce::uint16) number);
}

void KestrelCommandTarget::loadSnapshot (int index)
{
    auto* snapshots = SnapshotList::getInstanceWithoutCreating();
    juce::String path;

    if (snapshots == nullptr || ! snapshots->getSecond (index, path))
        return;

    juce::File file (path);
    // The path is shown with its control characters escaped: a newline or an
    // escape sequence in a file's name never acts on the box.
    const auto shownPath = printableName (path);

    if (! file.existsAsFile())
    {
        UserNotifier::warn ("Unable to locate snapshot file:\n" + shownPath, "Load Snapshot");
        snapshots->removeAndReturn (index);
        return;
    }

    if (! isUnitReadyOrSayPaused())
        return;

    juce::MemoryBlock data;

    if (const auto read = readPresetFile (file, data); read != FileReadResult::read)
    {
        UserNotifier::warn (read == FileReadResult::tooLarge
                                ? "The snapshot file is too large to be a preset:\n" + shownPath
                                : "Unable to read snapshot file:\n" + shownPath,
                            "Load Snapshot");
        return;
    }

    // The preset manager refuses (with its message, under its paste's title)
    // data that is not one whole preset, but takes no data as nothing to do:
    // an empty file holds no preset, and is refused here, naming the file. The
    // unit's report of its preset ends the paste's wait; the window reads the
    // preset again once, when the paste ends.
    if (data.isEmpty())
    {
        UserNotifier::warn ("The snapshot file is empty and holds no preset:\n" + shownPath, "Load Snapshot");
        return;
    }

    PresetManager::getInstanceWithoutCreating()->requestPastePreset (data, true);
}

bool KestrelCommandTarget::importPresetFile (const juce::File& file, bool rememberFolder)
{
    const juce::String refused ("Unable to import.\n"), importTitle ("Import Preset");
    juce::MemoryBlock data;

    const auto read = readPresetFile (file, data);

    if (read == FileReadResult::tooLarge)
    {
        UserNotifier::warn (refused + "The selected file is too large to be a preset file:\n" + file.getFullPathName());
        return false;
    }

    if (read != FileReadResult::read || data.isEmpty())
    {
        UserNotifier::warn (refused + "The selected file could not be read:\n" + file.getFullPathName());
        return false;
    }

    if (rememberFolder)
        if (auto* configuration = KestrelGlobalConfiguration::getInstanceWithoutCreating())
            configuration->MRU_DIR_IMPORT = file.getParentDirectory().getFullPathName();

    if (! isUnitReady())
        return false;

    auto* presetManager = PresetManager::getInstanceWithoutCreating();

    switch (getSysExFileType (data))
    {
        case SYSEX_FILE_PRESET:
            // A damaged preset is refused by the preset manager with its own message.
            return presetManager->requestPastePreset (data, true, importTitle);

        case SYSEX_FILE_PRESET_CAB:
        {
            PatchPlusCabHeader header;
            juce::OwnedArray<juce::MemoryBlock> blocks;

            if (! parsePresetCabBundle (data, presetManager->getConnectedModel(), header, blocks))
            {
                UserNotifier::warn (refused + "The selected Preset-Cab Bundle is damaged or made for another model.");
                return false;
            }

            juce::Array<juce::MemoryBlock> dataBlocks;

            for (auto* block : blocks)
                dataBlocks.add (*block);

            return presetManager->requestImportPresetCabBundle (header.cabFlags, dataBlocks);
        }

        case SYSEX_FILE_CAB:
            UserNotifier::warn (refused + "The selected file is a User Cab.");
            return false;

        case SYSEX_FILE_UNKNOWN:
        {
            // A preset dump cut short: the preset manager tells the user it is damaged.
            auto* bytes = static_cast<const juce::uint8*> (data.getData());

            if (data.getSize() > 6 && bytes[0] == 0xF0 && bytes[1] == 0x00 && bytes[2] == 0x02 && bytes[3] == 0x6B
                && bytes[5] == SYSEX_PATCH_START)
                return presetManager->requestPastePreset (data, true, importTitle);

            UserNotifier::warn (refused + "The selected file is not a preset file.");
            return false;
        }

        default:
            UserNotifier::warn (refused + "The selected file is a " + getSysExFileTypeText (getSysExFileType (data))
                                + ".");
            return false;
    }
}

//==============================================================================
bool KestrelCommandTarget::isFirmwareCompatible (const PresetManager& presetManager)
{
    if (! presetManager.isFirmwareValid())
        return false;

    // The models this program edits, each with the lowest firmware it needs.
    const auto& firmware = presetManager.getFirmware();
    juce::int32 major = 0, minor = 0;

    if (! getPairForId (FirmwareRequirements, (juce::int32) firmware.model, major, minor))
        return false;

    return isFirmwareAtLeast (firmware, (juce::uint32) major, (juce::uint32) minor);
}

void KestrelCommandTarget::checkFirmware (PresetManager& presetManager)
{
    if (isFirmwareCompatible (presetManager))
    {
        // The name tables take this unit's size before anything reads names into them.
        presetManager.resetPresetList();
        presetManager.resetCabLists();
        presetManager.getRequest (initialization).start();
        return;
    }

    if (mainWindow != nullptr)
        mainWindow->forgetPorts();
    else if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();

    UserNotifier::warn (incompatibleFirmwareText);
}

void KestrelCommandTarget::releasePresetHolds()
{
    auto* presetManager = PresetManager::getInstanceWithoutCreating();

    if (presetManager == nullptr)
        return;

    presetManager->setResyncHold (false);
    presetManager->setPresetChangeHold (false);

    if (presetManager->getDeferredPresetChanges() != 0)
        presetManager->requestCurrentPresetNumber();
}

void KestrelCommandTarget::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    auto* presetManager = PresetManager::getInstanceWithoutCreating();

    if (source == nullptr || source != presetManager)
        return;

    auto* link = ZOLMidiProcessing::getInstanceWithoutCreating();

    switch (presetManager->getStatus())
    {
        case queryDeviceVersionBegin:
            if (link != nullptr)
                link->setPresetChangeRequested (true);
            break;

        case queryDeviceVersionEnd:
            checkFirmware (*presetManager);
            break;

        case initializationEnd:
            if (link != nullptr)
                link->setPresetChangeRequested (false);
            break;

        default:
            break;
    }
}
