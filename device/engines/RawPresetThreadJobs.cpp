#include "device/engines/RawPresetThread.h"

#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/WriteGuard.h"
#include "model/BlockLibraryEntry.h"
#include "model/Clock.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"

namespace
{
const juce::String copyPrefix ("Copy X-to-Y preset: ");

juce::String exportText (int displayNumber, const juce::String& step)
{
    return juce::String::formatted ("Exporting preset: %d - ", displayNumber) + step;
}

juce::String importText (int presetNumber, const juce::String& step)
{
    return juce::String::formatted ("Importing preset: %d - ", presetNumber) + step;
}
} // namespace

//==============================================================================
// The frame every job shares.

int RawPresetThread::forEachItem (const std::function<bool (int position, RawPresetJobItem& item)>& perform)
{
    int handled = 0;

    for (int i = 0; i < items.size(); ++i)
    {
        auto* item = items.getUnchecked (i);

        if (item == nullptr)
            break;

        item->setStartTime (Clock::nowMs());

        // Asked to stop before this item: it keeps the state the dialog gave
        // it, as it was neither done nor tried.
        if (threadShouldExit())
            break;

        work.clear();
        ++handled;

        // What the item writes (or reads into a file) is its slot's once the
        // unit has taken the item's recall, in the scene the item set last; a
        // move of the unit to another preset or scene ends it. A change of
        // scene met at the item's last answer is found out before it ends.
        const auto reports = link->getPresetReports();
        guard = std::make_shared<WriteGuard> (item->getPresetIndex(), reports.count);
        guard->awaitRecall();
        guard->addressScene (-1, reports.states);
        const bool performed = perform (i, *item) && settleScene();
        const auto stop = guard->getState();
        guard = nullptr;

        if (! performed)
        {
            // The preset the unit went to is named as it stores it. A move
            // met at the save's answer came as the save reached the unit,
            // which stored the preset moved to in the item's slot (or the
            // item's preset, in the scene moved to).
            if (stop.stop == WriteGuard::Stop::moved || stop.stop == WriteGuard::Stop::sceneMoved)
            {
                RawPresetJobItem::Move move;
                move.asSaved = stop.function == SYSEX_SAVE_PATCH && stop.reachedUnit;

                if (stop.stop == WriteGuard::Stop::sceneMoved)
                {
                    move.scene = stop.sceneMovedTo;
                }
                else
                {
                    move.preset = stop.movedTo;
                    sendQueryNameByNum (stop.movedTo, move.name);
                }

                item->setMove (move);
            }

            // A reason given by the step stands; otherwise the exchange tells
            // why, or the stop request that ended a step.
            else if (item->getFailureReason().isEmpty())
                item->setFailureReason (threadShouldExit() ? juce::String (stoppedByUserText) : lastProblem);

            item->setState (RawPresetJobItem::stateFailed);
            break;
        }

        item->setFinishTime (Clock::nowMs());
        item->setState (RawPresetJobItem::stateDone);
    }

    return handled;
}

bool RawPresetThread::fail (RawPresetJobItem& item, const juce::String& reason)
{
    item.setFailureReason (reason);
    item.setState (RawPresetJobItem::stateFailed);
    return false;
}

void RawPresetThread::fillHeader (int presetNumber)
{
    work.model = (juce::uint16) device[7];
    work.firmwareMajor = (juce::uint8) device[0];
    work.firmwareMinor = (juce::uint8) device[1];
    work.presetNumber = (juce::uint16) presetNumber;
}

//==============================================================================
// Export to ".dat".

void RawPresetThread::exportPresets()
{
    forEachItem ([this] (int position, RawPresetJobItem& item) { return exportOne (position, item); });
}

