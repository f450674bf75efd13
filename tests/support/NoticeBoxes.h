#pragma once

#include "app/shell/MainAppWindow.h"
#include "model/UserNotifier.h"
#include "support/RecordingNotifier.h"
#include "support/PlaceOnScreen.h"
#include "support/PumpMessages.h"

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
// box would stand that was left at the screen's top left or centred on it,
// and waits until the screen shows it there and the framework knows it.
inline void moveToTheScreensCorner (juce::Component& window)
{
    const auto area = window.getParentMonitorArea();
    const juce::Rectangle<int> corner (area.getRight() - window.getWidth(), area.getBottom() - window.getHeight(),
                                       window.getWidth(), window.getHeight());
    window.setBounds (corner);
    auto there = [&]
    {
        const auto placed = placeOnScreen (window);
        return window.getScreenBounds() == corner && (! placed || *placed == corner);
    };
    // Twice in a row: a notice of an earlier place may still be on its way.
    pumpMessagesUntil ([&] { return there() && pumpPostedMessages() && there(); });
}

// Whether the box stands centred over the window or dialog it belongs to,
// and within its window, where the screen shows them once the box is up (waiting for
// that). It must have had that place before it first reached the screen: a
// window manager may keep a window where it found it.
inline ::testing::AssertionResult standsCentredOver (const juce::Component& box, const juce::Component& owner)
{
    // The owner may be a pane inside its window (the box may be wider than the pane).
    auto* ownerWindow = owner.getTopLevelComponent();
    std::optional<juce::Rectangle<int>> placed, ownerPlaced;
    const bool centred = pumpMessagesUntil (
        [&]
        {
            placed = placeOnScreen (box);
            ownerPlaced = placeOnScreen (*ownerWindow);
            if (! placed || ! ownerPlaced)
                return false;
            const auto offset = owner.getScreenPosition() - ownerWindow->getScreenPosition();
            const auto under = owner.getScreenBounds().withPosition (ownerPlaced->getPosition() + offset);
            return placed->getCentre().getDistanceFrom (under.getCentre()) <= 2 && ownerPlaced->contains (*placed);
        },
        15000);

    // Run under a window manager (KESTREL_WINDOW_MANAGER names it), the check means nothing without one.
    if (std::getenv ("KESTREL_WINDOW_MANAGER") != nullptr && ! windowManagerRuns())
        return ::testing::AssertionFailure() << "no window manager runs, though " << std::getenv ("KESTREL_WINDOW_MANAGER")
                                             << " should";

    auto text = [] (const std::optional<juce::Rectangle<int>>& place)
    { return place ? place->toString() : juce::String ("(not shown)"); };
    const juce::String managed (windowManagerRuns() ? " (under a window manager)" : "");

    if (! centred)
        return ::testing::AssertionFailure() << "on the screen, the box stands at " << text (placed)
                                             << ", its window at " << text (ownerPlaced) << managed;

    // Before it reached the screen, it stood nowhere else with its size (the
    // framework makes every window 1 by 1 pixel at the screen's corner first).
    for (auto before : placesBeforeShown (box))
        if (before.getWidth() > 1 && before.getHeight() > 1 && before != *placed)
            return ::testing::AssertionFailure() << "before it reached the screen, the box's window stood at "
                                                 << before.toString() << "; it stands at " << placed->toString()
                                                 << managed;

    return ::testing::AssertionSuccess();
}

// The notices a recorder takes show in the window's boxes as well, as the
// program shows them, for as long as this lives; their answers stay with the
// recorder.
class RecordedNoticesShown
{
public:
    RecordedNoticesShown (RecordingNotifier& recorderToUse, MainAppWindow& window)
        : recorder (recorderToUse)
    {
        recorder.setAlsoShown (
            [safeWindow = juce::Component::SafePointer<MainAppWindow> (&window)] (const Notice& notice)
            {
                if (safeWindow != nullptr)
                    safeWindow->showMessageDialog (notice);
            });
    }
    ~RecordedNoticesShown() { recorder.setAlsoShown (nullptr); }

private:
    RecordingNotifier& recorder;

    JUCE_DECLARE_NON_COPYABLE (RecordedNoticesShown)
};

// Waits for the one box on the screen, tells whether it stands centred over
// the window or dialog it belongs to (standsCentredOver), and closes it.
inline ::testing::AssertionResult theBoxStandsCentredOver (const juce::Component& owner)
{
    if (! pumpMessagesUntil ([] { return shownNoticeBoxes().size() == 1; }))
        return ::testing::AssertionFailure() << shownNoticeBoxes().size() << " boxes are shown, not one";

    auto* box = shownNoticeBoxes().getFirst();
    auto centred = standsCentredOver (*box, owner);
    box->setVisible (false);

    if (! pumpMessagesUntil ([] { return shownNoticeBoxes().isEmpty(); }))
        return ::testing::AssertionFailure() << "the box did not close";

    return centred;
}
