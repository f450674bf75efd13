#include "skin/window/FocusedCaret.h"

FocusedCaret::FocusedCaret (juce::Component* keyFocusOwner)
    : juce::CaretComponent (keyFocusOwner)
    , owner (keyFocusOwner)
{
    blink.onTick = [this] { setVisible (shouldBeShown() && ! isVisible()); };
}

void FocusedCaret::setCaretPosition (const juce::Rectangle<int>& characterArea)
{
    const bool shown = shouldBeShown();
    setVisible (shown);
    setBounds (characterArea.withWidth (2));

    if (owner == nullptr || owner->hasKeyboardFocus (false))
        blink.startTimer (blinkIntervalMs);
    else
        blink.stopTimer();
}

bool FocusedCaret::shouldBeShown() const
{
    return owner == nullptr
        || (owner->hasKeyboardFocus (false) && ! owner->isCurrentlyBlockedByAnotherModalComponent());
}
