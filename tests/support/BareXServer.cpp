#include "support/BareXServer.h"

#include "app/shell/KestrelEditApplication.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <initializer_list>
#include <thread>

// Last: Xlib's macros (None, Bool, Status...) would clash with the framework's names.
#include <X11/Xlib.h>

namespace
{
// The program's windows ignore X errors (the framework installs such a
// handler, but only in a real application). Tests run many processes on one
// server, so a window of another process can vanish between a query and its
// answer; without this, Xlib's own handler would end the test there.
int ignoreXError (Display*, XErrorEvent*)
{
    return 0;
}
} // namespace

BareXServer::BareXServer()
{
    if (std::getenv ("DISPLAY") == nullptr)
        return;

    XSetErrorHandler (ignoreXError);

    // A server that takes the connection and never answers (a stale
    // forwarded display) would hold every test process for ever: past the
    // program's own deadline the tests run as without a display.
    std::promise<Display*> opened;
    auto answer = opened.get_future();
    std::thread opener ([promise = std::move (opened)]() mutable { promise.set_value (XOpenDisplay (nullptr)); });

    if (answer.wait_for (std::chrono::milliseconds (KestrelEditApplication::displayDeadlineMs))
        != std::future_status::ready)
    {
        opener.detach();
        std::fputs ("The display that DISPLAY names did not answer; tests that open windows are skipped.\n", stderr);
        ::unsetenv ("DISPLAY");
        return;
    }

    opener.join();

    if (auto* connection = answer.get())
    {
        display = connection;
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
            XInternAtom (connection, name, False);

        XFlush (connection);
    }
}

BareXServer::~BareXServer()
{
    if (display != nullptr)
        XCloseDisplay (static_cast<Display*> (display));
}
