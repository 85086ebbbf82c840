#include "platform/DesktopX11.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

namespace {

// The window manager's _NET_FRAME_EXTENTS: left, right, top, bottom.
FrameExtents frameExtents(Display* display, Window window)
{
    FrameExtents frame;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4, False,
                           XA_CARDINAL, &type, &format, &count, &remaining, &data) == Success &&
        data != nullptr && format == 32 && count == 4) {
        const long* sides = reinterpret_cast<const long*>(data);
        frame = {static_cast<int>(sides[0]), static_cast<int>(sides[1]), static_cast<int>(sides[2]),
                 static_cast<int>(sides[3])};
    }
    if (data != nullptr)
        XFree(data);
    return frame;
}

std::vector<ScreenRect> monitors(Display* display)
{
    std::vector<ScreenRect> found;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105)
        return found;
    int count = 0;
    XRRMonitorInfo* info = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    for (int i = 0; i < count; ++i)
        if (info[i].width > 0 && info[i].height > 0)
            found.push_back({info[i].x, info[i].y, info[i].width, info[i].height});
    if (info != nullptr)
        XRRFreeMonitors(info);
    return found;
}

}  // namespace

GlWindow currentGlWindow()
{
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (display == nullptr || drawable == 0)
        return {};
    return {DisplayString(display), drawable};
}

Desktop readDesktop(Display* display, Window owner)
{
    Desktop desktop;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    desktop.screen = {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    desktop.monitors = monitors(display);

    Window child = 0;
    Window pointerRoot = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(display, root, &pointerRoot, &child, &desktop.pointer.x, &desktop.pointer.y, &windowX, &windowY,
                       &buttons))
        desktop.pointer = {desktop.screen.width / 2, desktop.screen.height / 2};

    // A drawable that is no window of this screen (gone, or a GLX pixmap) is no owner.
    XWindowAttributes attributes{};
    int x = 0;
    int y = 0;
    if (owner == 0 || !XGetWindowAttributes(display, owner, &attributes) || attributes.root != root ||
        !XTranslateCoordinates(display, owner, root, 0, 0, &x, &y, &child))
        return desktop;
    desktop.owner = owner;
    desktop.frame = frameExtents(display, owner);
    desktop.ownerFrame = framed({x, y, attributes.width, attributes.height}, desktop.frame);
    return desktop;
}
