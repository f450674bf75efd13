#include "app/shell/ControlUnitContent.h"

#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/SnapshotList.h"
#include "device/engines/EngineDetail.h"
#include "device/engines/PresetManager.h"
#include "device/wire/SysExFiles.h"
#include "model/FileUtils.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "model/PromptCatalogue.h"
#include "model/RawPreset.h"
#include "model/SafeFileWrite.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/engine/UserInteraction.h"
#include "skin/widgets/ZOLDrawableButton.h"

namespace
{
constexpr int importTitleId = 23;
constexpr int bundleImportedLongId = 31;
constexpr int exportTitleId = 35;
constexpr int templateTitleId = 36;
constexpr int snapshotSavedId = 39;
constexpr int presetSavedId = 40;
constexpr int bundleImportedId = 41;

const char* const nothingToExportText =
    "Unable to export the preset.\nThe data read from the Kestrel is incomplete. Nothing was written.";

KestrelGlobalConfiguration* configuration()
{
    return KestrelGlobalConfiguration::getInstanceWithoutCreating();
}

juce::String legalName (const juce::String& name)
{
    return makeLegalFileName (name.trim());
}

juce::String asFolder (const juce::String& folder)
{
    if (folder.isEmpty())
        return {};

    return folder.endsWithChar (juce::File::getSeparatorChar()) ? folder
                                                                 : folder + juce::File::getSeparatorString();
}
} // namespace

juce::File ControlUnitContent::withExtension (const juce::File& chosen, const juce::String& extension)
{
    if (chosen.getFileExtension().equalsIgnoreCase (extension))
        return chosen;

    return juce::File (chosen.getFullPathName() + extension);
}

juce::MemoryBlock ControlUnitContent::takeExportData (bool& usable) const
{
    juce::MemoryBlock data;

    // (Copying an empty block would hand memcpy a null pointer.)
    if (presetManager != nullptr && ! presetManager->getPatchDumpBuffer().isEmpty())
        data = presetManager->getPatchDumpBuffer();

    // Only a whole preset (or a whole Preset-Cab bundle) is written: a read
    // cut short by a time-out must not end up in a file that looks complete.
    const auto type = getSysExFileType (data);
    usable = (type == SYSEX_FILE_PRESET && PresetManager::isWholePresetDump (data)) || type == SYSEX_FILE_PRESET_CAB;
    return data;
}

void ControlUnitContent::saveWithChooser (const juce::String& title, const juce::String& folder,
                                          const juce::String& defaultName, const juce::String& extension,
                                          bool rememberFolder,
                                          std::function<juce::String (const juce::File&)> write)
{
    FileRequest request;
    request.mode = FileRequest::Mode::save;
    request.title = title;
    request.initial = juce::File (asFolder (folder) + defaultName);
    request.patterns = "*" + extension;

    juce::Component::SafePointer<ControlUnitContent> safeThis (this);

    UserInteraction::chooseFile (
        request,
        [safeThis, extension, rememberFolder, write] (juce::File chosen)
        {
            if (safeThis == nullptr || chosen == juce::File())
                return;

            const auto target = withExtension (chosen, extension);

            auto finish = [rememberFolder, write, target]
            {
                const auto error = write (target);

                if (error.isNotEmpty())
                    UserNotifier::warn (error);
                else if (auto* settings = configuration(); settings != nullptr && rememberFolder)
                    settings->MRU_DIRECTORY = target.getParentDirectory().getFullPathName();
            };

            // The chooser asked about the name typed; the extension added here
            // may name another file that exists.
            if (target != chosen && target.exists())
            {
                UserNotifier::askOkCancel (target.getFullPathName() + "\nalready exists. Do you want to replace it?",
                                           [finish] (bool ok)
                                           {
                                               if (ok)
                                                   finish();
                                           });
                return;
            }

            finish();
        });
}

void ControlUnitContent::exportSysex (bool asTemplate)
{
    bool usable = false;
    auto data = takeExportData (usable);

    if (! usable)
    {
        UserNotifier::warn (nothingToExportText);
        return;
    }

    juce::String folder, name;

    if (auto* settings = configuration())
        folder = asTemplate ? settings->TEMPLATES_DIR : settings->getMruDirectory();

    if (presetManager != nullptr)
        name = legalName (presetManager->getCurrentPresetName());

    // A Preset-Cab bundle ("Export Preset-Cab Bundle...") is saved the same way.
    saveWithChooser (LanguageStore::textOr (asTemplate ? templateTitleId : exportTitleId), folder, name, ".syx", true,
                     [data] (const juce::File& file) { return saveDataToFile (file.getFullPathName(), data); });
}

