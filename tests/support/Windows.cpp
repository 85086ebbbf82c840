#include "Windows.h"

#include "Xdo.h"

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
    Xdo xdo;
    WindowGeometry geometry;
    unsigned int width = 0;
    unsigned int height = 0;
    if (xdo_get_window_location(xdo.get(), window, &geometry.x, &geometry.y, nullptr) != XDO_SUCCESS ||
        xdo_get_window_size(xdo.get(), window, &width, &height) != XDO_SUCCESS || xdo.display().syncAndCheckErrors())
        throw std::runtime_error("no window " + std::to_string(window) + ": " + xdo.display().lastError());
    geometry.width = static_cast<int>(width);
    geometry.height = static_cast<int>(height);
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
    XDisplay display;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display.get(), window, False, NoEventMask, &event);
    if (display.syncAndCheckErrors())
        throw std::runtime_error("close request failed: " + display.lastError());
}
