#include "model/IdTables.h"
#include "model/IdNameTable.h"
#include "model/ParamNameTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace
{
std::vector<int> idsOf (const IdNameRow* table)
{
    std::vector<int> ids;
    for (auto* row = table; row->id != idTableEnd; ++row)
        ids.push_back (row->id);
    return ids;
}

bool idsAreUnique (const IdNameRow* table)
{
    auto ids = idsOf (table);
    return std::set<int> (ids.begin(), ids.end()).size() == ids.size();
}

bool namesAreUniqueAndSet (const IdNameRow* table)
{
    std::set<std::string> names;
    for (auto* row = table; row->id != idTableEnd; ++row)
        if (row->name == nullptr || ! names.insert (row->name).second)
            return false;
    return true;
}

int rowIndexOf (const IdNameRow* table, int id)
{
    auto ids = idsOf (table);
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id)
            return (int) i;
    return -1;
}

struct NamedTable
{
    const char* name;
    const IdNameRow* table;
    int rows;
};

const NamedTable catalogue[] = {
    { "SysExFunctionNames", SysExFunctionNames, 97 },
    { "ModelNames", ModelNames, 11 },
    { "ParamUnitSuffixes", ParamUnitSuffixes, 9 },
    { "ParamUnitIdentifiers", ParamUnitIdentifiers, 9 },
    { "ParamKindIdentifiers", ParamKindIdentifiers, 14 },
    { "EffectTypeNames", EffectTypeNames, 49 },
    { "EffectTypeFileNames", EffectTypeFileNames, 49 },
    { "EffectTypeIdentifiers", EffectTypeIdentifiers, 48 },
    { "BlockDisplayNames", BlockDisplayNames, 106 },
    { "BlockIdentifiers", BlockIdentifiers, 79 },
    { "EffectLayoutNames", EffectLayoutNames, 42 },
    { "PageLayoutNames", PageLayoutNames, 30 },
    { "EditorControlType", EditorControlType, 18 },
    { "LabelStyle", LabelStyle, 4 },
    { "LooperControlParams", LooperControlParams, 7 },
    { "ModifierSourceNames", ModifierSourceNames, 26 },
    { "AutoEngageMode", AutoEngageMode, 7 },
    { "ModifierFieldNames", ModifierFieldNames, 15 },
    { "FootswitchModeNames", FootswitchModeNames, 17 },
    { "NoteNames", NoteNames, 12 },
    { "TunerNoteNames", TunerNoteNames, 12 },
    { "TunerStringNames", TunerStringNames, 6 },
    { "MainMenuNames", MainMenuNames, 5 },
    { "BlockLibraryDialogMode", BlockLibraryDialogMode, 3 },
    { "LanguageFiles", LanguageFiles, 1 },
    { "CommStepNames", CommStepNames, 127 },
};
} // namespace

TEST (IdTables, EveryTableHasItsRowCountAndUniqueNames)
{
    for (auto& entry : catalogue)
    {
        SCOPED_TRACE (entry.name);
        EXPECT_EQ (getTableRowCount (entry.table), entry.rows);
        EXPECT_TRUE (namesAreUniqueAndSet (entry.table));

        // Only the layout names list an id twice.
        if (entry.table != EffectLayoutNames)
        {
            EXPECT_TRUE (idsAreUnique (entry.table));
        }
    }
}

TEST (IdTables, SysExFunctionsFollowTheUnitsCodeOrder)
{
    auto ids = idsOf (SysExFunctionNames);
    ASSERT_EQ (ids.size(), 97u);

    // 0x00..0x48 ascending with 0x3D left out, then the transfer functions.
    std::vector<int> expected;
    for (int code = 0x00; code <= 0x48; ++code)
        if (code != 0x3D)
            expected.push_back (code);

    for (int code : { 0x64, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79,
                      0x7A, 0x7B, 0x7C, 0x67, 0x68, 0x69, 0x7D, 0x7E, 0x7F, 0x61, 0x62, 0x63 })
        expected.push_back (code);

    EXPECT_EQ (ids, expected);
    EXPECT_EQ (getNameForId (SysExFunctionNames, 0x3D), juce::String());

    // The rows carry the enumerators' names, so a spot check per group shows
    // that enum and table agree.
    EXPECT_EQ (getNameForId (SysExFunctionNames, 0x00), "SYSEX_WHO_AM_I");
    EXPECT_EQ (getNameForId (SysExFunctionNames, 0x3C), "SYSEX_RECALL_PATCH");
    EXPECT_EQ (getNameForId (SysExFunctionNames, 0x3E), "SYSEX_MUTE");
    EXPECT_EQ (getNameForId (SysExFunctionNames, 0x48), "SYSEX_FSGRID");
    EXPECT_EQ (getNameForId (SysExFunctionNames, 0x64), "SYSEX_STATUS_MSG");
    EXPECT_EQ (getNameForId (SysExFunctionNames, 0x67), "SYSEX_RAWIR_START");
    EXPECT_EQ (getNameForId (SysExFunctionNames, 0x63), "SYSEX_SYSTEM_DATA_END");
    EXPECT_EQ (getIdForName (SysExFunctionNames, "SYSEX_PATCH_PLUS_CAB_DUMP"), SYSEX_PATCH_PLUS_CAB_DUMP);
    EXPECT_EQ (SYSEX_PATCH_PLUS_CAB_DUMP, 0x46);
    EXPECT_EQ (SYSEX_CABIR_END, 0x7C);
}

