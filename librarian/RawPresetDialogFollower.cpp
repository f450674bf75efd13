#include "librarian/RawPresetDialogFollower.h"

#include "device/engines/PresetManager.h"
#include "librarian/RawPresetThreadDlg.h"
#include "model/KestrelGlobalConfiguration.h"

RawPresetDialogFollower::RawPresetDialogFollower (RawPresetThreadDlg& dialogToFollow, PresetManager* presetManager,
                                                  GlobalConfiguration* config)
    : dialog (&dialogToFollow)
    , presets (presetManager)
    , configuration (config)
{
    dialogToFollow.addChangeListener (this);
}

RawPresetDialogFollower::~RawPresetDialogFollower()
{
    if (dialog != nullptr)
        dialog->removeChangeListener (this);
}

PresetManager* RawPresetDialogFollower::getPresetManager() const
{
    return presets != nullptr ? presets : PresetManager::getInstanceWithoutCreating();
}

GlobalConfiguration* RawPresetDialogFollower::getConfiguration() const
{
    return configuration != nullptr ? configuration : KestrelGlobalConfiguration::getInstanceWithoutCreating();
}

void RawPresetDialogFollower::changeListenerCallback (juce::ChangeBroadcaster*)
{
    auto* manager = getPresetManager();

    if (dialog == nullptr)
        return;

    const int code = dialog->getChangeCode();

    if (manager == nullptr || code < RawPresetThreadDlg::codeOpened || code > RawPresetThreadDlg::codeClosed)
        return;

    if (code != RawPresetThreadDlg::codeClosed)
    {
        manager->setResyncHold (true);
        manager->setPresetChangeHold (true);
        return;
    }

    manager->setResyncHold (false);
    manager->setPresetChangeHold (false);

    // Without a job the unit holds what the editor shows, unsaved changes
    // included: nothing is recalled or read again.
    if (dialog->hasChangedUnit())
    {
        int bank = 0, program = 0;
        if (manager->getCurrentBankAndProgram (bank, program))
            manager->requestRecallPreset ((juce::uint8) bank, (juce::uint8) program);

        manager->requestPresetNames (0x7F); // every preset
        manager->requestCabNames (true, true, true);
    }

    if (auto* config = getConfiguration(); config != nullptr && dialog->getFolderText().isNotEmpty())
        config->MRU_DIRECTORY = dialog->getFolderText();
}
