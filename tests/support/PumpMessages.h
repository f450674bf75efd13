#pragma once

#include <juce_events/juce_events.h>

#include <atomic>
#include <memory>

// Runs the message loop until done() holds, and gives done(). The bound only
// keeps a broken build from hanging; it is never what a test asserts.
template <typename Condition>
bool pumpMessagesUntil (Condition done, int boundMs = 30000)
{
    const auto end = juce::Time::currentTimeMillis() + boundMs;

    while (! done() && juce::Time::currentTimeMillis() < end)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);

    return done();
}

// Runs the message loop for a while, for tests that check that nothing happens.
inline void pumpMessagesFor (int ms)
{
    pumpMessagesUntil ([] { return false; }, ms);
}

// Runs the message loop until every message posted before the call (a
// button's click, say) has been delivered: messages arrive in order.
inline bool pumpPostedMessages (int boundMs = 30000)
{
    auto delivered = std::make_shared<std::atomic<bool>> (false);
    juce::MessageManager::callAsync ([delivered] { delivered->store (true); });
    return pumpMessagesUntil ([delivered] { return delivered->load(); }, boundMs);
}
