// Typing into a window as a keyboard would: keys go through XTEST to the window that has the
// input focus. With no window manager running nothing gives a new window the focus, so every
// helper here focuses the window first and waits until the server reports it. A failure
// throws std::runtime_error.
#pragma once
#include "WindowId.h"

#include <string>
#include <vector>

// Gives the window the input focus and waits until the server reports it.
void focus(WindowId window);
// Focuses the window, then presses and releases each key in turn (X keysym names:
// "Escape", "space", "Left", "a", "Return").
void pressKeys(WindowId window, const std::vector<std::string>& keys);
void keyDown(WindowId window, const std::string& key);
void keyUp(WindowId window, const std::string& key);

// Presses or releases a key for whatever window has the focus, or none: a key held down
// before a window appears.
void holdKey(const std::string& key);
void releaseKey(const std::string& key);
// Presses and releases each key in turn for whatever window has the focus: for a window that
// must have taken the focus by itself.
void pressKeysWhereFocused(const std::vector<std::string>& keys);

// The window that has the input focus; 0 if none has.
WindowId focusedWindow();