TEST (IdTables, CommStepsHoldEachIdOnceWithTheirOddOrder)
{
    auto ids = idsOf (CommStepNames);
    std::set<int> unique (ids.begin(), ids.end());
    EXPECT_EQ (unique.size(), 127u);
    EXPECT_EQ (*unique.begin(), 0);
    EXPECT_EQ (*unique.rbegin(), 126);

    EXPECT_EQ (rowIndexOf (CommStepNames, 12), 11);
    EXPECT_EQ (rowIndexOf (CommStepNames, 11), 12);
    EXPECT_EQ (rowIndexOf (CommStepNames, 72), 70);
    EXPECT_EQ (getNameForId (CommStepNames, 0), "begin communications");
    EXPECT_EQ (getNameForId (CommStepNames, 105), "get_positon");
    EXPECT_EQ (getNameForId (CommStepNames, 126), "layout_get_all");
}

TEST (IdTables, BlockTablesCoverTheirIdRanges)
{
    auto ids = idsOf (BlockDisplayNames);
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ (ids[i], 100 + (int) i);

    EXPECT_EQ (getNameForId (BlockDisplayNames, 100), "Compressor");
    EXPECT_EQ (getNameForId (BlockDisplayNames, 101), "Compressor 2");
    EXPECT_EQ (getNameForId (BlockDisplayNames, 112), "Delay 1");
    EXPECT_EQ (getNameForId (BlockDisplayNames, 127), "Volume/Pan 1");
    EXPECT_EQ (getNameForId (BlockDisplayNames, 140), "Output");
    EXPECT_EQ (getNameForId (BlockDisplayNames, 155), "Multiband Comp. 2");
    EXPECT_EQ (getNameForId (BlockDisplayNames, 173), "Output 2");
    EXPECT_EQ (getNameForId (BlockDisplayNames, 183), "Looper Control");
    EXPECT_EQ (getNameForId (BlockDisplayNames, 191), "Scene 8");
    EXPECT_EQ (getNameForId (BlockDisplayNames, 199), "Preset 8");
    EXPECT_EQ (getNameForId (BlockDisplayNames, 205), "Control Switch 2");

    std::vector<int> expected{ 1 };
    for (int id = 100; id <= 175; ++id)
        expected.push_back (id);
    expected.push_back (207);
    expected.push_back (208);
    EXPECT_EQ (idsOf (BlockIdentifiers), expected);
    EXPECT_EQ (getNameForId (BlockIdentifiers, 127), "ID_VOLUME1");
    EXPECT_EQ (getNameForId (BlockIdentifiers, 141), "ID_CONTROL");
    EXPECT_EQ (getNameForId (BlockIdentifiers, 175), "ID_RELAY2");
}

