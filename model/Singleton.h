#pragma once

#include <juce_core/juce_core.h>

#include <atomic>

// The accessor every process-wide manager uses: T derives from Singleton<T>
// and is reached through T::getInstance().
//
// The object is created on first use under the class's own lock and never
// created a second time after it has been deleted. A constructor that asks for
// its own class receives nullptr (the lock is re-entrant, so it does not
// deadlock); another thread asking meanwhile waits for the finished object.
template <class T>
class Singleton
{
public:
    static T* getInstance()
    {
        if (auto* existing = instance.load (std::memory_order_acquire))
            return existing;

        const juce::ScopedLock sl (lock);

        if (instance.load (std::memory_order_relaxed) == nullptr && ! creating && ! createdOnce)
        {
            creating = true;
            createdOnce = true;
            auto* created = new T();
            creating = false;
            instance.store (created, std::memory_order_release);
        }

        return instance.load (std::memory_order_acquire);
    }

    // The object when it exists, never creating it.
    static T* getInstanceWithoutCreating() { return instance.load (std::memory_order_acquire); }

    // Deletes the object at shutdown: the pointer is cleared first, under the
    // lock, so nobody reaches a half-destroyed object.
    static void deleteInstance()
    {
        T* toDelete = nullptr;
        {
            const juce::ScopedLock sl (lock);
            toDelete = instance.exchange (nullptr, std::memory_order_acq_rel);
        }
        delete toDelete;
    }

    // For tests only: deletes the object and allows a fresh one to be created.
    static void resetForTests()
    {
        deleteInstance();
        const juce::ScopedLock sl (lock);
        createdOnce = false;
    }

protected:
    Singleton() = default;
    ~Singleton() = default;

private:
    static inline std::atomic<T*> instance{ nullptr };
    static inline juce::CriticalSection lock;
    static inline bool creating = false;
    static inline bool createdOnce = false;
};
