#include "platform/DialogWindowX11.h"

#include "platform/Utf8.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>

namespace {

Atom atom(Display* display, const char* name) { return XInternAtom(display, name, False); }

void setAtom(Display* display, Window window, const char* property, const char* value)
{
    Atom item = atom(display, value);
    XChangeProperty(display, window, atom(display, property), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&item), 1);
}

void setTitle(Display* display, Window window, const char* caption)
{
    XStoreName(display, window, toLatin1(decodeUtf8(caption)).c_str());
    XChangeProperty(display, window, atom(display, "_NET_WM_NAME"), atom(display, "UTF8_STRING"), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(caption),
                    static_cast<int>(std::strlen(caption)));
}

// Min = max size is what ICCCM window managers read as "not resizable"; the Motif hints also
// take the maximise button and the resize handles away on the window managers that read them.
// North-west gravity: the window manager puts the frame's top-left corner at the position.
void setFixedSize(Display* display, Window window, ScreenPoint place, int width, int height)
{
    XSizeHints* hints = XAllocSizeHints();
    if (hints != nullptr) {
        hints->flags = USPosition | PPosition | PSize | PMinSize | PMaxSize | PWinGravity;
        hints->x = place.x;
        hints->y = place.y;
        hints->width = hints->min_width = hints->max_width = width;
        hints->height = hints->min_height = hints->max_height = height;
        hints->win_gravity = NorthWestGravity;
        XSetWMNormalHints(display, window, hints);
        XFree(hints);
    }
    const long functionsMoveClose = 4 | 32;
    const long decorationsBorderTitleMenu = 2 | 8 | 16;
    long motifHints[5] = {1 | 2, functionsMoveClose, decorationsBorderTitleMenu, 0, 0};
    const Atom motif = atom(display, "_MOTIF_WM_HINTS");
    XChangeProperty(display, window, motif, motif, 32, PropModeReplace, reinterpret_cast<unsigned char*>(motifHints),
                    5);
}

void setWindowManagerHints(Display* display, Window window)
{
    XWMHints* wmHints = XAllocWMHints();
    if (wmHints != nullptr) {
        wmHints->flags = InputHint | StateHint;
        wmHints->input = True;
        wmHints->initial_state = NormalState;
        XSetWMHints(display, window, wmHints);
        XFree(wmHints);
    }
    XClassHint* classHint = XAllocClassHint();
    if (classHint != nullptr) {
        char name[] = "zorvex";
        char className[] = "Zorvex";
        classHint->res_name = name;
        classHint->res_class = className;
        XSetClassHint(display, window, classHint);
        XFree(classHint);
    }
    Atom deleteWindow = atom(display, "WM_DELETE_WINDOW");
    XSetWMProtocols(display, window, &deleteWindow, 1);
}

}  // namespace

void setDialogProperties(Display* display, Window window, const char* caption, ScreenPoint place, int width,
                         int height, Window owner)
{
    setTitle(display, window, caption);
    setFixedSize(display, window, place, width, height);
    setWindowManagerHints(display, window);
    if (owner != 0)
        XSetTransientForHint(display, window, owner);
    setAtom(display, window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG");
    setAtom(display, window, "_NET_WM_STATE", "_NET_WM_STATE_MODAL");
}

void requestFocus(Display* display, Window window, Window owner, Time time)
{
    XSetInputFocus(display, window, RevertToParent, time);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window;
    request.xclient.message_type = atom(display, "_NET_ACTIVE_WINDOW");
    request.xclient.format = 32;
    request.xclient.data.l[0] = 1;  // from an application
    request.xclient.data.l[1] = static_cast<long>(time);
    request.xclient.data.l[2] = static_cast<long>(owner);  // the window active until now
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &request);
}
