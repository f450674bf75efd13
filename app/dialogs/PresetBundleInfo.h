#pragma once

#include <juce_core/juce_core.h>

// What a Preset-Cab bundle save offers and what the user chose: the preset
// locations and user cab locations of the unit, the preset location to save
// to, and for each cab location of the bundle's preset (Cab 1 L, Cab 1 R,
// Cab 2 L, Cab 2 R) the scratchpad that holds its cab and the user cab
// location chosen for it. A plain record, copied by value.
struct PresetBundleInfo
{
    static constexpr int locationCount = 4;

    struct CabEntry
    {
        int scratchpad = -1; // 0..3, or -1 when the bundle holds no cab here
        juce::String name;
    };

    juce::StringArray presetNames;
    juce::StringArray presetNumberLabels; // its size is the number of preset locations offered
    juce::StringArray cabNames;
    juce::StringArray cabNumberLabels; // its size is the number of user cab locations offered
    juce::uint32 highlightColour = 0;  // ARGB of every other group of preset items
    int groupSize = 0;                 // preset items per highlighted group; 0 for none
    juce::uint8 columnCount = 0;       // 0 lets the pick list fit its columns
    int presetTarget = 0;
    CabEntry cabs[locationCount];
    int cabTargets[locationCount] = { -1, -1, -1, -1 }; // user cab location, or -1 for none

    bool holdsCab (int location) const { return cabs[location].scratchpad != -1; }

    // The first cab location whose chosen user location another cab of the
    // bundle was given too, or -1. Saving both would leave one cab overwritten.
    int findSharedCabTarget() const
    {
        for (int i = 0; i < locationCount; ++i)
            for (int j = 0; j < i; ++j)
                if (holdsCab (i) && holdsCab (j) && cabTargets[i] >= 0 && cabTargets[i] == cabTargets[j])
                    return i;
        return -1;
    }
};
