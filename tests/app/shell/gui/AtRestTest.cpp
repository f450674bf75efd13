#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "app/update/ProgramUpdateCheck.h"
#include "app/shell/TooltipsOnDemand.h"
#include "app/update/ZOLAutoUpdate.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/window/FocusedCaret.h"
#include "support/CachedDefinitions.h"
#include "support/PumpMessages.h"
#include "support/RecordingNotifier.h"
#include "support/RedirectedUserFolders.h"
#include "support/Screenshot.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace juce
{
// One turn of the framework's message loop: waits for an event, dispatches it.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace
{
// The messages (timer callbacks, window events) the loop dispatches in ms.
int countMessagesDuring (int ms)
{
    struct Wake : juce::Timer
    {
        void timerCallback() override {}
    } wake;

    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) ms;
    wake.startTimer (ms);
    int count = 0;

    while (juce::Time::getMillisecondCounter() < end)
    {
        juce::dispatchNextMessageOnSystemQueue (false);
        ++count;
    }

    return count;
}

// The quietest of a few slices: a loaded machine may add a burst of its own
// to any one of them, but a running refresh timer fills every slice.
int quietestCountOf (int slices, int ms)
{
    int least = std::numeric_limits<int>::max();

    for (int i = 0; i < slices; ++i)
        least = std::min (least, countMessagesDuring (ms));

    return least;
}

struct PaintCounter : juce::Component
{
    void paint (juce::Graphics& g) override
    {
        ++paints;
        painted = painted.getUnion (g.getClipBounds());
        g.fillAll (juce::Colours::darkgrey);
    }

    int paints = 0;
    juce::Rectangle<int> painted; // everything drawn since it was last cleared
};

// A bare framework window, shown, whose content counts its paints.
struct CountingWindow : juce::DocumentWindow
{
    explicit CountingWindow (const juce::String& name)
        : juce::DocumentWindow (name, juce::Colours::black, juce::DocumentWindow::allButtons)
    {
        setUsingNativeTitleBar (false);
        setContentOwned (content, false);
        setContentComponentSize (400, 300);
        setTopLeftPosition (40, 40);
        setVisible (true);
    }

    PaintCounter* content = new PaintCounter();
};

template <typename Visit>
void forEachDescendant (juce::Component& parent, Visit visit)
{
    for (auto* child : parent.getChildren())
    {
        visit (*child);
        forEachDescendant (*child, visit);
    }
}

// No progress bar of the tree is visible (a visible bar ticks every 30 ms,
// shown or not) and no caret blinks outside the focused field.
void expectNoWidgetTimers (juce::Component& root)
{
    forEachDescendant (root,
                       [] (juce::Component& c)
                       {
                           if (dynamic_cast<juce::ProgressBar*> (&c) != nullptr)
                           {
                               EXPECT_FALSE (c.isVisible()) << "a progress bar with no progress to show";
                           }

                           if (auto* caret = dynamic_cast<juce::CaretComponent*> (&c))
                           {
                               auto* focused = dynamic_cast<FocusedCaret*> (caret);
                               ASSERT_NE (focused, nullptr) << "the framework's caret blinks in every field";
                               auto* editor = c.findParentComponentOfClass<juce::TextEditor>();
                               EXPECT_EQ (focused->isBlinking(), editor != nullptr && editor->hasKeyboardFocus (false));
                           }
                       });
}
} // namespace

// The framework's window asks for nothing while nothing is to be drawn, and
// still draws what a repaint asks for.
TEST (AtRest, ABareWindowGetsNoRefreshCallbacksUntilARepaintIsAskedFor)
{
    KESTREL_REQUIRE_DISPLAY();
    CountingWindow window ("Rest");
    auto* content = window.content;
    ASSERT_TRUE (pumpMessagesUntil ([&] { return content->paints > 0; }));
    pumpMessagesFor (300); // painted: the showing's own messages die down before the quiet is measured

    // The refresh timer would call back 100 times a second (60 or more on any display).
    EXPECT_LT (quietestCountOf (3, 500), 10);

    const int painted = content->paints;
    content->repaint();
    EXPECT_TRUE (pumpMessagesUntil ([&] { return content->paints > painted; }));
    pumpMessagesFor (300); // painted: the repaint's own messages die down before the quiet is measured
    EXPECT_LT (quietestCountOf (3, 500), 10) << "at rest again after the repaint";
}

