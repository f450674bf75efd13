#include "app/ZOLAutoUpdate.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <X11/Xlib.h>
#include <cstdlib>

namespace
{
// A bare X server (Xvfb without a window manager) has never seen the window
// manager's atoms, and JUCE only looks them up without creating them. Create
// them once so that real windows can open in tests. The connection stays open
// for the whole run, since a bare server forgets its atoms when its last
// client leaves, and is closed when the tests are done. Gives the connection,
// or nullptr.
Display* prepareBareXServer()
{
    if (std::getenv ("DISPLAY") == nullptr)
        return nullptr;

    auto* display = XOpenDisplay (nullptr);

    if (display != nullptr)
    {
        for (auto* name : { "WM_PROTOCOLS",
                            "WM_TAKE_FOCUS",
                            "WM_DELETE_WINDOW",
                            "_NET_WM_PING",
                            "WM_CHANGE_STATE",
                            "WM_STATE",
                            "_NET_WM_WINDOW_TYPE",
                            "_NET_WM_STATE",
                            "_NET_WM_STATE_HIDDEN",
                            "_NET_WM_WINDOW_TYPE_NORMAL",
                            "_NET_WM_WINDOW_TYPE_DIALOG",
                            "_NET_WM_STATE_SKIP_TASKBAR",
                            "_NET_WM_WINDOW_TYPE_COMBO",
                            "_NET_WM_WINDOW_TYPE_POPUP_MENU",
                            "_NET_WM_WINDOW_TYPE_TOOLTIP",
                            "_NET_WM_STATE_ABOVE",
                            "_NET_WM_STATE_FULLSCREEN",
                            "_MOTIF_WM_HINTS",
                            "_NET_FRAME_EXTENTS",
                            "_NET_WM_ICON",
                            "_NET_WM_NAME",
                            "UTF8_STRING",
                            "_NET_SUPPORTED" })
            XInternAtom (display, name, False);

        XFlush (display);
    }

    return display;
}
} // namespace

// Every test executable runs with JUCE initialised, so the message manager
// exists for timers, async notices and change broadcasts.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    // Every main window checks for updates at start; in tests that check
    // meets a closed port on this machine.
    ZOLAutoUpdate::setDefaultFeedBase ("http://127.0.0.1:9/");
    auto* display = prepareBareXServer();
    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juceInitialiser;
        result = RUN_ALL_TESTS();
    }

    if (display != nullptr)
        XCloseDisplay (display);

    return result;
}
