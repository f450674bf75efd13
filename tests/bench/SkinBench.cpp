#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "model/UserFolders.h"
#include "skin/engine/SkinManager.h"
#include "skin/window/ZolLookAndFeel.h"
#include "support/ForgetSingletons.h"
#include "support/RecordingNotifier.h"
#include "support/ScratchFolder.h"

#include <benchmark/benchmark.h>

namespace
{
// The main window places itself on the screen, so it needs a display (run
// these under Xvfb).
bool hasDisplay (benchmark::State& state)
{
    if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty())
        return true;
    state.SkipWithError ("needs a display");
    return false;
}

juce::File noSkinsFolder()
{
    return juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("kestrel-bench-no-skins");
}

// What the application does with the skin at start: read it, fill the
// look-and-feel from it and make that the default.
struct SkinnedLook
{
    SkinnedLook()
    {
        skin.loadBuiltInSkin();
        look.loadFromSkin (&skin);
        juce::LookAndFeel::setDefaultLookAndFeel (&look);
    }
    ~SkinnedLook() { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }

    SkinManager skin{ noSkinsFolder() };
    ZolLookAndFeel look;
};

void paintWindow (juce::Component& window)
{
    auto picture = window.createComponentSnapshot (window.getLocalBounds());
    benchmark::DoNotOptimize (picture.getPixelAt (1, 1));
}
} // namespace

// Reading the built-in skin: the archive's document, every image and font.
static void BM_LoadBuiltInSkin (benchmark::State& state)
{
    for (auto _ : state)
    {
        SkinManager skin (noSkinsFolder());
        benchmark::DoNotOptimize (skin.loadBuiltInSkin().wasOk());
    }
}
BENCHMARK (BM_LoadBuiltInSkin)->Unit (benchmark::kMillisecond);

// The program's start-up up to its first painted window, less the parts
// that do not touch the skin (settings and layout files): the skin read, the
// look-and-feel filled from it and made the default, the main window built
// and drawn once in full, title bar included. The reference below is the
// same window drawn again (the cost of one paint alone).
static void BM_SkinToFirstPaintedWindow (benchmark::State& state)
{
    if (! hasDisplay (state))
        return;
    RecordingNotifier notices;
    for (auto _ : state)
    {
        SkinnedLook skinned;
        MainAppWindow window ("Kestrel-Edit", &skinned.skin);
        paintWindow (window);
    }
}
BENCHMARK (BM_SkinToFirstPaintedWindow)->Unit (benchmark::kMillisecond);

static void BM_PaintMainWindowAgain (benchmark::State& state)
{
    if (! hasDisplay (state))
        return;
    RecordingNotifier notices;
    SkinnedLook skinned;
    MainAppWindow window ("Kestrel-Edit", &skinned.skin);
    for (auto _ : state)
        paintWindow (window);
}
BENCHMARK (BM_PaintMainWindowAgain)->Unit (benchmark::kMillisecond);

// The whole start of the program, from the application object's creation to
// its main window drawn once: the managers, the skin, the layout document,
// the settings and the window. Shutting down is not timed.
static void BM_ProgramStartToFirstPaintedWindow (benchmark::State& state)
{
    if (! hasDisplay (state))
        return;
    RecordingNotifier notices;
    ScratchFolder scratch{ "kestrel-bench-start" };
    UserFolders::redirectTo (scratch.folder);
    for (auto _ : state)
    {
        {
            KestrelEditApplication app;
            app.initialise ({});
            if (auto* window = app.getMainWindow())
                paintWindow (*window);
            state.PauseTiming();
            app.shutdown();
        }
        forgetSingletons();
        state.ResumeTiming();
    }
    UserFolders::redirectTo ({});
}
BENCHMARK (BM_ProgramStartToFirstPaintedWindow)->Unit (benchmark::kMillisecond);

// The reference: a bare window of the same size, built and drawn once.
static void BM_BareWindowToFirstPaint (benchmark::State& state)
{
    if (! hasDisplay (state))
        return;
    for (auto _ : state)
    {
        juce::DocumentWindow window ("Reference", juce::Colours::black, juce::DocumentWindow::allButtons);
        window.setUsingNativeTitleBar (false);
        window.setContentOwned (new juce::Component(), false);
        window.setContentComponentSize (1024, 647);
        window.setVisible (true);
        paintWindow (window);
    }
}
BENCHMARK (BM_BareWindowToFirstPaint)->Unit (benchmark::kMillisecond);