// A window of ours that closes over another (a tip, a file chooser) uncovers
// part of it: the X server's call to draw that part is answered at once, with
// no pointer movement or other event to wake the program. Closing a window
// waits for the X server, which reads the call into Xlib's own queue, where the
// event loop's wait on the display connection does not see it.
TEST (AtRest, AnAreaUncoveredByOurClosingWindowIsDrawnWithoutFurtherEvents)
{
    KESTREL_REQUIRE_DISPLAY();
    CountingWindow window ("Under");
    auto* content = window.content;
    ASSERT_TRUE (pumpMessagesUntil ([&] { return content->paints > 0; }));

    // A tip's kind of window over the middle of the content.
    const auto covered = juce::Rectangle<int> (100, 80, 200, 120);
    auto over = std::make_unique<PaintCounter>();
    over->setBounds (covered + content->getScreenPosition());
    over->addToDesktop (juce::ComponentPeer::windowIsTemporary | juce::ComponentPeer::windowIgnoresKeyPresses
                        | juce::ComponentPeer::windowIgnoresMouseClicks);
    over->setVisible (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return over->paints > 0; }));
    pumpMessagesFor (300); // both drawn: their own messages die down

    content->painted = {};
    over.reset();
    EXPECT_TRUE (pumpMessagesUntil ([&] { return content->painted.contains (covered); }, 10000))
        << "drawn since the window closed: " << content->painted.toString();
}

// The program connected to an idle unit: its tick sleeps, no widget off
// screen runs a timer, and a preset chosen on the unit still reaches the
// window at once, because the link wakes it.
TEST (AtRest, ConnectedTheTickSleepsNoHiddenWidgetTicksAndTheUnitsPresetChangeWakesTheWindow)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-at-rest" };
    ASSERT_TRUE (cacheDefinitionsOfTheSimulatedUnit());
    RecordingNotifier notices;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    SimulatedKestrel unit (backend);

    {
        KestrelEditApplication app;
        app.initialise ({});
        auto* window = app.getMainWindow();
        ASSERT_NE (window, nullptr);
        auto* presets = PresetManager::getInstance();
        auto* panel = window->getContent()->getFrontPanel();
        auto shows = [&] (int number)
        {
            return window->isShowingConnected() && presets->getCurrentPresetNumber() == number && ! presets->hasWork()
                && panel->areControlsEnabled() && panel->getPresetName()->getText() == presets->getCurrentPresetName();
        };
        ASSERT_TRUE (pumpMessagesUntil ([&] { return shows (unit.getCurrentPresetNumber()); }));

        // Asleep as long as the test needs: only the link's wake-up brings the news.
        window->getLinkTicker()->setIdleIntervalMs (600000);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return window->getTickIntervalMs() == 600000; }));

        expectNoWidgetTimers (*window);
        if (auto* updater = window->getUpdateCheck() != nullptr ? window->getUpdateCheck()->getUpdater() : nullptr)
            expectNoWidgetTimers (*updater);

        const int next = (unit.getCurrentPresetNumber() + 3) % 8;
        unit.selectPresetOnUnit (next);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return presets->getRequest (loadPreset).isRunning() || shows (next); }));
        EXPECT_EQ (window->getTickIntervalMs(), MainAppWindow::tickIntervalMs) << "one step per 10 ms tick";
        EXPECT_TRUE (pumpMessagesUntil ([&] { return shows (next); }));
        EXPECT_TRUE (pumpMessagesUntil ([&] { return window->getTickIntervalMs() == 600000; })) << "asleep again";

        app.shutdown();
    }

    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
}

