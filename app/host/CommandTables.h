#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// One row of a static command table. Special rows use the ids below; only
// their id and short name count. Every menu of the program is built from such
// a table, and the command target registers the same ids.
struct CommandRecord
{
    juce::int32 commandId;
    const char* shortName;
    const char* description;
    const char* category;
    bool isEnabled; // used only when a menu is built without a command manager
    bool isTicked;
};

// One row of a default key-binding table; id 0 ends the table. Modifiers:
// 1 shift, 2 ctrl, 4 alt (the framework's flags).
struct KeyBinding
{
    juce::int32 commandId;
    int keyCode;
    int modifiers;
};

namespace CommandTableIds
{
constexpr juce::int32 separator = 0x7FFFFFFF;
constexpr juce::int32 end = 0x7FFFFFFE;
constexpr juce::int32 submenuStart = 0x7FFFFFFD;
constexpr juce::int32 submenuEnd = 0x7FFFFFFC;

inline bool isSpecial (juce::int32 id) { return id >= submenuEnd; }
} // namespace CommandTableIds

// The twelve tables the command target registers, in this order.
extern const CommandRecord PresetMenuCommands[];
extern const CommandRecord BlockMenuCommands[];
extern const CommandRecord ToolsMenuCommands[];
extern const CommandRecord SettingsMenuCommands[];
extern const CommandRecord HelpMenuCommands[];
extern const CommandRecord SceneMenuCommands[];
extern const CommandRecord XYMenuCommands[];
extern const CommandRecord BlockLibraryMenuCommands[];
extern const CommandRecord TempoToUseMenuCommands[];
extern const CommandRecord SnapshotsMenuCommands[];
extern const CommandRecord PresetBrowserMenuCommands[];
extern const CommandRecord CabBrowserMenuCommands[];

// Menus of single panes.
extern const CommandRecord BlockContextMenuCommands[];
extern const CommandRecord BlockButtonMenuCommands[];
extern const CommandRecord BlockLibraryItemMenuCommands[];
extern const CommandRecord SaveButtonMenuCommands[];
extern const CommandRecord BrowserListMenuCommands[];
extern const CommandRecord LibrarianPresetListMenuCommands[];
extern const CommandRecord LibrarianCabListMenuCommands[];

// Commands that no menu lists as such but that the front panel's buttons, the
// default keys and the snapshot menu run (rename, scenes, preset list, banks,
// presets of the bank, loading a snapshot).
extern const CommandRecord UnlistedCommands[];

extern const KeyBinding MainKeyBindings[];
extern const KeyBinding ExtraKeyBindings[];

// A new menu filled from the table (the caller owns it); null for a null table.
std::unique_ptr<juce::PopupMenu> createMenuFromCommandTable (const CommandRecord* table,
                                                             juce::ApplicationCommandManager* commandManager);

// Fills an existing menu. With a command manager each command becomes a
// command item (its target gives enablement, tick and key); without one a
// plain item with the row's defaults. The end row ends the walk and closes
// any submenu still open.
void fillMenuFromCommandTable (juce::PopupMenu& menu, const CommandRecord* table,
                               juce::ApplicationCommandManager* commandManager);

// Appends the table's command ids not yet in the array; false for a null table or array.
bool addCommandTableIds (const CommandRecord* table, juce::Array<juce::CommandID>* ids);

// The first row with the id gives its three texts; false when none has it.
bool findCommandText (const CommandRecord* table, juce::int32 commandId, juce::String& shortName,
                      juce::String& description, juce::String& category);

// A copy of the table up to and including its end row; empty for a null table.
std::vector<CommandRecord> copyCommandTable (const CommandRecord* table);

// The first key row of the id; false when the table has none.
bool findCommandKeyPress (const KeyBinding* table, juce::int32 commandId, juce::KeyPress& keyPress);
