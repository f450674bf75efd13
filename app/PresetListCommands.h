#pragma once

#include "app/CommandPerformer.h"

#include <juce_events/juce_events.h>

class KestrelPresetPicker;
class PresetManager;

// Opens the preset list window to change preset ("P"): every preset of the
// unit by bank, the current one highlighted, tinted by the user's colours. A
// pick changes to that preset and closes the window unless it is pinned.
class PresetListCommands : public CommandPerformer, private juce::ChangeListener
{
public:
    static constexpr int showPresetList = 1117;

    // Neither is owned; both must outlive this.
    PresetListCommands (KestrelPresetPicker& picker, PresetManager* presetManager);
    ~PresetListCommands() override;

    bool ownsCommand (int commandId) const override { return commandId == showPresetList; }
    bool performCommand (int commandId) override;

    bool openPresetList();

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    KestrelPresetPicker& picker;
    PresetManager* presetManager;
};
