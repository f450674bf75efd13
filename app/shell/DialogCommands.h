#pragma once

#include "app/host/CommandPerformer.h"

class KestrelContentComponent;
class MainAppWindow;

// The commands that open the content component's own dialogs and overlays:
// "Tuner" (1301) closes every open dialog and opens the tuner on the unit's
// MIDI channel; "Pause Communications" (1404) pauses or resumes the link.
// Pausing is refused, with the bubble that says why, while a dialog shows.
class DialogCommands : public CommandPerformer
{
public:
    static constexpr int tunerCommandId = 1301;
    static constexpr int pauseCommandId = 1404;

    // Adds itself to the command target; the window may be null.
    DialogCommands (KestrelContentComponent& content, MainAppWindow* window);
    ~DialogCommands() override;

    bool ownsCommand (int commandId) const override;
    bool performCommand (int commandId) override;
    bool worksWithoutUnit (int commandId) const override { return commandId == pauseCommandId; }

private:
    KestrelContentComponent& content;
    MainAppWindow* window;
};
