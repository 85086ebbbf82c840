// Closing a window the way a window manager's close button does: a WM_DELETE_WINDOW client
// message, which a window manager sends only to windows that list it in WM_PROTOCOLS.
#pragma once
#include "WindowId.h"

// Whether the window lists WM_DELETE_WINDOW among its WM_PROTOCOLS.
bool acceptsCloseRequests(WindowId window);
// Sends the close request. Throws std::runtime_error if the window is gone.
void requestClose(WindowId window);
