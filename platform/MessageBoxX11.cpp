// The message box on X11: a small modal dialog drawn with plain Xlib, its text in the desktop's
// font (FontX11.h). It opens a display connection of its own, so it neither needs nor disturbs
// GLUT's. It belongs to the game's window, the one whose OpenGL context is current: it is a
// modal dialog transient for it (DialogWindowX11.h), centred on it and kept on its monitor
// (DesktopX11.h, BoxPlacement.h), and laid out for the desktop's resolution (MessageLayout.h).
#include "platform/MessageBox.h"

#include "platform/BoxPlacement.h"
#include "platform/DesktopX11.h"
#include "platform/DialogWindowX11.h"
#include "platform/FontX11.h"
#include "platform/MessageLayout.h"
#include "platform/TextLines.h"
#include "platform/Utf8.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace {

const char* const textColor = "#1e1e1e";

struct Colors {
    unsigned long background = 0;
    unsigned long text = 0;
    unsigned long iconDisc = 0;
    unsigned long iconMark = 0;
    unsigned long buttonFace = 0;
    unsigned long buttonPressed = 0;
    unsigned long buttonBorder = 0;
    unsigned long focusRing = 0;
};

struct Dialog {
    Display* display = nullptr;
    Window window = 0;
    Window owner = 0;  // the game's window, or 0
    GC gc = nullptr;
    std::unique_ptr<MessageFont> font;
    Colors colors;
    std::vector<unsigned long> allocatedPixels;
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    std::vector<CodePoints> lines;
    MessageLayout layout;
    bool buttonArmed = false;  // the pointer went down on OK and has not come up yet
    char heldKeys[32] = {};    // one bit per keycode, set while the key is down, as XQueryKeymap fills it
    bool dismissed = false;
    bool windowGone = false;  // someone else destroyed the window
};

// Falls back to black or white when the colormap is full, so the box still shows.
unsigned long allocColor(Dialog& dialog, const char* colorName, bool light)
{
    const int screen = DefaultScreen(dialog.display);
    const Colormap colormap = DefaultColormap(dialog.display, screen);
    XColor color{};
    if (XParseColor(dialog.display, colormap, colorName, &color) && XAllocColor(dialog.display, colormap, &color)) {
        dialog.allocatedPixels.push_back(color.pixel);
        return color.pixel;
    }
    return light ? WhitePixel(dialog.display, screen) : BlackPixel(dialog.display, screen);
}

void allocColors(Dialog& dialog)
{
    dialog.colors.background = allocColor(dialog, "#f2f2f2", true);
    dialog.colors.text = allocColor(dialog, textColor, false);
    dialog.colors.iconDisc = allocColor(dialog, "#1c64c8", false);
    dialog.colors.iconMark = allocColor(dialog, "#ffffff", true);
    dialog.colors.buttonFace = allocColor(dialog, "#e1e1e1", true);
    dialog.colors.buttonPressed = allocColor(dialog, "#c4c4c4", true);
    dialog.colors.buttonBorder = allocColor(dialog, "#7a7a7a", false);
    dialog.colors.focusRing = allocColor(dialog, "#2f6fd6", false);
}

// Wraps the text to what fits on a monitor `monitorWidth` wide and sizes the box to it.
void layOut(Dialog& dialog, const char* text, double dpi, int monitorWidth)
{
    const MessageFont& font = *dialog.font;
    const LineWidth width = [&](const CodePoints& line) { return font.width(line); };
    dialog.lines = wrapText(decodeUtf8(text), textWidthLimit(dpi, monitorWidth), width);
    int widest = 0;
    for (const CodePoints& line : dialog.lines)
        widest = std::max(widest, width(line));
    dialog.layout = layOutMessage(dpi, font.metrics(), static_cast<int>(dialog.lines.size()), widest);
}

void createWindow(Dialog& dialog, const char* caption, ScreenPoint place)
{
    const int screen = DefaultScreen(dialog.display);
    dialog.window = XCreateSimpleWindow(dialog.display, RootWindow(dialog.display, screen), place.x, place.y,
                                        static_cast<unsigned>(dialog.layout.width),
                                        static_cast<unsigned>(dialog.layout.height), 0, dialog.colors.text,
                                        dialog.colors.background);
    XSelectInput(dialog.display, dialog.window,
                 ExposureMask | KeyPressMask | KeyReleaseMask | KeymapStateMask | ButtonPressMask |
                     ButtonReleaseMask | StructureNotifyMask | PropertyChangeMask);
    setDialogProperties(dialog.display, dialog.window, caption, place, dialog.layout.width, dialog.layout.height,
                        dialog.owner);
    dialog.wmProtocols = XInternAtom(dialog.display, "WM_PROTOCOLS", False);
    dialog.wmDeleteWindow = XInternAtom(dialog.display, "WM_DELETE_WINDOW", False);
    dialog.gc = XCreateGC(dialog.display, dialog.window, 0, nullptr);
}

