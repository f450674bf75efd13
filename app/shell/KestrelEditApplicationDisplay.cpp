#include "app/shell/KestrelEditApplication.h"

#if JUCE_LINUX || JUCE_BSD
    // Last: Xlib's macros (None, Bool, Status...) would clash with the framework's names.
    #include <X11/Xlib.h>
#endif

juce::String KestrelEditApplication::missingDisplayText()
{
#if JUCE_LINUX || JUCE_BSD
    const juce::String intro = "Kestrel-Edit needs a graphical display";
    const auto name = juce::SystemStats::getEnvironmentVariable ("DISPLAY", {});

    if (name.isEmpty())
        return intro + ", but DISPLAY is not set.";

    // Like the framework, which opens the display after this, try twice: an
    // X server sometimes refuses the first connection.
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        if (auto* display = XOpenDisplay (name.toRawUTF8()))
        {
            XCloseDisplay (display);
            return {};
        }
    }

    return intro + ", but the display \"" + name + "\" (DISPLAY) could not be opened.";
#else
    return {};
#endif
}
