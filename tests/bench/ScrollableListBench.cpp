#include "skin/lists/ZolScrollableListCtrl.h"

#include <benchmark/benchmark.h>

#include <vector>

// The preset list of a whole unit: filling it with 1,000 entries, and
// scrolling it by one column and drawing what then shows. The reference draws
// a list of 40 entries, one view's worth, in the same run: scrolling and
// drawing a long list should cost about as much, as only the visible cells
// are drawn.

namespace
{
struct PresetList
{
    explicit PresetList (int entries)
        : records ((size_t) entries)
    {
        list.minCellWidth = 140;
        list.minCellHeight = 18;
        for (int i = 0; i < entries; ++i)
        {
            auto& r = records[(size_t) i];
            r.number = juce::String::formatted ("%d-%d ", i / 8 + 1, i % 8 + 1);
            r.name = "Preset " + juce::String (i + 1);
            r.itemId = i;
            items.add (&r);
        }
        list.setItems (items);
    }

    std::vector<ScrollableListItem> records;
    juce::Array<ScrollableListItem*> items;
    ZolScrollableListCtrl list{ 0, 0, 600, 200 };
    juce::Image canvas{ juce::Image::ARGB, 600, 200, true };
};

void BM_ListFill (benchmark::State& state)
{
    PresetList preset ((int) state.range (0));
    for (auto _ : state)
        preset.list.setItems (preset.items);
}
BENCHMARK (BM_ListFill)->Arg (40)->Arg (1000)->Unit (benchmark::kMillisecond);

void BM_ListScrollAndDraw (benchmark::State& state)
{
    PresetList preset ((int) state.range (0));
    auto& view = preset.list.getViewport();
    const int maxX = juce::jmax (0, view.getViewedComponent()->getWidth() - view.getViewWidth());
    int x = 0;
    for (auto _ : state)
    {
        x = x + preset.list.getCellWidth() > maxX ? 0 : x + preset.list.getCellWidth();
        preset.list.setViewPosition (x, 0);
        juce::Graphics g (preset.canvas);
        preset.list.paintEntireComponent (g, false);
    }
}
BENCHMARK (BM_ListScrollAndDraw)->Arg (40)->Arg (1000)->Unit (benchmark::kMicrosecond);
} // namespace
