#include "model/ParamNameTables.h"
#include "model/IdNameTable.h"
#include "model/UnitIds.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace
{
// clang-format off
const std::map<int, const char*> prefixOfType {
    { EFFECT_COMP, "COMP_" },           { EFFECT_GRAPHEQ, "GEQ_" },         { EFFECT_PARAEQ, "PEQ_" },
    { EFFECT_DISTORT, "DISTORT_" },     { EFFECT_CAB, "CABINET_" },         { EFFECT_REVERB, "REVERB_" },
    { EFFECT_DELAY, "DELAY_" },         { EFFECT_MULTITAP, "MULTITAP_" },   { EFFECT_CHORUS, "CHORUS_" },
    { EFFECT_FLANGER, "FLANGER_" },     { EFFECT_ROTARY, "ROTARY_" },       { EFFECT_PHASER, "PHASER_" },
    { EFFECT_WAH, "WAH_" },             { EFFECT_FORMANT, "FORMANT_" },     { EFFECT_TREMOLO, "TREMOLO_" },
    { EFFECT_PITCH, "PITCH_" },         { EFFECT_FILTER, "FILTER_" },       { EFFECT_FUZZ, "FUZZ_" },
    { EFFECT_ENHANCER, "ENHANCER_" },   { EFFECT_LOOP, "OUTPUT_" },         { EFFECT_MIXER, "MIXER_" },
    { EFFECT_FBSEND, "FDBKSEND_" },     { EFFECT_FBRETURN, "FDBKRET_" },    { EFFECT_SYNTH, "SYNTH_" },
    { EFFECT_MEGATAP, "MEGATAP_" },     { EFFECT_CROSSOVER, "CROSSOVER_" }, { EFFECT_GATE, "GATE_" },
    { EFFECT_RINGMOD, "RINGMOD_" },     { EFFECT_VOLUME, "VOLUME_" },       { EFFECT_NOISEGATE, "NOISEGATE_" },
    { EFFECT_OUTPUT, "OUTPUT_" },       { EFFECT_CONTROL, "CONTROLLERS_" }, { EFFECT_LOOPER, "LOOPER_" },
    { EFFECT_EQMATCH, "EQMATCH_" },     { EFFECT_LAYOUT, "LAYOUT_" },       { EFFECT_GLOBAL, "GLOBAL_" },
    { EFFECT_MODIFIER_DIALOG, "MOD_" },
};

struct FixedParam
{
    int effectType;
    int id;
    const char* name;
};

// Numbers the unit, the editor's special cases and the modifier records rely on.
const FixedParam fixedParams[] = {
    { EFFECT_COMP, 0, "COMP_THRESH" },            { EFFECT_COMP, 19, "COMP_INPUTLEVEL" },
    { EFFECT_DISTORT, 20, "DISTORT_PRESENCE" },   { EFFECT_DISTORT, 24, "DISTORT_BETA" },
    { EFFECT_DISTORT, 54, "DISTORT_SATSWITCH" },  { EFFECT_DISTORT, 86, "DISTORT_SUPPLYTYPE" },
    { EFFECT_DISTORT, 111, "DISTORT_PRECOMPTYPE" },
    { EFFECT_CAB, 0, "CABINET_TYPEL" },           { EFFECT_CAB, 2, "CABINET_TYPER" },
    { EFFECT_REVERB, 43, "REVERB_QUALITY" },
    { EFFECT_MULTITAP, 76, "MULTITAP_FBKSEND" },  { EFFECT_MULTITAP, 77, "MULTITAP_FBKRET" },
    { EFFECT_PITCH, 45, "PITCH_CUSTOMNOTES" },    { EFFECT_PITCH, 46, "PITCH_NOTE2" },
    { EFFECT_PITCH, 52, "PITCH_NOTE8" },          { EFFECT_PITCH, 56, "PITCH_NUMREPEATS" },
    { EFFECT_PITCH, 58, "PITCH_TEMPO" },          { EFFECT_PITCH, 61440, "PITCH_TONIC" },
    { EFFECT_CONTROL, 32, "CONTROLLERS_TEMPO" },  { EFFECT_CONTROL, 33, "CONTROLLERS_TEMPOTOUSE" },
    { EFFECT_CONTROL, 36, "CONTROLLERS_SEQSTAGES" },
    { EFFECT_CONTROL, 37, "CONTROLLERS_SEQ1" },   { EFFECT_CONTROL, 52, "CONTROLLERS_SEQ16" },
    { EFFECT_CONTROL, 55, "CONTROLLERS_SEQ17" },  { EFFECT_CONTROL, 70, "CONTROLLERS_SEQ32" },
    { EFFECT_CONTROL, 90, "CONTROLLERS_LFO1QUANTIZE" }, { EFFECT_CONTROL, 91, "CONTROLLERS_LFO2QUANTIZE" },
    { EFFECT_CONTROL, 92, "CONTROLLERS_SW1_VAL1" }, { EFFECT_CONTROL, 107, "CONTROLLERS_SW2_VAL8" },
    { EFFECT_OUTPUT, 8, "OUTPUT_MAIN1" },         { EFFECT_OUTPUT, 15, "OUTPUT_MAIN8" },
    { EFFECT_LOOP, 8, "OUTPUT_MAIN1" },           { EFFECT_LOOP, 15, "OUTPUT_MAIN8" },
    { EFFECT_LOOPER, 28, "LOOPER_RECORD" },       { EFFECT_LOOPER, 29, "LOOPER_PLAY" },
    { EFFECT_LOOPER, 30, "LOOPER_ONCE" },         { EFFECT_LOOPER, 31, "LOOPER_DUB" },
    { EFFECT_LOOPER, 121, "LOOPER_UNDO" },        { EFFECT_LOOPER, 32, "LOOPER_REVERSE" },
    { EFFECT_LOOPER, 120, "LOOPER_HALFSPEED" },
    // Role numbers of types this unit has no block of (the others are checked per block).
    { EFFECT_MEGATAP, 11, "MEGATAP_MIX" },        { EFFECT_MEGATAP, 14, "MEGATAP_BYPASSMODE" },
    { EFFECT_MEGATAP, 15, "MEGATAP_GLOBALMIX" },  { EFFECT_MEGATAP, 16, "MEGATAP_BYPASS" },
    { EFFECT_CROSSOVER, 10, "CROSSOVER_MIX" },    { EFFECT_CROSSOVER, 13, "CROSSOVER_BYPASSMODE" },
    { EFFECT_CROSSOVER, 14, "CROSSOVER_BYPASS" }, { EFFECT_FBRETURN, 0, "FDBKRET_MIX" },
    { EFFECT_FBRETURN, 3, "FDBKRET_BYPASSMODE" }, { EFFECT_FBRETURN, 5, "FDBKRET_BYPASS" },
    { EFFECT_EQMATCH, 8, "EQMATCH_BYPASSMODE" },  { EFFECT_EQMATCH, 9, "EQMATCH_BYPASS" },
    { EFFECT_LAYOUT, 0, "LAYOUT_MIDIPC" },        { EFFECT_LAYOUT, 1, "LAYOUT_MIDICH" },
    { EFFECT_GLOBAL, 46, "GLOBAL_F1_TAP" },       { EFFECT_GLOBAL, 47, "GLOBAL_F1_HOLD" },
    { EFFECT_GLOBAL, 48, "GLOBAL_F2_TAP" },       { EFFECT_GLOBAL, 49, "GLOBAL_F2_HOLD" },
    { EFFECT_GLOBAL, 50, "GLOBAL_F3_TAP" },       { EFFECT_GLOBAL, 51, "GLOBAL_F3_HOLD" },
    { EFFECT_GLOBAL, 255, "GLOBAL_BYPCTRL" },
    { EFFECT_MODIFIER_DIALOG, 0, "MOD_CTRTLID" }, { EFFECT_MODIFIER_DIALOG, 1, "MOD_MIN" },
    { EFFECT_MODIFIER_DIALOG, 2, "MOD_MAX" },     { EFFECT_MODIFIER_DIALOG, 3, "MOD_STARTPT" },
    { EFFECT_MODIFIER_DIALOG, 4, "MOD_MIDPT" },   { EFFECT_MODIFIER_DIALOG, 5, "MOD_ENDPT" },
    { EFFECT_MODIFIER_DIALOG, 6, "MOD_SLOPE" },   { EFFECT_MODIFIER_DIALOG, 7, "MOD_DAMPING" },
    { EFFECT_MODIFIER_DIALOG, 8, "MOD_EFFECTID" }, { EFFECT_MODIFIER_DIALOG, 9, "MOD_PARAM" },
    { EFFECT_MODIFIER_DIALOG, 10, "MOD_AUTOENGAGE" }, { EFFECT_MODIFIER_DIALOG, 11, "MOD_PCRESET" },
    { EFFECT_MODIFIER_DIALOG, 12, "MOD_OFFVAL" }, { EFFECT_MODIFIER_DIALOG, 13, "MOD_SCALE" },
    { EFFECT_MODIFIER_DIALOG, 14, "MOD_OFFSET" },
};

// Names whose numbers are free but which the value lists keep in the unit's order.
const std::pair<int, const char*> requiredNames[] = {
    { EFFECT_CONTROL, "CONTROLLERS_LFO1TYPE" }, { EFFECT_CONTROL, "CONTROLLERS_LFO1TEMPO" },
    { EFFECT_CONTROL, "CONTROLLERS_LFO2TEMPO" }, { EFFECT_DELAY, "DELAY_TEMPO" },
    { EFFECT_DELAY, "DELAY_TEMPOR" },           { EFFECT_DELAY, "DELAY_LFO1TEMPO" },
    { EFFECT_DELAY, "DELAY_LFO2TEMPO" },        { EFFECT_DELAY, "DELAY_LFO3TEMPO" },
    { EFFECT_MULTITAP, "MULTITAP_TEMPO1" },     { EFFECT_MULTITAP, "MULTITAP_TEMPO4" },
    { EFFECT_MULTITAP, "MULTITAP_LFOTEMPO1" },  { EFFECT_MULTITAP, "MULTITAP_LFOTEMPO4" },
    { EFFECT_MULTITAP, "MULTITAP_QUANTIZE" },   { EFFECT_MULTITAP, "MULTITAP_RTEMPO" },
    { EFFECT_CHORUS, "CHORUS_TEMPO" },          { EFFECT_FLANGER, "FLANGER_TEMPO" },
    { EFFECT_PHASER, "PHASER_TEMPO" },          { EFFECT_ROTARY, "ROTARY_TEMPO" },
    { EFFECT_TREMOLO, "TREMOLO_TEMPO" },        { EFFECT_LOOPER, "LOOPER_QUANTIZE" },
    { EFFECT_PITCH, "PITCH_DTEMPO1" },          { EFFECT_PITCH, "PITCH_DTEMPO2" },
    { EFFECT_PITCH, "PITCH_STEMPO1" },          { EFFECT_PITCH, "PITCH_STEMPO2" },
};
// clang-format on

std::vector<int> allEffectTypes()
{
    std::vector<int> types;

    for (int type = EFFECT_NULL; type <= EFFECT_FSBLOCK_SWITCH; ++type)
        types.push_back (type);

    for (int type : { EFFECT_LAYOUT, EFFECT_GLOBAL, EFFECT_MODIFIER_DIALOG })
        types.push_back (type);

    return types;
}

juce::String nameOf (int effectType, int id)
{
    return getNameForId (getParamNameTable (effectType), (juce::uint32) id);
}
} // namespace

