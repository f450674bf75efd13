#include "model/IdTables.h"

// Rows whose text is the enumerator's own name, so the two cannot drift apart.
// clang-format off
#define ROW(enumerator) { enumerator, #enumerator }
// clang-format on

const IdNameRow SysExFunctionNames[] = {
    ROW (SYSEX_WHO_AM_I),
    ROW (SYSEX_PARAM_DUMP),
    ROW (SYSEX_PARAM_SET),
    ROW (SYSEX_PATCH_DUMP),
    ROW (SYSEX_PATCH_RCV),
    ROW (SYSEX_PLACE_EFFECT),
    ROW (SYSEX_CONNECT_EFFECT),
    ROW (SYSEX_MODIFIER_SET),
    ROW (SYSEX_QUERY_VERSION),
    ROW (SYSEX_SET_NAME),
    ROW (SYSEX_CABIR_RCV),
    ROW (SYSEX_CHECKSUM),
    ROW (SYSEX_SET_GRID),
    ROW (SYSEX_TUNER),
    ROW (SYSEX_QUERY_STATES),
    ROW (SYSEX_QUERY_NAME),
    ROW (SYSEX_TEMPO),
    ROW (SYSEX_XY),
    ROW (SYSEX_CABNAME),
    ROW (SYSEX_CPU_LOAD),
    ROW (SYSEX_PATCHNUM),
    ROW (SYSEX_QUERY_NAME_BY_NUM),
    ROW (SYSEX_GET_PARAM_INFO),
    ROW (SYSEX_GET_MIDI_CHANNEL),
    ROW (SYSEX_GET_MODIFIER_INFO),
    ROW (SYSEX_CAB_DUMP),
    ROW (SYSEX_GLOBAL_BLOCK_USED),
    ROW (SYSEX_GLOBAL_PATCH),
    ROW (SYSEX_BANK_DUMP),
    ROW (SYSEX_SAVE_PATCH),
    ROW (SYSEX_SET_BYPASS),
    ROW (SYSEX_GET_ALL_PARAMS),
    ROW (SYSEX_GET_GRID),
    ROW (SYSEX_RESYNC),
    ROW (SYSEX_SET_DEFAULTS),
    ROW (SYSEX_LOOPER_STATE),
    ROW (SYSEX_MOVE_EFFECT),
    ROW (SYSEX_FW_UPDATE),
    ROW (SYSEX_FPGA_UPDATE),
    ROW (SYSEX_MICRO_UPDATE),
    ROW (SYSEX_GET_PARAM_STRINGS),
    ROW (SYSEX_SET_SCENE),
    ROW (SYSEX_GET_FLAGS),
    ROW (SYSEX_MODIFIER_DUMP),
    ROW (SYSEX_MODIFIER),
    ROW (SYSEX_SET_CAB_NAME),
    ROW (SYSEX_SET_PARAM_DIRECT),
    ROW (SYSEX_BPM),
    ROW (SYSEX_GET_GRAPH),
    ROW (SYSEX_SIM_DATA),
    ROW (SYSEX_MULTIMSG_START),
    ROW (SYSEX_MULTIMSG_END),
    ROW (SYSEX_ERASE_SECTOR),
    ROW (SYSEX_GET_CONFIG),
    ROW (SYSEX_GET_GRAPHN),
    ROW (SYSEX_EDIT_EFFECT),
    ROW (SYSEX_BROADCAST_KNOB),
    ROW (SYSEX_BROADCAST_MODIFIER),
    ROW (SYSEX_GET_POSITION),
    ROW (SYSEX_SET_MODPARAM_DIRECT),
    ROW (SYSEX_RECALL_PATCH),
    ROW (SYSEX_MUTE),
    ROW (SYSEX_SET_IRCAP_NAME),
    ROW (SYSEX_CONTROL_IRCAP),
    ROW (SYSEX_DELETE_CABIR),
    ROW (SYSEX_EDITOR_DISCONNECT),
    ROW (SYSEX_DUMP_SYSTEM),
    ROW (SYSEX_CAB_BANK_DUMP),
    ROW (SYSEX_LAYOUT_SET),
    ROW (SYSEX_PATCH_PLUS_CAB_DUMP),
    ROW (SYSEX_GET_SYSINFO),
    ROW (SYSEX_FSGRID),
    ROW (SYSEX_STATUS_MSG),
    ROW (SYSEX_FPGA_UPDATE_START),
    ROW (SYSEX_FPGA_UPDATE_DATA),
    ROW (SYSEX_FPGA_UPDATE_END),
    ROW (SYSEX_MICRO_UPDATE_START),
    ROW (SYSEX_MICRO_UPDATE_DATA),
    ROW (SYSEX_MICRO_UPDATE_END),
    ROW (SYSEX_EFFECT_START),
    ROW (SYSEX_EFFECT_DATA),
    ROW (SYSEX_EFFECT_END),
    ROW (SYSEX_PATCH_START),
    ROW (SYSEX_PATCH_DATA),
    ROW (SYSEX_PATCH_END),
    ROW (SYSEX_CABIR_START),
    ROW (SYSEX_CABIR_DATA),
    ROW (SYSEX_CABIR_END),
    ROW (SYSEX_RAWIR_START),
    ROW (SYSEX_RAWIR_DATA),
    ROW (SYSEX_RAWIR_END),
    ROW (SYSEX_FW_UPDATE_START),
    ROW (SYSEX_FW_UPDATE_DATA),
    ROW (SYSEX_FW_UPDATE_END),
    ROW (SYSEX_SYSTEM_DATA_START),
    ROW (SYSEX_SYSTEM_DATA),
    ROW (SYSEX_SYSTEM_DATA_END),
    { idTableEnd, nullptr },
};

