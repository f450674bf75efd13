#pragma once

#include <juce_core/juce_core.h>

// A restriction of what may be typed: while on, at most maximumLength
// characters (0: no limit), and only the allowed ones (empty: any).
struct FlaggedText
{
    bool on = false;
    int maximumLength = 0;
    juce::String allowedCharacters;
};
