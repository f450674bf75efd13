#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class GlobalConfiguration;
class PresetManager;
class RawPresetThreadDlg;

// Keeps the editor out of the raw preset dialog's way: from the dialog's
// opening (or a transfer's start) to its closing the preset manager's resync
// and preset-change holds are set, because the worker recalls presets on the
// unit itself. When the dialog closes the holds are released and the dialog's
// folder becomes the configuration's last-used folder; when a job ran, the
// unit's current preset is also recalled (the worker left another one loaded)
// and the preset and cab names are read again.
class RawPresetDialogFollower : private juce::ChangeListener
{
public:
    // The preset manager and the configuration default to the process's own.
    RawPresetDialogFollower (RawPresetThreadDlg& dialog, PresetManager* presetManager = nullptr,
                             GlobalConfiguration* configuration = nullptr);
    ~RawPresetDialogFollower() override;

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    PresetManager* getPresetManager() const;
    GlobalConfiguration* getConfiguration() const;

    // The dialog may go first.
    juce::Component::SafePointer<RawPresetThreadDlg> dialog;
    PresetManager* presets;
    GlobalConfiguration* configuration;

    JUCE_DECLARE_NON_COPYABLE (RawPresetDialogFollower)
};
