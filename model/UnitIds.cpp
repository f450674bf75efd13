#include "model/UnitIds.h"

#include "model/FileUtils.h"
#include "model/IdNameTable.h"
#include "model/IdTables.h"

namespace
{
// clang-format off

// Block-to-type table: {effect type, block id}; every block id stands once,
// and each type's ids stand in ascending order.
const IdValueRow blockTypeTable[] = {
    // Global
    { EFFECT_GLOBAL, 1 },
    // Compressor
    { EFFECT_COMP, 100 }, { EFFECT_COMP, 101 },
    // Graphic EQ
    { EFFECT_GRAPHEQ, 102 }, { EFFECT_GRAPHEQ, 103 }, { EFFECT_GRAPHEQ, 160 }, { EFFECT_GRAPHEQ, 161 },
    // Parametric EQ
    { EFFECT_PARAEQ, 104 }, { EFFECT_PARAEQ, 105 }, { EFFECT_PARAEQ, 162 }, { EFFECT_PARAEQ, 163 },
    // Amp
    { EFFECT_DISTORT, 106 }, { EFFECT_DISTORT, 107 },
    // Cab
    { EFFECT_CAB, 108 }, { EFFECT_CAB, 109 },
    // Reverb
    { EFFECT_REVERB, 110 }, { EFFECT_REVERB, 111 },
    // Delay
    { EFFECT_DELAY, 112 }, { EFFECT_DELAY, 113 },
    // Multi-Delay
    { EFFECT_MULTITAP, 114 }, { EFFECT_MULTITAP, 115 },
    // Chorus
    { EFFECT_CHORUS, 116 }, { EFFECT_CHORUS, 117 },
    // Flanger
    { EFFECT_FLANGER, 118 }, { EFFECT_FLANGER, 119 },
    // Rotary
    { EFFECT_ROTARY, 120 }, { EFFECT_ROTARY, 121 },
    // Phaser
    { EFFECT_PHASER, 122 }, { EFFECT_PHASER, 123 },
    // Wah
    { EFFECT_WAH, 124 }, { EFFECT_WAH, 125 },
    // Formant
    { EFFECT_FORMANT, 126 },
    // Tremolo/Panner
    { EFFECT_TREMOLO, 128 }, { EFFECT_TREMOLO, 129 },
    // Pitch
    { EFFECT_PITCH, 130 }, { EFFECT_PITCH, 153 },
    // Filter
    { EFFECT_FILTER, 131 }, { EFFECT_FILTER, 132 }, { EFFECT_FILTER, 164 }, { EFFECT_FILTER, 165 },
    // Drive
    { EFFECT_FUZZ, 133 }, { EFFECT_FUZZ, 134 },
    // Enhancer
    { EFFECT_ENHANCER, 135 },
    // FX Loop
    { EFFECT_LOOP, 136 },
    // Mixer
    { EFFECT_MIXER, 137 }, { EFFECT_MIXER, 138 },
    // Feedback Send
    { EFFECT_FBSEND, 142 },
    // Feedback Return
    { EFFECT_FBRETURN, 143 },
    // Synth
    { EFFECT_SYNTH, 144 }, { EFFECT_SYNTH, 145 },
    // Vocoder
    { EFFECT_VOCODER, 146 },
    // Megatap Delay
    { EFFECT_MEGATAP, 147 },
    // Crossover
    { EFFECT_CROSSOVER, 148 }, { EFFECT_CROSSOVER, 149 },
    // Gate/Expander
    { EFFECT_GATE, 150 }, { EFFECT_GATE, 151 },
    // Ring Modulator
    { EFFECT_RINGMOD, 152 },
    // Multiband Compressor
    { EFFECT_MULTICOMP, 154 }, { EFFECT_MULTICOMP, 155 },
    // Quad Chorus
    { EFFECT_QUADCHORUS, 156 }, { EFFECT_QUADCHORUS, 157 },
    // Resonator
    { EFFECT_RESONATOR, 158 }, { EFFECT_RESONATOR, 159 },
    // Volume/Pan
    { EFFECT_VOLUME, 127 }, { EFFECT_VOLUME, 166 }, { EFFECT_VOLUME, 167 }, { EFFECT_VOLUME, 168 },
    // Input Noisegate
    { EFFECT_NOISEGATE, 139 },
    // Output Mixer
    { EFFECT_OUTPUT, 140 }, { EFFECT_OUTPUT, 173 },
    // Controllers
    { EFFECT_CONTROL, 141 },
    // Looper
    { EFFECT_LOOPER, 169 },
    // Simulo
    { EFFECT_EQMATCH, 170 },
    // Midi
    { EFFECT_MIDI, 171 }, { EFFECT_MIDI, 172 },
    // Relay 1
    { EFFECT_RELAY1, 174 },
    // Relay 2
    { EFFECT_RELAY2, 175 },
    // Looper Control
    { EFFECT_FSBLOCK_LOOPER, 176 }, { EFFECT_FSBLOCK_LOOPER, 177 },
    { EFFECT_FSBLOCK_LOOPER, 178 }, { EFFECT_FSBLOCK_LOOPER, 179 },
    { EFFECT_FSBLOCK_LOOPER, 180 }, { EFFECT_FSBLOCK_LOOPER, 181 },
    { EFFECT_FSBLOCK_LOOPER, 182 }, { EFFECT_FSBLOCK_LOOPER, 183 },
    // Preset/Bank
    { EFFECT_FSBLOCK_PRESET, 192 }, { EFFECT_FSBLOCK_PRESET, 193 },
    { EFFECT_FSBLOCK_PRESET, 194 }, { EFFECT_FSBLOCK_PRESET, 195 },
    { EFFECT_FSBLOCK_PRESET, 196 }, { EFFECT_FSBLOCK_PRESET, 197 },
    { EFFECT_FSBLOCK_PRESET, 198 }, { EFFECT_FSBLOCK_PRESET, 199 },
    { EFFECT_FSBLOCK_PRESET, 200 }, { EFFECT_FSBLOCK_PRESET, 201 },
    // Scene
    { EFFECT_FSBLOCK_SCENE, 184 }, { EFFECT_FSBLOCK_SCENE, 185 },
    { EFFECT_FSBLOCK_SCENE, 186 }, { EFFECT_FSBLOCK_SCENE, 187 },
    { EFFECT_FSBLOCK_SCENE, 188 }, { EFFECT_FSBLOCK_SCENE, 189 },
    { EFFECT_FSBLOCK_SCENE, 190 }, { EFFECT_FSBLOCK_SCENE, 191 },
    { EFFECT_FSBLOCK_SCENE, 202 },
    // Block X/Y
    { EFFECT_FSBLOCK_XY, 203 },
    // Control Switch
    { EFFECT_FSBLOCK_SWITCH, 204 }, { EFFECT_FSBLOCK_SWITCH, 205 },
    // Layout
    { EFFECT_LAYOUT, 207 }, { EFFECT_LAYOUT, 208 },
    { idTableEnd, 0 },
};

// clang-format on

// Instances within 100..205 that this unit lacks, as inclusive ranges.
struct IdRange
{
    int first, last;
};

const IdRange unsupportedInstanceIds[] = {
    { 101, 101 }, { 107, 107 }, { 109, 109 }, { 111, 111 }, { 115, 115 }, { 117, 117 },
    { 119, 119 }, { 121, 121 }, { 123, 123 }, { 125, 125 }, { 129, 129 }, { 137, 138 },
    { 142, 143 }, { 145, 149 }, { 151, 151 }, { 153, 165 }, { 167, 168 }, { 170, 175 },
};

// Special parameter numbers, keyed by effect type: the type selector, bypass
// mode, bypass, global mix and mix parameters.
const IdValueRow typeParamIds[] = {
    { EFFECT_COMP, 12 },     // COMP_TYPE
    { EFFECT_DISTORT, 0 },   // DISTORT_TYPE
    { EFFECT_CAB, 12 },      // CABINET_MODE
    { EFFECT_REVERB, 0 },    // REVERB_TYPE
    { EFFECT_DELAY, 0 },     // DELAY_MODEL
    { EFFECT_MULTITAP, 35 }, // MULTITAP_TYPE
    { EFFECT_CHORUS, 0 },    // CHORUS_TYPE
    { EFFECT_FLANGER, 0 },   // FLANGER_TYPE
    { EFFECT_PHASER, 0 },    // PHASER_TYPE
    { EFFECT_TREMOLO, 0 },   // TREMOLO_TYPE
    { EFFECT_PITCH, 0 },     // PITCH_TYPE
    { EFFECT_FUZZ, 0 },      // FUZZ_TYPE
    { EFFECT_ENHANCER, 6 },  // ENHANCER_TYPE
    { EFFECT_WAH, 0 },       // WAH_TYPE
    { EFFECT_GRAPHEQ, 15 },  // GEQ_TYPE
    { EFFECT_NOISEGATE, 6 }, // NOISEGATE_TYPE
    { idTableEnd, 0 },
};

const IdValueRow bypassModeParamIds[] = {
    { EFFECT_COMP, 14 },      { EFFECT_DISTORT, 23 }, { EFFECT_CAB, 11 },      { EFFECT_REVERB, 16 },
    { EFFECT_DELAY, 20 },     { EFFECT_CHORUS, 13 },  { EFFECT_FLANGER, 14 },  { EFFECT_PHASER, 14 },
    { EFFECT_TREMOLO, 9 },    { EFFECT_PITCH, 26 },   { EFFECT_FUZZ, 5 },      { EFFECT_WAH, 8 },
    { EFFECT_GRAPHEQ, 13 },   { EFFECT_PARAEQ, 21 },  { EFFECT_EQMATCH, 8 },   { EFFECT_OUTPUT, 18 },
    { EFFECT_FILTER, 6 },     { EFFECT_LOOPER, 3 },   { EFFECT_MULTITAP, 31 }, { EFFECT_MEGATAP, 14 },
    { EFFECT_FORMANT, 8 },    { EFFECT_ROTARY, 8 },   { EFFECT_FBRETURN, 3 },  { EFFECT_SYNTH, 26 },
    { EFFECT_CROSSOVER, 13 }, { EFFECT_GATE, 11 },    { EFFECT_RINGMOD, 7 },   { EFFECT_VOLUME, 7 },
    { idTableEnd, 0 },
};

const IdValueRow bypassParamIds[] = {
    { EFFECT_COMP, 9 },       { EFFECT_DISTORT, 28 }, { EFFECT_CAB, 13 },      { EFFECT_REVERB, 22 },
    { EFFECT_DELAY, 22 },     { EFFECT_CHORUS, 15 },  { EFFECT_FLANGER, 16 },  { EFFECT_PHASER, 16 },
    { EFFECT_TREMOLO, 14 },   { EFFECT_PITCH, 29 },   { EFFECT_FUZZ, 7 },      { EFFECT_WAH, 12 },
    { EFFECT_GRAPHEQ, 18 },   { EFFECT_PARAEQ, 23 },  { EFFECT_EQMATCH, 9 },   { EFFECT_OUTPUT, 19 },
    { EFFECT_FILTER, 8 },     { EFFECT_LOOPER, 4 },   { EFFECT_MULTITAP, 34 }, { EFFECT_MEGATAP, 16 },
    { EFFECT_FORMANT, 11 },   { EFFECT_ROTARY, 11 },  { EFFECT_FBRETURN, 5 },  { EFFECT_SYNTH, 28 },
    { EFFECT_CROSSOVER, 14 }, { EFFECT_GATE, 12 },    { EFFECT_RINGMOD, 9 },   { EFFECT_VOLUME, 3 },
    { EFFECT_ENHANCER, 5 },   { idTableEnd, 0 },
};

const IdValueRow globalMixParamIds[] = {
    { EFFECT_DELAY, 21 },    { EFFECT_CHORUS, 14 },  { EFFECT_FLANGER, 15 }, { EFFECT_FORMANT, 9 },
    { EFFECT_MULTITAP, 32 }, { EFFECT_MEGATAP, 15 }, { EFFECT_PHASER, 15 },  { EFFECT_PITCH, 27 },
    { EFFECT_REVERB, 17 },   { EFFECT_RINGMOD, 8 },  { EFFECT_SYNTH, 27 },   { idTableEnd, 0 },
};

const IdValueRow mixParamIds[] = {
    { EFFECT_COMP, 11 },     { EFFECT_REVERB, 13 },  { EFFECT_DELAY, 17 },     { EFFECT_LOOPER, 0 },
    { EFFECT_MULTITAP, 28 }, { EFFECT_CHORUS, 10 },  { EFFECT_FLANGER, 11 },   { EFFECT_FORMANT, 5 },
    { EFFECT_GRAPHEQ, 10 },  { EFFECT_PHASER, 11 },  { EFFECT_PITCH, 23 },     { EFFECT_ROTARY, 5 },
    { EFFECT_TREMOLO, 6 },   { EFFECT_WAH, 9 },      { EFFECT_FUZZ, 4 },       { EFFECT_FBRETURN, 0 },
    { EFFECT_SYNTH, 23 },    { EFFECT_MEGATAP, 11 }, { EFFECT_CROSSOVER, 10 }, { EFFECT_GATE, 8 },
    { EFFECT_RINGMOD, 4 },   { idTableEnd, 0 },
};

// Time and rate parameters; a type may stand in several rows, kept in order.
const IdValueRow timeRateParamIds[] = {
    { EFFECT_DELAY, 2 },    { EFFECT_DELAY, 26 },   { EFFECT_MULTITAP, 0 }, { EFFECT_MULTITAP, 1 },
    { EFFECT_MULTITAP, 2 }, { EFFECT_MULTITAP, 3 }, { EFFECT_PHASER, 2 },   { EFFECT_ROTARY, 0 },
    { EFFECT_TREMOLO, 2 },  { EFFECT_FLANGER, 1 },  { EFFECT_CHORUS, 2 },   { idTableEnd, 0 },
};

// clang-format off

// Parameter values in a full parameter dump, keyed by block id.
const IdValueRow paramCounts[] = {
    { 1, 65 },
    { 100, 20 }, { 101, 20 }, { 136, 20 }, { 140, 20 }, { 173, 20 },
    { 102, 19 }, { 103, 19 }, { 120, 19 }, { 121, 19 }, { 160, 19 }, { 161, 19 },
    { 104, 24 }, { 105, 24 }, { 116, 24 }, { 117, 24 }, { 162, 24 }, { 163, 24 },
    { 106, 117 }, { 107, 117 },
    { 108, 38 }, { 109, 38 },
    { 110, 45 }, { 111, 45 },
    { 112, 70 }, { 113, 70 },
    { 114, 118 }, { 115, 118 },
    { 118, 23 }, { 119, 23 }, { 122, 23 }, { 123, 23 },
    { 124, 15 }, { 125, 15 }, { 148, 15 }, { 149, 15 }, { 169, 15 },
    { 126, 12 },
    { 127, 9 }, { 166, 9 }, { 167, 9 }, { 168, 9 },
    { 128, 17 }, { 129, 17 }, { 147, 17 },
    { 130, 86 }, { 153, 86 },
    { 131, 14 }, { 132, 14 }, { 164, 14 }, { 165, 14 },
    { 133, 21 }, { 134, 21 },
    { 135, 11 }, { 171, 11 }, { 172, 11 },
    { 137, 10 }, { 138, 10 }, { 152, 10 },
    { 139, 7 },
    { 141, 108 },
    { 142, 2 }, { 174, 2 }, { 175, 2 },
    { 143, 6 },
    { 144, 40 }, { 145, 40 },
    { 150, 13 }, { 151, 13 },
    { 170, 37 },
    { idTableEnd, 0 },
};
// clang-format on

// Models 3 and 8 share the scene, X/Y and bypass design.
bool isSceneModel (int model)
{
    return model == 3 || model == 8;
}

// Block ids for which no special parameter is ever given.
bool hasNoSpecialParams (int blockId)
{
    return blockId == blockIdNone || isShuntBlockId (blockId);
}

int specialParamOf (const IdValueRow* table, int blockId)
{
    if (hasNoSpecialParams (blockId))
        return -1;

    return getValueForId (table, effectTypeOfBlock (blockId));
}

bool isDigit (juce::juce_wchar c)
{
    return c >= '0' && c <= '9';
}

bool isPresetDigit (juce::juce_wchar c)
{
    return c >= '1' && c <= '8';
}

int digitValue (juce::juce_wchar c)
{
    return (int) (c - '0');
}
} // namespace

