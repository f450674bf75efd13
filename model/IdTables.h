#pragma once

#include "model/IdNameTable.h"

// The named enumerations of the unit and of this program, each an IdNameRow
// table ended by {-1, nullptr}. Rows keep the unit's own order, which is not
// always id order, and a few ids stand twice: lookups take the first row.

// Effect types. 0xFFFD..0xFFFF are not real blocks but stand for the layout
// pseudo-blocks, the global block and the modifier dialog where an effect
// type is needed (layouts, parameter name tables).
enum EffectType : int
{
    EFFECT_NULL = 0,
    EFFECT_SHUNT = 1,
    EFFECT_COMP = 2,
    EFFECT_GRAPHEQ = 3,
    EFFECT_PARAEQ = 4,
    EFFECT_DISTORT = 5,
    EFFECT_CAB = 6,
    EFFECT_REVERB = 7,
    EFFECT_DELAY = 8,
    EFFECT_MULTITAP = 9,
    EFFECT_CHORUS = 10,
    EFFECT_FLANGER = 11,
    EFFECT_ROTARY = 12,
    EFFECT_PHASER = 13,
    EFFECT_WAH = 14,
    EFFECT_FORMANT = 15,
    EFFECT_TREMOLO = 16,
    EFFECT_PITCH = 17,
    EFFECT_FILTER = 18,
    EFFECT_FUZZ = 19,
    EFFECT_ENHANCER = 20,
    EFFECT_LOOP = 21,
    EFFECT_MIXER = 22,
    EFFECT_FBSEND = 23,
    EFFECT_FBRETURN = 24,
    EFFECT_SYNTH = 25,
    EFFECT_VOCODER = 26,
    EFFECT_MEGATAP = 27,
    EFFECT_CROSSOVER = 28,
    EFFECT_GATE = 29,
    EFFECT_RINGMOD = 30,
    EFFECT_MULTICOMP = 31,
    EFFECT_QUADCHORUS = 32,
    EFFECT_RESONATOR = 33,
    EFFECT_VOLUME = 34,
    EFFECT_NOISEGATE = 35,
    EFFECT_OUTPUT = 36,
    EFFECT_CONTROL = 37,
    EFFECT_LOOPER = 38,
    EFFECT_EQMATCH = 39,
    EFFECT_MIDI = 40,
    EFFECT_RELAY1 = 41,
    EFFECT_RELAY2 = 42,
    EFFECT_FSBLOCK_LOOPER = 43,
    EFFECT_FSBLOCK_PRESET = 44,
    EFFECT_FSBLOCK_SCENE = 45,
    EFFECT_FSBLOCK_XY = 46,
    EFFECT_FSBLOCK_SWITCH = 47,

    EFFECT_LAYOUT = 0xFFFD,
    EFFECT_GLOBAL = 0xFFFE,
    EFFECT_MODIFIER_DIALOG = 0xFFFF
};

// Units of a parameter value; ParamUnitSuffixes holds their display texts.
enum ParamUnit : int
{
    B_NONE = 0,
    B_DB = 1,
    B_HZ = 2,
    B_SEC = 3,
    B_MSEC = 4,
    B_PRC = 5,
    B_DEG = 6,
    B_CENTS = 7,
    B_PFARADS = 8
};

// How a parameter value is scaled and shown. There is no kind 6.
enum ParamKind : int
{
    B_SKIP = 0,
    B_INT = 1,
    B_INTXL = 2,
    B_LIN = 3,
    B_LOG = 4,
    B_LOGLOG = 5,
    B_MIX = 7,
    B_LEVEL = 8,
    B_PAN = 9,
    B_BYP1 = 10,
    B_BYP2 = 11,
    B_BYP3 = 12,
    B_GMIX = 13,
    B_DUMMY = 14
};

