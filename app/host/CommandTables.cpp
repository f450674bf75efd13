#include "app/host/CommandTables.h"

#include <vector>

namespace
{
using namespace CommandTableIds;

constexpr CommandRecord cmd (juce::int32 id, const char* name, const char* category, const char* description = "",
                             bool enabled = true)
{
    return { id, name, description, category, enabled, false };
}

constexpr CommandRecord sep() { return { separator, "", "", "", true, false }; }
constexpr CommandRecord sub (const char* title) { return { submenuStart, title, "", "", true, false }; }
constexpr CommandRecord subEnd() { return { submenuEnd, "", "", "", true, false }; }
constexpr CommandRecord tableEnd() { return { end, "", "", "", true, false }; }

constexpr int shift = juce::ModifierKeys::shiftModifier;
constexpr int ctrl = juce::ModifierKeys::ctrlModifier;
constexpr int alt = juce::ModifierKeys::altModifier;
} // namespace

const CommandRecord PresetMenuCommands[] = {
    cmd (1100, "Clear Preset", "Preset"),
    cmd (1101, "Initialize Preset", "Preset"),
    sep(),
    cmd (1104, "Refresh Preset", "Preset"),
    cmd (1105, "Revert Preset", "Preset"),
    sep(),
    cmd (1118, "Save Preset", "Preset"),
    cmd (1119, "Save to New Preset Number...", "Preset", "", false),
    cmd (1000, "Save Snapshot", "Preset",
         "Exports the current preset to the Snapshots folder set in the Workspace Preferences"),
    cmd (1102, "Save as Blocks in Library", "Preset"),
    sep(),
    cmd (1001, "Import Preset...", "Preset", "Import Preset"),
    cmd (1002, "Export Preset...", "Preset", "Export Preset"),
    cmd (1005, "Export Preset-Cab Bundle...", "Preset"),
    cmd (1007, "Export Preset to CSV...", "Preset"),
    sep(),
    cmd (1003, "New from Template...", "Preset"),
    cmd (1004, "Save as Template...", "Preset"),
    tableEnd(),
};

const CommandRecord BlockMenuCommands[] = {
    cmd (1200, "Cut", "Block"),
    cmd (1201, "Copy", "Block"),
    cmd (1202, "Paste", "Block"),
    sep(),
    cmd (1203, "Delete", "Block"),
    cmd (1204, "Reset", "Block"),
    cmd (1208, "Reset Current Effect Type", "Block"),
    cmd (1205, "Disconnect All", "Block"),
    sep(),
    cmd (1206, "Bypass/Engage", "Block"),
    cmd (1207, "Toggle X/Y", "Block"),
    sep(),
    sub ("All Scenes"),
    cmd (1214, "Bypass", "Block"),
    cmd (1215, "Engage", "Block"),
    sep(),
    cmd (1216, "Set to X", "Block"),
    cmd (1217, "Set to Y", "Block"),
    subEnd(),
    sep(),
    sub ("Move"),
    cmd (1210, "Row Up", "Block"),
    cmd (1211, "Row Down", "Block"),
    sep(),
    cmd (1212, "Column Left", "Block"),
    cmd (1213, "Column Right", "Block"),
    subEnd(),
    tableEnd(),
};

const CommandRecord BlockContextMenuCommands[] = {
    sub ("Edit"),
    cmd (1200, "Cut Block", "Block"),
    cmd (1201, "Copy Block", "Block"),
    cmd (1202, "Paste Block", "Block"),
    sep(),
    cmd (1203, "Delete Block", "Block"),
    cmd (1204, "Reset Block", "Block"),
    cmd (1208, "Reset Current Effect Type", "Block"),
    sep(),
    cmd (1205, "Disconnect All", "Block"),
    subEnd(),
    sep(),
    cmd (1206, "Bypass/Engage", "Block"),
    cmd (1207, "Toggle X/Y", "Block"),
    sep(),
    sub ("Move"),
    cmd (1210, "Row Up", "Block"),
    cmd (1211, "Row Down", "Block"),
    sep(),
    cmd (1212, "Column Left", "Block"),
    cmd (1213, "Column Right", "Block"),
    subEnd(),
    tableEnd(),
};

