#pragma once

#include <juce_core/juce_core.h>

// The texts under which a unit model and its firmware are shown to the user:
// the model's display name and the version with two decimals (major + minor
// / 100). Models 3, 6 and 7 from major 21 on run "Calyx" firmware, shown as
// "Calyx" and the version counted from 20 ("Calyx 1.05" for 21.05).
// False (outputs untouched) when the model has no name.
bool getModelAndFirmwareText (int modelId, juce::uint32 major, juce::uint32 minor, juce::String& modelName,
                              juce::String& versionText);