// Generic names for the other members of the family; 8 is the unit this program edits.
const IdNameRow ModelNames[] = {
    { 0, "Model 0" },   { 1, "Model 1" }, { 2, "Model 2" }, { 3, "Model 3" }, { 4, "Model 4" }, { 5, "Model 5" },
    { 10, "Model 10" }, { 6, "Model 6" }, { 7, "Model 7" }, { 8, "Kestrel" }, { 9, "Model 9" }, { idTableEnd, nullptr },
};

const IdNameRow ParamUnitSuffixes[] = {
    { B_NONE, "" }, { B_DB, "dB" },   { B_HZ, "Hz" },    { B_SEC, "sec" },    { B_MSEC, "ms" },
    { B_PRC, "%" }, { B_DEG, "deg" }, { B_CENTS, "ct" }, { B_PFARADS, "pF" }, { idTableEnd, nullptr },
};

const IdNameRow ParamUnitIdentifiers[] = {
    ROW (B_NONE), ROW (B_DB),  ROW (B_HZ),    ROW (B_SEC),     ROW (B_MSEC),
    ROW (B_PRC),  ROW (B_DEG), ROW (B_CENTS), ROW (B_PFARADS), { idTableEnd, nullptr },
};

const IdNameRow ParamKindIdentifiers[] = {
    ROW (B_SKIP),   ROW (B_INT),  ROW (B_INTXL), ROW (B_LIN),   ROW (B_LOG),
    ROW (B_LOGLOG), ROW (B_MIX),  ROW (B_LEVEL), ROW (B_PAN),   ROW (B_BYP1),
    ROW (B_BYP2),   ROW (B_BYP3), ROW (B_GMIX),  ROW (B_DUMMY), { idTableEnd, nullptr },
};

