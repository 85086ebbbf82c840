// What makes an X window a dialog of another to a window manager, as ICCCM and EWMH have it:
// its title, its fixed place and size, its owner and type, and the requests for the focus.
#pragma once
#include "platform/ScreenGeometry.h"

#include <X11/Xlib.h>

// Titles the window `caption` (UTF-8), fixes its size at `width` × `height` and asks for its frame's
// top-left corner at `place`, and makes it a modal dialog transient for `owner` (0 for none):
// the window manager then keeps it above the owner, on the owner's desktop and out of the task
// bar. The window takes the close request (WM_DELETE_WINDOW).
void setDialogProperties(Display* display, Window window, const char* caption, ScreenPoint place, int width,
                         int height, Window owner);

// Gives the window the focus, and asks the window manager for it too, which may refuse or
// undo a focus it did not give; `time` must be a real server time, not CurrentTime.
void requestFocus(Display* display, Window window, Window owner, Time time);
