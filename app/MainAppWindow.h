#pragma once

#include "device/engines/LinkTicker.h"

class ProgramUpdateCheck;

#include <juce_gui_basics/juce_gui_basics.h>

// The program's main window. Its content area is 1024 by 647. Its 10 ms timer
// drives the link and the preset manager; while the link is down and no
// request runs it ticks only as often as the port retry needs.
class MainAppWindow : public juce::DocumentWindow, private juce::Timer
{
public:
    static constexpr int contentWidth = 1024;
    static constexpr int contentHeight = 647;
    static constexpr int tickIntervalMs = 10;

    explicit MainAppWindow (const juce::String& title);
    ~MainAppWindow() override;

    void closeButtonPressed() override;

    // One tick of the window's timer; also called by tests.
    void tick();

    // The timer's present interval (0 when it is not running).
    int getTickIntervalMs() const { return getTimerInterval(); }

    // The update check: silent once at start-up, manual on request.
    void checkForUpdates() { runUpdateCheck (true); }
    ProgramUpdateCheck* getUpdateCheck() const { return updateCheck.get(); }

private:
    void timerCallback() override { tick(); }
    void updateTitle (bool connected);
    void runUpdateCheck (bool manual);

    juce::String baseTitle;
    std::unique_ptr<LinkTicker> linkTicker;
    bool shownConnected = false;
    std::unique_ptr<ProgramUpdateCheck> updateCheck;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainAppWindow)
};