void ControlUnitContent::exportRawPreset()
{
    if (presetManager == nullptr)
        return;

    RawPreset preset;
    presetManager->fillRawPreset (preset);

    juce::MemoryBlock data;
    preset.writeTo (data);

    juce::String folder;
    if (auto* settings = configuration())
        folder = settings->getMruDirectory();

    const auto name = legalName (juce::String::formatted ("%0.3d_", (int) preset.presetNumber) + preset.name.trim());

    saveWithChooser (LanguageStore::textOr (exportTitleId), folder, name, ".dat", true,
                     [data] (const juce::File& file) { return saveDataToFile (file.getFullPathName(), data); });
}

void ControlUnitContent::saveSnapshot()
{
    bool usable = false;
    auto data = takeExportData (usable);

    if (! usable)
    {
        UserNotifier::warn (nothingToExportText);
        return;
    }

    auto* settings = configuration();
    const juce::String folder = settings != nullptr ? settings->SNAPSHOTS_DIR : juce::String();

    // A folder that is not a full path would land wherever the program was started.
    if (! juce::File::isAbsolutePath (folder))
    {
        UserNotifier::warn ("Unable to save the snapshot.\nThe Snapshots folder is not set: choose one in the "
                            "Workspace Preferences.");
        return;
    }

    auto name = presetManager != nullptr ? legalName (presetManager->getCurrentPresetName()) : juce::String();

    if (name.isEmpty())
        name = "unnamed";

    juce::String path;

    if (! makeUniqueFilePath (juce::File (folder), name, ".syx", true, path))
    {
        UserNotifier::warn ("Unable to generate unique name for snapshot.  Please try again.");
        return;
    }

    const auto error = saveDataToFile (path, data);

    if (error.isNotEmpty())
    {
        UserNotifier::warn (error);
        return;
    }

    if (snapshotButton != nullptr)
        showBubbleBelow (LanguageStore::textOr (snapshotSavedId), snapshotButton->getBounds());
    else
        showBubble (LanguageStore::textOr (snapshotSavedId), nullptr);

    if (auto* snapshots = getSnapshotList())
        snapshots->insertAtStart ({ juce::File (path).getFileNameWithoutExtension(), path });
}

void ControlUnitContent::exportCsv()
{
    juce::String folder;
    if (auto* settings = configuration())
        folder = settings->getMruDirectory();

    const auto name = presetManager != nullptr ? legalName (presetManager->getCurrentPresetName()) : juce::String();
    auto* effects = KestrelEffectManager::getInstanceWithoutCreating();
    auto* layouts = KestrelEffectLayoutManager::getInstanceWithoutCreating();

    if (effects == nullptr || layouts == nullptr)
    {
        UserNotifier::warn ("Unable to export the preset as CSV.");
        return;
    }

    // The unit changed preset as the reading ended: the window reads the
    // other preset now, and what was read for this one is marked stale.
    if (presetManager != nullptr && presetManager->getRequest (loadPreset).isRunning())
    {
        const int playing = presetManager->getCurrentPresetNumber();
        juce::String playingName;
        presetManager->getPresetName (playing, playingName);
        UserNotifier::warn ("The Kestrel changed to " + presetNumberAndName (playing, playingName)
                            + " as the preset was read; nothing was exported.");
        return;
    }

    // The values are those just read for the preset the file is named after:
    // taken now, as the unit may change presets while the chooser is open,
    // and the window's move then marks them to be read again.
    const auto csv = effects->buildCsv (*layouts);

    // The CSV file leaves the last folder used as it was.
    saveWithChooser ("Export Preset as CSV", folder, name, ".csv", false,
                     [csv] (const juce::File& file) -> juce::String
                     {
                         // A failed export is told, not taken for a written file.
                         return writeFileSafely (file, csv);
                     });
}

juce::AttributedString ControlUnitContent::bubbleText (const juce::String& message)
{
    juce::AttributedString attributed;
    attributed.append (message, bubbleFont, bubbleTextColour);
    bubble.setColour (juce::BubbleComponent::backgroundColourId, bubbleBackgroundColour);
    shownBubbleText = message;
    return attributed;
}

