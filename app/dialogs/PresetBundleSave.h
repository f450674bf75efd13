#pragma once

#include "app/dialogs/PresetBundleInfo.h"

class PresetManager;

// Saves the Preset-Cab bundle that was brought into the unit as the bundle
// save dialog's record says: the preset to its target location, each cab
// with a target to that User Cab location, each cab without one left in its
// scratchpad. Then, when the target is not the current preset, the unit
// changes to it. False when the preset manager refuses (no bundle imported,
// busy) or the target is no preset location.
bool startPresetBundleSave (PresetManager& presetManager, const PresetBundleInfo& info);
