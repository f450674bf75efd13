#include "app/grid/GridUnitContent.h"
#include "bench/BenchRig.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinManager.h"

#include <benchmark/benchmark.h>

namespace
{
// Every cell taken (each distinct block the unit can place, shunts in the
// rest) and every cell fed by its row's left neighbour and the row below.
SimulatedPreset fullPreset()
{
    SimulatedPreset preset;
    preset.name = "Full Grid";
    int next = firstBlockInstanceId, shunt = firstShuntId;

    for (int cell = 0; cell < gridCellCount; ++cell)
    {
        while (next <= lastBlockInstanceId && ! preset.placeBlock (cell, next))
            ++next;

        if (next > lastBlockInstanceId)
            preset.placeBlock (cell, shunt++);
        else
            ++next;
    }

    for (int cell = gridRows; cell < gridCellCount; ++cell)
    {
        preset.connectCells (cell - gridRows, cell, true);
        if (cell % gridRows < gridRows - 1)
            preset.connectCells (cell - gridRows + 1, cell, true);
    }

    return preset;
}

void paintGrid (benchmark::State& state, GridUnitContent& grid)
{
    juce::Image image (juce::Image::ARGB, grid.getWidth(), grid.getHeight(), true);

    for (auto _ : state)
    {
        juce::Graphics g (image);
        grid.paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelAt (1, 1));
    }
}

struct Skinned
{
    Skinned() { skin.loadBuiltInSkin(); }
    SkinManager skin;
    KestrelImageDepot depot;
};
} // namespace

// The whole 4 x 12 grid of a full preset (48 tiles, 77 cables) painted into
// an image; the reference below paints the same grid with every cell empty.
static void BM_PaintFullGrid (benchmark::State& state)
{
    Skinned skinned;
    bench::ProgramRig rig;
    rig.unit->setEditBuffer (fullPreset());

    if (! rig.connectAndLoad())
    {
        state.SkipWithError ("the simulated unit did not load");
        return;
    }

    GridUnitContent grid (&skinned.skin, rig.manager.get(), &skinned.depot);
    state.counters["cables"] = grid.getNumCables();
    paintGrid (state, grid);
}
BENCHMARK (BM_PaintFullGrid)->Unit (benchmark::kMicrosecond);

static void BM_PaintEmptyGrid (benchmark::State& state)
{
    Skinned skinned;
    GridUnitContent grid (&skinned.skin, nullptr, &skinned.depot);
    paintGrid (state, grid);
}
BENCHMARK (BM_PaintEmptyGrid)->Unit (benchmark::kMicrosecond);
