#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The program's main window. Its content area is 1024 by 647.
class MainAppWindow : public juce::DocumentWindow
{
public:
    static constexpr int contentWidth = 1024;
    static constexpr int contentHeight = 647;

    explicit MainAppWindow (const juce::String& title);
    ~MainAppWindow() override;

    void closeButtonPressed() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainAppWindow)
};
