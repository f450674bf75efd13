#include "app/shell/KestrelEditApplication.h"
#include "model/FileUtils.h"

#if JUCE_LINUX || JUCE_BSD
    #include <chrono>
    #include <cstdlib>
    #include <future>
    #include <string>
    #include <thread>

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
// XOpenDisplay for ever, so a thread of its own asks; past the deadline it is
// left behind, and ends with the program. Nothing else touches X until it
// has answered.
bool opensWithin (const char* name, int deadlineMs)
{
    std::promise<bool> opened;
    auto answer = opened.get_future();
    std::thread asker ([promise = std::move (opened), display = std::string (name)]() mutable
                       { promise.set_value (opens (display.c_str())); });

    if (answer.wait_for (std::chrono::milliseconds (deadlineMs)) != std::future_status::ready)
    {
        asker.detach();
        return false;
    }

    asker.join();
    return answer.get();
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
