#pragma once

#include "model/UserNotifier.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

// The program's own boxes, shown for as long as this lives, in place of the
// recorder a test has installed.
class ShownNotices
{
public:
    ShownNotices()
        : previous (UserNotifier::getSink())
    {
        UserNotifier::setSink (nullptr);
    }
    ~ShownNotices() { UserNotifier::setSink (previous); }

private:
    UserNotifier::Sink* previous;

    JUCE_DECLARE_NON_COPYABLE (ShownNotices)
};

// The boxes on the screen: the program's own dialogs and the framework's.
inline juce::Array<juce::Component*> shownNoticeBoxes()
{
    juce::Array<juce::Component*> boxes;
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* box = desktop.getComponent (i);
            box->isVisible()
            && (dynamic_cast<juce::DialogWindow*> (box) != nullptr || dynamic_cast<juce::AlertWindow*> (box) != nullptr))
            boxes.add (box);
    return boxes;
}

// Puts a window in the bottom right corner of its screen, away from where a
// box would stand that was left at the screen's top left or centred on it.
inline void moveToTheScreensCorner (juce::Component& window)
{
    const auto area = window.getParentMonitorArea();
    window.setTopLeftPosition (area.getRight() - window.getWidth(), area.getBottom() - window.getHeight());
}

// Whether the box stands centred over the window or dialog it belongs to, on
// the screen, and within it.
inline ::testing::AssertionResult standsCentredOver (const juce::Component& box, const juce::Component& owner)
{
    const auto shown = box.getScreenBounds(), under = owner.getScreenBounds();
    if (shown.getCentre().getDistanceFrom (under.getCentre()) > 2 || ! under.contains (shown))
        return ::testing::AssertionFailure() << "the box at " << shown.toString() << " is not centred over "
                                             << under.toString();
    return ::testing::AssertionSuccess();
}
