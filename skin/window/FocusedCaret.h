#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A text editor's caret that blinks (every 380 ms) only while its editor has
// the keyboard focus. The framework's own caret keeps its blink timer running
// in every editable field, focused, hidden or not; the look-and-feel hands
// out this one instead, so that fields nobody types into cost nothing.
class FocusedCaret : public juce::CaretComponent
{
public:
    static constexpr int blinkIntervalMs = 380;

    explicit FocusedCaret (juce::Component* keyFocusOwner);

    // The editor calls this when the caret moves and when it gains or loses
    // the focus.
    void setCaretPosition (const juce::Rectangle<int>& characterArea) override;

    bool isBlinking() const { return blink.isTimerRunning(); }

private:
    bool shouldBeShown() const;

    struct Blink : juce::Timer
    {
        std::function<void()> onTick;
        void timerCallback() override { onTick(); }
    };

    juce::Component* owner;
    Blink blink;
};
