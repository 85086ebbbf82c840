// The pointer, moved and clicked as a real mouse would through XTEST. Buttons are X's: 1 the
// left, 3 the right. A failure throws std::runtime_error.
#pragma once
#include "WindowId.h"

// Puts the pointer at (x, y) of the window's own coordinates.
void moveMouseTo(WindowId window, int x, int y);
void clickMouse(int button);
void pressMouse(int button);
void releaseMouse(int button);
