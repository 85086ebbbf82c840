#include "XDisplay.h"

#include <stdexcept>

namespace {

// Xlib calls the handler with the failing connection; one process-wide record is enough for
// our single-threaded tests.
bool errorSeen = false;
std::string errorText;

int recordError(Display* display, XErrorEvent* event)
{
    char text[256] = {};
    XGetErrorText(display, event->error_code, text, sizeof text);
    errorSeen = true;
    errorText = std::string(text) + " (request " + std::to_string(event->request_code) + ")";
    return 0;
}

}  // namespace

XDisplay::XDisplay()
{
    display_ = XOpenDisplay(nullptr);
    if (!display_)
        throw std::runtime_error("cannot open the X display; is DISPLAY set?");
    XSetErrorHandler(recordError);
}

XDisplay::~XDisplay()
{
    XCloseDisplay(display_);
}

bool XDisplay::syncAndCheckErrors()
{
    XSync(display_, False);
    const bool seen = errorSeen;
    errorSeen = false;
    return seen;
}

std::string XDisplay::lastError() const
{
    return errorText;
}
