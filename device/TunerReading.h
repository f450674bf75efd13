#pragma once

#include <juce_core/juce_core.h>

// The three numbers of a SYSEX_TUNER message.
struct TunerReading
{
    juce::int32 values[3] = {};
};