TEST (ParamNameTableContent, FixedNumbersResolveBothWays)
{
    for (auto& p : fixedParams)
    {
        SCOPED_TRACE (p.name);
        EXPECT_EQ (getParamIdForName (p.effectType, p.name), p.id);
        EXPECT_EQ (getParamName (p.effectType, p.id), p.name);
    }

    for (auto& [type, name] : requiredNames)
        EXPECT_GE (getParamIdForName (type, name), 0) << name;

    // Steps 17..32 skip the two parameters between the runs.
    EXPECT_EQ (getParamIdForName (EFFECT_CONTROL, "CONTROLLERS_SEQ17") -
                   getParamIdForName (EFFECT_CONTROL, "CONTROLLERS_SEQ16"),
               3);
    EXPECT_FALSE (getParamName (EFFECT_CONTROL, 53).startsWith ("CONTROLLERS_SEQ1"));
}

TEST (ParamNameTableContent, RoleParametersOfEveryBlockCarryTheirRoleNames)
{
    for (int blockId = 1; blockId <= lastBlockInstanceId; ++blockId)
    {
        const auto type = effectTypeOfBlock (blockId);

        if (! isBlockIdSupported (blockId) || ! hasParamNameTable (type))
            continue;

        SCOPED_TRACE (blockId);
        const juce::String prefix (prefixOfType.at (type));

        if (auto id = getTypeParamId (blockId); id >= 0)
        {
            const auto name = nameOf (type, id);
            EXPECT_TRUE (name == prefix + "TYPE" || name == prefix + "MODE" || name == prefix + "MODEL") << name;
        }

        if (auto id = getBypassModeParamId (blockId); id >= 0)
        {
            EXPECT_EQ (nameOf (type, id), prefix + "BYPASSMODE");
        }

        if (auto id = getBypassParamId (blockId); id >= 0)
        {
            EXPECT_EQ (nameOf (type, id), prefix + "BYPASS");
        }

        if (auto id = getGlobalMixParamId (blockId); id >= 0)
        {
            EXPECT_EQ (nameOf (type, id), prefix + "GLOBALMIX");
        }

        if (auto id = getMixParamId (blockId); id >= 0)
        {
            EXPECT_EQ (nameOf (type, id), prefix + "MIX");
        }

        juce::Array<juce::uint16> timeRate;
        getTimeRateParamIds (blockId, timeRate);

        for (auto id : timeRate)
            EXPECT_TRUE (nameOf (type, id).isNotEmpty()) << id;

        for (int scene = 0; scene < 8; ++scene)
        {
            if (auto id = getSceneOutputParamId (blockId, scene); id >= 0)
            {
                EXPECT_EQ (nameOf (type, id), "OUTPUT_MAIN" + juce::String (scene + 1));
            }
        }
    }
}