// The function byte of a SysEx frame. 0x3D is not used.
enum SysExFunction : int
{
    SYSEX_WHO_AM_I = 0x00,
    SYSEX_PARAM_DUMP = 0x01,
    SYSEX_PARAM_SET = 0x02,
    SYSEX_PATCH_DUMP = 0x03,
    SYSEX_PATCH_RCV = 0x04,
    SYSEX_PLACE_EFFECT = 0x05,
    SYSEX_CONNECT_EFFECT = 0x06,
    SYSEX_MODIFIER_SET = 0x07,
    SYSEX_QUERY_VERSION = 0x08,
    SYSEX_SET_NAME = 0x09,
    SYSEX_CABIR_RCV = 0x0A,
    SYSEX_CHECKSUM = 0x0B,
    SYSEX_SET_GRID = 0x0C,
    SYSEX_TUNER = 0x0D,
    SYSEX_QUERY_STATES = 0x0E,
    SYSEX_QUERY_NAME = 0x0F,
    SYSEX_TEMPO = 0x10,
    SYSEX_XY = 0x11,
    SYSEX_CABNAME = 0x12,
    SYSEX_CPU_LOAD = 0x13,
    SYSEX_PATCHNUM = 0x14,
    SYSEX_QUERY_NAME_BY_NUM = 0x15,
    SYSEX_GET_PARAM_INFO = 0x16,
    SYSEX_GET_MIDI_CHANNEL = 0x17,
    SYSEX_GET_MODIFIER_INFO = 0x18,
    SYSEX_CAB_DUMP = 0x19,
    SYSEX_GLOBAL_BLOCK_USED = 0x1A,
    SYSEX_GLOBAL_PATCH = 0x1B,
    SYSEX_BANK_DUMP = 0x1C,
    SYSEX_SAVE_PATCH = 0x1D,
    SYSEX_SET_BYPASS = 0x1E,
    SYSEX_GET_ALL_PARAMS = 0x1F,
    SYSEX_GET_GRID = 0x20,
    SYSEX_RESYNC = 0x21,
    SYSEX_SET_DEFAULTS = 0x22,
    SYSEX_LOOPER_STATE = 0x23,
    SYSEX_MOVE_EFFECT = 0x24,
    SYSEX_FW_UPDATE = 0x25,
    SYSEX_FPGA_UPDATE = 0x26,
    SYSEX_MICRO_UPDATE = 0x27,
    SYSEX_GET_PARAM_STRINGS = 0x28,
    SYSEX_SET_SCENE = 0x29,
    SYSEX_GET_FLAGS = 0x2A,
    SYSEX_MODIFIER_DUMP = 0x2B,
    SYSEX_MODIFIER = 0x2C,
    SYSEX_SET_CAB_NAME = 0x2D,
    SYSEX_SET_PARAM_DIRECT = 0x2E,
    SYSEX_BPM = 0x2F,
    SYSEX_GET_GRAPH = 0x30,
    SYSEX_SIM_DATA = 0x31,
    SYSEX_MULTIMSG_START = 0x32,
    SYSEX_MULTIMSG_END = 0x33,
    SYSEX_ERASE_SECTOR = 0x34,
    SYSEX_GET_CONFIG = 0x35,
    SYSEX_GET_GRAPHN = 0x36,
    SYSEX_EDIT_EFFECT = 0x37,
    SYSEX_BROADCAST_KNOB = 0x38,
    SYSEX_BROADCAST_MODIFIER = 0x39,
    SYSEX_GET_POSITION = 0x3A,
    SYSEX_SET_MODPARAM_DIRECT = 0x3B,
    SYSEX_RECALL_PATCH = 0x3C,
    SYSEX_MUTE = 0x3E,
    SYSEX_SET_IRCAP_NAME = 0x3F,
    SYSEX_CONTROL_IRCAP = 0x40,
    SYSEX_DELETE_CABIR = 0x41,
    SYSEX_EDITOR_DISCONNECT = 0x42,
    SYSEX_DUMP_SYSTEM = 0x43,
    SYSEX_CAB_BANK_DUMP = 0x44,
    SYSEX_LAYOUT_SET = 0x45,
    SYSEX_PATCH_PLUS_CAB_DUMP = 0x46,
    SYSEX_GET_SYSINFO = 0x47,
    SYSEX_FSGRID = 0x48,
    SYSEX_STATUS_MSG = 0x64,
    SYSEX_FPGA_UPDATE_START = 0x6A,
    SYSEX_FPGA_UPDATE_DATA = 0x6B,
    SYSEX_FPGA_UPDATE_END = 0x6C,
    SYSEX_MICRO_UPDATE_START = 0x6D,
    SYSEX_MICRO_UPDATE_DATA = 0x6E,
    SYSEX_MICRO_UPDATE_END = 0x6F,
    SYSEX_EFFECT_START = 0x74,
    SYSEX_EFFECT_DATA = 0x75,
    SYSEX_EFFECT_END = 0x76,
    SYSEX_PATCH_START = 0x77,
    SYSEX_PATCH_DATA = 0x78,
    SYSEX_PATCH_END = 0x79,
    SYSEX_CABIR_START = 0x7A,
    SYSEX_CABIR_DATA = 0x7B,
    SYSEX_CABIR_END = 0x7C,
    SYSEX_RAWIR_START = 0x67,
    SYSEX_RAWIR_DATA = 0x68,
    SYSEX_RAWIR_END = 0x69,
    SYSEX_FW_UPDATE_START = 0x7D,
    SYSEX_FW_UPDATE_DATA = 0x7E,
    SYSEX_FW_UPDATE_END = 0x7F,
    SYSEX_SYSTEM_DATA_START = 0x61,
    SYSEX_SYSTEM_DATA = 0x62,
    SYSEX_SYSTEM_DATA_END = 0x63,
};

