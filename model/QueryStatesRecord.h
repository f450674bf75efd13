#pragma once

#include <juce_core/juce_core.h>

// The state words of one SYSEX_QUERY_STATES reply, kept under its id.
struct QueryStatesRecord
{
    juce::int32 id = 0;
    juce::Array<juce::int32> states;
};