void ControlUnitContent::showBubble (const juce::String& message, juce::Component* anchor)
{
    if (anchor == nullptr)
        anchor = this;

    const auto attributed = bubbleText (message);
    bubble.setAllowedPlacement (anyPlacement);
    bubble.showAt (anchor, attributed, bubblePopTimeMs, true, false);
}

void ControlUnitContent::showBubbleBelow (const juce::String& message, juce::Rectangle<int> area)
{
    const auto attributed = bubbleText (message);
    bubble.setAllowedPlacement (juce::BubbleComponent::below);
    bubble.showAt (area, attributed, bubblePopTimeMs, true, false);
    // Placed again with the margin and arrow this panel counts on, and moved
    // sideways as far as its box would stand past the panel's edge.
    bubble.setPosition (area, bubbleMargin, bubbleArrowLength);
    const auto body = getBubbleBody();
    const auto shift = juce::jmax (0, -body.getX()) + juce::jmin (0, getWidth() - body.getRight());

    if (shift != 0)
        bubble.setPosition (area.translated (shift, 0), bubbleMargin, bubbleArrowLength);
}

juce::String ControlUnitContent::getBubbleText() const
{
    return bubble.isVisible() ? shownBubbleText : juce::String();
}

juce::Rectangle<int> ControlUnitContent::getBubbleBody() const
{
    return bubble.isVisible() ? bubble.getBounds().reduced (bubbleMargin) : juce::Rectangle<int>();
}

void ControlUnitContent::goToNumberSaved (bool saved)
{
    // Another request's failure: the save has still to run.
    if (! saved && presetManager != nullptr && presetManager->getRequest (savePreset).isRunning())
        return;

    const auto number = std::exchange (numberAfterSave, -1);

    if (! saved || number < 0 || presetManager == nullptr)
        return;

    const bool another = number != (int) presetManager->getCurrentPresetNumber();

    if (presetManager->choosePreset ((juce::uint16) number) && another && onSavingToAnotherNumber)
        onSavingToAnotherNumber();
}

void ControlUnitContent::showPresetSaved()
{
    const auto text = LanguageStore::textOr (presetSavedId);

    if (saveButton == nullptr)
    {
        showBubble (text, nullptr);
        return;
    }

    // Below the save group (SAVE, its options and the EDITED lamp), clear of
    // all three and of the scene row on its left.
    auto area = saveButton->getBounds();

    if (snapshotButton != nullptr && snapshotButton->getX() > area.getRight())
        area.setRight (snapshotButton->getX());

    showBubbleBelow (text, area);
}

void ControlUnitContent::onBundleSaved()
{
    // A transfer the unit refused has been told: the bundle stays to be saved again.
    if (presetManager == nullptr || presetManager->getRequest (savePresetCabBundle).hasFailed())
        return;

    showPresetSaved();
    presetManager->clearPendingData();
}

void ControlUnitContent::onBundleImported()
{
    if (presetManager == nullptr)
        return;

    // Whatever reached the unit is read back; a transfer it refused has been told.
    presetManager->requestLoadPreset();

    if (presetManager->getRequest (importPresetCabBundle).hasFailed())
        return;

    auto* settings = configuration();

    if (settings == nullptr || settings->PROMPT_PRESET_BUNDLE_IMPORT)
    {
        Notice notice;
        notice.icon = Notice::Icon::info;
        notice.title = LanguageStore::textOr (importTitleId);
        notice.message = LanguageStore::textOr (bundleImportedLongId);
        UserNotifier::show (notice);
        return;
    }

    showBubble (LanguageStore::textOr (bundleImportedId), presetName.get());
}

//==============================================================================
// Commands performed here.

bool ControlUnitContent::ownsCommand (int commandId) const
{
    switch (commandId)
    {
        case 1001: case 1003: case 1108: case 1117: case 1119: case 1120: case 1121: case 1122:
            return true;
        case 1118: // "Save Preset": a preset that came from a bundle is saved with its cabs
            return presetManager != nullptr && presetManager->isBundleImported() && getBundleDialog() != nullptr;
        default:
            return false;
    }
}

