#include "model/Clock.h"

namespace
{
std::atomic<Clock::Source*> installedSource{ nullptr };
}

juce::uint32 Clock::nowMs()
{
    if (auto* source = installedSource.load (std::memory_order_acquire))
        return source->nowMs();

    return juce::Time::getMillisecondCounter();
}

juce::uint32 Clock::elapsedSince (juce::uint32 startMs)
{
    return nowMs() - startMs;
}

void Clock::setSource (Source* source)
{
    installedSource.store (source, std::memory_order_release);
}

Clock::Source* Clock::getSource()
{
    return installedSource.load (std::memory_order_acquire);
}
