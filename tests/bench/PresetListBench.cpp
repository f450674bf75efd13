#include "app/presetlists/PresetListContent.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinManager.h"

#include <benchmark/benchmark.h>

// The preset list window open on a long list, painted whole into an image,
// as the window draws itself over the main window. The reference paints the
// same window holding 120 entries (just under one view's worth) in the same
// run: a list of 1,000 should cost about as much, as only the cells in view
// are drawn.

namespace
{
struct OpenList
{
    explicit OpenList (int entries)
    {
        skin.loadBuiltInSkin();
        if (auto* menu = skin.getSkinRoot()->getChildByName ("ColorFilterMenu"))
            depot.readColourMenuSection (skin, *menu);

        juce::StringArray numbers, names;
        for (int i = 0; i < entries; ++i)
        {
            numbers.add (juce::String::formatted ("%d-%d  ", i / 8 + 1, i % 8 + 1));
            names.add ("Preset " + juce::String (i + 1));
        }

        list = std::make_unique<PresetListContent> (&skin, nullptr, &depot, nullptr);
        list->openWithNames (nullptr, numbers, names, 3, {}, PresetListContent::changeTo, 0, false, {});
    }

    SkinManager skin;
    KestrelImageDepot depot;
    std::unique_ptr<PresetListContent> list;
    juce::Image canvas{ juce::Image::ARGB, 1024, 647, true };
};

void BM_PresetListPaint (benchmark::State& state)
{
    OpenList open ((int) state.range (0));

    for (auto _ : state)
    {
        juce::Graphics g (open.canvas);
        open.list->paintEntireComponent (g, false);
    }
}
BENCHMARK (BM_PresetListPaint)
    ->Arg (120)
    ->Arg (1000)
    ->Repetitions (7)
    ->ReportAggregatesOnly (true)
    ->Unit (benchmark::kMillisecond);
} // namespace