//==============================================================================
int gridCellIndex (int row, int column)
{
    // Unsigned compares refuse negative positions as well.
    if ((unsigned) row < (unsigned) gridRows && (unsigned) column < (unsigned) gridColumns)
        return row + gridRows * column;

    return -1;
}

bool gridCellPosition (int index, int& row, int& column)
{
    if ((unsigned) index >= (unsigned) gridCellCount)
        return false;

    row = index % gridRows;
    column = index / gridRows;
    return true;
}

int footswitchIndexAt (int row, int column)
{
    if ((unsigned) column >= (unsigned) footswitchColumns)
        return -1;

    if (row == 0)
        return column + footswitchColumns;

    if (row == 1)
        return column;

    return -1;
}

bool footswitchPosition (int index, int& row, int& column)
{
    if ((unsigned) index >= (unsigned) footswitchCount)
        return false;

    row = index < footswitchColumns ? 1 : 0;
    column = index % footswitchColumns;
    return true;
}

//==============================================================================
bool isBlockIdSupported (int blockId)
{
    if (blockId == blockIdGlobal)
        return true;

    if (blockId < firstBlockInstanceId || blockId > lastBlockInstanceId)
        return false;

    for (auto& range : unsupportedInstanceIds)
        if (blockId >= range.first && blockId <= range.last)
            return false;

    return true;
}

