// The unit list's context menu and the commands it carries out.

#include "librarian/BankManagerListContent.h"

#include "device/engines/PresetManager.h"
#include "app/host/CommandTables.h"
#include "skin/engine/UserInteraction.h"
#include "skin/lists/ZolScrollableListCtrl.h"

namespace
{
constexpr int listSelectAll = 2100;
constexpr int listImport = 2107;
constexpr int listExport = 2108;
} // namespace

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
    // Load and Rename act on the row the menu was asked from (the one
    // pressed last) when it is among the chosen ones, else on the first
    // chosen row.
    auto* cell = unitList->getCurrentCell();
    if (cell == nullptr || ! cell->isSelected())
        cell = slots.isEmpty() ? nullptr : unitList->getCell (unitSlots.indexOf (slots.getFirst()));
    const int row = cell != nullptr ? unitList->getCellIndex (cell) : -1;
    const int rowSlot = juce::isPositiveAndBelow (row, unitSlots.size()) ? unitSlots[row] : -1;

    switch (commandId)
    {
        case listSelectAll:
            for (int i = 0; i < unitList->getNumCells(); ++i)
                unitList->selectCell (i, true, false, false);
            return true;

        case listLoad: return rowSlot >= 0 && loadPreset (rowSlot);

        case listRename: return cell != nullptr && ! cabMode && ! sending && canReachUnit() && cell->showNameEditor();

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
