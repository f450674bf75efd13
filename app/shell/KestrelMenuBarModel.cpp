#include "app/shell/KestrelMenuBarModel.h"

#include "app/host/CommandTables.h"
#include "app/grid/GridUnitContent.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "app/shell/SnapshotList.h"
#include "model/SnapshotMenu.h"

KestrelMenuBarModel::KestrelMenuBarModel (KestrelCommandTarget* targetToUse,
                                          juce::ApplicationCommandManager* managerToUse)
    : target (targetToUse)
    , commandManager (managerToUse)
{
}

void KestrelMenuBarModel::rebuildMenus()
{
    menuItemsChanged();
}

void KestrelMenuBarModel::rebuildMenu (int index)
{
    if (juce::isPositiveAndBelow (index, getMenuBarNames().size()))
        menuItemsChanged();
}

juce::StringArray KestrelMenuBarModel::getMenuBarNames()
{
    return { "Preset", "Block", "Tools", "Settings", "Help" };
}

template <typename PaneType>
PaneType* KestrelMenuBarModel::findPane (ContentPane pane) const
{
    auto* window = target != nullptr ? target->getMainWindow() : nullptr;
    auto* content = window != nullptr ? window->getContent() : nullptr;
    return content != nullptr ? content->getPaneAs<PaneType> (pane) : nullptr;
}

bool KestrelMenuBarModel::canInsertIntoGrid() const
{
    return target == nullptr || ! target->isHomeScreenHidden();
}

juce::PopupMenu KestrelMenuBarModel::getMenuForIndex (int index, const juce::String&)
{
    juce::PopupMenu menu;

    switch (index)
    {
        case presetMenu:
            fillMenuFromCommandTable (menu, PresetMenuCommands, commandManager);
            menu.addSeparator();
            fillMenuFromCommandTable (menu, SnapshotsMenuCommands, commandManager);

            if (auto* snapshots = SnapshotList::getInstanceWithoutCreating())
                buildLoadSnapshotMenu (*snapshots, &menu, commandManager);
            break;

        case blockMenu:
        {
            fillMenuFromCommandTable (menu, BlockMenuCommands, commandManager);
            // The blocks that fit the grid's selected (empty) cell, and the
            // block library's commands for the block the editor shows.
            menu.addSeparator();
            juce::PopupMenu insert, library;

            if (auto* grid = findPane<GridUnitContent> (ContentPane::grid))
                insert = grid->buildInsertMenu();

            fillMenuFromCommandTable (library, BlockLibraryItemMenuCommands, commandManager);

            menu.addSubMenu ("Insert", insert, insert.getNumItems() > 0 && canInsertIntoGrid());
            menu.addSubMenu ("Library", library, library.getNumItems() > 0);
            break;
        }

        case toolsMenu: fillMenuFromCommandTable (menu, ToolsMenuCommands, commandManager); break;
        case settingsMenu: fillMenuFromCommandTable (menu, SettingsMenuCommands, commandManager); break;
        case helpMenu: fillMenuFromCommandTable (menu, HelpMenuCommands, commandManager); break;
        default: break;
    }

    return menu;
}

void KestrelMenuBarModel::menuItemSelected (int menuItemId, int)
{
    if (menuItemId > GridUnitContent::insertMenuBase && menuItemId < GridUnitContent::insertMenuBase + 0x1000)
    {
        if (auto* grid = findPane<GridUnitContent> (ContentPane::grid); grid != nullptr && canInsertIntoGrid())
            grid->insertIntoSelectedCell (menuItemId);
        return;
    }

    // Command items were run by the command manager; a snapshot item carries
    // its index in the high 16 bits.
    if (target != nullptr && menuItemId > 0 && (menuItemId & 0xffff) == loadSnapshotCommandId)
        target->invokeCommand (menuItemId);
}
