#include "app/dialogs/PresetBundleSave.h"

#include "device/engines/PresetManager.h"
#include "device/wire/ModelRules.h"

bool startPresetBundleSave (PresetManager& presetManager, const PresetBundleInfo& info)
{
    int bank = 0, program = 0;

    if (! presetManager.getPresetLocation (info.presetTarget, bank, program))
        return false;

    PresetManager::BundleCabTarget targets[PresetBundleInfo::locationCount];

    for (int i = 0; i < PresetBundleInfo::locationCount; ++i)
    {
        if (info.cabTargets[i] >= 0)
            targets[i] = { (juce::uint16) info.cabTargets[i], 1 };
        else if (info.cabs[i].scratchpad >= 0)
            targets[i] = { (juce::uint16) info.cabs[i].scratchpad, 0 };
    }

    if (! presetManager.requestSavePresetCabBundle ((juce::uint8) bank, (juce::uint8) program, targets))
        return false;

    if (presetManager.getCurrentPresetNumber() != info.presetTarget)
        presetManager.requestChangePreset ((juce::uint16) info.presetTarget, false);

    return true;
}
