#pragma once

#include <juce_core/juce_core.h>

// A firmware condition on a layout page or control: "at least major.minor"
// (kind 1) or "below major.minor" (kind 0). Without a condition everything
// matches.
struct VersionCondition
{
    static constexpr juce::int32 atLeast = 1;
    static constexpr juce::int32 below = 0;

    bool hasCondition = false;
    juce::int32 kind = atLeast;
    juce::int32 major = 0;
    juce::int32 minor = 0;

    // True when firmware (major, minor) satisfies the condition; an unknown
    // kind never matches.
    bool matches (int firmwareMajor, int firmwareMinor) const;

    // Reads the "major,minor" texts of version_gtet and version_lt; the first
    // non-empty one wins, gtet before lt. Both empty leaves the condition off.
    void setFromAttributes (const juce::String& atLeastText, const juce::String& belowText);
};

// Splits "x,y" (also at ";", blanks, tabs and line ends) into its first two
// integers; missing numbers read as 0.
void parseNumberPair (const juce::String& text, juce::int32& first, juce::int32& second);