void fillRect(Dialog& dialog, unsigned long color, const ScreenRect& rect, int inset = 0)
{
    XSetForeground(dialog.display, dialog.gc, color);
    XFillRectangle(dialog.display, dialog.window, dialog.gc, rect.x + inset, rect.y + inset,
                   static_cast<unsigned>(std::max(0, rect.width - 2 * inset)),
                   static_cast<unsigned>(std::max(0, rect.height - 2 * inset)));
}

void fillDisc(Dialog& dialog, unsigned long color, const ScreenRect& rect)
{
    XSetForeground(dialog.display, dialog.gc, color);
    XFillArc(dialog.display, dialog.window, dialog.gc, rect.x, rect.y, static_cast<unsigned>(rect.width),
             static_cast<unsigned>(rect.height), 0, 360 * 64);
}

// The "i" is drawn as shapes, so the icon does not depend on a font.
void drawIcon(Dialog& dialog)
{
    fillDisc(dialog, dialog.colors.iconDisc, dialog.layout.icon);
    fillDisc(dialog, dialog.colors.iconMark, dialog.layout.iconDot);
    fillRect(dialog, dialog.colors.iconMark, dialog.layout.iconStem);
}

void drawText(Dialog& dialog)
{
    XSetForeground(dialog.display, dialog.gc, dialog.colors.text);
    int baseline = dialog.layout.firstBaseline;
    for (const CodePoints& line : dialog.lines) {
        dialog.font->draw(dialog.window, dialog.gc, dialog.layout.textX, baseline, line);
        baseline += dialog.layout.lineHeight;
    }
}

// OK is the only button, so it always has the focus: a ring just inside its border.
void drawButton(Dialog& dialog)
{
    const MessageLayout& layout = dialog.layout;
    const ScreenRect& button = layout.button;
    const int border = std::max(1, layout.ringWidth / 2);
    fillRect(dialog, dialog.colors.buttonBorder, button);
    fillRect(dialog, dialog.colors.focusRing, button, border);
    fillRect(dialog, dialog.buttonArmed ? dialog.colors.buttonPressed : dialog.colors.buttonFace, button,
             border + layout.ringWidth);
    const CodePoints label{'O', 'K'};
    const FontMetrics metrics = dialog.font->metrics();
    const int offset = dialog.buttonArmed ? 1 : 0;
    XSetForeground(dialog.display, dialog.gc, dialog.colors.text);
    dialog.font->draw(dialog.window, dialog.gc, button.x + (button.width - dialog.font->width(label)) / 2 + offset,
                      button.y + (button.height + metrics.ascent - metrics.descent) / 2 + offset, label);
}

void draw(Dialog& dialog)
{
    // Antialiased text drawn over itself grows darker at its edges: always start from the background.
    XClearWindow(dialog.display, dialog.window);
    drawIcon(dialog);
    drawText(dialog);
    drawButton(dialog);
}

// The box must never end the game over a cosmetic failure: Xlib's default handler exits on any
// protocol error (a focus request that arrives after the window became unviewable, a drawing
// request racing an outside XKillClient). The handler is process-wide, so it is swapped only
// while the box is up; GLUT's connection is not read during that time.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// The server's time now, got as ICCCM has clients get one: a change to a property of the
// box's own (an empty append to its title) comes back as a PropertyNotify with the time.
// Nothing if the window is destroyed meanwhile: no such event would ever come then.
std::optional<Time> serverTime(Dialog& dialog)
{
    static const unsigned char nothing = 0;
    XChangeProperty(dialog.display, dialog.window, XA_WM_NAME, XA_STRING, 8, PropModeAppend, &nothing, 0);
    XEvent event{};
    XIfEvent(
        dialog.display, &event,
        [](Display*, XEvent* candidate, XPointer window) {
            const bool ours = candidate->xany.window == *reinterpret_cast<Window*>(window);
            const bool stamped = candidate->type == PropertyNotify && candidate->xproperty.atom == XA_WM_NAME;
            return ours && (stamped || candidate->type == DestroyNotify) ? True : False;
        },
        reinterpret_cast<XPointer>(&dialog.window));
    if (event.type == DestroyNotify) {
        dialog.windowGone = true;
        dialog.dismissed = true;
        return std::nullopt;
    }
    return event.xproperty.time;
}

// Without a window manager nobody gives the box the keyboard, so it takes it itself.
void takeFocus(Dialog& dialog)
{
    if (const std::optional<Time> now = serverTime(dialog))
        requestFocus(dialog.display, dialog.window, dialog.owner, *now);
}

// A key that was down before the box had the keyboard (Space still held from the last shot) must
// not dismiss it, nor may its auto-repeat. The server says which keys are down: XQueryKeymap at
// open, and KeymapNotify with every FocusIn and EnterNotify, in order with the key events. With
// detectable auto-repeat, asked for on the box's own connection only, a held key repeats as
// presses alone, so every release is a real one. Pairing releases and presses by their timestamps
// instead would depend on both having arrived by the time the release is read.
void watchHeldKeys(Dialog& dialog)
{
    XkbSetDetectableAutoRepeat(dialog.display, True, nullptr);
    XQueryKeymap(dialog.display, dialog.heldKeys);
}

