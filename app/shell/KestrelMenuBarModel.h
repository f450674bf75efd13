#pragma once

#include "app/host/ContentPanes.h"

#include <juce_gui_basics/juce_gui_basics.h>

class KestrelCommandTarget;

// The main menu bar: Preset, Block, Tools, Settings and Help, each built from
// its command table with the command manager, so that every item shows the
// command target's name, key, tick and enablement and runs the command.
// The Preset menu ends with the snapshots: show the folder, clear the list
// and load one of them. The Block menu's "Insert" submenu lists the blocks
// that fit the grid's selected empty cell, its "Library" submenu the block
// library's commands for the block the editor shows.
class KestrelMenuBarModel : public juce::MenuBarModel
{
public:
    enum MenuIndex
    {
        presetMenu = 0,
        blockMenu = 1,
        toolsMenu = 2,
        settingsMenu = 3,
        helpMenu = 4
    };

    KestrelMenuBarModel (KestrelCommandTarget* target, juce::ApplicationCommandManager* commandManager);

    // The menus are built when they open; these tell the bar that their
    // items changed.
    void rebuildMenus();
    void rebuildMenu (int index);

    juce::StringArray getMenuBarNames() override;
    juce::PopupMenu getMenuForIndex (int topLevelMenuIndex, const juce::String& menuName) override;
    void menuItemSelected (int menuItemId, int topLevelMenuIndex) override;

private:
    template <typename PaneType>
    PaneType* findPane (ContentPane pane) const;
    // Nothing is inserted into a grid that a dialog hides.
    bool canInsertIntoGrid() const;

    KestrelCommandTarget* target;
    juce::ApplicationCommandManager* commandManager;

    JUCE_DECLARE_NON_COPYABLE (KestrelMenuBarModel)
};
