#include "app/update/ZOLAutoUpdate.h"
#include "support/BareXServer.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

// The benchmarks run with JUCE initialised, as the tests do: the calling
// thread becomes the message thread, so timers and the message loop can be
// driven from a benchmark.
int main (int argc, char** argv)
{
    BareXServer xServer;
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    // Every main window checks for updates at start; in tests that check
    // meets a closed port on this machine.
    ZOLAutoUpdate::setDefaultFeedBase ("http://127.0.0.1:9/");

    ::benchmark::Initialize (&argc, argv);

    if (::benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
