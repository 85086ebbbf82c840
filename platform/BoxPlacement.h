// Where the message box goes on a desktop of one or more monitors: over the game's window and
// on the monitor that holds it, as a dialog of the game's own. Window managers place a window
// by its frame, so every rectangle here is a frame: the window with its decorations.
#pragma once
#include "platform/ScreenGeometry.h"

#include <optional>
#include <vector>

// How far a window manager's frame reaches past a window on each side; all zero without one.
struct FrameExtents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

ScreenRect framed(const ScreenRect& window, const FrameExtents& frame);

// The monitor the box belongs on: the one that holds the most of the owner window; where it
// overlaps none, the one nearest to the owner's centre. Without an owner, the one under the
// pointer, or nearest to it. `monitors` empty (an X server without RandR) leaves `screen`.
ScreenRect chooseMonitor(const std::optional<ScreenRect>& owner, ScreenPoint pointer,
                         const std::vector<ScreenRect>& monitors, const ScreenRect& screen);

// The top-left corner of a box `width` × `height`: centred on the owner (on the monitor
// without one), then moved as little as it takes to lie on the monitor. A box larger than the
// monitor keeps its top-left corner on it.
ScreenPoint placeBox(int width, int height, const std::optional<ScreenRect>& owner, const ScreenRect& monitor);
