#pragma once

#include <juce_core/juce_core.h>

// The program's millisecond clock. Everything that waits, times out or
// settles reads the time here, so tests can drive it by hand.
// Differences must be taken in unsigned arithmetic: (now - start) stays right
// across the counter's wrap.
class Clock
{
public:
    class Source
    {
    public:
        virtual ~Source() = default;
        virtual juce::uint32 nowMs() = 0;
    };

    // Milliseconds from the installed source, or the system's millisecond counter.
    static juce::uint32 nowMs();

    // Milliseconds elapsed since a time read from nowMs(), wrap-safe.
    static juce::uint32 elapsedSince (juce::uint32 startMs);

    // Installs a source (nullptr restores the system counter). The caller
    // keeps ownership and must uninstall it before deleting it.
    static void setSource (Source* source);
    static Source* getSource();
};
