#pragma once

#include "model/Clock.h"

// A clock that only moves when a test tells it to; safe to read from any thread.
class ManualClock : public Clock::Source
{
public:
    explicit ManualClock (juce::uint32 startMs = 1000)
        : now (startMs)
    {
    }

    ~ManualClock() override
    {
        if (Clock::getSource() == this)
            Clock::setSource (nullptr);
    }

    juce::uint32 nowMs() override { return now.load(); }
    void advance (juce::uint32 ms) { now.fetch_add (ms); }
    void set (juce::uint32 ms) { now.store (ms); }

    // Installs the clock for the lifetime of the scope.
    class Installed
    {
    public:
        explicit Installed (ManualClock& clock)
            : previous (Clock::getSource())
        {
            Clock::setSource (&clock);
        }
        ~Installed() { Clock::setSource (previous); }

    private:
        Clock::Source* previous;
    };

private:
    std::atomic<juce::uint32> now;
};
