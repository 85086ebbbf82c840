// A connection of the test's own to the X server named by DISPLAY. Xlib's default error
// handler ends the process on any protocol error, which a vanished window would cause;
// this connection records errors instead, so that a helper can report them as a failure.
#pragma once
#include <X11/Xlib.h>
#include <string>

#include "WindowId.h"

class XDisplay {
public:
    // Throws std::runtime_error if the server can't be reached.
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    Display* get() const { return display_; }
    // Waits for the server to handle every request sent so far and tells whether any of
    // them failed since the last call (on any connection of this process).
    bool syncAndCheckErrors();
    std::string lastError() const;

private:
    Display* display_ = nullptr;
};
