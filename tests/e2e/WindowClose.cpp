#include "WindowClose.h"

#include "XDisplay.h"

#include <X11/Xutil.h>
#include <stdexcept>

bool acceptsCloseRequests(WindowId window)
{
    XDisplay display;
    const Atom deleteWindow = XInternAtom(display.get(), "WM_DELETE_WINDOW", False);
    Atom* protocols = nullptr;
    int count = 0;
    bool listed = false;
    if (XGetWMProtocols(display.get(), window, &protocols, &count)) {
        for (int i = 0; i < count; ++i)
            listed = listed || protocols[i] == deleteWindow;
        XFree(protocols);
    }
    return listed && !display.syncAndCheckErrors();
}

void requestClose(WindowId window)
{
    XDisplay display;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display.get(), window, False, NoEventMask, &event);
    if (display.syncAndCheckErrors())
        throw std::runtime_error("close request failed: " + display.lastError());
}
