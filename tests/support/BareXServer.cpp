#include "support/BareXServer.h"

#include <X11/Xlib.h>
#include <cstdlib>
#include <initializer_list>

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

    if (auto* connection = XOpenDisplay (nullptr))
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