// Not connected, tooltips wanted: the pointer moving onto a control with a
// tip brings the tip after the delay, and it stays while the pointer rests
// there. Once the pointer has left, the tooltip window, which polls the
// pointer for as long as it exists, is gone and the program sleeps.
TEST (AtRest, ATipStillShowsOverAControlAndNoTooltipWindowPollsOnceThePointerHasLeft)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-at-rest-tips" };
    ASSERT_TRUE (cacheDefinitionsOfTheSimulatedUnit());
    RecordingNotifier notices;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);

    KestrelEditApplication app;
    app.initialise ({});
    auto* window = app.getMainWindow();
    ASSERT_NE (window, nullptr) << notices.lastMessage();
    auto* tooltips = app.getTooltips();
    ASSERT_NE (tooltips, nullptr) << "tooltips are wanted by default";
    auto* peer = window->getPeer();
    ASSERT_NE (peer, nullptr);
    // The display's own pointer away from the window, and its events over.
    auto& desktop = juce::Desktop::getInstance();
    window->setTopLeftPosition (0, 0);
    desktop.setMousePosition (desktop.getDisplays().getPrimaryDisplay()->totalArea.getBottomRight() - juce::Point<int> (2, 2));
    pumpMessagesFor (1000); // the pointer's own events land; the wait below checks where they left it
    window->toFront (true);
    ASSERT_TRUE (pumpMessagesUntil ([&] {
        return juce::Process::isForegroundProcess() && desktop.getMainMouseSource().getComponentUnderMouse() == nullptr;
    }));

    juce::Component* control = nullptr;
    forEachDescendant (*window,
                       [&] (juce::Component& c)
                       {
                           auto* client = dynamic_cast<juce::TooltipClient*> (&c);
                           if (control == nullptr && client != nullptr && client->getTooltip().isNotEmpty() && c.isShowing()
                               && window->getComponentAt (window->getLocalPoint (&c, c.getLocalBounds().getCentre())) == &c)
                               control = &c;
                       });
    ASSERT_NE (control, nullptr);

    // The display's pointer, and the window's event that its move brings.
    auto pointTo = [&] (juce::Point<int> at)
    {
        desktop.setMousePosition (window->localPointToGlobal (at));
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at.toFloat(), {},
                                juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                juce::Time::currentTimeMillis());
    };
    auto tipShown = [&] { return tooltips->getTooltipWindow() != nullptr && tooltips->getTooltipWindow()->isVisible(); };

    const auto moved = juce::Time::getMillisecondCounter();
    pointTo (window->getLocalPoint (control, control->getLocalBounds().getCentre()));
    ASSERT_TRUE (pumpMessagesUntil (tipShown)) << "tooltip window " << (tooltips->getTooltipWindow() != nullptr)
                                               << ", under the pointer " << (desktop.getMainMouseSource().getComponentUnderMouse() == control)
                                               << ", foreground " << juce::Process::isForegroundProcess();
    EXPECT_GE (juce::Time::getMillisecondCounter() - moved, 1200u) << "a tip waits for the delay";
    pumpMessagesFor (3000); // shown already: the tip must stay while the pointer rests
    EXPECT_TRUE (tipShown()) << "the tip stays while the pointer rests on its control";

    pointTo ({ -20, -20 });
    EXPECT_TRUE (pumpMessagesUntil ([&] { return ! tipShown(); })) << "the tip goes with the pointer";
    EXPECT_TRUE (pumpMessagesUntil ([&] { return tooltips->getTooltipWindow() == nullptr; }));
    // Left: the desktop's pointer poll (10 a second while any text editor
    // exists) and little else; a tooltip window adds 8 a second.
    EXPECT_LT (quietestCountOf (3, 500), 9);

    app.shutdown();
}