bool ControlUnitContent::chooseAndImport (const juce::String& title, const juce::String& folder, bool rememberFolder)
{
    FileRequest request;
    request.mode = FileRequest::Mode::open;
    request.title = title;
    request.initial = juce::File (asFolder (folder));
    request.patterns = "*.syx";

    UserInteraction::chooseFile (request,
                                 [rememberFolder] (juce::File chosen)
                                 {
                                     if (chosen == juce::File())
                                         return;

                                     if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
                                         target->importPresetFile (chosen, rememberFolder);
                                 });
    return true;
}

void ControlUnitContent::startTempoToUse (int value)
{
    auto& machine = presetManager->getRequest (setTempoToUse);

    if (machine.isRunning())
        return;

    machine.start();
    machine.blockId = (juce::uint16) blockIdControllers;
    machine.secondId = (juce::uint16) EngineDetail::tempoToUseParamId;
    machine.value = (juce::uint16) value;
}

bool ControlUnitContent::performCommand (int commandId)
{
    if (presetManager == nullptr)
        return false;

    auto* settings = configuration();

    switch (commandId)
    {
        case 1001:
            return chooseAndImport (LanguageStore::textOr (importTitleId),
                                    settings != nullptr ? settings->MRU_DIR_IMPORT : juce::String(), true);

        case 1003:
            if (settings != nullptr)
                settings->checkTemplatesDirectory();
            return chooseAndImport ("New from Template", settings != nullptr ? settings->TEMPLATES_DIR : juce::String(),
                                    false);

        case 1108:
        case 1122:
        {
            auto* field = commandId == 1108 ? presetName.get() : bankNumber.get();

            if (field == nullptr || ! field->isEnabled())
                return false;

            field->showEditor();
            return true;
        }

        case 1117:
        case 1119:
        {
            if (! presetListOpener)
                return false;

            const bool saving = commandId == 1119;
            juce::Component::SafePointer<ControlUnitContent> safeThis (this);

            presetListOpener (saving ? 1 : 0,
                              [safeThis, saving] (int number)
                              {
                                  if (safeThis == nullptr || safeThis->presetManager == nullptr || number < 0)
                                      return;

                                  if (saving)
                                      safeThis->saveToPresetNumber (number);
                                  else
                                      safeThis->presetManager->choosePreset ((juce::uint16) number);
                              });
            return true;
        }

        case 1118:
            prepareBundleSave();
            return true;

        case 1120:
        case 1121:
            startTempoToUse (commandId == 1121 ? 1 : 0);
            return true;

        default:
            return false;
    }
}

void ControlUnitContent::saveToPresetNumber (int number)
{
    auto* manager = presetManager;
    juce::String target;

    // The slot holds another preset unless it is the current one or empty:
    // replacing it is asked first, and only Yes saves.
    if (manager == nullptr || number == (int) manager->getCurrentPresetNumber() || ! manager->getPresetName (number, target)
        || target.trim().isEmpty() || target.trim() == "EMPTY")
    {
        saveToPresetNumberNow (number);
        return;
    }

    juce::String numberText, bankText, presetText;
    formatPresetNumber (number, {}, numberText, bankText, presetText);

    auto prompt = [] (int id) { return LanguageStore::textOr (id, getNameForId (PromptDefaultTexts, (juce::uint32) id)); };
    Notice notice;
    notice.icon = Notice::Icon::question;
    notice.title = prompt (PROMPT_REPLACE_PRESET_TITLE);
    notice.message = prompt (PROMPT_REPLACE_PRESET)
                         .replace ("<number>", numberText.trim())
                         .replace ("<name2>", manager->getCurrentPresetName().trim())
                         .replace ("<name>", target.trim());
    notice.buttons = Notice::Buttons::yesNo;

    juce::Component::SafePointer<ControlUnitContent> safeThis (this);
    notice.onResult = [safeThis, number] (int result)
    {
        if (result == 1 && safeThis != nullptr)
            safeThis->saveToPresetNumberNow (number);
    };
    UserNotifier::show (std::move (notice));
}

void ControlUnitContent::saveToPresetNumberNow (int number)
{
    auto* manager = presetManager;
    int bank = 0, program = 0;

    if (manager != nullptr && manager->getPresetLocation (number, bank, program)
        && manager->requestSavePreset ((juce::uint8) bank, (juce::uint8) program))
    {
        // The window goes to the number once the unit has stored the preset
        // there; a save the unit refused or moved under stays on the edit.
        numberAfterSave = number;
        return;
    }

    UserNotifier::warn ("The preset could not be saved.\nThe unit is busy, or the chosen location does not exist.");
}