bool isHeld(const Dialog& dialog, unsigned keycode)
{
    return (static_cast<unsigned char>(dialog.heldKeys[keycode / 8 % 32]) >> (keycode % 8) & 1u) != 0;
}

void setHeld(Dialog& dialog, unsigned keycode, bool held)
{
    char& bits = dialog.heldKeys[keycode / 8 % 32];
    const char bit = static_cast<char>(1 << (keycode % 8));
    bits = static_cast<char>(held ? bits | bit : bits & ~bit);
}

void onKey(Dialog& dialog, XKeyEvent& event)
{
    if (event.type == KeyRelease) {
        setHeld(dialog, event.keycode, false);
        return;
    }
    if (isHeld(dialog, event.keycode))
        return;
    setHeld(dialog, event.keycode, true);
    const KeySym key = XLookupKeysym(&event, 0);
    if (key == XK_Return || key == XK_KP_Enter || key == XK_space || key == XK_Escape)
        dialog.dismissed = true;
}

bool insideButton(const Dialog& dialog, int x, int y)
{
    const ScreenRect& button = dialog.layout.button;
    return x >= button.x && x < button.x + button.width && y >= button.y && y < button.y + button.height;
}

// Like a real button, OK fires on release, and only if the press started on it too.
void onButton(Dialog& dialog, const XButtonEvent& event)
{
    if (event.button != Button1)
        return;
    const bool inside = insideButton(dialog, event.x, event.y);
    if (event.type == ButtonPress) {
        dialog.buttonArmed = inside;
    } else {
        dialog.dismissed = dialog.buttonArmed && inside;
        dialog.buttonArmed = false;
    }
    drawButton(dialog);
}

void onClientMessage(Dialog& dialog, const XClientMessageEvent& event)
{
    if (event.message_type == dialog.wmProtocols && event.format == 32 &&
        static_cast<Atom>(event.data.l[0]) == dialog.wmDeleteWindow)
        dialog.dismissed = true;
}

void handleEvent(Dialog& dialog, XEvent& event)
{
    switch (event.type) {
    case Expose:
        if (event.xexpose.count == 0)
            draw(dialog);
        break;
    case MapNotify:
        takeFocus(dialog);
        break;
    case KeyPress:
    case KeyRelease:
        onKey(dialog, event.xkey);
        break;
    case KeymapNotify:
        std::memcpy(dialog.heldKeys, event.xkeymap.key_vector, sizeof dialog.heldKeys);
        break;
    case ButtonPress:
    case ButtonRelease:
        onButton(dialog, event.xbutton);
        break;
    case ClientMessage:
        onClientMessage(dialog, event.xclient);
        break;
    case DestroyNotify:
        dialog.windowGone = true;
        dialog.dismissed = true;
        break;
    default:
        break;
    }
}

void release(Dialog& dialog)
{
    Display* display = dialog.display;
    dialog.font.reset();
    XFreeGC(display, dialog.gc);
    if (!dialog.windowGone)
        XDestroyWindow(display, dialog.window);
    if (!dialog.allocatedPixels.empty())
        XFreeColors(display, DefaultColormap(display, DefaultScreen(display)), dialog.allocatedPixels.data(),
                    static_cast<int>(dialog.allocatedPixels.size()), 0);
    XCloseDisplay(display);
}

}  // namespace

void showMessageBox(const char* caption, const char* text)
{
    if (caption == nullptr)
        caption = "";
    if (text == nullptr)
        text = "";
    // On the game's own display, which GLUT may have been given on the command line.
    const GlWindow game = currentGlWindow();
    Dialog dialog;
    dialog.display = XOpenDisplay(game.displayName);
    if (dialog.display == nullptr) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        std::fflush(stderr);
        return;
    }
    const XErrorHandler previousHandler = XSetErrorHandler(ignoreXError);
    const Desktop desktop = readDesktop(dialog.display, game.window);
    dialog.owner = desktop.owner;
    const double dpi = dpiFromResource(XGetDefault(dialog.display, "Xft", "dpi"));
    dialog.font = openMessageFont(dialog.display, dpi, textColor);
    const ScreenRect monitor = chooseMonitor(desktop.ownerFrame, desktop.pointer, desktop.monitors, desktop.screen);
    const FrameExtents& frame = desktop.frame;
    layOut(dialog, text, dpi, monitor.width - frame.left - frame.right);
    allocColors(dialog);
    // The box's frame is not known before it is shown: the game's is the best guess.
    const ScreenPoint place = placeBox(dialog.layout.width + frame.left + frame.right,
                                       dialog.layout.height + frame.top + frame.bottom, desktop.ownerFrame, monitor);
    createWindow(dialog, caption, place);
    watchHeldKeys(dialog);
    XMapRaised(dialog.display, dialog.window);
    while (!dialog.dismissed) {
        XEvent event{};
        XNextEvent(dialog.display, &event);
        handleEvent(dialog, event);
    }
    release(dialog);
    XSetErrorHandler(previousHandler);
}
