#pragma once

#include "model/IdNameTable.h"

// The message catalogue: every user-facing prompt, title, tooltip and
// preference label has a numeric id, a key (the name a language file uses)
// and a built-in English text. The two tables are joined by id, never by row
// position, so their row order carries no meaning.
//
// The list below is the single source of the ids and keys: the enum and
// PromptKeys are both generated from it, so a key can never drift from the
// constant that callers use. (Id 0's key is spelled "PROMT_", without the
// second P; language files look it up by that spelling, so it stays.)
#define KESTREL_PROMPT_LIST(X)                                                                                         \
    X (0, PROMT_BYPASS_MODE_TITLE)                                                                                     \
    X (1, PROMPT_BYPASS_MODE_MODIFIER)                                                                                 \
    X (2, PROMPT_PRESET_MODIFIED)                                                                                      \
    X (3, PROMPT_GRID_MOVE)                                                                                            \
    X (6, PROMPT_YES)                                                                                                  \
    X (7, PROMPT_NO)                                                                                                   \
    X (8, PROMPT_OK)                                                                                                   \
    X (9, PROMPT_COMMUNICATION_LOST)                                                                                   \
    X (10, PROMPT_BLOCK_DEFINITIONS_TITLE)                                                                             \
    X (11, PROMPT_BLOCK_DEFINITIONS)                                                                                   \
    X (4, PROMPT_REPLACE_PRESET_TITLE)                                                                                 \
    X (5, PROMPT_REPLACE_PRESET)                                                                                       \
    X (12, PROMPT_GLOBAL_BLOCK_DELETE_TITLE)                                                                           \
    X (13, PROMPT_GLOBAL_BLOCK_DELETE)                                                                                 \
    X (14, PROMPT_BLOCKLIB_TITLE)                                                                                      \
    X (15, PROMPT_BLOCKLIB_ENTER_NAME)                                                                                 \
    X (16, PROMPT_BLOCKLIB_SAVE_UNIQUE_NAME)                                                                           \
    X (17, PROMPT_BLOCKLIB_ERROR_LOGGED)                                                                               \
    X (18, PROMPT_TITLE_IMPORT_PRESET)                                                                                 \
    X (19, PROMPT_TITLE_DROPDOWN_LARGE_LIST)                                                                           \
    X (20, PROMPT_BTN_LABEL_FACTORY_CABS)                                                                              \
    X (21, PROMPT_BTN_LABEL_USER_CABS)                                                                                 \
    X (22, PROMPT_BTN_LABEL_SCRATCHPAD_CABS)                                                                           \
    X (23, PROMPT_FILE_IMPORT_TITLE)                                                                                   \
    X (24, PROMPT_FILE_IMPORT_TEMPLATE_TITLE)                                                                          \
    X (25, PROMPT_FILE_IMPORT_CAB_IR_TITLE)                                                                            \
    X (26, PROMPT_FILE_IMPORT_WARN_SYSTEM_BANK)                                                                        \
    X (27, PROMPT_FILE_IMPORT_WARN_CAB_IR)                                                                             \
    X (28, PROMPT_FILE_IMPORT_WARN_PRESET)                                                                             \
    X (29, PROMPT_FILE_IMPORT_WARN_INVALID)                                                                            \
    X (30, PROMPT_FILE_IMPORT_WARN_WRONG_MODEL)                                                                        \
    X (31, PROMPT_FILE_IMPORT_WARN_PATCH_BUNDLE)                                                                       \
    X (32, PROMPT_FILE_IMPORT_WARN_USE_BROWSER)                                                                        \
    X (33, PROMPT_MULTI_FILE_IMPORT_NOT_CAB_IR)                                                                        \
    X (34, PROMPT_MULTI_FILE_IMPORT_NOT_PRESET)                                                                        \
    X (35, PROMPT_FILE_EXPORT_TITLE)                                                                                   \
    X (36, PROMPT_FILE_EXPORT_TEMPLATE_TITLE)                                                                          \
    X (37, PROMPT_ERROR_DSP_OVERLOAD)                                                                                  \
    X (38, PROMPT_ERROR_FX_NOT_ROUTABLE)                                                                               \
    X (39, TOOLTIP_SNAPSHOT_SAVED)                                                                                     \
    X (40, TOOLTIP_PRESET_SAVED)                                                                                       \
    X (41, TOOLTIP_PRESET_BUNDLE_IMPORTED)                                                                             \
    X (42, PREFS_DESC_REFRESH_CABNAMES)                                                                                \
    X (43, PREFS_DESC_REFRESH_PRESETNAMES)                                                                             \
    X (44, PREFS_DESC_REFRESH_BLOCKDEFS)                                                                               \
    X (45, PREFS_TOOLTIP_REFRESHED_CABNAMES)                                                                           \
    X (46, PREFS_TOOLTIP_REFRESHED_PRESETNAMES)                                                                        \
    X (47, PREFS_TOOLTIP_REFRESHED_BLOCKDEFS)                                                                          \
    X (48, PROMPT_CHOOSE_DIR_SNAPSHOT)                                                                                 \
    X (49, PROMPT_CHOOSE_DIR_BLOCKLIB)                                                                                 \
    X (50, PROMPT_CHOOSE_DIR_TEMPLATE)                                                                                 \
    X (51, PROMPT_MANAGER_TITLE)                                                                                       \
    X (52, PROMPT_MANAGER_INITIAL_WARNING)                                                                             \
    X (53, PROMPT_MANAGER_WARN_PRESET_MOD)                                                                             \
    X (54, PROMPT_MANAGER_WARN_CLOSE)                                                                                  \
    X (55, PROMPT_MANAGER_WARN_TOO_FEW_TARGETS)                                                                        \
    X (56, PROMPT_MANAGER_WARN_TARGET_OVERLAPS)                                                                        \
    X (57, PROMPT_MANAGER_WARN_TARGET_CANT_DRAGDROP)                                                                   \
    X (58, PROMPT_MANAGER_SAVE)                                                                                        \
    X (59, PROMPT_MANAGER_NOTHING_TO_SAVE)                                                                             \
    X (60, PROMPT_MANAGER_WARN_CLIPBOARD_TOO_FEW_TARGETS)                                                              \
    X (61, PROMPT_MANAGER_WARN_PASTE_SEL_COUNT)                                                                        \
    X (62, PROMPT_MANAGER_PASTE_ONE_TO_MANY)                                                                           \
    X (63, PROMPT_MANAGER_WARN_CAB_RENAME)                                                                             \
    X (64, PROMPT_MANAGER_WARN_IMPORT)                                                                                 \
    X (65, PROMPT_MANAGER_WARN_WAIT_TIME)                                                                              \
    X (66, PROMPT_MANAGER_WARN_UNDO_ALL)                                                                               \
    X (67, PROMPT_MANAGER_STOP_SAVE_OPERATION)                                                                         \
    X (68, PROMPT_MANAGER_STOP_QUERY_OPERATION)                                                                        \
    X (69, PROMPT_MANAGER_RESYNC_PATCHNUM)                                                                             \
    X (70, PROMPT_MANAGER_WARN_EXPORT)                                                                                 \
    X (71, PROMPT_MANAGER_WARN_PRESET_BUNDLE_BMPRESETS)                                                                \
    X (72, PROMPT_MANAGER_WARN_PRESET_BUNDLE_BMCABS)                                                                   \
    X (73, PREFS_DESC_PROMPT_SUPPRESSION)                                                                              \
    X (74, PREFS_CHECK_MANAGER_LOAD)                                                                                   \
    X (75, PREFS_CHECK_MANAGER_WAIT_TIME)                                                                              \
    X (76, PREFS_CHECK_MANAGER_RESYNC)                                                                                 \
    X (77, PREFS_CHECK_SHOW_TOOLTIPS)                                                                                  \
    X (78, PREFS_CHECK_ALLOW_MORE_THAN_ONE)                                                                            \
    X (79, PREFS_SEARCH_NUMBER_AND_NAME)                                                                               \
    X (80, PREFS_CHECK_FOR_UPDATE)                                                                                     \
    X (81, PREFS_CHECK_PROMPT_PRESET_BUNDLE_IMPORT)                                                                    \
    X (82, PREFS_CHECK_AUTO_PAUSE_ON_RESYNC)                                                                           \
    X (83, TITLEBAR_MANAGE_PRESET)                                                                                     \
    X (84, TITLEBAR_MANAGE_CABS)                                                                                       \
    X (85, TITLEBAR_PRESET_BUNDLE_SAVE_CAB)                                                                            \
    X (86, TITLEBAR_PRESET_BUNDLE_SAVE_PRESET)                                                                         \
    X (87, PROMPT_PAUSE_COMM_BLOCK1)                                                                                   \
    X (88, PROMPT_PAUSE_COMM_BLOCK2)                                                                                   \
    X (89, PROMPT_PAUSE_COMM_WARN_MODE_DLG)                                                                            \
    X (90, PROMPT_APP_EXIT_MANAGER_OPEN)                                                                               \
    X (91, BROWSER_PRESET_TITLEBAR)                                                                                    \
    X (92, BROWSER_PRESET_DESCR)                                                                                       \
    X (93, BROWSER_CABS_TITLEBAR)                                                                                      \
    X (94, BROWSER_CABS_DESCR)                                                                                         \
    X (95, BROWSER_CHECK_RECURSIVE)                                                                                    \
    X (96, BROWSER_CHECK_BANK_FILES)                                                                                   \
    X (97, BROWSER_TITLE_SAVE_BANK)                                                                                    \
    X (98, BROWSER_WARN_BANK_SIZE)                                                                                     \
    X (99, BROWSER_HELP_TITLE_PRESETS)                                                                                 \
    X (100, BROWSER_HELP_TITLE_CABS)                                                                                   \
    X (101, BROWSER_HELP_PRESETS)                                                                                      \
    X (102, BROWSER_HELP_CABS)                                                                                         \
    X (103, FOOTSWITCH_PRESET_GRID_TITLE)                                                                              \
    X (104, FOOTSWITCH_PRESET_GRID_INSTRUCTIONS)                                                                       \
    X (105, FOOTSWITCH_GLOBAL_GRID_TITLE)                                                                              \
    X (106, FOOTSWITCH_GLOBAL_GRID_INSTRUCTIONS)                                                                       \
    X (107, FOOTSWITCH_FUNCTIONS_TITLE)                                                                                \
    X (108, FOOTSWITCH_FUNCTIONS_INSTRUCTIONS)                                                                         \
    X (109, TOOLTIP_BLOCK_DISABLED)                                                                                    \
    X (110, PRESET_FOOTSWITCHES_WARN_GLOBAL_MODE)

// Message ids, named after their keys, for LanguageStore::getText.
enum PromptId : juce::int32
{
#define KESTREL_PROMPT_ENUM(id, key) key = id,
    KESTREL_PROMPT_LIST (KESTREL_PROMPT_ENUM)
#undef KESTREL_PROMPT_ENUM
};

constexpr juce::int32 firstPromptId = 0;
constexpr juce::int32 lastPromptId = 110;
constexpr int promptCount = lastPromptId - firstPromptId + 1;

// Id -> key, 111 rows ended by id -1.
extern const IdNameRow PromptKeys[];

// Id -> built-in English text, 111 rows ended by id -1. Placeholders such as
// <number>, <name>, <name2> and <ZOLMODEL> are replaced by the caller.
extern const IdNameRow PromptDefaultTexts[];

// A message's text in the user's language, or its built-in English text when
// the language file has none.
juce::String promptText (juce::int32 id);
