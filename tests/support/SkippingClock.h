#pragma once

#include "device/wire/SysExRequest.h"
#include "model/Clock.h"
#include "support/SimulatedKestrel.h"

#include <algorithm>
#include <memory>
#include <mutex>

// The program's clock for tests that leave the simulated unit's answers
// unsent: real time, moved on past the link's time-out each time the unit
// loses an answer, so that the program's wait for it, and for each of its
// retries, passes in some 30 ms instead of seconds. The clock runs through
// the skipped time at 100 times real speed rather than leaping, so a reader
// that checks how long ago it looked sees it pass. Otherwise it keeps to real
// time; the skipped time passes for every reader, replies the unit holds back
// (setReplyDelayFor) included.
//
// Declare it before the program, so that it is the program's clock for as
// long as the program runs, and hand it the unit once there is one:
//
//     SkippingClock clock;
//     ConnectedProgram program{ "kestrel-..." };
//     clock.skipTimeOutsOf (program.unit);
//
// From then on, until it is deleted, it is the installed clock.
class SkippingClock : public Clock::Source
{
public:
    static constexpr juce::uint32 speedUp = 100;

    SkippingClock() = default;

    ~SkippingClock() override
    {
        if (installed)
            Clock::setSource (previous);
    }

    // Installs the clock (nothing jumps: it reads real time until a skip) and
    // skips a time-out of the given length for each answer the unit loses.
    void skipTimeOutsOf (SimulatedKestrel& unit, juce::uint32 timeOutMs = SysExRequest::defaultTimeoutMs)
    {
        install();
        // The unit may outlive the clock: it then moves on a time nobody reads.
        unit.setOnAnswerLost ([shared = time, timeOutMs] (int) { shared->skip (timeOutMs + 1); });
    }

    // Moves the clock on by ms (over ms / speedUp of real time).
    void skip (juce::uint32 ms)
    {
        install();
        time->skip (ms);
    }

    juce::uint32 nowMs() override { return time->now(); }

private:
    struct Time
    {
        std::mutex lock;
        juce::uint32 ranThrough = 0, owed = 0, owedSince = 0;

        static juce::uint32 realMs() { return juce::Time::getMillisecondCounter(); }

        // Under the lock: runs through what is owed, at speedUp, up to now.
        juce::uint32 runUntil (juce::uint32 real)
        {
            const auto ran = (juce::uint32) std::min<juce::uint64> (owed, (juce::uint64) (real - owedSince) * speedUp);
            ranThrough += ran;
            owed -= ran;
            owedSince = real;
            return real + ranThrough;
        }

        juce::uint32 now()
        {
            const std::lock_guard<std::mutex> held (lock);
            return runUntil (realMs());
        }

        void skip (juce::uint32 ms)
        {
            const std::lock_guard<std::mutex> held (lock);
            runUntil (realMs());
            owed += ms;
        }
    };

    void install()
    {
        if (! installed)
        {
            previous = Clock::getSource();
            Clock::setSource (this);
            installed = true;
        }
    }

    std::shared_ptr<Time> time = std::make_shared<Time>();
    Clock::Source* previous = nullptr;
    bool installed = false;

    JUCE_DECLARE_NON_COPYABLE (SkippingClock)
};