TEST (ParamNameTableContent, EveryDumpPositionHasAName)
{
    // Supported blocks, plus one block of each type the unit lacks, so that a
    // table cannot fall short of its dump unnoticed.
    std::vector<std::pair<int, int>> blocks;

    for (int blockId = 1; blockId <= lastBlockInstanceId; ++blockId)
        if (isBlockIdSupported (blockId))
            blocks.push_back ({ blockId, effectTypeOfBlock (blockId) });

    for (auto [blockId, type] : { std::pair<int, int>{ 137, EFFECT_MIXER },
                                  { 142, EFFECT_FBSEND },
                                  { 143, EFFECT_FBRETURN },
                                  { 147, EFFECT_MEGATAP },
                                  { 148, EFFECT_CROSSOVER },
                                  { 170, EFFECT_EQMATCH } })
        blocks.push_back ({ blockId, type });

    int checkedBlocks = 0;

    for (auto [blockId, type] : blocks)
    {
        const auto count = getParamCount (blockId);

        if (! hasParamNameTable (type))
            continue;

        SCOPED_TRACE (blockId);
        ++checkedBlocks;

        for (int id = 0; id < count; ++id)
            EXPECT_TRUE (nameOf (type, id).isNotEmpty()) << "id " << id;
    }

    EXPECT_GT (checkedBlocks, 40);
    EXPECT_EQ (getParamCount (106), 117);
    EXPECT_TRUE (nameOf (EFFECT_DISTORT, 116).isNotEmpty());
    EXPECT_TRUE (nameOf (EFFECT_CONTROL, 107).isNotEmpty());
    EXPECT_TRUE (nameOf (EFFECT_GLOBAL, 64).isNotEmpty());
}

