#pragma once

#include <juce_core/juce_core.h>

// A fresh, uniquely named folder below the system's temporary folder, removed
// afterwards. The name carries a clock reading and a random part, so tests
// running in parallel processes never share one.
struct ScratchFolder
{
    explicit ScratchFolder (const juce::String& prefix = "kestrel-test")
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile (prefix + "-" +
                                     juce::String::toHexString ((juce::int64) juce::Time::getHighResolutionTicks()) +
                                     "-" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64())))
    {
        folder.createDirectory();
    }

    ~ScratchFolder() { folder.deleteRecursively(); }

    ScratchFolder (const ScratchFolder&) = delete;
    ScratchFolder& operator= (const ScratchFolder&) = delete;

    juce::File folder;
};
