#pragma once

#include <juce_core/juce_core.h>

// One preset's cab locations (Cab 1 L, Cab 1 R, Cab 2 L, Cab 2 R) and the
// scratchpad each should point at for an audition. The cab easy-setup dialog
// edits it; its owners fill it, copy it back after the dialog's code 3 and
// apply the targets. A plain record, copied by value.
struct CabSetupInfo
{
    static constexpr int locationCount = 4;
    static constexpr int noChange = -1;

    int presetNumber = 0; // as shown to the user, display offset included
    juce::String presetName;
    bool inUse[locationCount] = { false, false, false, false };
    juce::String cabText[locationCount]; // the cab there now, as the owner labels it
    int targets[locationCount] = { noChange, noChange, noChange, noChange }; // scratchpad 0..3, or -1
    int dontShow = 1;
};