TEST (ParamNameTableContent, TablesAreWellFormed)
{
    std::map<juce::String, const IdNameRow*> ownerOfName;

    for (int type : allEffectTypes())
    {
        SCOPED_TRACE (type);
        auto prefix = prefixOfType.find (type);
        ASSERT_EQ (hasParamNameTable (type), prefix != prefixOfType.end());

        if (prefix == prefixOfType.end())
            continue;

        const auto* table = getParamNameTable (type);
        std::set<juce::String> names;
        int previousId = -1;

        for (auto* row = table; row->id != idTableEnd; ++row)
        {
            const juce::String name (row->name);

            // Ascending ids: a repeated id would hide its later row from every lookup.
            EXPECT_GT (row->id, previousId) << name;
            EXPECT_LE (row->id, 0xFFFF) << name;
            previousId = row->id;

            EXPECT_TRUE (name.startsWith (prefix->second)) << name;
            EXPECT_GT (name.length(), juce::String (prefix->second).length()) << name;
            EXPECT_TRUE (name.containsOnly ("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_")) << name;
            EXPECT_TRUE (names.insert (name).second) << "twice in its table: " << name;

            // A name belongs to one table (the FX loop and output mixer share theirs).
            auto [owner, added] = ownerOfName.emplace (name, table);
            EXPECT_TRUE (added || owner->second == table) << "in two tables: " << name;
        }
    }

    EXPECT_GT (ownerOfName.size(), 1000u);
}

