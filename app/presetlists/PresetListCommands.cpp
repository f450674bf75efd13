#include "app/presetlists/PresetListCommands.h"

#include "app/presetlists/KestrelPresetPicker.h"
#include "device/engines/PresetManager.h"
#include "device/wire/ModelRules.h"
#include "model/UnitIds.h"

PresetListCommands::PresetListCommands (KestrelPresetPicker& presetPicker, PresetManager* manager,
                                        GlobalConfiguration* config)
    : picker (presetPicker)
    , presetManager (manager)
    , configuration (config)
{
}

PresetListCommands::~PresetListCommands()
{
    *alive = false;

    if (presetManager != nullptr)
        presetManager->removeChangeListener (this);

    if (picker.isOpenFor (this))
        picker.close();
}

bool PresetListCommands::performCommand (int commandId)
{
    return exportList (commandId);
}

bool PresetListCommands::openPresetList (int mode, std::function<void (int)> onPicked)
{
    if (presetManager == nullptr || ! presetManager->isFirmwareValid())
        return false;

    const int count = juce::jmin (getPresetCount (presetManager->getFirmware()), 512);

    if (count <= 0)
        return false;

    juce::StringArray numbers, names;
    buildPresetNumberList ("  ", numbers);
    presetManager->getPresetNames (names);
    numbers.removeRange (count, numbers.size());

    while (names.size() < count)
        names.add ({});

    names.removeRange (count, names.size());

    constexpr int bankSize = PresetListContent::bankSizeWithoutSizes;
    const int banks = (count + bankSize - 1) / bankSize;

    for (int tab = 0; tab < PresetListContent::numTabs; ++tab)
        picker.setTabEntry (tab, 2, tab <= banks ? picker.getDefaultTabLabel (tab) : juce::String());

    picker.setTitleText ({});
    picker.setListLayout (0, 1);
    picker.openWithNames (this, numbers, names, juce::jmax (0, (int) presetManager->getCurrentPresetNumber()), {},
                          mode == PresetListContent::saveTo ? PresetListContent::saveTo : PresetListContent::changeTo,
                          KestrelPresetPicker::presetList, true, {});
    pickHandler = std::move (onPicked);
    picker.setColorFilter (true, presetManager->getConnectedModel());
    return true;
}

void PresetListCommands::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (presetManager != nullptr && source == presetManager)
    {
        onPresetManagerEvent();
        return;
    }

    if (source != &picker.getPickBroadcaster() || ! picker.isOpenFor (this))
        return;

    juce::uint16 value = 0;
    const auto result = picker.getPickResult (value);

    if (result == PickListPanel::resultPicked)
    {
        auto handler = pickHandler;

        if (! picker.isPinned())
            picker.close();

        if (handler)
            handler (value);
        else if (presetManager != nullptr && (int) value != presetManager->getChosenPresetNumber())
            presetManager->choosePreset (value);
    }
    else if (result == PickListPanel::resultClosed)
    {
        picker.close();
    }
}