bool RawPresetThread::exportOne (int position, RawPresetJobItem& item)
{
    const int preset = item.getPresetIndex();
    const int shown = (juce::uint16) (base + preset);
    auto step = [&] (const char* text) { setProgress (exportText (shown, text), position); };

    fillHeader (preset);

    step ("Changing preset");
    if (! sendRecallPatch (preset))
        return false;

    step ("Querying preset name");
    if (! sendQueryNameByNum (preset, work.name))
        return false;

    step ("Querying Grid");
    if (! sendGetGrid())
        return false;
    gridFromReply (work.grid);

    step ("Querying Scenes");
    if (! readSceneStates (work))
        return false;

    step ("Querying Effect X Parameters");
    if (! readParamValues (0, work))
        return false;

    step ("Querying Effect Y Parameters");
    if (! readParamValues (1, work))
        return false;

    step ("Querying Modifiers");
    if (! readModifiers (work))
        return false;

    step ("Writing file to disk");
    if (! settleScene())
        return false;

    const auto baseName =
        makeLegalFileName (juce::String::formatted ("%0.3d_", shown) + work.name.trimEnd());
    juce::String path;

    if (! makeUniqueFilePath (juce::File (folder), baseName, ".dat", false, path))
        return fail (item, "No free file name for " + baseName + ".dat");

    juce::MemoryBlock data;
    work.writeTo (data);
    const auto error = saveDataToFile (path, data);

    if (error.isNotEmpty())
        return fail (item, error);

    return true;
}

//==============================================================================
// Export blocks to ".blk".

void RawPresetThread::exportBlocks()
{
    forEachItem ([this] (int position, RawPresetJobItem& item) { return exportBlocksOf (position, item); });
}

bool RawPresetThread::exportBlocksOf (int position, RawPresetJobItem& item)
{
    const int preset = item.getPresetIndex();
    const int shown = (juce::uint16) (base + preset);
    juce::String presetName;

    setProgress (exportText (shown, "Changing preset"), position);
    if (! sendRecallPatch (preset))
        return false;

    setProgress (exportText (shown, "Querying preset name"), position);
    if (! sendQueryNameByNum (preset, presetName))
        return false;

    setProgress (exportText (shown, "Querying Grid"), position);
    if (! sendGetGrid())
        return false;
    gridFromReply (unitGrid);

    // One subfolder per preset.
    const auto presetFolder = juce::File (folder).getChildFile (
        makeLegalFileName (juce::String::formatted ("%.3d ", shown) + presetName.trimEnd()));
    PresetGridIterator blocks (&unitGrid, 0);
    juce::uint16 blockId = 0;

    while (blocks.next (blockId))
    {
        juce::String blockName;
        getBlockName (blockId, blockName);
        setProgress (exportText (shown, blockName), position);

        BlockLibraryEntry entry (effectTypeOfBlock (blockId), (int) device[7], (int) device[0], (int) device[1]);

        if (! sendGetAllParams (blockId, entry.paramData) || ! sendModifierDump (blockId, entry.modifierRecords))
            return false;

        entry.name = presetName + " - " + blockName;
        entry.folderText = presetName;
        entry.addTimestamp = 0;
        entry.modified = 1;

        const auto baseName = makeLegalFileName (presetName + " - " + blockName);
        juce::String path;

        if (! makeUniqueFilePath (presetFolder, baseName, ".blk", false, path))
            return fail (item, "No free file name for " + baseName + ".blk");

        // The item tells what the file system said.
        if (const auto created = presetFolder.createDirectory(); created.failed())
            return fail (item, "Unable to create the folder " + presetFolder.getFullPathName() + ": "
                                   + created.getErrorMessage());

        if (juce::String error; ! entry.writeToFile (juce::File (path), &error))
            return fail (item, error);

        entry.modified = 0;
    }

    return true;
}

//==============================================================================
// Import from ".dat".

void RawPresetThread::importPresets()
{
    forEachItem ([this] (int position, RawPresetJobItem& item) { return importOne (position, item); });
}