TEST (ParamNameTableContent, OwnTableFirstThenGlobal)
{
    // Id 0 exists in both the compressor's and the global table: the own one wins.
    EXPECT_EQ (getParamName (EFFECT_COMP, 0), "COMP_THRESH");
    EXPECT_EQ (getParamName (EFFECT_GLOBAL, 0), "GLOBAL_INPUTLEVEL");

    // A typed table still reaches the global names by name, and ids it lacks.
    EXPECT_EQ (getParamIdForName (EFFECT_DELAY, "GLOBAL_TUNERREF"),
               getParamIdForName (EFFECT_GLOBAL, "GLOBAL_TUNERREF"));
    EXPECT_EQ (getParamName (EFFECT_WAH, 255), "GLOBAL_BYPCTRL");

    // Types without a table use the global table alone.
    for (int type : { (int) EFFECT_NULL, (int) EFFECT_VOCODER, (int) EFFECT_MULTICOMP, (int) EFFECT_MIDI,
                      (int) EFFECT_FSBLOCK_SWITCH })
    {
        SCOPED_TRACE (type);
        EXPECT_EQ (getParamNameTable (type), getParamNameTable (EFFECT_GLOBAL));
        EXPECT_EQ (getParamIdForName (type, "GLOBAL_F2_TAP"), 48);
        EXPECT_EQ (getParamName (type, 0), "GLOBAL_INPUTLEVEL");
        EXPECT_EQ (getParamIdForName (type, "COMP_THRESH"), -1);
    }

    // Another type's names never resolve, even where the number would exist.
    EXPECT_EQ (getParamIdForName (EFFECT_REVERB, "DELAY_MIX"), -1);
    EXPECT_EQ (getParamIdForName (EFFECT_LOOPER, "LOOPER_RECORD "), -1);
}
