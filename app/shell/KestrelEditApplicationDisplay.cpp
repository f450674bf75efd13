#include "app/shell/KestrelEditApplication.h"
#include "model/FileUtils.h"

#if JUCE_LINUX || JUCE_BSD
    #include <csignal>
    #include <cstdlib>
    #include <sys/types.h>
    #include <sys/wait.h>
    #include <unistd.h>

    // Last: Xlib's macros (None, Bool, Status...) would clash with the framework's names.
    #include <X11/Xlib.h>

namespace
{
// Like the framework, which opens the display after this, try twice: an X
// server sometimes refuses the first connection.
bool opens (const char* name)
{
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        if (auto* display = XOpenDisplay (name))
        {
            XCloseDisplay (display);
            return true;
        }
    }

    return false;
}

// Whether the display opens within the deadline. A server that takes the
// connection and never answers (a stale forwarded display) would hold
// XOpenDisplay for ever, so a child process asks and is ended at the deadline.
bool opensWithin (const char* name, int deadlineMs)
{
    const auto child = ::fork();

    if (child < 0)
        return opens (name);

    if (child == 0)
        ::_exit (opens (name) ? 0 : 1);

    constexpr int stepMs = 10;

    for (int waited = 0;; waited += stepMs)
    {
        int status = 0;
        const auto ended = ::waitpid (child, &status, WNOHANG);

        if (ended == child)
            return WIFEXITED (status) && WEXITSTATUS (status) == 0;

        if (ended < 0 || waited >= deadlineMs)
            break;

        ::usleep (stepMs * 1000);
    }

    ::kill (child, SIGKILL);
    ::waitpid (child, nullptr, 0);
    return false;
}
} // namespace
#endif

juce::String KestrelEditApplication::missingDisplayText()
{
#if JUCE_LINUX || JUCE_BSD
    const juce::String intro = "Kestrel-Edit needs a graphical display";
    const auto* name = std::getenv ("DISPLAY");

    if (name == nullptr || *name == 0)
        return intro + ", but DISPLAY is not set.";

    if (opensWithin (name, displayDeadlineMs))
        return {};

    return intro + ", but the display \"" + printableBytes (name) + "\" (DISPLAY) could not be opened.";
#else
    return {};
#endif
}