TEST (IdTables, EffectTypeVariantsAndEnumAgree)
{
    auto displayIds = idsOf (EffectTypeNames);
    EXPECT_EQ (idsOf (EffectTypeFileNames), displayIds);

    // The identifiers come from the enum; without the Global row they must
    // line up with the display rows one for one.
    auto withoutGlobal = displayIds;
    withoutGlobal.erase (std::remove (withoutGlobal.begin(), withoutGlobal.end(), (int) EFFECT_GLOBAL),
                         withoutGlobal.end());
    EXPECT_EQ (idsOf (EffectTypeIdentifiers), withoutGlobal);
    EXPECT_EQ (rowIndexOf (EffectTypeNames, EFFECT_GLOBAL), 2);

    for (auto* row = EffectTypeNames; row->id != idTableEnd; ++row)
    {
        juce::String display (row->name);
        auto file = getNameForId (EffectTypeFileNames, (juce::uint32) row->id);
        EXPECT_FALSE (file.containsChar ('/')) << file;
        if (! display.containsChar ('/'))
        {
            EXPECT_EQ (file, display);
        }
    }

    EXPECT_EQ (getNameForId (EffectTypeNames, EFFECT_FSBLOCK_PRESET), "Preset/Bank");
    EXPECT_LT (rowIndexOf (EffectTypeNames, 45), rowIndexOf (EffectTypeNames, 44));
    EXPECT_EQ (getNameForId (EffectTypeFileNames, EFFECT_TREMOLO), "Trem-Pan");
    EXPECT_EQ (getIdForName (EffectTypeNames, "Global"), EFFECT_GLOBAL);
    EXPECT_EQ (getNameForId (EffectTypeIdentifiers, 47), "EFFECT_FSBLOCK_SWITCH");
    EXPECT_EQ (getNameForId (EffectTypeIdentifiers, EFFECT_GLOBAL), juce::String());
}

TEST (IdTables, ParamUnitAndKindTablesMatchTheirEnums)
{
    EXPECT_EQ (idsOf (ParamUnitIdentifiers), idsOf (ParamUnitSuffixes));
    EXPECT_EQ (getNameForId (ParamUnitSuffixes, B_NONE), juce::String());
    EXPECT_EQ (getIdForName (ParamUnitSuffixes, "ms"), B_MSEC);
    EXPECT_EQ (getNameForId (ParamUnitIdentifiers, B_PFARADS), "B_PFARADS");

    EXPECT_EQ (getNameForId (ParamKindIdentifiers, 6), juce::String());
    EXPECT_EQ (getNameForId (ParamKindIdentifiers, 7), "B_MIX");
    EXPECT_EQ (getNameForId (ParamKindIdentifiers, 14), "B_DUMMY");
}

TEST (IdTables, LayoutNamesFirstMatchWinsAndLookupIsExact)
{
    EXPECT_EQ (rowIndexOf (EffectLayoutNames, EFFECT_GLOBAL), 0);
    EXPECT_EQ (getNameForId (EffectLayoutNames, EFFECT_GLOBAL), "Global");
    EXPECT_EQ (getIdForName (EffectLayoutNames, "Global"), EFFECT_GLOBAL);
    EXPECT_EQ (getIdForName (EffectLayoutNames, "Global Footswitches"), EFFECT_GLOBAL);
    EXPECT_EQ (getIdForName (EffectLayoutNames, "Compressor"), EFFECT_COMP);
    EXPECT_EQ (getIdForName (EffectLayoutNames, "compressor"), -1);
    EXPECT_EQ (getIdForName (EffectLayoutNames, "Compressor "), -1);
    EXPECT_EQ (getIdForName (EffectLayoutNames, ""), -1);
    EXPECT_EQ (getNameForId (EffectLayoutNames, EFFECT_NULL), juce::String());
    EXPECT_EQ (getNameForId (EffectLayoutNames, 0xFFFFFFFFu), juce::String());

    // Every layout names a real effect type or one of the pseudo types.
    for (auto* row = EffectLayoutNames; row->id != idTableEnd; ++row)
    {
        if (row->id != EFFECT_LAYOUT && row->id != EFFECT_MODIFIER_DIALOG)
        {
            EXPECT_NE (getNameForId (EffectTypeNames, (juce::uint32) row->id), juce::String()) << row->name;
        }
    }

    EXPECT_EQ (getNameForId (PageLayoutNames, 30), "CONTROLLERS_MODIFIERS_LAYOUT");
    EXPECT_EQ (rowIndexOf (PageLayoutNames, 28), 8);
    EXPECT_EQ (getIdForName (EditorControlType, "spacer"), 1);
    EXPECT_EQ (getIdForName (EditorControlType, "tristate_slider"), 18);
    EXPECT_EQ (getIdForName (LabelStyle, "labelLeft"), 4);
}

