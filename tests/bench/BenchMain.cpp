#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

// The benchmarks run with JUCE initialised, as the tests do: the calling
// thread becomes the message thread, so timers and the message loop can be
// driven from a benchmark.
int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    ::benchmark::Initialize (&argc, argv);

    if (::benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