// Every effect type in table order (Global third, 45 before 44) with its
// display text and the variant that is safe inside a file name.
#define KESTREL_EFFECT_TYPE_ROWS(X)                                                                                    \
    X (EFFECT_NULL, "Empty", "Empty")                                                                                  \
    X (EFFECT_SHUNT, "Shunt", "Shunt")                                                                                 \
    X (EFFECT_GLOBAL, "Global", "Global")                                                                              \
    X (EFFECT_COMP, "Compressor", "Compressor")                                                                        \
    X (EFFECT_GRAPHEQ, "Graphic EQ", "Graphic EQ")                                                                     \
    X (EFFECT_PARAEQ, "Parametric EQ", "Parametric EQ")                                                                \
    X (EFFECT_DISTORT, "Amp", "Amp")                                                                                   \
    X (EFFECT_CAB, "Cab", "Cab")                                                                                       \
    X (EFFECT_REVERB, "Reverb", "Reverb")                                                                              \
    X (EFFECT_DELAY, "Delay", "Delay")                                                                                 \
    X (EFFECT_MULTITAP, "Multi-Delay", "Multi-Delay")                                                                  \
    X (EFFECT_CHORUS, "Chorus", "Chorus")                                                                              \
    X (EFFECT_FLANGER, "Flanger", "Flanger")                                                                           \
    X (EFFECT_ROTARY, "Rotary", "Rotary")                                                                              \
    X (EFFECT_PHASER, "Phaser", "Phaser")                                                                              \
    X (EFFECT_WAH, "Wah", "Wah")                                                                                       \
    X (EFFECT_FORMANT, "Formant", "Formant")                                                                           \
    X (EFFECT_TREMOLO, "Tremolo/Panner", "Trem-Pan")                                                                   \
    X (EFFECT_PITCH, "Pitch", "Pitch")                                                                                 \
    X (EFFECT_FILTER, "Filter", "Filter")                                                                              \
    X (EFFECT_FUZZ, "Drive", "Drive")                                                                                  \
    X (EFFECT_ENHANCER, "Enhancer", "Enhancer")                                                                        \
    X (EFFECT_LOOP, "FX Loop", "FX Loop")                                                                              \
    X (EFFECT_MIXER, "Mixer", "Mixer")                                                                                 \
    X (EFFECT_FBSEND, "Feedback Send", "Feedback Send")                                                                \
    X (EFFECT_FBRETURN, "Feedback Return", "Feedback Return")                                                          \
    X (EFFECT_SYNTH, "Synth", "Synth")                                                                                 \
    X (EFFECT_VOCODER, "Vocoder", "Vocoder")                                                                           \
    X (EFFECT_MEGATAP, "Megatap Delay", "Megatap Delay")                                                               \
    X (EFFECT_CROSSOVER, "Crossover", "Crossover")                                                                     \
    X (EFFECT_GATE, "Gate/Expander", "Gate-Expander")                                                                  \
    X (EFFECT_RINGMOD, "Ring Modulator", "Ring Modulator")                                                             \
    X (EFFECT_MULTICOMP, "Multiband Compressor", "Multiband Compressor")                                               \
    X (EFFECT_QUADCHORUS, "Quad Chorus", "Quad Chorus")                                                                \
    X (EFFECT_RESONATOR, "Resonator", "Resonator")                                                                     \
    X (EFFECT_VOLUME, "Volume/Pan", "Vol-Pan")                                                                         \
    X (EFFECT_NOISEGATE, "Input Noisegate", "Input Noisegate")                                                         \
    X (EFFECT_OUTPUT, "Output Mixer", "Output Mixer")                                                                  \
    X (EFFECT_CONTROL, "Controllers", "Controllers")                                                                   \
    X (EFFECT_LOOPER, "Looper", "Looper")                                                                              \
    X (EFFECT_EQMATCH, "Simulo", "Simulo")                                                                             \
    X (EFFECT_MIDI, "Midi", "Midi")                                                                                    \
    X (EFFECT_RELAY1, "Relay 1", "Relay 1")                                                                            \
    X (EFFECT_RELAY2, "Relay 2", "Relay 2")                                                                            \
    X (EFFECT_FSBLOCK_LOOPER, "Looper Control", "Looper Control")                                                      \
    X (EFFECT_FSBLOCK_SCENE, "Scene", "Scene")                                                                         \
    X (EFFECT_FSBLOCK_PRESET, "Preset/Bank", "Preset-Bank")                                                            \
    X (EFFECT_FSBLOCK_XY, "Block X/Y", "Block X-Y")                                                                    \
    X (EFFECT_FSBLOCK_SWITCH, "Control Switch", "Control Switch")

#define KESTREL_DISPLAY_ROW(id, display, fileName) { id, display },
#define KESTREL_FILE_NAME_ROW(id, display, fileName) { id, fileName },

const IdNameRow EffectTypeNames[] = { KESTREL_EFFECT_TYPE_ROWS (KESTREL_DISPLAY_ROW){ idTableEnd, nullptr } };
const IdNameRow EffectTypeFileNames[] = { KESTREL_EFFECT_TYPE_ROWS (KESTREL_FILE_NAME_ROW){ idTableEnd, nullptr } };

#undef KESTREL_DISPLAY_ROW
#undef KESTREL_FILE_NAME_ROW
#undef KESTREL_EFFECT_TYPE_ROWS

const IdNameRow EffectTypeIdentifiers[] = {
    ROW (EFFECT_NULL),          ROW (EFFECT_SHUNT),          ROW (EFFECT_COMP),       ROW (EFFECT_GRAPHEQ),
    ROW (EFFECT_PARAEQ),        ROW (EFFECT_DISTORT),        ROW (EFFECT_CAB),        ROW (EFFECT_REVERB),
    ROW (EFFECT_DELAY),         ROW (EFFECT_MULTITAP),       ROW (EFFECT_CHORUS),     ROW (EFFECT_FLANGER),
    ROW (EFFECT_ROTARY),        ROW (EFFECT_PHASER),         ROW (EFFECT_WAH),        ROW (EFFECT_FORMANT),
    ROW (EFFECT_TREMOLO),       ROW (EFFECT_PITCH),          ROW (EFFECT_FILTER),     ROW (EFFECT_FUZZ),
    ROW (EFFECT_ENHANCER),      ROW (EFFECT_LOOP),           ROW (EFFECT_MIXER),      ROW (EFFECT_FBSEND),
    ROW (EFFECT_FBRETURN),      ROW (EFFECT_SYNTH),          ROW (EFFECT_VOCODER),    ROW (EFFECT_MEGATAP),
    ROW (EFFECT_CROSSOVER),     ROW (EFFECT_GATE),           ROW (EFFECT_RINGMOD),    ROW (EFFECT_MULTICOMP),
    ROW (EFFECT_QUADCHORUS),    ROW (EFFECT_RESONATOR),      ROW (EFFECT_VOLUME),     ROW (EFFECT_NOISEGATE),
    ROW (EFFECT_OUTPUT),        ROW (EFFECT_CONTROL),        ROW (EFFECT_LOOPER),     ROW (EFFECT_EQMATCH),
    ROW (EFFECT_MIDI),          ROW (EFFECT_RELAY1),         ROW (EFFECT_RELAY2),     ROW (EFFECT_FSBLOCK_LOOPER),
    ROW (EFFECT_FSBLOCK_SCENE), ROW (EFFECT_FSBLOCK_PRESET), ROW (EFFECT_FSBLOCK_XY), ROW (EFFECT_FSBLOCK_SWITCH),
    { idTableEnd, nullptr },
};