bool isAssignableBlockId (int blockId)
{
    if (blockId == blockIdGlobal)
        return false;

    if (blockId >= blockIdGridInput && blockId <= blockIdControllers)
        return false;

    // The looper's fixed switches; the Looper Control block itself (183) stays assignable.
    return ! (blockId >= 176 && blockId <= 182);
}

int effectTypeOfBlock (int blockId)
{
    for (auto* row = blockTypeTable; row->id != idTableEnd; ++row)
    {
        if (row->value != blockId)
            continue;

        const auto type = row->id;

        // Footswitch block types, Global and Layout do not depend on the unit's instances.
        if (type > EFFECT_RELAY2)
            return type;

        return isBlockIdSupported (blockId) ? type : (int) EFFECT_NULL;
    }

    return 0;
}

int firstBlockIdOfType (int effectType)
{
    const auto blockId = getValueForId (blockTypeTable, effectType);

    if (blockId >= 0 && isBlockIdSupported (blockId))
        return blockId;

    return -1;
}

void getBlockIdsOfType (int effectType, juce::Array<juce::uint16>& blockIds)
{
    for (auto* row = blockTypeTable; row->id != idTableEnd; ++row)
        if (row->id == effectType && isBlockIdSupported (row->value))
            blockIds.add ((juce::uint16) row->value);
}