TEST (IdTables, AuthoredAndOddTextsStandAsWritten)
{
    std::vector<int> modelOrder{ 0, 1, 2, 3, 4, 5, 10, 6, 7, 8, 9 };
    EXPECT_EQ (idsOf (ModelNames), modelOrder);
    EXPECT_EQ (getNameForId (ModelNames, 8), "Kestrel");

    EXPECT_EQ (getNameForId (ModifierFieldNames, 10), "Auto Enage");
    EXPECT_EQ (getNameForId (ModifierSourceNames, 21), "Extern 12");
    EXPECT_EQ (getNameForId (FootswitchModeNames, 3), "Sticky Preset +/-");
    EXPECT_EQ (getNameForId (TunerNoteNames, 0), "A");
    EXPECT_EQ (getNameForId (TunerStringNames, 5), "6");
    EXPECT_EQ (getNameForId (LanguageFiles, 1), "english.lbrakml");
}

TEST (IdNameTable, NullEmptyAndMissingLookupsAreHarmless)
{
    EXPECT_EQ (getNameForId (nullptr, 1), juce::String());
    EXPECT_EQ (getIdForName (nullptr, "x"), -1);
    EXPECT_EQ (getValueForId (nullptr, 1), -1);
    EXPECT_EQ (getTableRowCount ((const IdNameRow*) nullptr), 0);

    const IdNameRow empty[] = { { idTableEnd, nullptr } };
    EXPECT_EQ (getNameForId (empty, 0), juce::String());
    EXPECT_EQ (getIdForName (empty, ""), -1);

    const IdPairRow pairs[] = { { 8, 6, 0 }, { 8, 9, 9 }, { idTableEnd, 0, 0 } };
    juce::int32 a = 42, b = 43;
    EXPECT_FALSE (getPairForId (pairs, 3, a, b));
    EXPECT_FALSE (getPairForId (nullptr, 8, a, b));
    EXPECT_EQ (a, 42);
    EXPECT_EQ (b, 43);
    EXPECT_TRUE (getPairForId (pairs, 8, a, b));
    EXPECT_EQ (a, 6);
    EXPECT_EQ (b, 0);
}

TEST (IdNameTable, SortedBlockNamesAreNaturalAndComplete)
{
    juce::StringArray names{ "kept first" };
    getSortedBlockNames (names);

    ASSERT_EQ (names.size(), 107);
    EXPECT_EQ (names[0], "kept first");

    for (int i = 2; i < names.size(); ++i)
        EXPECT_LE (names[i - 1].compareNatural (names[i]), 0) << names[i - 1] << " / " << names[i];

    for (auto* row = BlockDisplayNames; row->id != idTableEnd; ++row)
        EXPECT_TRUE (names.contains (row->name)) << row->name;

    auto first = names.indexOf ("Graphic EQ 1");
    for (int n = 2; n <= 4; ++n)
        EXPECT_EQ (names.indexOf ("Graphic EQ " + juce::String (n)), first + n - 1);

    for (int n = 2; n <= 8; ++n)
        EXPECT_LT (names.indexOf ("Scene " + juce::String (n - 1)), names.indexOf ("Scene " + juce::String (n)));
}

TEST (ParamNameTables, RoleParametersHaveTheirFixedNumbers)
{
    EXPECT_EQ (getParamIdForName (EFFECT_COMP, "COMP_TYPE"), 12);
    EXPECT_EQ (getParamIdForName (EFFECT_COMP, "COMP_BYPASSMODE"), 14);
    EXPECT_EQ (getParamIdForName (EFFECT_DISTORT, "DISTORT_TYPE"), 0);
    EXPECT_EQ (getParamIdForName (EFFECT_CAB, "CABINET_MODE"), 12);
    EXPECT_EQ (getParamIdForName (EFFECT_DELAY, "DELAY_GLOBALMIX"), 21);
    EXPECT_EQ (getParamIdForName (EFFECT_CONTROL, "CONTROLLERS_TEMPO"), 32);
    EXPECT_EQ (getParamIdForName (EFFECT_CONTROL, "CONTROLLERS_TEMPOTOUSE"), 33);
    EXPECT_EQ (getParamName (EFFECT_PITCH, 61440), "PITCH_TONIC");

    // The FX loop and the output mixer share the per-scene output levels.
    for (int scene = 0; scene < 8; ++scene)
    {
        auto name = "OUTPUT_MAIN" + juce::String (scene + 1);
        EXPECT_EQ (getParamIdForName (EFFECT_OUTPUT, name), 8 + scene);
        EXPECT_EQ (getParamIdForName (EFFECT_LOOP, name), 8 + scene);
    }

    for (auto* row = LooperControlParams; row->id != idTableEnd; ++row)
        EXPECT_EQ (getParamIdForName (EFFECT_LOOPER, row->name), row->id) << row->name;
}

