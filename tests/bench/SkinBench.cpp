#include "app/MainAppWindow.h"
#include "skin/SkinManager.h"
#include "skin/ZolLookAndFeel.h"
#include "support/RecordingNotifier.h"

#include <benchmark/benchmark.h>

// The main window places itself on the screen, so it needs a display (run
// these under Xvfb).
static bool hasDisplay (benchmark::State& state)
{
    if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty())
        return true;
    state.SkipWithError ("needs a display");
    return false;
}

// Reading the built-in skin: the archive's document, every image and font.
static void BM_LoadBuiltInSkin (benchmark::State& state)
{
    auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("kestrel-bench-no-skins");
    for (auto _ : state)
    {
        SkinManager skin (folder);
        auto result = skin.loadBuiltInSkin();
        benchmark::DoNotOptimize (result.wasOk());
    }
}
BENCHMARK (BM_LoadBuiltInSkin)->Unit (benchmark::kMillisecond);

// The program's start-up up to its first painted window, less the parts
// that do not touch the skin (settings and layout files): the skin read, the
// look-and-feel filled from it and made the default, the main window built
// and drawn once in full, title bar included. The reference is the same
// window drawn again (the cost of one paint alone).
static void BM_SkinToFirstPaintedWindow (benchmark::State& state)
{
    if (! hasDisplay (state))
        return;
    RecordingNotifier notices;
    auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("kestrel-bench-no-skins");
    for (auto _ : state)
    {
        SkinManager skin (folder);
        ZolLookAndFeel look;
        skin.loadBuiltInSkin();
        look.loadFromSkin (&skin);
        juce::LookAndFeel::setDefaultLookAndFeel (&look);
        {
            MainAppWindow window ("Kestrel-Edit", &skin);
            auto picture = window.createComponentSnapshot (window.getLocalBounds());
            benchmark::DoNotOptimize (picture.getPixelAt (1, 1));
        }
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    }
}
BENCHMARK (BM_SkinToFirstPaintedWindow)->Unit (benchmark::kMillisecond);

static void BM_PaintMainWindowAgain (benchmark::State& state)
{
    if (! hasDisplay (state))
        return;
    RecordingNotifier notices;
    auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("kestrel-bench-no-skins");
    SkinManager skin (folder);
    ZolLookAndFeel look;
    skin.loadBuiltInSkin();
    look.loadFromSkin (&skin);
    juce::LookAndFeel::setDefaultLookAndFeel (&look);
    {
        MainAppWindow window ("Kestrel-Edit", &skin);
        for (auto _ : state)
        {
            auto picture = window.createComponentSnapshot (window.getLocalBounds());
            benchmark::DoNotOptimize (picture.getPixelAt (1, 1));
        }
    }
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}
BENCHMARK (BM_PaintMainWindowAgain)->Unit (benchmark::kMillisecond);
