#include "model/PromptCatalogue.h"

#include "model/LanguageStore.h"

// clang-format off
const IdNameRow PromptKeys[] = {
#define KESTREL_PROMPT_KEY_ROW(id, key) { id, #key },
    KESTREL_PROMPT_LIST (KESTREL_PROMPT_KEY_ROW)
#undef KESTREL_PROMPT_KEY_ROW
    { idTableEnd, nullptr }
};
// clang-format on

// Built-in English texts. Kept in the same row order as PromptKeys so the two
// tables read side by side; lookups go by id only.
const IdNameRow PromptDefaultTexts[] = {
    { PROMT_BYPASS_MODE_TITLE, "Bypass/Engage" },
    { PROMPT_BYPASS_MODE_MODIFIER,
      "The bypass of this block is controlled by a modifier.\nRemove the modifier to bypass or engage the block by "
      "hand." },
    { PROMPT_PRESET_MODIFIED, "The current preset has been modified.\nDo you want to discard your changes?" },
    { PROMPT_GRID_MOVE, "The block cannot be moved to this grid position." },
    { PROMPT_YES, "Yes" },
    { PROMPT_NO, "No" },
    { PROMPT_OK, "OK" },
    { PROMPT_COMMUNICATION_LOST, "Communication lost." },
    { PROMPT_BLOCK_DEFINITIONS_TITLE, "Block Definitions" },
    { PROMPT_BLOCK_DEFINITIONS,
      "Reading Block Definitions.\n\nThis occurs only when saved definitions do not match those in the connected "
      "device.\n" },
    { PROMPT_REPLACE_PRESET_TITLE, "Replace Preset" },
    { PROMPT_REPLACE_PRESET, "Are you sure you want to replace preset (<number>) \"<name>\" with \"<name2>\"?" },
    { PROMPT_GLOBAL_BLOCK_DELETE_TITLE, "Confirm Block Library Delete" },
    { PROMPT_GLOBAL_BLOCK_DELETE,
      "Deleting the block entry from the library will also delete the library file from disk.\nDo you want to "
      "continue?" },
    { PROMPT_BLOCKLIB_TITLE, "Block Library" },
    { PROMPT_BLOCKLIB_ENTER_NAME, "Please enter a new name." },
    { PROMPT_BLOCKLIB_SAVE_UNIQUE_NAME,
      "The name you provided is already in use for this block type.\nPlease enter a new name." },
    { PROMPT_BLOCKLIB_ERROR_LOGGED,
      "Errors were encountered while reading the Block Library entries.\n\nPlease see the file "
      "\"block_library.log\" in the Block Library directory for a listing of errors." },
    { PROMPT_TITLE_IMPORT_PRESET, "Select a Preset File to Import" },
    { PROMPT_TITLE_DROPDOWN_LARGE_LIST, "Select an entry from the list" },
    { PROMPT_BTN_LABEL_FACTORY_CABS, "Factory" },
    { PROMPT_BTN_LABEL_USER_CABS, "User" },
    { PROMPT_BTN_LABEL_SCRATCHPAD_CABS, "Scratchpad" },
    { PROMPT_FILE_IMPORT_TITLE, "Import Preset" },
    { PROMPT_FILE_IMPORT_TEMPLATE_TITLE, "Load Template" },
    { PROMPT_FILE_IMPORT_CAB_IR_TITLE, "Import Cab" },
    { PROMPT_FILE_IMPORT_WARN_SYSTEM_BANK,
      "Unable to import.\nThe selected file is a System Bank.\nSystem Banks cannot be imported with Kestrel-Edit." },
    { PROMPT_FILE_IMPORT_WARN_CAB_IR,
      "Unable to import.\nThe selected file is a User Cab.\nPlease use Brak-Manage Cabs to import cabs." },
    { PROMPT_FILE_IMPORT_WARN_PRESET,
      "Unable to import.\nThe selected file is a Preset.\nPlease use Import Preset to load presets." },
    { PROMPT_FILE_IMPORT_WARN_INVALID, "Unable to import.\nThe selected file does not contain valid Kestrel data." },
    { PROMPT_FILE_IMPORT_WARN_WRONG_MODEL,
      "Unable to import.\nThe selected file contains data for the <ZOLMODEL> and is not compatible with this "
      "firmware." },
    { PROMPT_FILE_IMPORT_WARN_PATCH_BUNDLE,
      "You imported a Preset-Cab Bundle bundle.\n\nThe preset has been loaded into temporary memory so you can "
      "audition before deciding whether to save or not. The Cabs have been loaded in to one or more "
      "Scratchpads.\n\nIf you save the preset, you will also be prompted to select one or more regular locations in "
      "User Cab memory." },
    { PROMPT_FILE_IMPORT_WARN_USE_BROWSER,
      "Unable to import.\nThe selected file holds more than one preset or cab.\nPlease use the browser of "
      "Brak-Manage to import it." },
    { PROMPT_MULTI_FILE_IMPORT_NOT_CAB_IR, "One or more of the selected files is not a User Cab and was skipped." },
    { PROMPT_MULTI_FILE_IMPORT_NOT_PRESET, "One or more of the selected files is not a Preset and was skipped." },
    { PROMPT_FILE_EXPORT_TITLE, "Export Preset" },
    { PROMPT_FILE_EXPORT_TEMPLATE_TITLE, "Save as Template" },
    { PROMPT_ERROR_DSP_OVERLOAD, "The Kestrel cannot add this block due to excessive CPU usage." },
    { PROMPT_ERROR_FX_NOT_ROUTABLE, "This block cannot be routed at the selected grid position." },
    { TOOLTIP_SNAPSHOT_SAVED, "Snapshot saved." },
    { TOOLTIP_PRESET_SAVED, "Preset saved." },
    { TOOLTIP_PRESET_BUNDLE_IMPORTED, "Preset-Cab Bundle imported." },
    { PREFS_DESC_REFRESH_CABNAMES, "Read the cab names from the Kestrel again." },
    { PREFS_DESC_REFRESH_PRESETNAMES, "Read the preset names from the Kestrel again." },
    { PREFS_DESC_REFRESH_BLOCKDEFS, "Read the block definitions from the Kestrel again." },
    { PREFS_TOOLTIP_REFRESHED_CABNAMES, "Cab names refreshed." },
    { PREFS_TOOLTIP_REFRESHED_PRESETNAMES, "Preset names refreshed." },
    { PREFS_TOOLTIP_REFRESHED_BLOCKDEFS, "Block definitions refreshed." },
    { PROMPT_CHOOSE_DIR_SNAPSHOT, "Choose the Snapshot Directory" },
    { PROMPT_CHOOSE_DIR_BLOCKLIB, "Choose the Block Library Directory" },
    { PROMPT_CHOOSE_DIR_TEMPLATE, "Choose the Template Directory" },
    { PROMPT_MANAGER_TITLE, "Brak-Manage" },
    { PROMPT_MANAGER_INITIAL_WARNING,
      "Brak-Manage reads and writes presets and cabs directly in the memory of the Kestrel.\nSaved changes cannot be "
      "undone.\n\nDo you want to continue?" },
    { PROMPT_MANAGER_WARN_PRESET_MOD,
      "The current preset has been modified.\nOpening Brak-Manage will discard your changes. Do you want to "
      "continue?" },
    { PROMPT_MANAGER_WARN_CLOSE, "Brak-Manage has unsaved changes.\nDo you want to close without saving?" },
    { PROMPT_MANAGER_WARN_TOO_FEW_TARGETS, "There are not enough locations after the target for all selected items." },
    { PROMPT_MANAGER_WARN_TARGET_OVERLAPS,
      "The target locations overlap the selected items.\nPlease choose another target." },
    { PROMPT_MANAGER_WARN_TARGET_CANT_DRAGDROP, "Items cannot be dropped at this location." },
    { PROMPT_MANAGER_SAVE, "Save all changes to the Kestrel?" },
    { PROMPT_MANAGER_NOTHING_TO_SAVE, "There are no changes to save." },
    { PROMPT_MANAGER_WARN_CLIPBOARD_TOO_FEW_TARGETS,
      "There are not enough locations after the target for all items on the clipboard." },
    { PROMPT_MANAGER_WARN_PASTE_SEL_COUNT,
      "The number of selected locations does not match the number of items on the clipboard." },
    { PROMPT_MANAGER_PASTE_ONE_TO_MANY, "Paste the clipboard item into every selected location?" },
    { PROMPT_MANAGER_WARN_CAB_RENAME, "Only User Cabs can be renamed." },
    { PROMPT_MANAGER_WARN_IMPORT,
      "Importing replaces the contents of the target locations.\nDo you want to continue?" },
    { PROMPT_MANAGER_WARN_WAIT_TIME,
      "More than 10 presets or cabs are selected. This operation may take some time.\nDo you want to continue?" },
    { PROMPT_MANAGER_WARN_UNDO_ALL, "Undo all changes made since the last save?" },
    { PROMPT_MANAGER_STOP_SAVE_OPERATION, "Stop saving?\nItems already saved to the Kestrel keep their new contents." },
    { PROMPT_MANAGER_STOP_QUERY_OPERATION, "Stop reading from the Kestrel?\nThe list will be incomplete." },
    { PROMPT_MANAGER_RESYNC_PATCHNUM,
      "Brak-Manage has changed the memory of the Kestrel.\nKestrel-Edit will now reload the current preset." },
    { PROMPT_MANAGER_WARN_EXPORT, "Please select one or more items to export." },
    { PROMPT_MANAGER_WARN_PRESET_BUNDLE_BMPRESETS,
      "Preset-Cab Bundles cannot be imported in Brak-Manage Presets.\nPlease import them from the main window." },
    { PROMPT_MANAGER_WARN_PRESET_BUNDLE_BMCABS,
      "Preset-Cab Bundles cannot be imported in Brak-Manage Cabs.\nPlease import them from the main window." },
    { PREFS_DESC_PROMPT_SUPPRESSION, "Show these messages:" },
    { PREFS_CHECK_MANAGER_LOAD, "Warn before opening Brak-Manage." },
    { PREFS_CHECK_MANAGER_WAIT_TIME, "Warn before Brak-Manage operations with more than 10 selected presets or cabs." },
    { PREFS_CHECK_MANAGER_RESYNC, "Tell me when the current preset is reloaded after Brak-Manage operations." },
    { PREFS_CHECK_SHOW_TOOLTIPS, "Show tooltips." },
    { PREFS_CHECK_ALLOW_MORE_THAN_ONE, "Allow more than one Kestrel-Edit to run at a time." },
    { PREFS_SEARCH_NUMBER_AND_NAME, "Search preset numbers as well as names." },
    { PREFS_CHECK_FOR_UPDATE, "Check for updates at start-up." },
    { PREFS_CHECK_PROMPT_PRESET_BUNDLE_IMPORT, "Show a message after a Preset-Cab Bundle is imported." },
    { PREFS_CHECK_AUTO_PAUSE_ON_RESYNC, "Pause communication while the Kestrel is resynchronized." },
    { TITLEBAR_MANAGE_PRESET, "Brak-Manage Presets" },
    { TITLEBAR_MANAGE_CABS, "Brak-Manage Cabs" },
    { TITLEBAR_PRESET_BUNDLE_SAVE_CAB, "Preset-Cab Bundle : Select a User Cab location from the list" },
    { TITLEBAR_PRESET_BUNDLE_SAVE_PRESET, "Preset-Cab Bundle : Select a Preset location from the list" },
    { PROMPT_PAUSE_COMM_BLOCK1, "Communications paused.\nClick to resume..." },
    { PROMPT_PAUSE_COMM_BLOCK2,
      "Pausing Kestrel-Edit allows you to operate the front panel or footswitches of a\nconnected Kestrel without "
      "audio gaps or page flips sometimes caused by the editor.\nKestrel-Edit will refresh when you un-pause." },
    { PROMPT_PAUSE_COMM_WARN_MODE_DLG, "Communications can only be paused from the Kestrel-Edit home screen." },
    { PROMPT_APP_EXIT_MANAGER_OPEN, "Please close Brak-Manage before exiting the application." },
    { BROWSER_PRESET_TITLEBAR, "Preset Browser" },
    { BROWSER_PRESET_DESCR, "Preset files found in the chosen folders." },
    { BROWSER_CABS_TITLEBAR, "Cab Browser" },
    { BROWSER_CABS_DESCR, "Cab files found in the chosen folders." },
    { BROWSER_CHECK_RECURSIVE, "Include sub-folders" },
    { BROWSER_CHECK_BANK_FILES, "Include bank files" },
    { BROWSER_TITLE_SAVE_BANK, "Save Bank" },
    { BROWSER_WARN_BANK_SIZE,
      "Banks can contain up to 128 entries. Please delete from the browser all entries except those to be "
      "included in your bank." },
    { BROWSER_HELP_TITLE_PRESETS, "Preset Browser Help" },
    { BROWSER_HELP_TITLE_CABS, "Cab Browser Help" },
    { BROWSER_HELP_PRESETS,
      "Add files or folders to list the presets they hold.\nDrag presets onto Brak-Manage to send them to the "
      "Kestrel.\nUse Save Bank to write the listed presets into one bank file." },
    { BROWSER_HELP_CABS,
      "Add files or folders to list the cabs they hold.\nDrag cabs onto Brak-Manage to send them to the "
      "Kestrel.\nUse Save Bank to write the listed cabs into one bank file." },
    { FOOTSWITCH_PRESET_GRID_TITLE, "PRESET FOOTSWITCHES" },
    { FOOTSWITCH_PRESET_GRID_INSTRUCTIONS,
      "Right-click a footswitch to assign an effect of this preset to it, or drag a block onto it; Delete clears "
      "the selected one. These assignments are saved with the preset." },
    { FOOTSWITCH_GLOBAL_GRID_TITLE, "GLOBAL FOOTSWITCHES" },
    { FOOTSWITCH_GLOBAL_GRID_INSTRUCTIONS,
      "Right-click a footswitch to choose its global function, or drag a block onto it; Delete clears the "
      "selected one. Global assignments apply to every preset." },
    { FOOTSWITCH_FUNCTIONS_TITLE, "FUNCTION FOOTSWITCHES" },
    { FOOTSWITCH_FUNCTIONS_INSTRUCTIONS,
      "Choose the function of each footswitch. Per-preset switches control effects of the current preset; global "
      "switches work the same in every preset." },
    { TOOLTIP_BLOCK_DISABLED, "The Kestrel has disabled this block due to excessive CPU usage." },
    { PRESET_FOOTSWITCHES_WARN_GLOBAL_MODE,
      "You must disable Global mode before assigning a Per-Preset effect to this footswitch." },
    { idTableEnd, nullptr }
};

juce::String promptText (juce::int32 id)
{
    return LanguageStore::textOr (id, getNameForId (PromptDefaultTexts, (juce::uint32) id));
}
