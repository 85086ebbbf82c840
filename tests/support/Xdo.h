// libxdo, the library behind the xdotool command, on a connection of the test's own: the same
// keys and window searches as the command, without a process for each. Internal to the X11
// layer's Keyboard and Windows.
#pragma once
#include "XDisplay.h"

extern "C" {
#include <xdo.h>
}


class Xdo {
public:
    // Throws std::runtime_error if the server can't be reached.
    Xdo();
    ~Xdo();
    Xdo(const Xdo&) = delete;
    Xdo& operator=(const Xdo&) = delete;

    const xdo_t* get() const { return xdo_; }
    XDisplay& display() { return display_; }

private:
    XDisplay display_;
    xdo_t* xdo_ = nullptr;
};
