#include "support/PlaceOnScreen.h"

#if JUCE_LINUX || JUCE_BSD
    #include <map>

    // Last: Xlib's macros (None, Bool, Status...) would clash with the framework's names.
    #include <X11/Xatom.h>
    #include <X11/Xlib.h>
    #include <X11/Xutil.h>

namespace
{
// A connection of its own, kept for the run: the framework's is not ours to use.
Display* connection()
{
    static Display* display = std::getenv ("DISPLAY") != nullptr ? XOpenDisplay (nullptr) : nullptr;
    return display;
}

bool hasProperty (Display* display, Window window, const char* name)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const auto atom = XInternAtom (display, name, False);

    if (XGetWindowProperty (display, window, atom, 0, 1, False, AnyPropertyType, &type, &format, &count, &after, &data)
        != Success)
        return false;

    if (data != nullptr)
        XFree (data);

    return type != 0;
}

Window windowOf (const juce::Component& component)
{
    auto* peer = component.getPeer();
    return peer != nullptr ? (Window) (juce::pointer_sized_uint) peer->getNativeHandle() : 0;
}

// The places each window took before it first reached the screen, by
// window, from the root's notices; closed once it is shown or a window
// manager takes it in hand (and reparents it). After that, the places the
// window asked for itself, where it is watched (its size hints, which the
// framework writes with every place it asks for).
struct Places
{
    juce::Array<juce::Rectangle<int>> taken, asked;
    bool shown = false;
};

std::map<Window, Places>& placesTaken()
{
    static std::map<Window, Places> places;
    return places;
}

void readNotices (Display* display)
{
    XSync (display, False);

    while (XPending (display) > 0)
    {
        XEvent event;
        XNextEvent (display, &event);

        auto take = [] (Window window, juce::Rectangle<int> place)
        {
            if (auto& places = placesTaken()[window]; ! places.shown)
                places.taken.add (place);
        };

        switch (event.type)
        {
            case CreateNotify:
            {
                const auto& made = event.xcreatewindow;
                placesTaken()[made.window] = {};
                take (made.window, { made.x, made.y, made.width, made.height });
                break;
            }
            case ConfigureNotify:
            {
                const auto& moved = event.xconfigure;
                take (moved.window, { moved.x, moved.y, moved.width, moved.height });
                break;
            }
            case PropertyNotify:
            {
                const auto& changed = event.xproperty;
                XSizeHints hints{};
                long supplied = 0;
                if (auto& places = placesTaken()[changed.window];
                    places.shown && changed.atom == XA_WM_NORMAL_HINTS
                    && XGetWMNormalHints (display, changed.window, &hints, &supplied) != 0
                    && (hints.flags & USPosition) != 0)
                    places.asked.add ({ hints.x, hints.y, hints.width, hints.height });
                break;
            }
            case MapNotify: placesTaken()[event.xmap.window].shown = true; break;
            case ReparentNotify: placesTaken()[event.xreparent.window].shown = true; break;
            case DestroyNotify: placesTaken().erase (event.xdestroywindow.window); break;
            default: break;
        }
    }
}
} // namespace

bool windowManagerRuns()
{
    auto* display = connection();
    return display != nullptr && hasProperty (display, DefaultRootWindow (display), "_NET_SUPPORTING_WM_CHECK");
}

void watchWindowsMade()
{
    if (auto* display = connection())
    {
        XSelectInput (display, DefaultRootWindow (display), SubstructureNotifyMask);
        XSync (display, False);
    }
}

juce::Array<juce::Rectangle<int>> placesBeforeShown (const juce::Component& window)
{
    auto* display = connection();
    const auto handle = windowOf (window);

    if (display == nullptr || handle == 0)
        return {};

    readNotices (display);
    const auto found = placesTaken().find (handle);
    return found != placesTaken().end() ? found->second.taken : juce::Array<juce::Rectangle<int>>();
}

void watchPlacesAsked (const juce::Component& window)
{
    if (auto* display = connection(); display != nullptr && windowOf (window) != 0)
    {
        XSelectInput (display, windowOf (window), PropertyChangeMask);
        XSync (display, False);
    }
}

juce::Array<juce::Rectangle<int>> placesAskedOnceShown (const juce::Component& window)
{
    auto* display = connection();
    auto* peer = window.getPeer();

    if (display == nullptr || peer == nullptr)
        return {};

    // Drawn now, as the framework would soon; a question on the framework's
    // own connection then makes sure the server has done all it asked.
    peer->repaint (window.getLocalBounds());
    peer->performAnyPendingRepaintsNow();
    juce::Desktop::getMousePosition();

    readNotices (display);
    const auto found = placesTaken().find (windowOf (window));
    return found != placesTaken().end() ? found->second.asked : juce::Array<juce::Rectangle<int>>();
}

std::optional<juce::Rectangle<int>> placeOnScreen (const juce::Component& window)
{
    auto* display = connection();
    const auto handle = windowOf (window);

    if (display == nullptr || handle == 0)
        return {};

    readNotices (display);
    XWindowAttributes attributes;

    if (XGetWindowAttributes (display, handle, &attributes) == 0 || attributes.map_state != IsViewable)
        return {};

    // A manager marks the windows it has taken in hand (and placed) with WM_STATE.
    if (windowManagerRuns() && ! hasProperty (display, handle, "WM_STATE"))
        return {};

    int x = 0, y = 0;
    Window child = 0;

    if (! XTranslateCoordinates (display, handle, DefaultRootWindow (display), 0, 0, &x, &y, &child))
        return {};

    return juce::Rectangle<int> (x, y, attributes.width, attributes.height);
}
#else
bool windowManagerRuns()
{
    return false;
}

void watchWindowsMade() {}

juce::Array<juce::Rectangle<int>> placesBeforeShown (const juce::Component&)
{
    return {};
}

void watchPlacesAsked (const juce::Component&) {}

juce::Array<juce::Rectangle<int>> placesAskedOnceShown (const juce::Component&)
{
    return {};
}

std::optional<juce::Rectangle<int>> placeOnScreen (const juce::Component& window)
{
    if (! window.isShowing())
        return {};

    return window.getScreenBounds();
}
#endif
