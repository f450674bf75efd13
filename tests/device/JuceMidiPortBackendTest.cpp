#include "device/link/JuceMidiPortBackend.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// Everything written to the process's stderr while the function runs.
juce::String captureStandardError (const std::function<void()>& run)
{
    auto file = juce::File::createTempFile (".stderr");
    std::fflush (stderr);
    const int saved = dup (STDERR_FILENO);
    const int capture = open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2 (capture, STDERR_FILENO);
    close (capture);

    run();

    std::fflush (stderr);
    dup2 (saved, STDERR_FILENO);
    close (saved);
    auto text = file.loadFileAsString();
    file.deleteFile();
    return text;
}
} // namespace

// The link refreshes the device lists every two seconds; on a machine without
// a MIDI sequencer that must not fill the log.
TEST (JuceMidiPortBackendTest, RefreshingTheListsReportsAMissingSequencerOnceAtMost)
{
    auto text = captureStandardError (
        []
        {
            JuceMidiPortBackend backend;

            for (int i = 0; i < 5; ++i)
            {
                backend.getInputNames();
                backend.getOutputNames();
            }
        });

    int sequencerLines = 0;

    for (auto& line : juce::StringArray::fromLines (text))
        if (line.contains ("snd_seq"))
            ++sequencerLines;

    EXPECT_LE (sequencerLines, 1) << text;
}
