// Windows seen from outside, through the X server: finding one by its title, its place and
// size, the monitors, and asking it to close as a window manager's close button does.
#pragma once
#include "WindowId.h"

#include <optional>
#include <string>
#include <vector>

struct WindowGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// One look for a viewable window whose title (WM_NAME or _NET_WM_NAME) matches the extended
// regular expression (use ^...$ for an exact title); the first match, if any. Throws
// std::invalid_argument if the pattern is no such expression.
std::optional<WindowId> findVisibleWindow(const std::string& titlePattern);
// Throws std::runtime_error if the window is gone.
WindowGeometry windowGeometry(WindowId window);
// The window with the frame a window manager put around it (its _NET_FRAME_EXTENTS), which is
// what a window's requested position places; the window itself where nobody framed it.
// Throws std::runtime_error if the window is gone.
WindowGeometry frameGeometry(WindowId window);
// The monitors RandR lists, or the screen alone where it lists none.
std::vector<WindowGeometry> monitors();
// Resizes the window and waits until it has the new size. Throws std::runtime_error if it can't.
void resize(WindowId window, int width, int height);

// A window property as the server holds it: its type's name (such as "UTF8_STRING"), its
// format (8, 16 or 32) and its items, format-32 items as Xlib hands them over (longs).
struct WindowProperty {
    std::string type;
    int format = 0;
    std::vector<unsigned char> bytes;

    std::string text() const { return std::string(bytes.begin(), bytes.end()); }
    std::vector<long> longs() const;
};
// An empty property (format 0) if the window or the property doesn't exist.
WindowProperty windowProperty(WindowId window, const std::string& name);
// Whether the atom property `name` holds the atom `atom`.
bool listsAtom(WindowId window, const std::string& name, const std::string& atom);

// Whether the window lists WM_DELETE_WINDOW among its WM_PROTOCOLS, which a window manager
// needs before it sends the close request.
bool acceptsCloseRequests(WindowId window);
// Asks the window to close as its close button does: through the window manager where one
// runs (_NET_CLOSE_WINDOW), which sends the window a WM_DELETE_WINDOW client message, and
// otherwise by sending that message itself. Throws std::runtime_error if the window is gone.
void requestClose(WindowId window);
