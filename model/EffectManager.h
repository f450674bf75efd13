#pragma once

#include "model/ControllerName.h"
#include "model/EffectDefinition.h"
#include "model/EffectRecord.h"
#include "model/ModifierDumpRecord.h"
#include "model/ModifierRecord.h"
#include "model/QueryStatesRecord.h"

class EffectLayoutManager;

// The effect and parameter model of the connected unit:
// - the parameter definitions of every effect type, filled from the unit's
//   info and strings replies and kept between runs in a cache file per model;
// - the cached state of the blocks of the current preset (EffectRecord);
// - the 16 modifier slots (ids 100..115), the raw per-block modifier dumps
//   and the controller names;
// - the QUERY_STATES replies.
// Everything lives on the message thread; nothing here takes a lock.
class EffectManager
{
public:
    static constexpr int numModifiers = 16;
    static constexpr int firstModifierId = 100;
    static constexpr int lastModifierId = firstModifierId + numModifiers - 1;
    static constexpr juce::uint16 cacheFormat = 1;

    EffectManager();
    virtual ~EffectManager();

    // Firmware --------------------------------------------------------------
    // The firmware the held definitions belong to (0.0 until known).
    int getFirmwareMajor() const { return firmwareMajor; }
    int getFirmwareMinor() const { return firmwareMinor; }
    void setFirmware (int major, int minor);

    // The connection step: when the held definitions belong to other firmware
    // than the unit's, takes the unit's numbers and drops the definitions.
    // True when the definitions were kept.
    bool matchDefinitionsToFirmware (int major, int minor);

    // Definitions -------------------------------------------------------------
    void clearDefinitions();
    EffectDefinition* addDefinition (int effectType);
    EffectDefinition* findDefinition (int effectType) const;
    int getNumDefinitions() const { return definitions.size(); }
    EffectDefinition* getDefinition (int index) const { return definitions[index]; }

    // The definition of a block's parameter; nullptr for block 0, for blocks
    // of type Empty or Shunt and for anything not yet reported.
    ParamDefinition* findParamDefinition (int blockId, int paramId) const;

    // Store a SYSEX_GET_PARAM_INFO or SYSEX_GET_PARAM_STRINGS reply, creating
    // the type's and the parameter's definition when missing. False (nothing
    // stored) when the block's effect type is 0.
    bool storeParamInfo (int blockId, int paramId, const ParamInfo& info);
    bool storeParamStrings (int blockId, int paramId, const juce::StringArray& strings);

    // The index of the numeric value string with the largest number not
    // above value (a later equal number wins); -1 when there is none.
    int findValueStringIndex (int blockId, int paramId, double value) const;

    // The cache file of a model: "effectDefinitions_%.2x.cache" in folder.
    static juce::File getDefinitionsCacheFile (const juce::File& folder, int modelId);

    // Reads the model's cache. The firmware numbers are taken from the file;
    // with a format word other than 1 the held definitions stay. Otherwise the
    // definitions are replaced by the file's - all of them or, when any is
    // short or malformed, none (result false, so that they are fetched anew).
    // False too when the file is missing or unreadable (nothing changes).
    bool loadDefinitionsCache (const juce::File& folder, int modelId);

    // Writes every definition to the model's cache file, whole or not at all:
    // an existing cache survives a failed write. Creating a missing folder
    // that fails warns "Effect Definitions". False on any failure.
    bool saveDefinitionsCache (const juce::File& folder, int modelId) const;

    // Block records -----------------------------------------------------------
    EffectRecord* findEffect (int blockId) const;
    int getNumEffects() const { return records.size(); }
    EffectRecord* getEffect (int index) const { return records[index]; }

    // Stores a parameter reply in the X (0) or Y (1) list of its block's
    // record (created when missing). False for block 0 and for shunts.
    bool storeParamValue (int xy, const EffectParamValue& value);

    bool getParamValue (int blockId, int paramId, int xy, EffectParamValue& out) const;

    // Replaces the block's raw all-parameters payload (record created when
    // missing); false for block 0.
    bool storeAllParamsData (int blockId, const juce::MemoryBlock& data);

    // n: 0 = not a global block, 1..10 = that global block; larger values are
    // ignored. False when the block has no record.
    bool setGlobalBlockNumber (int blockId, int n);

    // Marks every record stale (both refresh flags 1) and its global number
    // and mask unknown; the stored values stay until replies overwrite them.
    void invalidateEffects();

    // The display text of the block's type selector in the X (0) or Y (1)
    // list; false (out empty) when there is none.
    bool getBlockTypeName (int blockId, int xy, juce::String& out) const;

    // The label of the parameter on the block's effect page (for the held
    // firmware), line feeds turned to blanks; false when no page shows it.
    bool getParamLabel (int blockId, int paramId, const EffectLayoutManager& layouts, juce::String& out) const;

    // Modifiers -----------------------------------------------------------------
    // Makes the 16 slots unless they exist.
    void createModifiers();

    // The slot of an id 100..115, else nullptr.
    ModifierRecord* getModifier (int modifierId) const;

    // The first slot driving the block's parameter; a bypass-mode parameter
    // is looked up under 255. nullptr for block 0.
    ModifierRecord* findModifierForParam (int blockId, int paramId) const;

    // The parameter id a modifier of the block's parameter is kept under:
    // 255 for the block's bypass-mode parameter, whether named by its own id
    // or as 255; otherwise the parameter's own id.
    static int getModifierParamId (int blockId, int paramId);

    void getModifiersForBlock (int blockId, juce::Array<ModifierRecord*>& out) const;
    void resetModifiersForBlock (int blockId);
    void resetAllModifiers();

    // True when an assigned slot with a controller sits on parameter 255.
    bool hasModifierOnParam255() const;

    void addModifierDump (const ModifierDumpRecord& record);
    bool getModifierDumpsForBlock (int blockId, juce::Array<ModifierDumpRecord>& out) const;
    void clearModifierDumps();
    int getNumModifierDumps() const { return modifierDumps.size(); }

    // Fills the controller names from the built-in modifier source table.
    void loadControllerNames();
    juce::String getControllerName (int controllerId) const;

    // "01 : Not Used", or "01 : LFO 1A : <block> (<parameter label>)".
    // False for an id outside 100..115.
    bool describeModifier (int modifierId, const EffectLayoutManager& layouts, juce::String& out) const;

    // Query states ----------------------------------------------------------------
    void storeQueryStates (int id, const juce::Array<juce::int32>& states);
    void clearQueryStates();
    const QueryStatesRecord* findQueryStates (int id) const;

    // Export ------------------------------------------------------------------------
    // Writes the current preset's parameters as comma-separated lines, one
    // per labelled parameter of every block that has current values. The
    // file is replaced only once the new one is complete.
    juce::Result exportCsv (const EffectLayoutManager& layouts, const juce::File& path) const;

    // The text exportCsv writes.
    juce::String buildCsv (const EffectLayoutManager& layouts) const;

private:
    int firmwareMajor = 0;
    int firmwareMinor = 0;
    juce::OwnedArray<EffectDefinition> definitions;
    juce::OwnedArray<EffectRecord> records;
    juce::OwnedArray<ModifierRecord> modifiers;
    juce::Array<ModifierDumpRecord> modifierDumps;
    juce::Array<ControllerName> controllerNames;
    juce::OwnedArray<QueryStatesRecord> queryStates;

    // The definition of the block's parameter, created (with its type's
    // definition) when missing; nullptr for a block of effect type 0.
    ParamDefinition* findOrAddParamForBlock (int blockId, int paramId);
    EffectRecord* findOrAddEffect (int blockId);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EffectManager)
};
