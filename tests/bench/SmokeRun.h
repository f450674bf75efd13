#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>

// The test run starts every benchmark once with KESTREL_BENCH_SMOKE set, only
// to show that each still runs to its end: then each does the least work that
// still goes through all of its code, and its figures mean nothing.
namespace bench
{
inline bool isSmokeRun()
{
    static const bool smoke = std::getenv ("KESTREL_BENCH_SMOKE") != nullptr;
    return smoke;
}

// The amount a measurement needs, or the least that exercises it.
template <typename T>
T measuredOrLeast (T measured, T least)
{
    return isSmokeRun() ? least : measured;
}

// Registration: measure for at least the given seconds, or run once.
template <int seconds>
void minTimeOrOnce (benchmark::internal::Benchmark* b)
{
    if (isSmokeRun())
        b->Iterations (1);
    else
        b->MinTime ((double) seconds);
}
} // namespace bench