bool hasXYChannels (int blockId, int model)
{
    if (! isSceneModel (model))
        return false;

    const auto type = effectTypeOfBlock (blockId);

    return type == EFFECT_COMP || (type >= EFFECT_DISTORT && type <= EFFECT_WAH) ||
           (type >= EFFECT_TREMOLO && type <= EFFECT_FUZZ) || type == EFFECT_MIXER || type == EFFECT_GATE ||
           (type >= EFFECT_MIDI && type <= EFFECT_RELAY2);
}

bool hasBypass (int blockId, int model)
{
    if (hasNoSpecialParams (blockId) || ! isSceneModel (model))
        return false;

    const auto type = effectTypeOfBlock (blockId);

    // Feedback Send, Input Noisegate, Output Mixer and Controllers cannot be bypassed.
    return ! (type == EFFECT_FBSEND || (type >= EFFECT_NOISEGATE && type <= EFFECT_CONTROL));
}

//==============================================================================
int getTypeParamId (int blockId)
{
    if (! isBlockIdSupported (blockId))
        return -1;

    return specialParamOf (typeParamIds, blockId);
}

int getBypassModeParamId (int blockId)
{
    return specialParamOf (bypassModeParamIds, blockId);
}

int getBypassParamId (int blockId)
{
    return specialParamOf (bypassParamIds, blockId);
}

