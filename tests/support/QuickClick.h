#pragma once

#include "support/PumpMessages.h"

#include <juce_gui_basics/juce_gui_basics.h>

// Where a click on the component's centre reaches its window's peer, with
// the button to press; false when the component has no peer.
inline bool findClickPlace (juce::Component& target, bool rightButton, juce::ComponentPeer*& peer,
                            juce::Point<float>& at, int& button)
{
    auto* top = target.getTopLevelComponent();
    peer = target.getPeer();

    if (top == nullptr || peer == nullptr)
        return false;

    at = top->getLocalPoint (&target, target.getLocalBounds().getCentre()).toFloat();
    button = rightButton ? juce::ModifierKeys::rightButtonModifier : juce::ModifierKeys::leftButtonModifier;
    return true;
}

inline void sendMouseToPeer (juce::ComponentPeer& peer, juce::Point<float> at, juce::ModifierKeys mods, juce::int64 time)
{
    peer.handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, mods,
                           juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation, time);
}

// A click as quick as the display can deliver it: the press and the release
// reach the window's peer back to back, before the message loop runs again.
// The component must be showing in its window; false when it has no peer.
inline bool clickBackToBack (juce::Component& target, bool rightButton = false)
{
    juce::ComponentPeer* peer = nullptr;
    juce::Point<float> at;
    int button = 0;

    if (! findClickPlace (target, rightButton, peer, at, button))
        return false;

    const auto now = juce::Time::currentTimeMillis();
    sendMouseToPeer (*peer, at, juce::ModifierKeys (button), now);
    sendMouseToPeer (*peer, at, juce::ModifierKeys(), now + 1);
    return true;
}

// A click as a person makes it: the press, then what it posted is handled
// before the release comes. The button is held meanwhile as the window
// system tells it. False when the component has no peer.
inline bool clickWithPause (juce::Component& target, bool rightButton = false)
{
    juce::ComponentPeer* peer = nullptr;
    juce::Point<float> at;
    int button = 0;

    if (! findClickPlace (target, rightButton, peer, at, button))
        return false;

    auto send = [&] (juce::ModifierKeys mods)
    {
        juce::ModifierKeys::currentModifiers = mods;
        sendMouseToPeer (*peer, at, mods, juce::Time::currentTimeMillis());
    };
    const auto held = juce::ModifierKeys::currentModifiers.withoutMouseButtons();
    send (held.withFlags (button));
    pumpPostedMessages();
    send (held);
    return true;
}