// SysEx function codes to their enumerator names (97 rows; the names of the
// time-out texts).
extern const IdNameRow SysExFunctionNames[];

// Device model bytes to display names (11 rows, ids 0..10; model 8 is the unit).
extern const IdNameRow ModelNames[];

// ParamUnit to its display suffix ("" for B_NONE), and to its enumerator name.
extern const IdNameRow ParamUnitSuffixes[];
extern const IdNameRow ParamUnitIdentifiers[];

// ParamKind to its enumerator name.
extern const IdNameRow ParamKindIdentifiers[];

// EffectType to its display text, to the text used in block library file
// names (no slashes), and to its enumerator name. The first two hold a
// "Global" row (EFFECT_GLOBAL) third; the last has none. 45 stands before 44.
extern const IdNameRow EffectTypeNames[];
extern const IdNameRow EffectTypeFileNames[];
extern const IdNameRow EffectTypeIdentifiers[];

// Block ids 100..205 to their display names (106 rows, in id order).
extern const IdNameRow BlockDisplayNames[];

// Block ids to the ID_ names of the layout document (79 rows).
extern const IdNameRow BlockIdentifiers[];

// Effect types to the control-set names of the layout document (42 rows;
// EFFECT_GLOBAL stands twice, for "Global" and "Global Footswitches").
extern const IdNameRow EffectLayoutNames[];

// Page layout ids to the names of the layout document (30 rows).
extern const IdNameRow PageLayoutNames[];

// Widget types and label styles of the layout document (18 and 4 rows).
extern const IdNameRow EditorControlType[];
extern const IdNameRow LabelStyle[];

// Looper parameter numbers that footswitch-like controls drive (7 rows).
extern const IdNameRow LooperControlParams[];

// Modifier sources, auto-engage modes and the fields of a modifier record.
extern const IdNameRow ModifierSourceNames[];
extern const IdNameRow AutoEngageMode[];
extern const IdNameRow ModifierFieldNames[];

// Footswitch functions (0..16).
extern const IdNameRow FootswitchModeNames[];

// Note names from C, tuner note names from A, tuner string numbers.
extern const IdNameRow NoteNames[];
extern const IdNameRow TunerNoteNames[];
extern const IdNameRow TunerStringNames[];

// Titles of the main menu bar.
extern const IdNameRow MainMenuNames[];

// Modes of the block library dialog (1 save, 2 save as, 3 rename).
extern const IdNameRow BlockLibraryDialogMode[];

// Message catalogue files by language id.
extern const IdNameRow LanguageFiles[];

// Communication step ids to the names used in time-out texts (127 rows).
extern const IdNameRow CommStepNames[];

// The firmware each supported model needs, as {model, lowest major, lowest
// minor} rows ended by id -1. The unit this program edits, model 8, needs
// 6.00. The link, the layout document check, the block library and the
// preset manager all read this one table.
extern const IdPairRow FirmwareRequirements[];
