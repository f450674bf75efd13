#pragma once

#include <juce_core/juce_core.h>

// The unit's SYSEX_STATUS_MSG: the function it answers and the result
// (0 means success).
struct StatusReply
{
    juce::uint8 function = 0;
    juce::uint8 result = 0;
};

// The unit's SYSEX_GET_CONFIG answer: a key (two septets) and its 16-bit
// value (three septets).
struct ConfigReply
{
    juce::uint16 key = 0;
    juce::uint32 value = 0;
};

// The unit's system information (SYSEX_GET_SYSINFO): the cab slot counts of
// each kind. The first word is kept to its low 8 bits.
struct SystemInfo
{
    juce::uint16 firstWord = 0;
    juce::uint16 factoryCabs = 0;
    juce::uint16 userCabs = 0;
    juce::uint16 scratchpadCabs = 0;
};

// The unit's answer to SYSEX_QUERY_VERSION: six numbers as received (major
// and minor version first), the version as a number, and the model byte the
// reply came from.
struct FirmwareInfo
{
    juce::uint32 major = 0;
    juce::uint32 minor = 0;
    juce::uint32 further[4] = {};
    float version = 0.0f; // major + minor / 100
    juce::uint8 model = 0;
};

// The lowest firmware a supported model must run. The constant list of them
// is FirmwareRequirements (model/IdTables.h).
struct FirmwareRequirement
{
    juce::int32 model = -1;
    juce::int32 lowestMajor = 0;
    juce::int32 lowestMinor = 0;
};

// Bits 0..3 of the unit's SYSEX_GET_FLAGS value, one byte each. Flag 0 means
// the current preset has unsaved changes.
struct UnitFlags
{
    juce::uint8 flags[4] = {};

    bool isPresetModified() const { return flags[0] != 0; }
};

// The three numbers of a SYSEX_TUNER message.
struct TunerReading
{
    juce::int32 values[3] = {};
};

// The 128 values of a SYSEX_GET_GRAPH or SYSEX_GET_GRAPHN reply (512 bytes).
struct GraphData
{
    static constexpr int numValues = 128;

    juce::int32 values[numValues] = {};
};

// The two looper state bytes of a SYSEX_LOOPER_STATE message.
struct LooperState
{
    juce::uint8 state = 0;
    juce::uint8 position = 0;
};

// The unit's SYSEX_BROADCAST_KNOB report: up to 16 (parameter id, value) pairs.
struct KnobBroadcast
{
    static constexpr int maxPairs = 16;

    juce::uint32 count = 0;
    juce::uint16 paramIds[maxPairs] = {};
    juce::uint8 values[maxPairs] = {};
};

// A preset number as the unit sends it: two 7-bit parts (SYSEX_PATCHNUM).
struct PresetNumberRecord
{
    juce::uint32 high = 0;
    juce::uint32 low = 0;

    juce::int32 getNumber() const { return (juce::int32) (high * 128 + low); }
};

// One preset slot's name (SYSEX_QUERY_NAME_BY_NUM): the preset number as two
// 7-bit parts (255 each while the name has not been read) and a 32-byte
// name field that always ends in a zero (at most 31 characters).
struct PresetNameRecord
{
    static constexpr int nameSize = 32;

    juce::uint32 high = 255;
    juce::uint32 low = 255;
    char name[nameSize] = {};

    bool hasBeenRead() const { return ! (high == 255 && low == 255); }
    juce::int32 getNumber() const { return (juce::int32) (high * 128 + low); }
    juce::String getName() const { return juce::String (name, (size_t) strnlen (name, nameSize)); }
};

// The unit's SYSEX_XY answer: a block and its selected channel byte.
struct XYReply
{
    juce::uint16 blockId = 0;
    juce::uint8 channel = 0;
    juce::uint8 spare = 0;
};
