#pragma once

#include "model/UserNotifier.h"

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
        notices.push_back (std::move (notice));
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
};