const IdNameRow BlockDisplayNames[] = {
    { 100, "Compressor" },
    { 101, "Compressor 2" },
    { 102, "Graphic EQ 1" },
    { 103, "Graphic EQ 2" },
    { 104, "Parametric EQ 1" },
    { 105, "Parametric EQ 2" },
    { 106, "Amp" },
    { 107, "Amp 2" },
    { 108, "Cab" },
    { 109, "Cab 2" },
    { 110, "Reverb" },
    { 111, "Reverb 2" },
    { 112, "Delay 1" },
    { 113, "Delay 2" },
    { 114, "Multi-Delay" },
    { 115, "Multi-Delay 2" },
    { 116, "Chorus" },
    { 117, "Chorus 2" },
    { 118, "Flanger" },
    { 119, "Flanger 2" },
    { 120, "Rotary" },
    { 121, "Rotary 2" },
    { 122, "Phaser" },
    { 123, "Phaser 2" },
    { 124, "Wahwah" },
    { 125, "Wahwah 2" },
    { 126, "Formant" },
    { 127, "Volume/Pan 1" },
    { 128, "Tremolo/Panner" },
    { 129, "Tremolo/Panner 2" },
    { 130, "Pitch" },
    { 131, "Filter 1" },
    { 132, "Filter 2" },
    { 133, "Drive 1" },
    { 134, "Drive 2" },
    { 135, "Enhancer" },
    { 136, "FX Loop" },
    { 137, "Mixer 1" },
    { 138, "Mixer 2" },
    { 139, "Input Noise Gate" },
    { 140, "Output" },
    { 141, "Controllers" },
    { 142, "Feedback Send" },
    { 143, "Feedback Return" },
    { 144, "Synth" },
    { 145, "Synth 2" },
    { 146, "Vocoder" },
    { 147, "Megatap Delay" },
    { 148, "Crossover 1" },
    { 149, "Crossover 2" },
    { 150, "Gate/Expander" },
    { 151, "Gate/Expander 2" },
    { 152, "Ring Modulator" },
    { 153, "Pitch 2" },
    { 154, "Multiband Comp. 1" },
    { 155, "Multiband Comp. 2" },
    { 156, "Quad Chorus 1" },
    { 157, "Quad Chorus 2" },
    { 158, "Resonator 1" },
    { 159, "Resonator 2" },
    { 160, "Graphic EQ 3" },
    { 161, "Graphic EQ 4" },
    { 162, "Parametric EQ 3" },
    { 163, "Parametric EQ 4" },
    { 164, "Filter 3" },
    { 165, "Filter 4" },
    { 166, "Volume/Pan 2" },
    { 167, "Volume/Pan 3" },
    { 168, "Volume/Pan 4" },
    { 169, "Looper" },
    { 170, "Simulo" },
    { 171, "MIDI 1" },
    { 172, "MIDI 2" },
    { 173, "Output 2" },
    { 174, "Relay 1" },
    { 175, "Relay 2" },
    { 176, "Looper Record" },
    { 177, "Looper Play" },
    { 178, "Looper Once" },
    { 179, "Looper Dub" },
    { 180, "Looper Undo" },
    { 181, "Looper Half" },
    { 182, "Looper Reverse" },
    { 183, "Looper Control" },
    { 184, "Scene 1" },
    { 185, "Scene 2" },
    { 186, "Scene 3" },
    { 187, "Scene 4" },
    { 188, "Scene 5" },
    { 189, "Scene 6" },
    { 190, "Scene 7" },
    { 191, "Scene 8" },
    { 192, "Preset 1" },
    { 193, "Preset 2" },
    { 194, "Preset 3" },
    { 195, "Preset 4" },
    { 196, "Preset 5" },
    { 197, "Preset 6" },
    { 198, "Preset 7" },
    { 199, "Preset 8" },
    { 200, "Bank Up" },
    { 201, "Bank Down" },
    { 202, "Scene 1/2 Toggle" },
    { 203, "AMP X/Y Toggle" },
    { 204, "Control Switch 1" },
    { 205, "Control Switch 2" },
    { idTableEnd, nullptr },
};

