#include "app/update/ZOLAutoUpdate.h"
#include "support/BareXServer.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

namespace
{
// The report chosen on the command line (--benchmark_format, --benchmark_color),
// keeping count of the runs that ended in an error and of those that ran at
// all: a benchmark that no longer runs fails the process.
class CountingReporter : public benchmark::BenchmarkReporter
{
public:
    bool ReportContext (const Context& context) override { return shown.ReportContext (context); }

    void ReportRuns (const std::vector<Run>& runs) override
    {
        for (const auto& run : runs)
            (run.error_occurred ? failed : ran)++;

        shown.ReportRuns (runs);
    }

    void Finalize() override { shown.Finalize(); }

    int failed = 0, ran = 0;

private:
    // The library's own, made from the flags; it lives as long as the process.
    benchmark::BenchmarkReporter& shown = *benchmark::CreateDefaultDisplayReporter();
};
} // namespace

// The benchmarks run with JUCE initialised, as the tests do: the calling
// thread becomes the message thread, so timers and the message loop can be
// driven from a benchmark. The process fails when any benchmark reported an
// error, or when none ran.
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

    CountingReporter reporter;
    ::benchmark::RunSpecifiedBenchmarks (&reporter);
    ::benchmark::Shutdown();
    return reporter.failed == 0 && reporter.ran > 0 ? 0 : 1;
}