const CommandRecord BlockButtonMenuCommands[] = {
    cmd (1201, "Copy", "Block"),
    cmd (1202, "Paste", "Block"),
    sep(),
    cmd (1204, "Reset", "Block"),
    cmd (1208, "Reset Current Effect Type", "Block"),
    tableEnd(),
};

const CommandRecord ToolsMenuCommands[] = {
    cmd (1300, "Quillon-Bot", "Tools"),
    cmd (1301, "Tuner", "Tools", "Show Tuner"),
    sep(),
    cmd (1302, "Brak-Manage Presets", "Tools"),
    cmd (1303, "Brak-Manage Cabs", "Tools"),
    sep(),
    cmd (1310, "Brak-Change", "Tools"),
    sep(),
    sub ("Export As Text"),
    cmd (1304, "Preset List...", "Tools"),
    cmd (1306, "Factory Cabs List...", "Tools"),
    cmd (1305, "User Cabs List...", "Tools"),
    subEnd(),
    sep(),
    cmd (1316, "Get Sysex File Information...", "Tools"),
    sep(),
    tableEnd(),
};

const CommandRecord SettingsMenuCommands[] = {
    cmd (1400, "Preferences...", "Settings"),
    cmd (1404, "Pause Communications", "Settings"),
    sep(),
    cmd (1405, "Refresh after new FW", "Settings"),
    sep(),
    sub ("View"),
    cmd (1401, "Full Screen", "Settings"),
    cmd (1402, "Normal Size", "Settings"),
    subEnd(),
    tableEnd(),
};

const CommandRecord HelpMenuCommands[] = {
    cmd (2300, "Check for updates...", "Help"),
    cmd (2302, "View Release Notes...", "Help"),
    cmd (2301, "About...", "Help", "About"),
    tableEnd(),
};

const CommandRecord SceneMenuCommands[] = {
    cmd (1600, "Copy Current Scene", "Scene"),
    cmd (1601, "Paste to Current Scene", "Scene"),
    cmd (1602, "Paste to All Scenes", "Scene"),
    sep(),
    cmd (1611, "Bypass All Blocks", "Scene"),
    sep(),
    sub ("Swap"),
    cmd (1603, "Swap current scene with Scene 1", "Scene"),
    cmd (1604, "Swap current scene with Scene 2", "Scene"),
    cmd (1605, "Swap current scene with Scene 3", "Scene"),
    cmd (1606, "Swap current scene with Scene 4", "Scene"),
    cmd (1607, "Swap current scene with Scene 5", "Scene"),
    cmd (1608, "Swap current scene with Scene 6", "Scene"),
    cmd (1609, "Swap current scene with Scene 7", "Scene"),
    cmd (1610, "Swap current scene with Scene 8", "Scene"),
    subEnd(),
    tableEnd(),
};

const CommandRecord XYMenuCommands[] = {
    cmd (1800, "Copy X to Y", "XY"),
    cmd (1801, "Copy Y to X", "XY"),
    cmd (1802, "Swap X and Y", "XY"),
    sep(),
    cmd (1803, "Copy X to Clipboard", "XY"),
    cmd (1804, "Copy Y to Clipboard", "XY"),
    sep(),
    cmd (1805, "Paste Clipboard to X", "XY"),
    cmd (1806, "Paste Clipboard to Y", "XY"),
    tableEnd(),
};

const CommandRecord BlockLibraryMenuCommands[] = {
    cmd (1700, "Save", "Blocks Library"),
    cmd (1701, "Save As...", "Blocks Library"),
    cmd (1702, "Rename", "Blocks Library"),
    cmd (1703, "Delete", "Blocks Library"),
    sep(),
    cmd (1704, "Show Folder", "Blocks Library"),
    tableEnd(),
};

const CommandRecord BlockLibraryItemMenuCommands[] = {
    cmd (1700, "Save...", "Block"),
    cmd (1701, "Save As...", "Block"),
    sep(),
    cmd (1702, "Rename", "Block"),
    cmd (1703, "Delete", "Block"),
    sep(),
    tableEnd(),
};

const CommandRecord TempoToUseMenuCommands[] = {
    cmd (1120, "Use Preset Tempo", "TempoToUse"),
    cmd (1121, "Use Global Tempo", "TempoToUse"),
    tableEnd(),
};

