// Finding windows and typing into them with the xdotool command. Keys go through XTEST, as a
// real keyboard's would, to the window that has the input focus; with no window manager
// running nothing gives a new window the focus, so every key helper focuses the window first.
// Each command runs with a time limit; a failing command throws std::runtime_error.
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

namespace xdotool {

// One look for a viewable window whose title matches the extended regular expression
// (use ^...$ for an exact title); the first match, if any.
std::optional<WindowId> findVisibleWindow(const std::string& titlePattern);
WindowGeometry geometry(WindowId window);
// Gives the window the input focus and waits until the server reports it.
void focus(WindowId window);
// Focuses the window, then presses and releases each key in turn (X keysym names:
// "Escape", "space", "Left", "a", "Return").
void pressKeys(WindowId window, const std::vector<std::string>& keys);
void keyDown(WindowId window, const std::string& key);
void keyUp(WindowId window, const std::string& key);
// Resizes the window and waits until it has the new size.
void resize(WindowId window, int width, int height);

}  // namespace xdotool