int getGlobalMixParamId (int blockId)
{
    return specialParamOf (globalMixParamIds, blockId);
}

int getMixParamId (int blockId)
{
    return specialParamOf (mixParamIds, blockId);
}

bool isBypassModeParam (int blockId, int paramId)
{
    const auto bypassMode = getBypassModeParamId (blockId);

    return bypassMode >= 0 && (juce::uint16) bypassMode == (juce::uint16) paramId;
}

bool getTimeRateParamIds (int blockId, juce::Array<juce::uint16>& paramIds)
{
    if (hasNoSpecialParams (blockId))
        return false;

    const auto type = effectTypeOfBlock (blockId);
    bool found = false;

    for (auto* row = timeRateParamIds; row->id != idTableEnd; ++row)
    {
        if (row->id == type)
        {
            paramIds.add ((juce::uint16) row->value);
            found = true;
        }
    }

    return found;
}

int getSceneOutputParamId (int blockId, int scene)
{
    const auto type = effectTypeOfBlock (blockId);

    if (type != EFFECT_OUTPUT && type != EFFECT_LOOP)
        return -1;

    // OUTPUT_MAIN1..OUTPUT_MAIN8; scenes past the eighth fall back to the first.
    return (unsigned) scene < 8u ? 8 + scene : 8;
}