const CommandRecord SnapshotsMenuCommands[] = {
    cmd (1900, "Show Folder", "Snapshots"),
    sep(),
    cmd (1901, "Clear Snapshot List", "Snapshots"),
    tableEnd(),
};

const CommandRecord SaveButtonMenuCommands[] = {
    cmd (1119, "Save to New Preset Number...", "Preset", "", false),
    sep(),
    cmd (1002, "Export Preset...", "Preset"),
    cmd (1005, "Export Preset-Cab Bundle...", "Preset"),
    sep(),
    cmd (1004, "Save as Template...", "Preset"),
    tableEnd(),
};

#define KESTREL_BROWSER_ROWS(bankTitle)                                                                                \
    cmd (2200, "Show / Hide", "Browser"), sep(), cmd (2201, "Open Directory...", "Browser"), sub (bankTitle),          \
        cmd (2202, "Open...", "Browser"), cmd (2203, "Save As...", "Browser"), subEnd(),                               \
        cmd (2224, "Show in folder", "Browser"), sep(), cmd (2211, "Show only Favorites", "Browser"), sub ("Favorites"), \
        cmd (2207, "Mark selected as Favorite(s)", "Browser"), cmd (2208, "Unmark selected as Favorite(s)", "Browser"), \
        cmd (2209, "Toggle Mark/Unmark Favorites", "Browser"), cmd (2210, "Clear Favorites", "Browser"), subEnd(),     \
        sep(), sub ("Select"), cmd (2204, "All", "Browser"), cmd (2205, "None", "Browser"),                            \
        cmd (2206, "Inverse", "Browser"), subEnd(), cmd (2216, "Clear all entries", "Browser"),                        \
        cmd (2215, "Clear selected entries", "Browser"), sep(), cmd (2221, "Sort alphabetically", "Browser"),          \
        cmd (2222, "Sort in order added", "Browser"), sep(), cmd (2212, "Auto-Audition", "Browser")

const CommandRecord PresetBrowserMenuCommands[] = {
    KESTREL_BROWSER_ROWS ("Bank"),
    tableEnd(),
};

const CommandRecord CabBrowserMenuCommands[] = {
    KESTREL_BROWSER_ROWS ("Cab Bank"),
    sub ("Audition to"),
    cmd (2217, "Scratchpad 1", "Browser"),
    cmd (2218, "Scratchpad 2", "Browser"),
    cmd (2219, "Scratchpad 3", "Browser"),
    cmd (2220, "Scratchpad 4", "Browser"),
    subEnd(),
    cmd (2223, "Easy Setup...", "Browser"),
    sep(),
    sub ("IR Processing Mode"),
    cmd (2225, "None", "Browser"),
    cmd (2226, "Auto Trim", "Browser"),
    cmd (2227, "Min Phase", "Browser"),
    subEnd(),
    sub ("IR Output Format"),
    cmd (2228, "Normal", "Browser"),
    cmd (2229, "Densa", "Browser"),
    subEnd(),
    tableEnd(),
};

#undef KESTREL_BROWSER_ROWS

const CommandRecord BrowserListMenuCommands[] = {
    cmd (2207, "Mark selected as Favorite(s)", "Browser"),
    cmd (2208, "Unmark selected as Favorite(s)", "Browser"),
    cmd (2209, "Toggle Mark/Unmark Favorites", "Browser"),
    sep(),
    cmd (2213, "Audition", "Browser"),
    sep(),
    cmd (2215, "Clear selected entries", "Browser"),
    sep(),
    cmd (2224, "Show in folder", "Browser"),
    tableEnd(),
};

const CommandRecord LibrarianPresetListMenuCommands[] = {
    cmd (2105, "Cut", "Brak-Manage"),
    cmd (2103, "Copy", "Brak-Manage"),
    cmd (2104, "Paste", "Brak-Manage"),
    sep(),
    cmd (2102, "Clear", "Brak-Manage"),
    cmd (2101, "Rename", "Brak-Manage"),
    sep(),
    cmd (2107, "Import...", "Brak-Manage"),
    cmd (2108, "Export...", "Brak-Manage"),
    sep(),
    cmd (2106, "Load", "Brak-Manage"),
    sep(),
    cmd (2100, "Select All", "Brak-Manage"),
    sep(),
    cmd (2109, "Revert changes for selected", "Brak-Manage", "", false),
    tableEnd(),
};

