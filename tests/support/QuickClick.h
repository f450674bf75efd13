#pragma once

#include "support/PumpMessages.h"

#include <juce_gui_basics/juce_gui_basics.h>

// A click as quick as the display can deliver it: the press and the release
// reach the window's peer back to back, before the message loop runs again.
// The component must be showing in its window; false when it has no peer.
inline bool clickBackToBack (juce::Component& target, bool rightButton = false)
{
    auto* top = target.getTopLevelComponent();
    auto* peer = target.getPeer();

    if (top == nullptr || peer == nullptr)
        return false;

    const auto at = top->getLocalPoint (&target, target.getLocalBounds().getCentre()).toFloat();
    const auto button = rightButton ? juce::ModifierKeys::rightButtonModifier : juce::ModifierKeys::leftButtonModifier;
    const auto now = juce::Time::currentTimeMillis();

    for (auto [buttons, time] : { std::pair<int, juce::int64> (button, now), std::pair<int, juce::int64> (0, now + 1) })
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, juce::ModifierKeys (buttons),
                                juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                time);
    return true;
}

// A click as a person makes it: the press, then what it posted is handled
// before the release comes. The button is held meanwhile as the window
// system tells it. False when the component has no peer.
inline bool clickWithPause (juce::Component& target, bool rightButton = false)
{
    auto* top = target.getTopLevelComponent();
    auto* peer = target.getPeer();

    if (top == nullptr || peer == nullptr)
        return false;

    const auto at = top->getLocalPoint (&target, target.getLocalBounds().getCentre()).toFloat();
    const auto button = rightButton ? juce::ModifierKeys::rightButtonModifier : juce::ModifierKeys::leftButtonModifier;
    auto send = [&] (juce::ModifierKeys mods)
    {
        juce::ModifierKeys::currentModifiers = mods;
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, mods,
                                juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                juce::Time::currentTimeMillis());
    };
    const auto held = juce::ModifierKeys::currentModifiers.withoutMouseButtons();
    send (held.withFlags (button));
    pumpPostedMessages();
    send (held);
    return true;
}
