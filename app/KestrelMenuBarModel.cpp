#include "app/KestrelMenuBarModel.h"

#include "app/CommandTables.h"
#include "app/KestrelCommandTarget.h"
#include "app/SnapshotList.h"
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
            fillMenuFromCommandTable (menu, BlockMenuCommands, commandManager);
            // The effect types to insert and the selected block's library
            // entries come from the grid editor; without it both are empty.
            menu.addSeparator();
            menu.addSubMenu ("Insert", {}, false);
            menu.addSubMenu ("Library", {}, false);
            break;

        case toolsMenu: fillMenuFromCommandTable (menu, ToolsMenuCommands, commandManager); break;
        case settingsMenu: fillMenuFromCommandTable (menu, SettingsMenuCommands, commandManager); break;
        case helpMenu: fillMenuFromCommandTable (menu, HelpMenuCommands, commandManager); break;
        default: break;
    }

    return menu;
}

void KestrelMenuBarModel::menuItemSelected (int menuItemId, int)
{
    // Command items were run by the command manager; a snapshot item carries
    // its index in the high 16 bits.
    if (target != nullptr && menuItemId > 0 && (menuItemId & 0xffff) == loadSnapshotCommandId)
        target->invokeCommand (menuItemId);
}
