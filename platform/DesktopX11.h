// What the message box needs to know of the X desktop it opens on: the game's window and where
// its frame is, the monitors, and the pointer.
#pragma once
#include "platform/BoxPlacement.h"

#include <X11/Xlib.h>

#include <optional>
#include <vector>

// The window whose OpenGL context is current on this thread, which is the game's, and the name
// of the X display it is on; 0 and null without a current context.
struct GlWindow {
    const char* displayName = nullptr;
    Window window = 0;
};
GlWindow currentGlWindow();

struct Desktop {
    Window owner = 0;                      // the game's window, 0 if there is none
    std::optional<ScreenRect> ownerFrame;  // where its frame is on the screen
    FrameExtents frame;                    // its frame's; the box's will most likely be the same
    std::vector<ScreenRect> monitors;      // from RandR 1.5; empty where the server has no RandR 1.5
    ScreenRect screen;
    ScreenPoint pointer;
};

// `owner` may be 0, or a window that no longer exists: there is no owner then.
Desktop readDesktop(Display* display, Window owner);