const CommandRecord LibrarianCabListMenuCommands[] = {
    cmd (2105, "Cut", "Brak-Manage"),
    cmd (2103, "Copy", "Brak-Manage"),
    cmd (2104, "Paste", "Brak-Manage"),
    sep(),
    cmd (2102, "Clear", "Brak-Manage"),
    cmd (2101, "Rename", "Brak-Manage"),
    sep(),
    cmd (2107, "Import...", "Brak-Manage"),
    cmd (2108, "Export...", "Brak-Manage"),
    sep(),
    cmd (2100, "Select All", "Brak-Manage"),
    sep(),
    cmd (2109, "Revert changes for selected", "Brak-Manage", "", false),
    tableEnd(),
};

const CommandRecord UnlistedCommands[] = {
    cmd (1108, "Rename Preset", "Preset"),
    cmd (1109, "Scene 1", "Scene"),
    cmd (1110, "Scene 2", "Scene"),
    cmd (1111, "Scene 3", "Scene"),
    cmd (1112, "Scene 4", "Scene"),
    cmd (1113, "Scene 5", "Scene"),
    cmd (1114, "Scene 6", "Scene"),
    cmd (1115, "Scene 7", "Scene"),
    cmd (1116, "Scene 8", "Scene"),
    cmd (1117, "Preset List", "Preset"),
    cmd (1122, "Go to Bank and Preset", "Preset"),
    cmd (1123, "Next Bank", "Preset"),
    cmd (1124, "Previous Bank", "Preset"),
    cmd (2401, "Preset 1", "Preset"),
    cmd (2402, "Preset 2", "Preset"),
    cmd (2403, "Preset 3", "Preset"),
    cmd (2404, "Preset 4", "Preset"),
    cmd (2405, "Preset 5", "Preset"),
    cmd (2406, "Preset 6", "Preset"),
    cmd (2407, "Preset 7", "Preset"),
    cmd (2408, "Preset 8", "Preset"),
    cmd (2003, "Load Snapshot", "Snapshots"),
    tableEnd(),
};

// The special keys are the framework's codes for them on this platform.
const KeyBinding MainKeyBindings[] = {
    { 1000, 'S', ctrl | shift | alt },
    { 1001, 'I', ctrl | shift | alt },
    { 1006, 'A', ctrl | shift | alt },
    { 1002, 'X', ctrl | shift | alt },
    { 1003, 'N', ctrl },
    { 1004, 'T', ctrl | shift },
    { 1100, juce::KeyPress::deleteKey, ctrl | shift },
    { 1101, 'I', ctrl | shift },
    { 1104, juce::KeyPress::F5Key, 0 },
    { 1105, juce::KeyPress::F12Key, ctrl | shift },
    { 1108, juce::KeyPress::F2Key, 0 },
    { 1118, 'S', ctrl },
    { 1119, 'S', ctrl | shift },
    { 1109, '1', ctrl },
    { 1110, '2', ctrl },
    { 1111, '3', ctrl },
    { 1112, '4', ctrl },
    { 1113, '5', ctrl },
    { 1114, '6', ctrl },
    { 1115, '7', ctrl },
    { 1116, '8', ctrl },
    { 1117, 'P', 0 },
    { 1122, 'G', ctrl },
    { 1123, juce::KeyPress::pageUpKey, ctrl },
    { 1124, juce::KeyPress::pageDownKey, ctrl },
    { 1218, juce::KeyPress::pageDownKey, 0 },
    { 1219, juce::KeyPress::pageUpKey, 0 },
    { 1200, 'X', ctrl },
    { 1201, 'C', ctrl },
    { 1202, 'V', ctrl },
    { 1203, juce::KeyPress::deleteKey, 0 },
    { 1208, 'I', ctrl },
    { 1205, 'D', ctrl },
    { 1206, ' ', 0 },
    { 1207, 'X', 0 },
    { 1700, 'B', ctrl },
    { 1301, 'T', ctrl },
    { 1302, 'M', ctrl },
    { 1312, 'K', ctrl },
    { 1400, 'P', ctrl },
    { 1402, 'W', shift },
    { 1401, 'W', ctrl | shift },
    { 1404, juce::KeyPress::F8Key, 0 },
    { 1500, 'G', ctrl | shift },
    { 2209, ' ', 0 },
    { 2207, 'F', 0 },
    { 2208, 'U', 0 },
    { 2200, 'B', ctrl },
    { 0, 0, 0 },
};

