#pragma once

#include <juce_core/juce_core.h>

// Conversions between the unit's numbers: grid cells, footswitches, block ids
// and effect types, the special parameter numbers of each type, block names,
// scene counts and the text forms of preset numbers and memory slots.
// Free functions without state; safe on any thread.

// Block ids the whole program refers to by number.
constexpr int blockIdNone = 0;
constexpr int blockIdGlobal = 1;
constexpr int firstBlockInstanceId = 100;
constexpr int lastBlockInstanceId = 205;
constexpr int blockIdGridInput = 139;
constexpr int blockIdGridOutput = 140;
constexpr int blockIdControllers = 141;
constexpr int blockIdLayoutMidi = 207;
constexpr int blockIdLayoutFootswitchMode = 208;
constexpr int firstShuntId = 300;
constexpr int lastShuntId = 335;
constexpr int shuntCount = lastShuntId - firstShuntId + 1;

// The grid: 4 rows by 12 columns, cell index = row + 4 * column.
constexpr int gridRows = 4;
constexpr int gridColumns = 12;
constexpr int gridCellCount = gridRows * gridColumns;

// Footswitches: 2 rows of 4; the bottom row (row 1) holds 0..3, the top row 4..7.
constexpr int footswitchRows = 2;
constexpr int footswitchColumns = 4;
constexpr int footswitchCount = footswitchRows * footswitchColumns;

// Preset numbers: 64 banks of 8; memory slots A1..P8.
constexpr int presetsPerBank = 8;
constexpr int presetNumberCount = 512;
constexpr int slotCount = 128;

inline bool isShuntBlockId (int blockId) noexcept
{
    return blockId >= firstShuntId && blockId <= lastShuntId;
}

// Grid cells and footswitches ------------------------------------------------

// row + 4 * column, or -1 when row or column lies outside the grid.
int gridCellIndex (int row, int column);

// False (outputs untouched) for an index outside 0..47.
bool gridCellPosition (int index, int& row, int& column);

// The switch at a position, or -1 when there is none.
int footswitchIndexAt (int row, int column);

// False (outputs untouched) for an index outside 0..7.
bool footswitchPosition (int index, int& row, int& column);

// Block ids and effect types -------------------------------------------------

// True for the global block and for the block instances this unit has.
bool isBlockIdSupported (int blockId);

// False for the blocks that cannot be placed or assigned by the user (global,
// grid input/output, controllers and the looper's fixed switches).
bool isAssignableBlockId (int blockId);

// The block's effect type; 0 for an unknown id or for an instance the unit
// lacks. Footswitch block types, Global and Layout are always given.
int effectTypeOfBlock (int blockId);

// The first block id of the type when the unit has it; else -1.
int firstBlockIdOfType (int effectType);

// Appends every supported block id of the type, in ascending table order.
void getBlockIdsOfType (int effectType, juce::Array<juce::uint16>& blockIds);

// True when the block's type has X and Y channels on this model.
bool hasXYChannels (int blockId, int model);

// True when the block can be bypassed on this model.
bool hasBypass (int blockId, int model);

// Special parameter numbers of the block's type; -1 when the type has none,
// for id 0 and for shunts. getTypeParamId is also -1 for unsupported ids.
int getTypeParamId (int blockId);
int getBypassModeParamId (int blockId);
int getBypassParamId (int blockId);
int getGlobalMixParamId (int blockId);
int getMixParamId (int blockId);

// True when the block has a bypass-mode parameter and it is this one.
bool isBypassModeParam (int blockId, int paramId);

// Appends the type's time and rate parameter numbers; false when it has none.
bool getTimeRateParamIds (int blockId, juce::Array<juce::uint16>& paramIds);

// The output level parameter of a scene on Output Mixer and FX Loop blocks
// (8 + scene, 8 for scenes past the eighth); -1 for every other block.
int getSceneOutputParamId (int blockId, int scene);

// "Shunt" for shunts, else the block's display name; false when it has none.
bool getBlockName (int blockId, juce::String& name);

// Number of parameter values a full parameter dump of the block brings.
int getParamCount (int blockId);

// The ParamUnit of the first unit suffix found in the text; 0 when none.
int getUnitIdFromText (const juce::String& text);

// Number of scenes per preset on the model; -1 for models without scenes.
int getSceneCount (int model);

// Text forms ----------------------------------------------------------------

// Slot n (0..127) as "A1".."P8" plus its letter and number parts, each
// followed by the suffix. False (outputs untouched) for n outside 0..127.
bool formatSlotName (int n, const juce::String& suffix, juce::String& text, juce::String& letterText,
                     juce::String& numberText);

// Appends "A1".."P8", each followed by the suffix.
void buildSlotNameList (const juce::String& suffix, juce::StringArray& names);

// Preset n (0..511) as "bank-preset" ("1-1".."64-8") plus its bank and preset
// parts, each followed by the suffix. False (outputs untouched) outside 0..511.
bool formatPresetNumber (int n, const juce::String& suffix, juce::String& text, juce::String& bankText,
                         juce::String& presetText);

// Preset n as the boxes name it: "2-7 "Preset 14"", the name quoted with its
// control characters escaped; the number alone when the name is empty.
juce::String presetNumberAndName (int n, const juce::String& name);

// Appends "1-1".."64-8", each followed by the suffix.
void buildPresetNumberList (const juce::String& suffix, juce::StringArray& texts);

// Reads a typed preset number: "p", "bb", "b?p" or "bb?p" (bank 1..64, preset
// 1..8, any non-digit separator). False (n untouched) for anything else.
bool parsePresetNumberText (const juce::String& text, juce::uint16& n);
