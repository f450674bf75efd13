#pragma once

#include "model/EffectParamValue.h"
#include "model/GridCell.h"
#include "model/ParamInfo.h"
#include "model/UnitIds.h"

#include <juce_core/juce_core.h>

#include <array>
#include <map>
#include <vector>

// One preset as the simulated unit keeps it: name, grid, scene, and for every
// block of the preset its per-scene engaged and X/Y states and its parameter
// values in both channels.
//
// A preset travels as 4096 16-bit words (8192 bytes, the model 8 preset size).
// Words 2..33 carry the name, one character in the low byte of each word, as
// in every dump of the unit; the rest is this simulation's own layout, tagged
// by word 0, so that a dump taken from the unit and pasted back restores the
// whole preset. A dump without that tag (a blank or foreign preset) yields
// its name only and an empty grid.
class SimulatedPreset
{
public:
    static constexpr int sceneCount = 8;
    static constexpr int wordCount = 4096;
    static constexpr int nameLength = 32;

    // Channel index of the parameter value arrays.
    enum Channel
    {
        channelX = 0,
        channelY = 1
    };

    struct Block
    {
        std::array<bool, sceneCount> engaged;
        std::array<bool, sceneCount> onX;
        bool disabled = false;
        std::vector<juce::uint16> values[2];
    };

    // Parameter 255 of every block with a bypass is its bypass switch:
    // 0 engaged, anything else bypassed.
    static constexpr int bypassParamId = 255;
    // Block 141 (controllers): parameter 32 is the tempo in BPM.
    static constexpr int tempoParamId = 32;
    static constexpr juce::uint16 defaultTempo = 120;

    SimulatedPreset();

    // A recognisable preset for slot n: named "Preset <n>", an amp (106) in
    // cell 0 feeding a cab (108) in cell 4, modifier 100 driving the amp's
    // first parameter from controller 1. The name is padded with blanks when
    // n is a multiple of 3, with 0x00FF after one, with 0xFFFF after two.
    static SimulatedPreset makeFactory (int number);

    // "Rich Tone": a preset that uses everything a preset record carries:
    // blocks with and without X/Y channels and a bypass, shunts, cables,
    // values that differ per channel, states that differ per scene, and two
    // modifiers, one of them on a bypass-mode parameter.
    static SimulatedPreset makeShowcase();

    // One of the preset's 16 modifiers (ids 100..115): the parameter it drives
    // (block 0: unassigned) and its 15 settings. Setting 0 is the controller;
    // 0 there means none, and a modifier without one is unassigned.
    static constexpr int modifierCount = 16;
    static constexpr int modifierSettings = 15;
    static constexpr int firstModifierId = 100;

    struct Modifier
    {
        int blockId = 0;
        int paramId = 0;
        std::array<juce::uint16, modifierSettings> settings{};
    };

    // Each character in one name place, its code whole (a file may hold any).
    juce::String name;
    // The word in each name place behind the name. The unit pads some names
    // with blanks and others with empty places (0x00FF or 0xFFFF); a preset
    // read from words keeps the padding it came with.
    juce::uint16 namePadding = ' ';
    std::array<GridCell, gridCellCount> cells;
    int scene = 0;
    std::map<int, Block> blocks; // by block id
    std::array<Modifier, modifierCount> modifiers;

    // The modifier driving the parameter, or nullptr.
    Modifier* findModifier (int blockId, int paramId);

    // Gives the first unassigned modifier to the parameter; nullptr when all
    // 16 are taken.
    Modifier* assignModifier (int blockId, int paramId);

    //==========================================================================
    // Blocks: every block placed in the grid, and the fixed blocks (global,
    // grid input and output, controllers) that every preset has.

    Block* findBlock (int blockId);
    const Block* findBlock (int blockId) const;

    // Places a block (0 empties the cell). A real block that already sits
    // elsewhere is refused, as is an id the unit does not have. Gives false
    // for a cell outside the grid or a refused id.
    bool placeBlock (int cell, int blockId);

    // Sets or clears the input of `toCell` from `fromCell`, which must lie in
    // the column just left of it and in the grid. False otherwise.
    bool connectCells (int fromCell, int toCell, bool connect);

    // Moves the block of `cell` `distance` cells in a direction (0 towards a
    // higher column, 1 a lower column, 2 a higher row, 3 a lower row) into an
    // empty cell. Its inputs go with it; the cables it fed are cut. False,
    // changing nothing, for an empty cell, a distance of 0, a target outside
    // the grid or an occupied target.
    bool moveBlock (int cell, int direction, int distance);

    bool isInGrid (int blockId) const;

    // The channel (channelX or channelY) the block uses in the current scene.
    int getChannel (int blockId) const;
    bool setChannel (int blockId, int channel);

    // Parameter access in the block's current channel. False for a block not
    // in the preset or a parameter past the block's count (255 is the bypass
    // switch of any block but the fixed ones).
    bool getParam (int blockId, int paramId, juce::uint16& value) const;
    bool setParam (int blockId, int paramId, juce::uint16 value);

    // Both channels back to their defaults.
    bool resetToDefaults (int blockId);

    static juce::uint16 getDefaultValue (int blockId, int paramId);

    // The unit's parameters (SimulatedPresetParams.cpp). A parameter the
    // program shows as a drop-down, switch or button is a choice: value n is
    // its text n, and its definition is an integer range over the texts. The
    // type parameter lists the block's types (amp models for amps). Every
    // other parameter is a level from 0.00 to 10.00 over the full 16-bit scale
    // (0..65534), as its definition says. The cab numbers of a cab block are
    // plain numbers without texts.
    static juce::StringArray getValueTexts (int blockId, int paramId);

    // The definition the unit reports for the parameter (kind, range and
    // display multiplier).
    static ParamInfo getParamInfo (int blockId, int paramId);

    // The value as the unit displays it: its text for a choice, else the
    // level with two decimals.
    static juce::String getValueText (int blockId, int paramId, juce::uint16 value);

    // The value the unit keeps for one given as it displays it ("Set Param
    // Direct"): kept inside the parameter's range; a choice or integer
    // rounded, a level placed over the full scale.
    static juce::uint16 valueFromDisplay (int blockId, int paramId, float shown);

    // One step of the value as the unit takes it from a wheel or arrow key:
    // up or down, coarse or fine, kept inside the parameter's range. A choice
    // or integer moves by 1 fine and by a tenth of its span (at least 1)
    // coarse; a level by 0.01 fine and 0.10 coarse (65 and 655 of 65534).
    static juce::uint16 stepValue (int blockId, int paramId, juce::uint16 value, bool up, bool fine);

    // The value as the unit reports it: the value, its text and, for the
    // notes of a pitch block's scale, the range of notes (0..11).
    static EffectParamValue describeValue (int blockId, int paramId, juce::uint16 value);

    // The state words of the real blocks in the grid, in cell order: bits 0-7
    // block id, bit 24 engaged, bit 25 X selected, bit 31 disabled.
    juce::Array<juce::uint32> getStateWords() const;

    //==========================================================================
    // The 4096-word image.
    std::vector<juce::uint16> toWords() const;
    static SimulatedPreset fromWords (const juce::uint16* words, int count);

private:
    static bool isFixedBlock (int blockId);
    Block& addBlock (int blockId);
};
