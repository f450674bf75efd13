// The unit's list: its slots and names as the preset manager holds them, its
// selection, and Load, which makes a slot's preset the current one.

#include "librarian/BankManagerListContent.h"

#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/ModelRules.h"
#include "librarian/SlotTexts.h"
#include "model/FileUtils.h"
#include "model/PromptCatalogue.h"
#include "model/UserNotifier.h"
#include "skin/lists/ZolScrollableListCtrl.h"

#include <utility>

juce::String BankManagerListContent::slotText (int slot) const
{
    auto* manager = getPresetManager();
    const int offset = manager != nullptr ? manager->getDisplayOffset() : 0;
    return presetSlotNumber (slot, offset);
}

void BankManagerListContent::refreshUnitList()
{
    // A preset whose name the unit has not told since its name table was
    // made anew (a names answer that never came) keeps the name it showed.
    const auto earlier = listedCabs ? std::vector<ScrollableListItem>() : std::exchange (unitRecords, {});
    unitRecords.clear();
    unitSlots.clear();
    listedCabs = cabMode;
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
                // A cab's name is shown as the other lists show names: a
                // control character escaped, never drawn. Cab rows are not
                // renamed, so the shown name is never sent back.
                unitRecords[(size_t) i].name = printableName (names[i]);
            }
        }
        else
        {
            const int count = juce::jmax (0, getPresetCount (manager->getFirmware()));
            unitRecords.resize ((size_t) count);

            for (int slot = 0; slot < count; ++slot)
            {
                juce::String name;
                if (! manager->getPresetName (slot, name)
                    || (name.isEmpty() && ! manager->arePresetNamesLoaded (slot, 1)))
                    name = slot < (int) earlier.size() ? earlier[(size_t) slot].name : name;
                unitRecords[(size_t) slot].number = slotText (slot) + "  ";
                unitRecords[(size_t) slot].name = slot == typedRename.slot ? typedRename.name : name;
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
    // A rename types only what the unit stores, as the window's name field does.
    const auto nameCharacters = unitNameCharacters();

    for (size_t i = 0; i < unitRecords.size(); ++i)
    {
        unitRecords[i].itemId = (int) i + 1;
        unitRecords[i].acceptsFiles = false;
        unitRecords[i].hasRenameSettings = true;
        unitRecords[i].renamable = ! cabMode;
        unitRecords[i].maxNameLength = presetNameLength;
        unitRecords[i].allowedNameCharacters = nameCharacters;
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

void BankManagerListContent::selectUnitEntry (int index)
{
    if (juce::isPositiveAndBelow (index, unitList->getNumCells()))
        unitList->selectCell (index, true, true, false);
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
        const auto runs = manager != nullptr ? manager->getRequest (changePreset).getRunCount() : 0u;
        if (manager == nullptr || ! manager->choosePreset ((juce::uint16) slot))
            return false;
        loadingSlot = slot;
        loadRuns = runs;
        loadingText = getUnitEntryText (unitSlots.indexOf (slot));
        statusLabel.setText ("Loading " + loadingText + "...", juce::dontSendNotification);
        return true;
    };

    return whenEditsMayGo (load, [] {});
}
