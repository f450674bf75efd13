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
    #include <X11/Xutil.h>

namespace
{
bool hasVisual (Display* display, XVisualInfo wanted, long mask)
{
    wanted.screen = DefaultScreen (display);
    int count = 0;
    auto* found = XGetVisualInfo (display, mask | VisualScreenMask, &wanted, &count);

    if (found != nullptr)
        XFree (found);

    return count > 0;
}

// The framework draws only on a 24 or 16 bit visual of the default screen,
// or a 32 bit true-colour one when the server shares memory and renders. A
// server without any (an 8 bit screen) leaves the framework without a
// display, and the window with no screen to be placed on.
bool canDrawOn (Display* display)
{
    XVisualInfo wanted{};

    for (int depth : { 24, 16 })
    {
        wanted.depth = depth;
        if (hasVisual (display, wanted, VisualDepthMask))
            return true;
    }

    int opcode = 0, event = 0, error = 0;
    if (! XQueryExtension (display, "MIT-SHM", &opcode, &event, &error)
        || ! XQueryExtension (display, "RENDER", &opcode, &event, &error))
        return false;

    wanted.depth = 32;
    wanted.c_class = TrueColor;
    wanted.red_mask = 0x00FF0000;
    wanted.green_mask = 0x0000FF00;
    wanted.blue_mask = 0x000000FF;
    return hasVisual (display, wanted,
                      VisualDepthMask | VisualClassMask | VisualRedMaskMask | VisualGreenMaskMask | VisualBlueMaskMask);
}

// What the display was found to be: not opened (nor answered within the
// deadline), or opened, with the depth of its default screen and whether
// the framework can draw on it.
struct OpenedDisplay
{
    bool opened = false;
    bool drawable = false;
    int depth = 0;
};

// Like the framework, which opens the display after this, try twice: an X
// server sometimes refuses the first connection.
OpenedDisplay opens (const char* name)
{
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        if (auto* display = XOpenDisplay (name))
        {
            const OpenedDisplay found{ true, canDrawOn (display), DefaultDepth (display, DefaultScreen (display)) };
            XCloseDisplay (display);
            return found;
        }
    }

    return {};
}

// Whether the display opens within the deadline. A server that takes the
// connection and never answers (a stale forwarded display) would hold
// XOpenDisplay for ever, so a thread of its own asks; past the deadline it is
// left behind, and ends with the program. Nothing else touches X until it
// has answered.
OpenedDisplay opensWithin (const char* name, int deadlineMs)
{
    std::promise<OpenedDisplay> opened;
    auto answer = opened.get_future();
    std::thread asker ([promise = std::move (opened), display = std::string (name)]() mutable
                       { promise.set_value (opens (display.c_str())); });

    if (answer.wait_for (std::chrono::milliseconds (deadlineMs)) != std::future_status::ready)
    {
        asker.detach();
        return {};
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

    const auto found = opensWithin (name, displayDeadlineMs);

    if (! found.opened)
        return unopenedDisplayText (name);

    if (! found.drawable)
        return intro + ", but the display \"" + printableBytes (name)
               + "\" (DISPLAY) offers no visual Kestrel-Edit can draw on (its screen is " + juce::String (found.depth)
               + " bit colour).";

    return {};
#else
    return {};
#endif
}

juce::String KestrelEditApplication::unopenedDisplayText (const char* name)
{
    return "Kestrel-Edit needs a graphical display, but the display \"" + printableBytes (name)
           + "\" (DISPLAY) could not be opened.";
}