bool RawPresetThread::importOne (int position, RawPresetJobItem& item)
{
    const int preset = item.getPresetIndex();
    auto step = [&] (const char* text) { setProgress (importText (preset, text), position); };

    // Nothing is sent for a record that cannot be imported as it stands.
    if (! work.readFrom (item.getRecordData()))
        return fail (item, "The preset file is damaged or incomplete.");

    if (work.model != (juce::uint16) device[7])
        return fail (item, "The preset file was made for another model.");

    if (! planImport (work))
        return fail (item, "The preset file holds more shunts than the unit has.");

    if (! nameFieldKeepsCharacters (work.name))
        return fail (item, unstorableNameText (work.name));

    step ("Changing preset");
    if (! sendRecallPatch (preset))
        return false;

    step ("Renaming preset");
    if (! sendSetName (work.name))
        return false;

    step ("Deleting blocks");
    for (int cell = 0; cell < gridCellCount; ++cell)
        if (! sendPlaceEffect (blockIdNone, cell))
            return false;

    // Every placement and cable must be taken: a preset missing one is not
    // saved over the user's slot.
    step ("Inserting blocks");
    for (; ! placementQueue.empty(); placementQueue.pop_front())
        if (! sendPlaceEffect (placementQueue.front().blockId, placementQueue.front().cell))
            return false;

    step ("Connecting blocks");
    for (; ! connectionQueue.empty(); connectionQueue.pop_front())
        if (! sendConnectEffect (connectionQueue.front()))
            return false;

    step ("Querying Grid");
    if (! sendGetGrid())
        return false;
    gridFromReply (unitGrid);

    step ("Setting Effect's X Parameters");
    if (! writeParamValues (0, 0, unitGrid, work))
        return false;

    step ("Setting Effect's Y Parameters");
    if (! writeParamValues (1, 1, unitGrid, work))
        return false;

    step ("Setting Modifiers");
    for (; ! modifierQueue.empty(); modifierQueue.pop_front())
    {
        ModifierSetReply answer;

        if (! sendModifierSet (modifierQueue.front(), answer) || threadShouldExit())
            return false;
    }

    step ("Settings Scenes");
    juce::uint8 echo = 0;
    if (! writeSceneStates (work) || ! sendSetScene (0, echo) || echo != 0)
        return false;

    step ("Saving patch");
    return sendSavePatch (preset);
}

//==============================================================================
// Copy X to Y.

void RawPresetThread::copyXToY()
{
    setProgress (copyPrefix + " - Muting processor", 0);
    int handled = 0;

    if (sendMute (true))
        handled = forEachItem ([this] (int position, RawPresetJobItem& item) { return copyOne (position, item); });

    // Whatever happened, the processor is unmuted.
    setProgress (copyPrefix + " - Unmuting processor", handled);
    sendMute (false);
}

bool RawPresetThread::copyOne (int position, RawPresetJobItem& item)
{
    const int preset = item.getPresetIndex();
    auto label = item.getLabel();

    if (label.isEmpty())
        label = juce::String ((int) (juce::uint16) (base + preset));

    auto step = [&] (const char* text) { setProgress (copyPrefix + label + text, position); };

    fillHeader (preset);

    step (" - Changing preset");
    if (! sendRecallPatch (preset))
        return false;

    step (" - Querying preset name");
    if (! sendQueryNameByNum (preset, work.name))
        return false;

    step (" - Querying Grid");
    if (! sendGetGrid())
        return false;
    gridFromReply (work.grid);

    step (" - Querying Scenes");
    if (! readSceneStates (work))
        return false;

    step (" - Querying Effect X Parameters");
    if (! readParamValues (0, work))
        return false;

    step (" - Setting Effect's Y Parameters");
    if (! writeParamValues (1, 0, work.grid, work))
        return false;

    step (" - Settings Scenes");
    if (! writeSceneStates (work))
        return false;

    step (" - Change to Scene 0");
    juce::uint8 echo = 0;
    if (! sendSetScene (0, echo) || echo != 0)
        return false;

    step (" - Saving patch");
    return sendSavePatch (preset);
}
