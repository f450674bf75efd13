#pragma once

#include <juce_core/juce_core.h>

#if JUCE_LINUX || JUCE_MAC
#include <csignal>
#include <sys/resource.h>

// Makes every write beyond limitBytes fail (as a full disk would) for the
// lifetime of the scope. Root ignores permission bits, but not this limit.
struct FileSizeLimit
{
    explicit FileSizeLimit (rlim_t limitBytes)
    {
        std::fflush (nullptr); // nothing of ours should hit the limit
        previousHandler = std::signal (SIGXFSZ, SIG_IGN);
        getrlimit (RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = limitBytes;
        active = setrlimit (RLIMIT_FSIZE, &limited) == 0;
    }

    ~FileSizeLimit()
    {
        setrlimit (RLIMIT_FSIZE, &previous);
        std::signal (SIGXFSZ, previousHandler);
    }

    FileSizeLimit (const FileSizeLimit&) = delete;
    FileSizeLimit& operator= (const FileSizeLimit&) = delete;

    rlimit previous{};
    void (*previousHandler) (int) = nullptr;
    bool active = false;
};
#endif