const IdNameRow BlockIdentifiers[] = {
    { 1, "ID_GLOBAL" },       { 100, "ID_COMP1" },       { 101, "ID_COMP2" },         { 102, "ID_GRAPHEQ1" },
    { 103, "ID_GRAPHEQ2" },   { 104, "ID_PARAEQ1" },     { 105, "ID_PARAEQ2" },       { 106, "ID_DISTORT1" },
    { 107, "ID_DISTORT2" },   { 108, "ID_CAB1" },        { 109, "ID_CAB2" },          { 110, "ID_REVERB1" },
    { 111, "ID_REVERB2" },    { 112, "ID_DELAY1" },      { 113, "ID_DELAY2" },        { 114, "ID_MULTITAP1" },
    { 115, "ID_MULTITAP2" },  { 116, "ID_CHORUS1" },     { 117, "ID_CHORUS2" },       { 118, "ID_FLANGER1" },
    { 119, "ID_FLANGER2" },   { 120, "ID_ROTARY1" },     { 121, "ID_ROTARY2" },       { 122, "ID_PHASER1" },
    { 123, "ID_PHASER2" },    { 124, "ID_WAH1" },        { 125, "ID_WAH2" },          { 126, "ID_FORMANT1" },
    { 127, "ID_VOLUME1" },    { 128, "ID_TREMOLO1" },    { 129, "ID_TREMOLO2" },      { 130, "ID_PITCH1" },
    { 131, "ID_FILTER1" },    { 132, "ID_FILTER2" },     { 133, "ID_FUZZ1" },         { 134, "ID_FUZZ2" },
    { 135, "ID_ENHANCER1" },  { 136, "ID_LOOP1" },       { 137, "ID_MIXER1" },        { 138, "ID_MIXER2" },
    { 139, "ID_NOISEGATE1" }, { 140, "ID_OUT1" },        { 141, "ID_CONTROL" },       { 142, "ID_FBSEND" },
    { 143, "ID_FBRETURN" },   { 144, "ID_SYNTH1" },      { 145, "ID_SYNTH2" },        { 146, "ID_VOCODER1" },
    { 147, "ID_MEGATAP1" },   { 148, "ID_CROSSOVER1" },  { 149, "ID_CROSSOVER2" },    { 150, "ID_GATE1" },
    { 151, "ID_GATE2" },      { 152, "ID_RINGMOD1" },    { 153, "ID_PITCH2" },        { 154, "ID_MULTICOMP1" },
    { 155, "ID_MULTICOMP2" }, { 156, "ID_QUADCHORUS1" }, { 157, "ID_QUADCHORUS2" },   { 158, "ID_RESONATOR1" },
    { 159, "ID_RESONATOR2" }, { 160, "ID_GRAPHEQ3" },    { 161, "ID_GRAPHEQ4" },      { 162, "ID_PARAEQ3" },
    { 163, "ID_PARAEQ4" },    { 164, "ID_FILTER3" },     { 165, "ID_FILTER4" },       { 166, "ID_VOLUME2" },
    { 167, "ID_VOLUME3" },    { 168, "ID_VOLUME4" },     { 169, "ID_LOOPER1" },       { 170, "ID_EQMATCH1" },
    { 171, "ID_MIDI1" },      { 172, "ID_MIDI2" },       { 173, "ID_OUT2" },          { 174, "ID_RELAY1" },
    { 175, "ID_RELAY2" },     { 207, "ID_LAYOUT_MIDI" }, { 208, "ID_LAYOUT_FSMODE" }, { idTableEnd, nullptr },
};

const IdNameRow EffectLayoutNames[] = {
    { 65534, "Global" },
    { 65534, "Global Footswitches" },
    { 2, "Compressor" },
    { 3, "GraphicEQ" },
    { 4, "ParametricEQ" },
    { 5, "Amp" },
    { 6, "Cab" },
    { 7, "Reverb" },
    { 8, "Delay" },
    { 9, "MultiDelay" },
    { 10, "Chorus" },
    { 11, "Flanger" },
    { 12, "Rotary" },
    { 13, "Phaser" },
    { 14, "Wah" },
    { 15, "Formant" },
    { 16, "PanTrem" },
    { 17, "Pitch" },
    { 18, "Filter" },
    { 19, "Drive" },
    { 20, "Enhancer" },
    { 21, "EffectsLoop" },
    { 22, "Mixer" },
    { 23, "FeedbackSend" },
    { 24, "FeedbackReturn" },
    { 25, "Synth" },
    { 26, "Vocoder" },
    { 27, "MegaTap" },
    { 28, "Crossover" },
    { 29, "GateExpander" },
    { 30, "RingMod" },
    { 31, "MultibandComp" },
    { 32, "QuadChorus" },
    { 33, "Resonator" },
    { 34, "VolPan" },
    { 35, "NoiseGate" },
    { 36, "Output" },
    { 37, "Controllers" },
    { 38, "Looper" },
    { 39, "Tone" },
    { 65535, "ModifierDlg" },
    { 65533, "Layout" },
    { idTableEnd, nullptr },
};

