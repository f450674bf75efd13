#pragma once

#include <juce_core/juce_core.h>

// What the unit reports about one parameter (SYSEX_GET_PARAM_INFO), 20 bytes
// kept as received. Bits 4..7 of the descriptor hold the value-scale kind
// (ParamKind); nothing reads its other bits or the fourth float.
struct ParamInfo
{
    juce::int32 descriptor = 0;
    float minimum = 0.0f;
    float maximum = 0.0f;
    float displayMultiplier = 0.0f;
    float fourth = 0.0f;

    int getKind() const { return (descriptor >> 4) & 0x0f; }
};
