// The transfers one after another: presets and cabs sent to the unit, renames,
// and preset slots read from the unit into files; the holds on the preset
// manager while they run, and the summary when they end.

#include "librarian/BankManagerListContent.h"

#include "device/engines/PresetManager.h"
#include "librarian/SlotTexts.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"
#include "model/UserNotifier.h"
#include "skin/lists/ZolScrollableListCtrl.h"

#include <utility>

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

bool BankManagerListContent::startTransfers()
{
    sending = true;
    sentCount = 0;
    failure.clear();
    failureTold = false;
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
        // A preset sent from a file keeps the name it holds; one that holds
        // none is given none.
        started = manager->requestManagePreset (
            transfer.slot, data,
            data == nullptr || diskEntries[(size_t) transfer.diskIndex].ownName ? &transfer.name : nullptr);

    if (! started)
    {
        failure = "The Kestrel refused \"" + transfer.name + "\"";
        return false;
    }

    recalledBeforeCurrent = presetRecalled;
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

    // A preset's name as the lists show it, quoted; the one sent, or "the preset" when it has none.
    const auto quotedName = [] (const juce::String& name) { return "\"" + printableName (name).trim() + "\""; };
    const auto sentName = [&]
    { return current.name.trim().isEmpty() ? juce::String ("the preset") : quotedName (current.name); };

    const bool writing = current.diskIndex == writeToFile;
    auto& request = manager->getRequest (writing ? getPresetDataFile : cabMode ? importUserCab : managePreset);

    if (request.isRunning())
        return;

    if (const auto playing = manager->getPresetMovedToBeforeSave (request); playing >= 0)
    {
        // The unit went to another preset before the save: the slot keeps
        // what it held, and the unit is left on the preset chosen there.
        juce::String playingName;
        manager->getPresetName (playing, playingName);
        failure = "The Kestrel changed to " + slotText (playing)
                  + (isEmptySlotName (playingName) ? juce::String() : " " + quotedName (playingName)) + " before "
                  + sentName() + " was saved: preset " + slotText (current.slot) + " was left as it was";
        presetRecalled = false;
        endSending();
        return;
    }

    if (const auto playing = manager->getPresetMovedToAsSaved (request); playing >= 0)
    {
        // The unit went to another preset as the save reached it: the slot
        // holds that preset now, as the preset manager's box has said.
        failure = "The Kestrel changed to " + slotText (playing) + " as the save went out";
        failureTold = true;
        presetRecalled = false;
        endSending();
        return;
    }

    if (request.writeStop.stop == WriteGuard::Stop::refused)
    {
        // A recall the unit refused left it where it was.
        if (request.writeStop.function == SYSEX_RECALL_PATCH)
            presetRecalled = recalledBeforeCurrent;

        failure = "The Kestrel refused " + sentName() + " for preset " + slotText (current.slot) + " (error "
                  + juce::String (request.writeStop.refusal) + "): preset " + slotText (current.slot) + " was left as it was";
        endSending();
        return;
    }

    if (request.getResult() != ZolStateMachine::resultCompleted)
    {
        failure = "The Kestrel did not answer";
        // A request that timed out has told the user already, with the
        // time-out or with what it met on the way.
        failureTold = request.getResult() == ZolStateMachine::resultTimedOut;
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

    // The unit has the new name: it is shown before the unit's names tell it.
    if (current.diskIndex == renameOnly)
        manager->setPresetName (current.slot, current.name);

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
    forgetTypedRename();

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
    statusLabel.setText ((failureTold ? failure + ". " : juce::String()) + summary, juce::dontSendNotification);

    if (failure.isNotEmpty() && ! failureTold)
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

    // Nothing is left to send: a Close that asked about it closes now.
    if (runEnded() || closeWhenSent)
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