const IdNameRow PageLayoutNames[] = {
    { 1, "AMP_LAYOUT_BASIC" },
    { 2, "AMP_LAYOUT_MONITOR_MIXER" },
    { 3, "SIM_LAYOUT_MONITOR_MIXER" },
    { 4, "CAB_LAYOUT" },
    { 5, "CAB2_LAYOUT" },
    { 6, "CONTROLLERS_SEQUENCER_LAYOUT" },
    { 7, "CONTROLLERS_ADSR_LAYOUT" },
    { 8, "CONTROLLERS_EXTERNAL_LAYOUT" },
    { 28, "CONTROLLERS_SCENE_LAYOUT" },
    { 29, "CONTROLLERS_GENERIC_LAYOUT" },
    { 30, "CONTROLLERS_MODIFIERS_LAYOUT" },
    { 9, "CHORUS_LAYOUT" },
    { 10, "DRIVE_LAYOUT" },
    { 11, "GENERIC_EFFECT_LAYOUT" },
    { 12, "GENERIC_EFFECT_LAYOUT_TIGHT" },
    { 13, "GENERIC_EFFECT_LAYOUT_SUPERTIGHT" },
    { 14, "GENERIC_EFFECT_LAYOUT_MONITOR" },
    { 15, "GENERIC_EFFECT_LAYOUT_MONITOR_MIXER" },
    { 16, "GENERIC_EFFECT_LAYOUT_MIXER" },
    { 17, "GENERIC_EFFECT_LAYOUT_MIXER_2COL" },
    { 18, "GRAPHIC_EQ_LAYOUT" },
    { 19, "MULTICOMP_EFFECT_LAYOUT" },
    { 20, "PEQ_LAYOUT_MONITOR_MIXER" },
    { 21, "QUADCHO_EFFECT_LAYOUT" },
    { 22, "RESO_LAYOUT" },
    { 23, "VOCODER_WIDE_LAYOUT" },
    { 24, "VOCODER_TIGHT_LAYOUT" },
    { 25, "DELAY_REVERB_EQ" },
    { 26, "MODIFIER_DIALOG" },
    { 27, "AMP_LAYOUT_EQ" },
    { idTableEnd, nullptr },
};

const IdNameRow EditorControlType[] = {
    { 1, "spacer" },
    { 2, "knob" },
    { 3, "knob-readonly" },
    { 4, "toggle" },
    { 5, "toggleSingleLine" },
    { 6, "reversetoggle" },
    { 7, "pushButton" },
    { 8, "slider" },
    { 9, "dropdown" },
    { 10, "dropdownsmall" },
    { 11, "dropdownlarge" },
    { 12, "dropdownhuge" },
    { 13, "meter" },
    { 14, "labelReadOnly" },
    { 15, "sequencer_slider" },
    { 16, "sequencer_readout" },
    { 17, "bistate_slider" },
    { 18, "tristate_slider" },
    { idTableEnd, nullptr },
};

const IdNameRow LabelStyle[] = {
    { 1, "labelAbove" }, { 2, "labelBelowStd" },  { 3, "labelBelowNoSpacing" },
    { 4, "labelLeft" },  { idTableEnd, nullptr },
};

const IdNameRow LooperControlParams[] = {
    { 28, "LOOPER_RECORD" }, { 29, "LOOPER_PLAY" },    { 30, "LOOPER_ONCE" },       { 31, "LOOPER_DUB" },
    { 121, "LOOPER_UNDO" },  { 32, "LOOPER_REVERSE" }, { 120, "LOOPER_HALFSPEED" }, { idTableEnd, nullptr },
};

