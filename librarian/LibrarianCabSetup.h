#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <functional>

// What the librarian hands the cab easy-setup dialog about the current
// preset, and what the dialog gives back: for each cab location (Cab 1 L,
// Cab 1 R, Cab 2 L, Cab 2 R) whether the preset uses it, the label of its
// cab, and the scratchpad chosen for it (0 to 3, -1 for no change).
struct LibrarianCabSetup
{
    static constexpr int locations = 4;

    int presetNumber = 0; // as shown, with the display offset
    juce::String presetName;
    std::array<bool, locations> inUse{};
    std::array<juce::String, locations> cabLabels;
    std::array<int, locations> targets{ -1, -1, -1, -1 };
    bool dontShow = true;
};

// Shows the setup to the user; calls onConfirmed with the edited setup when
// the user confirms, and never when the user cancels.
using CabSetupHook =
    std::function<void (const LibrarianCabSetup& setup, std::function<void (const LibrarianCabSetup&)> onConfirmed)>;
