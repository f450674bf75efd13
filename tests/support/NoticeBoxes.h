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

// That a window on the screen at `placed` had that place before it first
// reached the screen and asked for no other once there: a window manager may
// keep a window where it found it, and may take a place the window asks for
// later from where the framework then believes the window stands.
inline ::testing::AssertionResult keptThePlaceItCameWith (const juce::Component& window, juce::Rectangle<int> placed,
                                                          const juce::String& what)
{
    const juce::String managed (windowManagerRuns() ? " (under a window manager)" : "");

    // The framework makes every window 1 by 1 pixel at the screen's corner first.
    for (auto before : placesBeforeShown (window))
        if (before.getWidth() > 1 && before.getHeight() > 1 && before != placed)
            return ::testing::AssertionFailure() << "before it reached the screen, " << what << " stood at "
                                                 << before.toString() << "; it stands at " << placed.toString()
                                                 << managed;

    for (auto asked : placesAskedOnceShown (window))
        return ::testing::AssertionFailure() << "once on the screen at " << placed.toString() << ", " << what
                                             << " asked to stand at " << asked.toString() << managed;

    return ::testing::AssertionSuccess();
}

// Run under a window manager (KESTREL_WINDOW_MANAGER names it), a check of
// where windows stand means nothing without one.
inline ::testing::AssertionResult theWindowManagerRunsIfNamed()
{
    if (std::getenv ("KESTREL_WINDOW_MANAGER") != nullptr && ! windowManagerRuns())
        return ::testing::AssertionFailure() << "no window manager runs, though " << std::getenv ("KESTREL_WINDOW_MANAGER")
                                             << " should";
    return ::testing::AssertionSuccess();
}

inline juce::String placeText (const std::optional<juce::Rectangle<int>>& place)
{
    return place ? place->toString() : juce::String ("(not shown)");
}

// Whether the box stands centred over the window or dialog it belongs to,
// and within its window, where the screen shows them once the box is up (waiting for
// that), in the place it came with (keptThePlaceItCameWith).
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

    if (auto managed = theWindowManagerRunsIfNamed(); ! managed)
        return managed;

    if (! centred)
        return ::testing::AssertionFailure() << "on the screen, the box stands at " << placeText (placed)
                                             << ", its window at " << placeText (ownerPlaced)
                                             << (windowManagerRuns() ? " (under a window manager)" : "");

    return keptThePlaceItCameWith (box, *placed, "the box's window");
}

// Whether the program's main window stands centred on its screen, where the
// screen shows it (waiting for that), in the place it came with
// (keptThePlaceItCameWith). Call it as soon as the window is made.
inline ::testing::AssertionResult standsCentredOnItsScreen (const juce::Component& window)
{
    watchPlacesAsked (window);
    const auto area = window.getParentMonitorArea();
    std::optional<juce::Rectangle<int>> placed;
    const bool centred = pumpMessagesUntil (
        [&]
        {
            placed = placeOnScreen (window);
            return placed && placed->getCentre().getDistanceFrom (area.getCentre()) <= 2;
        },
        15000);

    if (auto managed = theWindowManagerRunsIfNamed(); ! managed)
        return managed;

    if (! centred)
        return ::testing::AssertionFailure() << "on the screen, the window stands at " << placeText (placed)
                                             << ", not centred on " << area.toString()
                                             << (windowManagerRuns() ? " (under a window manager)" : "");

    return keptThePlaceItCameWith (window, *placed, "the window");
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

                // Watched before the box is first drawn.
                for (auto* box : shownNoticeBoxes())
                    watchPlacesAsked (*box);
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
