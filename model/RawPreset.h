#pragma once

#include "model/PresetGrid.h"

#include <juce_core/juce_core.h>

// One block's state in one scene: which channel is selected and whether the
// block is bypassed there.
struct RawPresetSceneState
{
    juce::uint16 scene = 0; // 0-based scene index
    juce::uint16 xy = 0;    // 0 = X channel selected, 1 = Y
    juce::uint8 bypass = 0; // bit 0 of the unit's state byte for the block in that scene
    juce::uint8 spare = 0;
};

// A (block id, flag) pair as handed out per scene, and as kept in a scene record.
struct SceneBlockState
{
    juce::uint16 blockId = 0;
    juce::uint8 state = 0;
};

// One block of a raw preset: its per-scene states and its parameter values on
// each channel. A value word holds the parameter id in its low 16 bits and
// the value in its high 16 bits.
class RawPresetBlock
{
public:
    // Empties the entry: id 0, flag 0, no states or values.
    void reset();

    // Appends the word to the X list (channel 0) or the Y list (channel 1);
    // other channels are ignored.
    void addParamValue (int channel, juce::uint32 word);

    // The first state held for the scene, or nullptr.
    const RawPresetSceneState* findSceneState (int scene) const;

    // Appends the block's own checksummed form.
    void writeTo (juce::MemoryBlock& target) const;

    // Replaces the entry with a block form; false for no data or a wrong
    // check byte. A field the data does not hold stays 0; a list whose items
    // do not fit before the check byte is skipped whole and stays empty.
    bool readFrom (const void* data, size_t size);

    juce::uint16 blockId = 0;
    juce::uint8 shuntFlag = 0; // 1 for a shunt, which carries no values
    juce::Array<RawPresetSceneState> sceneStates;
    juce::Array<juce::uint32> xValues;
    juce::Array<juce::uint32> yValues;
};

// One modifier assignment: the parameter it modulates and one word per field
// the unit answered (field index in the low 16 bits, value in the high 16).
class RawPresetModifier
{
public:
    void reset();

    void writeTo (juce::MemoryBlock& target) const;

    // Replaces the entry with a modifier form; false for no data or a wrong
    // check byte. Missing fields stay 0; words that do not fit are skipped.
    bool readFrom (const void* data, size_t size);

    juce::uint16 blockId = 0;
    juce::uint16 paramId = 0;
    juce::Array<juce::uint32> words;
};

// The program's own device-independent copy of one preset. Its serialised
// form is both the ".dat" export file and the clipboard form.
class RawPreset
{
public:
    RawPreset();

    // Format 1, every other header field 0, empty name, grid and lists.
    void clear();
    void clearBlocks();
    void clearModifiers();

    // Appends an empty block entry for the caller to fill.
    RawPresetBlock& addBlock();

    // The first block entry with the id, or nullptr.
    RawPresetBlock* findBlock (juce::uint16 id);
    const RawPresetBlock* findBlock (juce::uint16 id) const;

    // Appends a copy of the modifier entry.
    void addModifier (const RawPresetModifier& modifier);

    const juce::OwnedArray<RawPresetBlock>& getBlocks() const { return blocks; }
    const juce::OwnedArray<RawPresetModifier>& getModifiers() const { return modifiers; }

    // One pair per block entry: flag 1 when the block is active in the scene
    // (bypass byte 0, or no state held for the scene), else 0.
    void getSceneBypassStates (int scene, juce::Array<SceneBlockState>& result) const;

    // One pair per block entry that has a state for the scene: flag 1 when
    // the X channel is selected, else 0.
    void getSceneXYStates (int scene, juce::Array<SceneBlockState>& result) const;

    // Appends the serialised form.
    void writeTo (juce::MemoryBlock& target) const;

    // Replaces the record with a serialised form; true when the record's and
    // every nested check byte matched and every nested form lies inside the
    // data. On failure the record keeps what it held before. Missing header
    // fields stay 0 and a name that does not fit stays empty.
    bool readFrom (const juce::MemoryBlock& source);
    bool readFrom (const void* data, size_t size);

    juce::uint16 format = 1;
    juce::uint16 model = 0;
    juce::uint8 firmwareMajor = 0;
    juce::uint8 firmwareMinor = 0;
    juce::uint16 presetNumber = 0;
    juce::String name;
    PresetGrid grid;

private:
    bool parse (const juce::uint8* bytes, size_t size);

    juce::OwnedArray<RawPresetBlock> blocks;
    juce::OwnedArray<RawPresetModifier> modifiers;

    JUCE_DECLARE_NON_COPYABLE (RawPreset)
};

// One scene's state, kept by the preset manager for its scene clipboard and
// scene swap.
struct SceneParamEntry
{
    bool valid = false;
    float floatValue = 0.0f;
    juce::int32 intValue = 0;
};

class SceneRecord
{
public:
    static constexpr int numSceneParams = 6;

    SceneRecord() { reset(); }

    // Scene -1 (empty), every other field 0, both lists emptied.
    void reset();

    juce::int32 sceneNumber = -1;
    juce::uint16 startingScene = 0;
    juce::uint16 destinationScene = 0;

    // Block 140 parameter 8 + s, block 136 parameter 8 + s, block 141
    // parameters 74 + s, 82 + s, 92 + s and 100 + s, s being the scene.
    SceneParamEntry sceneParams[numSceneParams];

    juce::Array<SceneBlockState> xyStates;
    juce::Array<SceneBlockState> bypassStates;
};