const IdNameRow ModifierSourceNames[] = {
    { 0, "none" },
    { 1, "LFO 1A" },
    { 2, "LFO 1B" },
    { 3, "LFO 2A" },
    { 4, "LFO 2B" },
    { 5, "ADSR 1" },
    { 6, "ADSR 2" },
    { 7, "Sequencer" },
    { 8, "Envelope" },
    { 9, "Pitch" },
    { 10, "Extern 1" },
    { 11, "Extern 2" },
    { 12, "Extern 3" },
    { 13, "Extern 4" },
    { 14, "Extern 5" },
    { 15, "Extern 6" },
    { 16, "Extern 7" },
    { 17, "Extern 8" },
    { 18, "Extern 9" },
    { 19, "Extern 10" },
    { 20, "Extern 11" },
    { 21, "Extern 12" },
    { 22, "Scene 1" },
    { 23, "Scene 2" },
    { 24, "Control Switch 1" },
    { 25, "Control Switch 2" },
    { idTableEnd, nullptr },
};

const IdNameRow AutoEngageMode[] = {
    { 0, "Off" },           { 1, "Slow Speed" },      { 2, "Medium Speed" },  { 3, "Fast Speed" },
    { 4, "Slow Position" }, { 5, "Medium Position" }, { 6, "Fast Position" }, { idTableEnd, nullptr },
};

// "Auto Enage" is the text the unit's files and users already know; keep it.
const IdNameRow ModifierFieldNames[] = {
    { 0, "Source Controller" },
    { 1, "Min" },
    { 2, "Max" },
    { 3, "Start" },
    { 4, "Mid" },
    { 5, "End" },
    { 6, "Slope" },
    { 7, "Damping" },
    { 8, "Effect Id" },
    { 9, "Param Id" },
    { 10, "Auto Enage" },
    { 11, "PC Reset" },
    { 12, "Off Val" },
    { 13, "Scale" },
    { 14, "Offset" },
    { idTableEnd, nullptr },
};

const IdNameRow FootswitchModeNames[] = {
    { 0, "None" },
    { 1, "Single Preset/Bank" },
    { 2, "Sticky Preset/Bank" },
    { 3, "Sticky Preset +/-" },
    { 4, "Single Scene" },
    { 5, "Sticky Scene" },
    { 6, "Preset Up" },
    { 7, "Preset Down" },
    { 8, "Tempo Tap" },
    { 9, "Tuner" },
    { 10, "Single X/Y" },
    { 11, "Sticky X/Y" },
    { 12, "Looper Control" },
    { 13, "Bank Up" },
    { 14, "Bank Down" },
    { 15, "Scene 1/2 Toggle" },
    { 16, "Exit" },
    { idTableEnd, nullptr },
};

const IdNameRow NoteNames[] = {
    { 0, "C" },
    { 1, "C#" },
    { 2, "D" },
    { 3, "D#" },
    { 4, "E" },
    { 5, "F" },
    { 6, "F#" },
    { 7, "G" },
    { 8, "G#" },
    { 9, "A" },
    { 10, "A#" },
    { 11, "B" },
    { idTableEnd, nullptr },
};

const IdNameRow TunerNoteNames[] = {
    { 0, "A" },
    { 1, "Bb" },
    { 2, "B" },
    { 3, "C" },
    { 4, "Db" },
    { 5, "D" },
    { 6, "Eb" },
    { 7, "E" },
    { 8, "F" },
    { 9, "Gb" },
    { 10, "G" },
    { 11, "Ab" },
    { idTableEnd, nullptr },
};

const IdNameRow TunerStringNames[] = {
    { 0, "1" }, { 1, "2" }, { 2, "3" }, { 3, "4" }, { 4, "5" }, { 5, "6" }, { idTableEnd, nullptr },
};

const IdNameRow MainMenuNames[] = {
    { 0, "Preset" }, { 1, "Block" }, { 2, "Tools" }, { 3, "Settings" }, { 4, "Help" }, { idTableEnd, nullptr },
};

const IdNameRow BlockLibraryDialogMode[] = {
    { 1, "Save" },
    { 2, "Save As" },
    { 3, "Rename" },
    { idTableEnd, nullptr },
};

const IdNameRow LanguageFiles[] = {
    { 1, "english.lbrakml" },
    { idTableEnd, nullptr },
};

