#include "Windows.h"

#include "Xdo.h"

#include <X11/extensions/Xrandr.h>
#include <regex.h>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

// The property as the server holds it; empty (format 0) if the window or the property
// doesn't exist.
WindowProperty readProperty(Display* display, Window window, const char* name)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    WindowProperty property;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 20, False, AnyPropertyType,
                           &type, &format, &count, &remaining, &data) == Success &&
        data != nullptr) {
        const std::size_t itemSize = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
        property.bytes.assign(data, data + count * itemSize);
        property.format = format;
        XFree(data);
    }
    if (type != 0) {
        char* typeName = XGetAtomName(display, type);
        property.type = typeName != nullptr ? typeName : "";
        XFree(typeName);
    }
    return property;
}

bool titleMatches(Display* display, Window window, const regex_t& pattern)
{
    // An X11 client sets WM_NAME, an EWMH one _NET_WM_NAME (in UTF-8), some only the latter.
    for (const char* name : {"WM_NAME", "_NET_WM_NAME"})
        if (regexec(&pattern, readProperty(display, window, name).text().c_str(), 0, nullptr, 0) == 0)
            return true;
    return false;
}

// An EWMH window manager announces itself on the root window.
bool windowManagerRuns()
{
    XDisplay display;
    return readProperty(display.get(), DefaultRootWindow(display.get()), "_NET_SUPPORTING_WM_CHECK").format == 32;
}

}  // namespace

std::optional<WindowId> findVisibleWindow(const std::string& titlePattern)
{
    regex_t pattern;
    if (regcomp(&pattern, titlePattern.c_str(), REG_EXTENDED | REG_NOSUB) != 0)
        throw std::invalid_argument("not an extended regular expression: " + titlePattern);
    Xdo xdo;
    // libxdo's own name search reads WM_NAME alone: list the viewable windows, match them here.
    xdo_search_t search{};
    search.searchmask = SEARCH_ONLYVISIBLE;
    search.only_visible = 1;
    search.max_depth = -1;
    search.require = xdo_search::SEARCH_ALL;
    Window* visible = nullptr;
    unsigned int count = 0;
    xdo_search_windows(xdo.get(), &search, &visible, &count);
    std::optional<WindowId> window;
    for (unsigned int i = 0; i < count && !window; ++i)
        if (titleMatches(xdo.display().get(), visible[i], pattern))
            window = visible[i];
    std::free(visible);
    regfree(&pattern);
    // A window that went away during the search is no match.
    if (xdo.display().syncAndCheckErrors())
        return std::nullopt;
    return window;
}

WindowGeometry windowGeometry(WindowId window)
{
    // libxdo's location is off by the window's place in its parent once a window manager has
    // put it in a frame: ask the server where the window's inside is on the screen.
    XDisplay display;
    XWindowAttributes attributes{};
    WindowGeometry geometry;
    Window child = 0;
    if (!XGetWindowAttributes(display.get(), window, &attributes) ||
        !XTranslateCoordinates(display.get(), window, attributes.root, 0, 0, &geometry.x, &geometry.y, &child) ||
        display.syncAndCheckErrors())
        throw std::runtime_error("no window " + std::to_string(window) + ": " + display.lastError());
    geometry.width = attributes.width;
    geometry.height = attributes.height;
    return geometry;
}

void resize(WindowId window, int width, int height)
{
    Xdo xdo;
    if (xdo_set_window_size(xdo.get(), window, width, height, 0) != XDO_SUCCESS ||
        xdo_wait_for_window_size(xdo.get(), window, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                 SIZE_TO) != XDO_SUCCESS ||
        xdo.display().syncAndCheckErrors())
        throw std::runtime_error("cannot resize window " + std::to_string(window) + ": " + xdo.display().lastError());
}

WindowGeometry frameGeometry(WindowId window)
{
    WindowGeometry frame = windowGeometry(window);
    const std::vector<long> extents = windowProperty(window, "_NET_FRAME_EXTENTS").longs();
    if (extents.size() == 4) {
        frame.x -= static_cast<int>(extents[0]);
        frame.y -= static_cast<int>(extents[2]);
        frame.width += static_cast<int>(extents[0] + extents[1]);
        frame.height += static_cast<int>(extents[2] + extents[3]);
    }
    return frame;
}

std::vector<WindowGeometry> monitors()
{
    XDisplay display;
    int count = 0;
    XRRMonitorInfo* info = XRRGetMonitors(display.get(), DefaultRootWindow(display.get()), True, &count);
    std::vector<WindowGeometry> found;
    for (int i = 0; i < count; ++i)
        found.push_back({info[i].x, info[i].y, info[i].width, info[i].height});
    if (info != nullptr)
        XRRFreeMonitors(info);
    if (found.empty()) {
        const int screen = DefaultScreen(display.get());
        found.push_back({0, 0, DisplayWidth(display.get(), screen), DisplayHeight(display.get(), screen)});
    }
    return found;
}

std::vector<long> WindowProperty::longs() const
{
    std::vector<long> values(format == 32 ? bytes.size() / sizeof(long) : 0);
    if (!values.empty())
        std::memcpy(values.data(), bytes.data(), values.size() * sizeof(long));
    return values;
}

WindowProperty windowProperty(WindowId window, const std::string& name)
{
    XDisplay display;
    const WindowProperty property = readProperty(display.get(), window, name.c_str());
    display.syncAndCheckErrors();
    return property;
}

bool listsAtom(WindowId window, const std::string& name, const std::string& atom)
{
    XDisplay display;
    const long wanted = static_cast<long>(XInternAtom(display.get(), atom.c_str(), False));
    for (long value : windowProperty(window, name).longs())
        if (value == wanted)
            return true;
    return false;
}

bool acceptsCloseRequests(WindowId window)
{
    return listsAtom(window, "WM_PROTOCOLS", "WM_DELETE_WINDOW");
}

void requestClose(WindowId window)
{
    const bool throughWindowManager = windowManagerRuns();
    XDisplay display;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.format = 32;
    if (throughWindowManager) {
        event.xclient.message_type = XInternAtom(display.get(), "_NET_CLOSE_WINDOW", False);
        event.xclient.data.l[0] = CurrentTime;
        event.xclient.data.l[1] = 2;  // from a pager, as a task bar's close would be
        XSendEvent(display.get(), DefaultRootWindow(display.get()), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display.get(), window, False, NoEventMask, &event);
    }
    if (display.syncAndCheckErrors())
        throw std::runtime_error("close request failed: " + display.lastError());
}
