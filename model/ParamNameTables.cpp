#include "model/ParamNameTables.h"

namespace
{
// Only the parameters whose numbers other code relies on are named so far:
// the type selector, bypass, bypass mode, mix and global mix of each type,
// its time/rate controls, and the few numbers the editor treats specially.
// Rows are in id order.

const IdNameRow globalParams[] = {
    { 46, "GLOBAL_F1_TAP" }, { 47, "GLOBAL_F1_HOLD" }, { 48, "GLOBAL_F2_TAP" },   { 49, "GLOBAL_F2_HOLD" },
    { 50, "GLOBAL_F3_TAP" }, { 51, "GLOBAL_F3_HOLD" }, { 255, "GLOBAL_BYPCTRL" }, { idTableEnd, nullptr },
};

const IdNameRow compParams[] = {
    { 9, "COMP_BYPASS" }, { 11, "COMP_MIX" }, { 12, "COMP_TYPE" }, { 14, "COMP_BYPASSMODE" }, { idTableEnd, nullptr },
};

const IdNameRow geqParams[] = {
    { 10, "GEQ_MIX" }, { 13, "GEQ_BYPASSMODE" }, { 15, "GEQ_TYPE" }, { 18, "GEQ_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow peqParams[] = {
    { 21, "PEQ_BYPASSMODE" },
    { 23, "PEQ_BYPASS" },
    { idTableEnd, nullptr },
};

const IdNameRow distortParams[] = {
    { 0, "DISTORT_TYPE" },       { 23, "DISTORT_BYPASSMODE" },   { 28, "DISTORT_BYPASS" },
    { 54, "DISTORT_SATSWITCH" }, { 111, "DISTORT_PRECOMPTYPE" }, { idTableEnd, nullptr },
};

const IdNameRow cabinetParams[] = {
    { 11, "CABINET_BYPASSMODE" },
    { 12, "CABINET_MODE" },
    { 13, "CABINET_BYPASS" },
    { idTableEnd, nullptr },
};

const IdNameRow reverbParams[] = {
    { 0, "REVERB_TYPE" },    { 13, "REVERB_MIX" },     { 16, "REVERB_BYPASSMODE" }, { 17, "REVERB_GLOBALMIX" },
    { 22, "REVERB_BYPASS" }, { 43, "REVERB_QUALITY" }, { idTableEnd, nullptr },
};

const IdNameRow delayParams[] = {
    { 0, "DELAY_MODEL" },      { 2, "DELAY_TIME" },    { 17, "DELAY_MIX" },   { 20, "DELAY_BYPASSMODE" },
    { 21, "DELAY_GLOBALMIX" }, { 22, "DELAY_BYPASS" }, { 26, "DELAY_TIMER" }, { idTableEnd, nullptr },
};

const IdNameRow multitapParams[] = {
    { 0, "MULTITAP_TIME1" }, { 1, "MULTITAP_TIME2" },       { 2, "MULTITAP_TIME3" },      { 3, "MULTITAP_TIME4" },
    { 28, "MULTITAP_MIX" },  { 31, "MULTITAP_BYPASSMODE" }, { 32, "MULTITAP_GLOBALMIX" }, { 34, "MULTITAP_BYPASS" },
    { 35, "MULTITAP_TYPE" }, { 76, "MULTITAP_FBKSEND" },    { 77, "MULTITAP_FBKRET" },    { idTableEnd, nullptr },
};

const IdNameRow chorusParams[] = {
    { 0, "CHORUS_TYPE" },       { 2, "CHORUS_RATE" },    { 10, "CHORUS_MIX" },    { 13, "CHORUS_BYPASSMODE" },
    { 14, "CHORUS_GLOBALMIX" }, { 15, "CHORUS_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow flangerParams[] = {
    { 0, "FLANGER_TYPE" },       { 1, "FLANGER_RATE" },    { 11, "FLANGER_MIX" },   { 14, "FLANGER_BYPASSMODE" },
    { 15, "FLANGER_GLOBALMIX" }, { 16, "FLANGER_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow rotaryParams[] = {
    { 0, "ROTARY_RATE" },    { 5, "ROTARY_MIX" },     { 8, "ROTARY_BYPASSMODE" },
    { 11, "ROTARY_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow phaserParams[] = {
    { 0, "PHASER_TYPE" },       { 2, "PHASER_RATE" },    { 11, "PHASER_MIX" },    { 14, "PHASER_BYPASSMODE" },
    { 15, "PHASER_GLOBALMIX" }, { 16, "PHASER_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow wahParams[] = {
    { 0, "WAH_TYPE" }, { 8, "WAH_BYPASSMODE" }, { 9, "WAH_MIX" }, { 12, "WAH_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow formantParams[] = {
    { 5, "FORMANT_MIX" },     { 8, "FORMANT_BYPASSMODE" }, { 9, "FORMANT_GLOBALMIX" },
    { 11, "FORMANT_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow tremoloParams[] = {
    { 0, "TREMOLO_TYPE" },       { 2, "TREMOLO_RATE" },    { 6, "TREMOLO_MIX" },
    { 9, "TREMOLO_BYPASSMODE" }, { 14, "TREMOLO_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow pitchParams[] = {
    { 0, "PITCH_TYPE" },     { 23, "PITCH_MIX" },         { 26, "PITCH_BYPASSMODE" }, { 27, "PITCH_GLOBALMIX" },
    { 29, "PITCH_BYPASS" },  { 45, "PITCH_CUSTOMNOTES" }, { 46, "PITCH_NOTE2" },      { 47, "PITCH_NOTE3" },
    { 48, "PITCH_NOTE4" },   { 49, "PITCH_NOTE5" },       { 50, "PITCH_NOTE6" },      { 51, "PITCH_NOTE7" },
    { 52, "PITCH_NOTE8" },   { 56, "PITCH_NUMREPEATS" },  { 58, "PITCH_TEMPO" },      { 61440, "PITCH_TONIC" },
    { idTableEnd, nullptr },
};

const IdNameRow filterParams[] = {
    { 6, "FILTER_BYPASSMODE" },
    { 8, "FILTER_BYPASS" },
    { idTableEnd, nullptr },
};

const IdNameRow fuzzParams[] = {
    { 0, "FUZZ_TYPE" }, { 4, "FUZZ_MIX" }, { 5, "FUZZ_BYPASSMODE" }, { 7, "FUZZ_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow enhancerParams[] = {
    { 5, "ENHANCER_BYPASS" },
    { 6, "ENHANCER_TYPE" },
    { idTableEnd, nullptr },
};

// Shared by the FX loop and the output mixer: MAIN1..MAIN8 are the per-scene
// output levels.
const IdNameRow outputParams[] = {
    { 8, "OUTPUT_MAIN1" },       { 9, "OUTPUT_MAIN2" },   { 10, "OUTPUT_MAIN3" },  { 11, "OUTPUT_MAIN4" },
    { 12, "OUTPUT_MAIN5" },      { 13, "OUTPUT_MAIN6" },  { 14, "OUTPUT_MAIN7" },  { 15, "OUTPUT_MAIN8" },
    { 18, "OUTPUT_BYPASSMODE" }, { 19, "OUTPUT_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow mixerParams[] = {
    { idTableEnd, nullptr },
};

const IdNameRow fdbkSendParams[] = {
    { idTableEnd, nullptr },
};

const IdNameRow fdbkRetParams[] = {
    { 0, "FDBKRET_MIX" },
    { 3, "FDBKRET_BYPASSMODE" },
    { 5, "FDBKRET_BYPASS" },
    { idTableEnd, nullptr },
};

const IdNameRow synthParams[] = {
    { 23, "SYNTH_MIX" },    { 26, "SYNTH_BYPASSMODE" }, { 27, "SYNTH_GLOBALMIX" },
    { 28, "SYNTH_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow megatapParams[] = {
    { 11, "MEGATAP_MIX" },    { 14, "MEGATAP_BYPASSMODE" }, { 15, "MEGATAP_GLOBALMIX" },
    { 16, "MEGATAP_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow crossoverParams[] = {
    { 10, "CROSSOVER_MIX" },
    { 13, "CROSSOVER_BYPASSMODE" },
    { 14, "CROSSOVER_BYPASS" },
    { idTableEnd, nullptr },
};

const IdNameRow gateParams[] = {
    { 8, "GATE_MIX" },
    { 11, "GATE_BYPASSMODE" },
    { 12, "GATE_BYPASS" },
    { idTableEnd, nullptr },
};

const IdNameRow ringModParams[] = {
    { 4, "RINGMOD_MIX" },    { 7, "RINGMOD_BYPASSMODE" }, { 8, "RINGMOD_GLOBALMIX" },
    { 9, "RINGMOD_BYPASS" }, { idTableEnd, nullptr },
};

const IdNameRow volumeParams[] = {
    { 3, "VOLUME_BYPASS" },
    { 7, "VOLUME_BYPASSMODE" },
    { idTableEnd, nullptr },
};

const IdNameRow noiseGateParams[] = {
    { 6, "NOISEGATE_TYPE" },
    { idTableEnd, nullptr },
};

// SW1_VAL1..SW2_VAL8 are the two control switches' per-scene values.
const IdNameRow controllersParams[] = {
    { 32, "CONTROLLERS_TEMPO" },        { 33, "CONTROLLERS_TEMPOTOUSE" },
    { 36, "CONTROLLERS_SEQSTAGES" },    { 90, "CONTROLLERS_LFO1QUANTIZE" },
    { 91, "CONTROLLERS_LFO2QUANTIZE" }, { 92, "CONTROLLERS_SW1_VAL1" },
    { 93, "CONTROLLERS_SW1_VAL2" },     { 94, "CONTROLLERS_SW1_VAL3" },
    { 95, "CONTROLLERS_SW1_VAL4" },     { 96, "CONTROLLERS_SW1_VAL5" },
    { 97, "CONTROLLERS_SW1_VAL6" },     { 98, "CONTROLLERS_SW1_VAL7" },
    { 99, "CONTROLLERS_SW1_VAL8" },     { 100, "CONTROLLERS_SW2_VAL1" },
    { 101, "CONTROLLERS_SW2_VAL2" },    { 102, "CONTROLLERS_SW2_VAL3" },
    { 103, "CONTROLLERS_SW2_VAL4" },    { 104, "CONTROLLERS_SW2_VAL5" },
    { 105, "CONTROLLERS_SW2_VAL6" },    { 106, "CONTROLLERS_SW2_VAL7" },
    { 107, "CONTROLLERS_SW2_VAL8" },    { idTableEnd, nullptr },
};

// The transport controls use the same numbers as LooperControlParams.
const IdNameRow looperParams[] = {
    { 0, "LOOPER_MIX" },         { 3, "LOOPER_BYPASSMODE" }, { 4, "LOOPER_BYPASS" },  { 28, "LOOPER_RECORD" },
    { 29, "LOOPER_PLAY" },       { 30, "LOOPER_ONCE" },      { 31, "LOOPER_DUB" },    { 32, "LOOPER_REVERSE" },
    { 120, "LOOPER_HALFSPEED" }, { 121, "LOOPER_UNDO" },     { idTableEnd, nullptr },
};

const IdNameRow eqMatchParams[] = {
    { 8, "EQMATCH_BYPASSMODE" },
    { 9, "EQMATCH_BYPASS" },
    { idTableEnd, nullptr },
};

const IdNameRow layoutParams[] = {
    { 0, "LAYOUT_MIDIPC" },
    { 1, "LAYOUT_MIDICH" },
    { idTableEnd, nullptr },
};

// The fields of a modifier record, in ModifierFieldNames order.
const IdNameRow modifierParams[] = {
    { 0, "MOD_CTRTLID" },  { 1, "MOD_MIN" },    { 2, "MOD_MAX" },         { 3, "MOD_STARTPT" },
    { 4, "MOD_MIDPT" },    { 5, "MOD_ENDPT" },  { 6, "MOD_SLOPE" },       { 7, "MOD_DAMPING" },
    { 8, "MOD_EFFECTID" }, { 9, "MOD_PARAM" },  { 10, "MOD_AUTOENGAGE" }, { 11, "MOD_PCRESET" },
    { 12, "MOD_OFFVAL" },  { 13, "MOD_SCALE" }, { 14, "MOD_OFFSET" },     { idTableEnd, nullptr },
};

struct TableOfType
{
    int effectType;
    const IdNameRow* table;
};

// Types not listed here (empty, shunt, vocoder, multiband compressor, quad
// chorus, resonator, MIDI, relays and the footswitch blocks) have no table.
const TableOfType tablesByType[] = {
    { EFFECT_COMP, compParams },
    { EFFECT_GRAPHEQ, geqParams },
    { EFFECT_PARAEQ, peqParams },
    { EFFECT_DISTORT, distortParams },
    { EFFECT_CAB, cabinetParams },
    { EFFECT_REVERB, reverbParams },
    { EFFECT_DELAY, delayParams },
    { EFFECT_MULTITAP, multitapParams },
    { EFFECT_CHORUS, chorusParams },
    { EFFECT_FLANGER, flangerParams },
    { EFFECT_ROTARY, rotaryParams },
    { EFFECT_PHASER, phaserParams },
    { EFFECT_WAH, wahParams },
    { EFFECT_FORMANT, formantParams },
    { EFFECT_TREMOLO, tremoloParams },
    { EFFECT_PITCH, pitchParams },
    { EFFECT_FILTER, filterParams },
    { EFFECT_FUZZ, fuzzParams },
    { EFFECT_ENHANCER, enhancerParams },
    { EFFECT_LOOP, outputParams },
    { EFFECT_MIXER, mixerParams },
    { EFFECT_FBSEND, fdbkSendParams },
    { EFFECT_FBRETURN, fdbkRetParams },
    { EFFECT_SYNTH, synthParams },
    { EFFECT_MEGATAP, megatapParams },
    { EFFECT_CROSSOVER, crossoverParams },
    { EFFECT_GATE, gateParams },
    { EFFECT_RINGMOD, ringModParams },
    { EFFECT_VOLUME, volumeParams },
    { EFFECT_NOISEGATE, noiseGateParams },
    { EFFECT_OUTPUT, outputParams },
    { EFFECT_CONTROL, controllersParams },
    { EFFECT_LOOPER, looperParams },
    { EFFECT_EQMATCH, eqMatchParams },
    { EFFECT_LAYOUT, layoutParams },
    { EFFECT_GLOBAL, globalParams },
    { EFFECT_MODIFIER_DIALOG, modifierParams },
};

const IdNameRow* findOwnTable (int effectType)
{
    for (auto& entry : tablesByType)
        if (entry.effectType == effectType)
            return entry.table;

    return nullptr;
}
} // namespace

bool hasParamNameTable (int effectType)
{
    return findOwnTable (effectType) != nullptr;
}

const IdNameRow* getParamNameTable (int effectType)
{
    if (auto* table = findOwnTable (effectType))
        return table;

    return globalParams;
}

int getParamIdForName (int effectType, const juce::String& name)
{
    auto id = getIdForName (getParamNameTable (effectType), name);

    if (id == -1)
        id = getIdForName (globalParams, name);

    return id;
}

juce::String getParamName (int effectType, int paramId)
{
    // Parameter numbers are 16-bit; anything else names nothing (and must not
    // be mistaken for the terminator's id).
    if (paramId < 0 || paramId > 0xFFFF)
        return {};

    auto name = getNameForId (getParamNameTable (effectType), (juce::uint32) paramId);

    if (name.isEmpty())
        name = getNameForId (globalParams, (juce::uint32) paramId);

    return name;
}
