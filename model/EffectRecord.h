#pragma once

#include "model/EffectParamValue.h"

// The cached state of one block of the current preset: its X and Y
// parameter values (at most one entry per parameter id in each list), its
// global-block number and mask, and the raw payload of its last
// SYSEX_GET_ALL_PARAMS reply.
class EffectRecord
{
public:
    static constexpr juce::uint16 globalNumberUnknown = 0xFFFF;
    static constexpr juce::uint32 globalMaskUnknown = 0xDEAD0000;
    static constexpr int maxGlobalBlocks = 10;

    EffectRecord() = default;
    explicit EffectRecord (juce::uint16 id)
        : blockId (id)
    {
    }

    // Stores the value in the X (0) or Y (1) list, replacing an entry of the
    // same parameter id. Refused for a record without a block id and for a
    // value of another block.
    bool setParam (int xy, const EffectParamValue& value);

    // Copies the entry of the parameter id; 1 when found, else 0.
    int getParam (int paramId, int xy, EffectParamValue& out) const;

    // Access by position; false outside the list.
    bool getParamAt (int index, int xy, EffectParamValue& out) const;
    int getNumParams (int xy) const;

    void clearParams (int xy);

    // True when the list holds at least as many entries as a full parameter
    // dump of the block brings; false for a record without a block id.
    bool hasAllParams (int xy) const;

    // Sets or clears bit n (0..9) of the global-used mask; a mask not yet
    // reported becomes 0 first. False for n outside 0..9.
    bool setGlobalUsedBit (int n, bool on);

    // Copies everything; the entries go through setParam, so entries of
    // another block are dropped and a repeated parameter id overwrites.
    void copyFrom (const EffectRecord& other);

    juce::uint16 blockId = 0;
    juce::uint16 globalBlockNumber = globalNumberUnknown; // 0 = not global, 1..10 = that global block
    juce::uint32 globalUsedMask = globalMaskUnknown;
    juce::uint8 xRefresh = 0; // 1 = the X values are stale
    juce::uint8 yRefresh = 0; // 1 = the Y values are stale
    juce::Array<EffectParamValue> xValues;
    juce::Array<EffectParamValue> yValues;
    juce::MemoryBlock allParamsData;

private:
    juce::Array<EffectParamValue>& listFor (int xy) { return xy == 0 ? xValues : yValues; }
    const juce::Array<EffectParamValue>& listFor (int xy) const { return xy == 0 ? xValues : yValues; }

    JUCE_LEAK_DETECTOR (EffectRecord)
};