bool getBlockName (int blockId, juce::String& name)
{
    if (isShuntBlockId (blockId))
    {
        name = "Shunt";
        return true;
    }

    name = getNameForId (BlockDisplayNames, (juce::uint32) blockId);
    return name.isNotEmpty();
}

int getParamCount (int blockId)
{
    return juce::jmax (0, getValueForId (paramCounts, blockId));
}

int getUnitIdFromText (const juce::String& text)
{
    // Table order matters: "msec" holds "sec" and so reads as seconds.
    for (auto* row = ParamUnitSuffixes; row->id != idTableEnd; ++row)
    {
        const juce::String suffix (row->name);

        if (suffix.isNotEmpty() && text.contains (suffix))
            return row->id;
    }

    return 0;
}

int getSceneCount (int model)
{
    return isSceneModel (model) ? 8 : -1;
}

//==============================================================================
bool formatSlotName (int n, const juce::String& suffix, juce::String& text, juce::String& letterText,
                     juce::String& numberText)
{
    if (n < 0 || n >= slotCount)
        return false;

    const auto letter = juce::String::charToString ((juce::juce_wchar) ('A' + n / 8));
    const auto number = juce::String (n % 8 + 1);

    text = letter + number + suffix;
    letterText = letter + suffix;
    numberText = number + suffix;
    return true;
}

void buildSlotNameList (const juce::String& suffix, juce::StringArray& names)
{
    juce::String text, letterText, numberText;

    for (int n = 0; n < slotCount; ++n)
        if (formatSlotName (n, suffix, text, letterText, numberText))
            names.add (text);
}

bool formatPresetNumber (int n, const juce::String& suffix, juce::String& text, juce::String& bankText,
                         juce::String& presetText)
{
    if (n < 0 || n >= presetNumberCount)
        return false;

    const auto bank = juce::String (n / presetsPerBank + 1);
    const auto preset = juce::String (n % presetsPerBank + 1);

    text = bank + "-" + preset + suffix;
    bankText = bank + suffix;
    presetText = preset + suffix;
    return true;
}

juce::String presetNumberAndName (int n, const juce::String& name)
{
    juce::String text, bankText, presetText;

    if (! formatPresetNumber (n, {}, text, bankText, presetText))
        text = juce::String (n);

    const auto trimmed = name.trim();
    return trimmed.isEmpty() ? text : text + " " + printableName (trimmed).quoted();
}

void buildPresetNumberList (const juce::String& suffix, juce::StringArray& texts)
{
    juce::String text, bankText, presetText;

    for (int n = 0; n < presetNumberCount; ++n)
        if (formatPresetNumber (n, suffix, text, bankText, presetText))
            texts.add (text);
}

bool parsePresetNumberText (const juce::String& text, juce::uint16& n)
{
    const auto trimmed = text.trim();
    const auto length = trimmed.length();
    constexpr int bankCount = presetNumberCount / presetsPerBank;

    int bank = 0;
    int preset = 0;

    if (length == 1 && isPresetDigit (trimmed[0]))
    {
        bank = 1;
        preset = digitValue (trimmed[0]);
    }
    else if (length == 2 && isDigit (trimmed[0]) && isDigit (trimmed[1]))
    {
        bank = digitValue (trimmed[0]) * 10 + digitValue (trimmed[1]);
        preset = 1;
    }
    else if (length == 3 && trimmed[0] >= '1' && trimmed[0] <= '9' && ! isDigit (trimmed[1]) &&
             isPresetDigit (trimmed[2]))
    {
        bank = digitValue (trimmed[0]);
        preset = digitValue (trimmed[2]);
    }
    else if (length == 4 && isDigit (trimmed[0]) && isDigit (trimmed[1]) && ! isDigit (trimmed[2]) &&
             isPresetDigit (trimmed[3]))
    {
        bank = digitValue (trimmed[0]) * 10 + digitValue (trimmed[1]);
        preset = digitValue (trimmed[3]);
    }
    else
    {
        return false;
    }

    if (bank < 1 || bank > bankCount)
        return false;

    n = (juce::uint16) ((bank - 1) * presetsPerBank + (preset - 1));
    return true;
}