const KeyBinding ExtraKeyBindings[] = {
    { 1209, 'U', ctrl },
    { 1303, 'M', ctrl | shift },
    { 2401, '1', alt },
    { 2402, '2', alt },
    { 2403, '3', alt },
    { 2404, '4', alt },
    { 2405, '5', alt },
    { 2406, '6', alt },
    { 2407, '7', alt },
    { 2408, '8', alt },
    { 0, 0, 0 },
};

void fillMenuFromCommandTable (juce::PopupMenu& root, const CommandRecord* table,
                               juce::ApplicationCommandManager* commandManager)
{
    if (table == nullptr)
        return;

    // Open submenus, innermost last, each with its title.
    std::vector<std::pair<std::unique_ptr<juce::PopupMenu>, juce::String>> open;
    auto current = [&]() -> juce::PopupMenu& { return open.empty() ? root : *open.back().first; };

    auto closeInnermost = [&]
    {
        auto [menu, title] = std::move (open.back());
        open.pop_back();
        current().addSubMenu (title, *menu, true);
    };

    for (auto* row = table;; ++row)
    {
        const auto id = row->commandId;

        if (id == end)
        {
            // The end row ends the table even when a submenu was left open.
            while (! open.empty())
                closeInnermost();
            return;
        }

        if (id == submenuEnd)
        {
            if (! open.empty())
                closeInnermost();
        }
        else if (id == separator)
        {
            current().addSeparator();
        }
        else if (id == submenuStart)
        {
            open.emplace_back (std::make_unique<juce::PopupMenu>(), juce::String (row->shortName));
        }
        else if (commandManager != nullptr)
        {
            current().addCommandItem (commandManager, id, row->shortName);
        }
        else
        {
            current().addItem (id, row->shortName, row->isEnabled, row->isTicked);
        }
    }
}

std::unique_ptr<juce::PopupMenu> createMenuFromCommandTable (const CommandRecord* table,
                                                             juce::ApplicationCommandManager* commandManager)
{
    if (table == nullptr)
        return nullptr;

    auto menu = std::make_unique<juce::PopupMenu>();
    fillMenuFromCommandTable (*menu, table, commandManager);
    return menu;
}

bool addCommandTableIds (const CommandRecord* table, juce::Array<juce::CommandID>* ids)
{
    if (table == nullptr || ids == nullptr)
        return false;

    for (auto* row = table; row->commandId != end; ++row)
        if (! isSpecial (row->commandId))
            ids->addIfNotAlreadyThere (row->commandId);

    return true;
}

bool findCommandText (const CommandRecord* table, juce::int32 commandId, juce::String& shortName,
                      juce::String& description, juce::String& category)
{
    if (table == nullptr || isSpecial (commandId))
        return false;

    for (auto* row = table; row->commandId != end; ++row)
    {
        if (row->commandId == commandId)
        {
            shortName = row->shortName;
            description = row->description;
            category = row->category;
            return true;
        }
    }

    return false;
}

std::vector<CommandRecord> copyCommandTable (const CommandRecord* table)
{
    std::vector<CommandRecord> copy;

    if (table == nullptr)
        return copy;

    for (auto* row = table;; ++row)
    {
        copy.push_back (*row);

        if (row->commandId == end)
            return copy;
    }
}

bool findCommandKeyPress (const KeyBinding* table, juce::int32 commandId, juce::KeyPress& keyPress)
{
    if (table == nullptr)
        return false;

    for (auto* row = table; row->commandId != 0; ++row)
    {
        if (row->commandId == commandId)
        {
            keyPress = juce::KeyPress (row->keyCode, juce::ModifierKeys (row->modifiers), 0);
            return true;
        }
    }

    return false;
}
