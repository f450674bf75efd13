// Renaming a preset in the unit's list: the name typed in a cell goes to the
// unit (recalled, named, saved) as a one-item transfer.

#include "librarian/BankManagerListContent.h"

#include "device/engines/PresetManager.h"
#include "skin/lists/ZolScrollableListCtrl.h"

#include <utility>

bool BankManagerListContent::renamePreset (int slot, const juce::String& newName)
{
    auto* manager = getPresetManager();

    if (sending || cabMode || ! unitSlots.contains (slot) || manager == nullptr || ! canReachUnit())
        return false;

    const auto name = newName.substring (0, presetNameLength);
    auto rename = [this, slot, name]
    {
        queue.clear();
        leftOut = 0;
        queue.push_back ({ slot, renameOnly, name });
        return startTransfers();
    };

    // The row keeps the typed name, whatever rebuilds the list meanwhile.
    typedRename = { slot, renameOnly, name };
    nameBeforeRename = std::exchange (unitRecords[(size_t) unitSlots.indexOf (slot)].name, name);

    // A rename loads the slot on the unit too.
    return whenEditsMayGo (rename,
                           [this]
                           {
                               forgetTypedRename();
                               refreshUnitList();
                           });
}

void BankManagerListContent::forgetTypedRename()
{
    if (auto index = unitSlots.indexOf (std::exchange (typedRename.slot, -1)); index >= 0 && ! listedCabs)
        unitRecords[(size_t) index].name = nameBeforeRename;
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