TEST (ParamNameTables, GlobalTableIsTheFallback)
{
    EXPECT_EQ (getParamIdForName (EFFECT_COMP, "GLOBAL_BYPCTRL"), 255);
    EXPECT_EQ (getParamName (EFFECT_DELAY, 255), "GLOBAL_BYPCTRL");
    EXPECT_EQ (getParamIdForName (EFFECT_DELAY, "COMP_TYPE"), -1);
    EXPECT_EQ (getParamIdForName (EFFECT_COMP, "comp_type"), -1);
    EXPECT_EQ (getParamName (EFFECT_COMP, 200), juce::String()); // named by neither table
    EXPECT_EQ (getParamName (EFFECT_COMP, -1), juce::String());
    EXPECT_EQ (getParamName (EFFECT_COMP, 0x10000 + 12), juce::String());

    EXPECT_FALSE (hasParamNameTable (EFFECT_VOCODER));
    EXPECT_FALSE (hasParamNameTable (12345));
    EXPECT_EQ (getParamNameTable (EFFECT_VOCODER), getParamNameTable (EFFECT_GLOBAL));
    EXPECT_EQ (getParamIdForName (EFFECT_RESONATOR, "GLOBAL_F1_TAP"), 46);
}

TEST (ParamNameTables, EachTypeHasItsOwnPrefixAndUniqueRows)
{
    const std::map<int, juce::String> prefixes{
        { EFFECT_COMP, "COMP_" },
        { EFFECT_GRAPHEQ, "GEQ_" },
        { EFFECT_PARAEQ, "PEQ_" },
        { EFFECT_DISTORT, "DISTORT_" },
        { EFFECT_CAB, "CABINET_" },
        { EFFECT_REVERB, "REVERB_" },
        { EFFECT_DELAY, "DELAY_" },
        { EFFECT_MULTITAP, "MULTITAP_" },
        { EFFECT_CHORUS, "CHORUS_" },
        { EFFECT_FLANGER, "FLANGER_" },
        { EFFECT_ROTARY, "ROTARY_" },
        { EFFECT_PHASER, "PHASER_" },
        { EFFECT_WAH, "WAH_" },
        { EFFECT_FORMANT, "FORMANT_" },
        { EFFECT_TREMOLO, "TREMOLO_" },
        { EFFECT_PITCH, "PITCH_" },
        { EFFECT_FILTER, "FILTER_" },
        { EFFECT_FUZZ, "FUZZ_" },
        { EFFECT_ENHANCER, "ENHANCER_" },
        { EFFECT_LOOP, "OUTPUT_" },
        { EFFECT_MIXER, "MIXER_" },
        { EFFECT_FBSEND, "FDBKSEND_" },
        { EFFECT_FBRETURN, "FDBKRET_" },
        { EFFECT_SYNTH, "SYNTH_" },
        { EFFECT_MEGATAP, "MEGATAP_" },
        { EFFECT_CROSSOVER, "CROSSOVER_" },
        { EFFECT_GATE, "GATE_" },
        { EFFECT_RINGMOD, "RINGMOD_" },
        { EFFECT_VOLUME, "VOLUME_" },
        { EFFECT_NOISEGATE, "NOISEGATE_" },
        { EFFECT_OUTPUT, "OUTPUT_" },
        { EFFECT_CONTROL, "CONTROLLERS_" },
        { EFFECT_LOOPER, "LOOPER_" },
        { EFFECT_EQMATCH, "EQMATCH_" },
        { EFFECT_LAYOUT, "LAYOUT_" },
        { EFFECT_GLOBAL, "GLOBAL_" },
        { EFFECT_MODIFIER_DIALOG, "MOD_" },
    };

    std::vector<int> types;
    for (int type = 0; type <= EFFECT_FSBLOCK_SWITCH; ++type)
        types.push_back (type);
    for (int type : { EFFECT_LAYOUT, EFFECT_GLOBAL, EFFECT_MODIFIER_DIALOG })
        types.push_back (type);

    for (int type : types)
    {
        SCOPED_TRACE (type);
        auto prefix = prefixes.find (type);
        ASSERT_EQ (hasParamNameTable (type), prefix != prefixes.end());
        if (prefix == prefixes.end())
            continue;

        auto* table = getParamNameTable (type);
        EXPECT_TRUE (idsAreUnique (table));
        EXPECT_TRUE (namesAreUniqueAndSet (table));
        for (auto* row = table; row->id != idTableEnd; ++row)
            EXPECT_TRUE (juce::String (row->name).startsWith (prefix->second)) << row->name;
    }
}
