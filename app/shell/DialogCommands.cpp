#include "app/shell/DialogCommands.h"

#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "app/dialogs/TunerContent.h"
#include "device/engines/PresetManager.h"

DialogCommands::DialogCommands (KestrelContentComponent& contentComponent, MainAppWindow* ownerWindow)
    : content (contentComponent)
    , window (ownerWindow)
{
    if (auto* target = KestrelCommandTarget::getInstance())
        target->addPerformer (this);
}

DialogCommands::~DialogCommands()
{
    if (auto* target = KestrelCommandTarget::getInstanceWithoutCreating())
        target->removePerformer (this);
}

bool DialogCommands::ownsCommand (int commandId) const
{
    return commandId == tunerCommandId || commandId == pauseCommandId;
}

bool DialogCommands::performCommand (int commandId)
{
    if (commandId == tunerCommandId)
    {
        auto* tuner = content.getPaneAs<TunerContent> (ContentPane::tuner);

        if (tuner == nullptr)
            return false;

        content.closeAllDialogs();

        // The channel as the unit reported it; unknown without the device model.
        auto* presetManager = PresetManager::getInstanceWithoutCreating();
        tuner->show (presetManager != nullptr ? (int) presetManager->getUnitMidiChannel() : -1);
        return true;
    }

    if (commandId == pauseCommandId)
    {
        if (window == nullptr)
            return false;

        const bool pausing = ! window->isCommunicationPaused();

        if (pausing && content.isDialogShowing())
        {
            content.showPauseRefusedMessage();
            return false;
        }

        window->setCommunicationPaused (pausing);
        return true;
    }

    return false;
}
