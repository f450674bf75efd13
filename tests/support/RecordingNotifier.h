#pragma once

#include "model/UserNotifier.h"

#include <juce_events/juce_events.h>

#include <functional>
#include <vector>

// Records every notice instead of showing it, and lets a test answer the
// ones that ask a question. Installed for its own lifetime.
class RecordingNotifier : public UserNotifier::Sink
{
public:
    RecordingNotifier()
        : previous (UserNotifier::getSink())
    {
        UserNotifier::setSink (this);
    }
    ~RecordingNotifier() override { UserNotifier::setSink (previous); }

    void show (Notice notice) override
    {
        const juce::ScopedLock sl (lock);
        if (alsoShown)
        {
            auto copy = notice;
            copy.onResult = nullptr;
            copy.withdrawal = nullptr;
            juce::MessageManager::callAsync ([shower = alsoShown, copy] { shower (copy); });
        }
        notices.push_back (std::move (notice));
    }

    // While set, every notice is also handed to it, without its answer, on
    // the message thread: to show it in a box as the program would.
    void setAlsoShown (std::function<void (const Notice&)> shower)
    {
        const juce::ScopedLock sl (lock);
        alsoShown = std::move (shower);
    }

    int count() const
    {
        const juce::ScopedLock sl (lock);
        return (int) notices.size();
    }

    Notice get (int index) const
    {
        const juce::ScopedLock sl (lock);
        return notices.at ((size_t) index);
    }

    juce::String lastMessage() const
    {
        const juce::ScopedLock sl (lock);
        return notices.empty() ? juce::String() : notices.back().message;
    }

    juce::StringArray messages() const
    {
        const juce::ScopedLock sl (lock);
        juce::StringArray result;
        for (auto& n : notices)
            result.add (n.message);
        return result;
    }

    // Answers a recorded notice as the user would (on the calling thread).
    void answer (int index, int result)
    {
        std::function<void (int)> callback;
        {
            const juce::ScopedLock sl (lock);
            callback = notices.at ((size_t) index).onResult;
        }
        if (callback)
            callback (result);
    }

    void clear()
    {
        const juce::ScopedLock sl (lock);
        notices.clear();
    }

private:
    UserNotifier::Sink* previous;
    juce::CriticalSection lock;
    std::vector<Notice> notices;
    std::function<void (const Notice&)> alsoShown;
};