const IdNameRow CommStepNames[] = {
    { 0, "begin communications" },
    { 1, "complete communications" },
    { 2, "loop_start" },
    { 3, "loop_end" },
    { 4, "query_device_model" },
    { 5, "query_device_version" },
    { 6, "query_sys_info" },
    { 7, "get_patch_names" },
    { 8, "get_cab_names_all" },
    { 9, "get_cab_names_factory" },
    { 10, "get_cab_names_user" },
    { 12, "get_cab_name_scratchpad" },
    { 11, "get_cab_name" },
    { 13, "get_current_patch_num" },
    { 14, "get_current_scene_num" },
    { 15, "config_midi_channel" },
    { 16, "config_display_offset" },
    { 17, "preset_query_grid" },
    { 18, "preset_query_amp1" },
    { 19, "preset_query_amp2" },
    { 20, "preset_query_cab1_l" },
    { 21, "preset_query_cab1_r" },
    { 22, "preset_query_cab1_l_name" },
    { 23, "preset_query_cab1_r_name" },
    { 24, "preset_query_cpu_usage" },
    { 25, "preset_query_states" },
    { 26, "preset_query_flags" },
    { 27, "preset_query_name" },
    { 28, "preset_store_name" },
    { 29, "preset_rename" },
    { 30, "preset_patch_dump" },
    { 31, "preset_patch_plus_cab_dump" },
    { 32, "preset_paste_init" },
    { 33, "preset_paste_check" },
    { 34, "preset_save" },
    { 35, "preset_recall" },
    { 36, "preset_bundle_copy_patch" },
    { 37, "preset_bundle_import_cab" },
    { 38, "preset_bundle_reset_cab_index" },
    { 39, "preset_bundle_save_cab" },
    { 40, "effect_delete" },
    { 41, "effect_delete_all" },
    { 42, "effect_initialize" },
    { 43, "effect_initialize_all" },
    { 44, "effect_initialize_input" },
    { 45, "effect_initialize_output" },
    { 46, "effect_insert_shunt" },
    { 47, "effect_insert" },
    { 48, "effect_move" },
    { 49, "effect_bypass" },
    { 50, "effect_get_graph" },
    { 51, "effect_get_graphn" },
    { 52, "effect_set_xy" },
    { 53, "scene_set_xy" },
    { 54, "preset_set_to_x" },
    { 55, "preset_set_to_y" },
    { 56, "effect_edit" },
    { 57, "block_connect" },
    { 58, "get_param_strings" },
    { 59, "get_param_info" },
    { 60, "effect_get_all_params" },
    { 61, "modifier_dump" },
    { 62, "block_copy_to_clipboard" },
    { 63, "block_paste_init" },
    { 64, "block_paste_check" },
    { 65, "block_paste_modifier" },
    { 66, "block_paste_set_x" },
    { 67, "block_paste_set_y" },
    { 68, "preset_param_dump_init" },
    { 69, "preset_param_dump" },
    { 72, "effect_param_dump" },
    { 70, "preset_get_all_params_init" },
    { 71, "preset_get_all_params_next" },
    { 73, "set_param" },
    { 74, "set_params" },
    { 75, "set_param_direct" },
    { 76, "scene_change" },
    { 77, "scene_get_parameters" },
    { 78, "scene_set_parameters" },
    { 79, "scene_paste_xy" },
    { 80, "scene_paste_bypass" },
    { 81, "scene_paste_repeat" },
    { 82, "scene_paste_return" },
    { 83, "scene_swap_copy_into_clipboard_a" },
    { 84, "scene_swap_copy_into_clipboard_b" },
    { 85, "scene_swap_set_data_clipboarda" },
    { 86, "scene_swap_set_data_clipboardb" },
    { 87, "scene_swap_change_to_destination" },
    { 88, "scene_swap_change_to_source" },
    { 89, "xy_copy_to_clipboard" },
    { 90, "xy_paste_from_clipboard" },
    { 91, "xy_paste_from_state" },
    { 92, "xy_set_to_x" },
    { 93, "xy_set_to_y" },
    { 94, "xy_set_resync_x" },
    { 95, "xy_set_resync_y" },
    { 96, "modifier_query_all_ids" },
    { 97, "modifier_query_all_values" },
    { 98, "modifier_query_values" },
    { 99, "set_modifier" },
    { 100, "set_modifier_param_direct" },
    { 101, "query_tempo" },
    { 102, "set_tempo" },
    { 103, "query_tempo_to_use" },
    { 104, "set_tempo_to_use" },
    { 105, "get_positon" },
    { 106, "block_lib_init" },
    { 107, "block_lib_next" },
    { 108, "preset_csv_xy_save" },
    { 109, "preset_csv_xy_restore" },
    { 110, "cabir_export" },
    { 111, "cabir_import_init" },
    { 112, "cabir_import_check" },
    { 113, "mute_outputs" },
    { 114, "mute_enable" },
    { 115, "mute_disable" },
    { 116, "set_edit_flag" },
    { 117, "delete_cab" },
    { 118, "editor_disconnect" },
    { 119, "wait_patchnum" },
    { 120, "raw_preset_get_x_params" },
    { 121, "raw_preset_get_y_params" },
    { 122, "raw_preset_get_scene_states" },
    { 123, "set_fsgrid" },
    { 124, "layout_set" },
    { 125, "layout_get" },
    { 126, "layout_get_all" },
    { idTableEnd, nullptr },
};

#undef ROW

const IdPairRow FirmwareRequirements[] = {
    { 8, 6, 0 },
    { idTableEnd, 0, 0 },
};
