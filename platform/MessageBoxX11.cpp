// The message box on X11: a small modal dialog drawn with plain Xlib.
// It opens a display connection of its own, so it neither needs nor disturbs GLUT's;
// core fonts only, and it still works (without text) when no font can be loaded.
#include "platform/MessageBox.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Layout, in pixels. The window grows past the minimum only for long texts.
const int minWidth = 320;
const int minHeight = 140;
const int margin = 16;
const int iconX = 20;
const int iconY = 24;
const int iconSize = 40;
const int textX = iconX + iconSize + 16;
const int fallbackLineHeight = 14;
const int buttonWidth = 80;
const int buttonHeight = 28;
const int buttonBottomGap = 14;

// Tried in order; the "fixed" alias is on nearly every X server, if only as a built-in font.
const char* const fontNames[] = {
    "-*-helvetica-medium-r-normal--14-*-*-*-p-*-iso8859-1",
    "-*-*-medium-r-normal--14-*-*-*-p-*-iso8859-1",
    "fixed",
};

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
    GC gc = nullptr;
    XFontStruct* font = nullptr;
    Colors colors;
    std::vector<unsigned long> allocatedPixels;
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    std::vector<std::string> lines;  // Latin-1, ready for the core font
    int width = minWidth;
    int height = minHeight;
    int textTop = 0;
    bool buttonArmed = false;  // the pointer went down on OK and has not come up yet
    bool dismissed = false;
    bool windowGone = false;  // someone else destroyed the window
};

// Core fonts speak Latin-1; code points past U+00FF become '?'.
std::string toLatin1(const char* utf8)
{
    std::string out;
    const std::size_t size = std::strlen(utf8);
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (lead < 0x80) {
            out += static_cast<char>(lead);
        } else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < size) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + 1]);
            out += static_cast<char>(((lead & 0x1F) << 6) | (next & 0x3F));
        } else {
            out += '?';
        }
        i += length;
    }
    return out;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 1;
    }
}

XFontStruct* loadFont(Display* display)
{
    for (const char* name : fontNames)
        if (XFontStruct* font = XLoadQueryFont(display, name))
            return font;
    return nullptr;
}

int textWidth(const Dialog& dialog, const std::string& text)
{
    if (dialog.font == nullptr)
        return 0;
    return XTextWidth(dialog.font, text.c_str(), static_cast<int>(text.size()));
}

int lineHeight(const Dialog& dialog)
{
    if (dialog.font == nullptr)
        return fallbackLineHeight;
    return dialog.font->ascent + dialog.font->descent + 2;
}

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
    dialog.colors.text = allocColor(dialog, "#1e1e1e", false);
    dialog.colors.iconDisc = allocColor(dialog, "#1c64c8", false);
    dialog.colors.iconMark = allocColor(dialog, "#ffffff", true);
    dialog.colors.buttonFace = allocColor(dialog, "#e1e1e1", true);
    dialog.colors.buttonPressed = allocColor(dialog, "#c4c4c4", true);
    dialog.colors.buttonBorder = allocColor(dialog, "#7a7a7a", false);
    dialog.colors.focusRing = allocColor(dialog, "#2f6fd6", false);
}

// Sizes the window to the text: the text block is centred on the icon, the button sits below.
void computeLayout(Dialog& dialog)
{
    int widest = 0;
    for (const std::string& line : dialog.lines)
        widest = std::max(widest, textWidth(dialog, line));
    const int blockHeight = static_cast<int>(dialog.lines.size()) * lineHeight(dialog);
    dialog.textTop = std::max(margin, iconY + iconSize / 2 - blockHeight / 2);
    dialog.width = std::max(minWidth, textX + widest + margin);
    dialog.height = std::max(minHeight, dialog.textTop + blockHeight + margin + buttonHeight + buttonBottomGap);
}

int buttonLeft(const Dialog& dialog) { return dialog.width - margin - buttonWidth; }
int buttonTop(const Dialog& dialog) { return dialog.height - buttonBottomGap - buttonHeight; }

bool insideButton(const Dialog& dialog, int x, int y)
{
    return x >= buttonLeft(dialog) && x < buttonLeft(dialog) + buttonWidth && y >= buttonTop(dialog) &&
           y < buttonTop(dialog) + buttonHeight;
}

void setAtomProperty(Dialog& dialog, const char* property, const char* value)
{
    Atom atom = XInternAtom(dialog.display, value, False);
    XChangeProperty(dialog.display, dialog.window, XInternAtom(dialog.display, property, False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&atom), 1);
}

void setTitle(Dialog& dialog, const char* caption)
{
    XStoreName(dialog.display, dialog.window, toLatin1(caption).c_str());
    XChangeProperty(dialog.display, dialog.window, XInternAtom(dialog.display, "_NET_WM_NAME", False),
                    XInternAtom(dialog.display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(caption), static_cast<int>(std::strlen(caption)));
}

// Min = max size is what ICCCM window managers read as "not resizable"; the Motif hints
// also take the maximise button and the resize handles away on the window managers that read them.
void setFixedSize(Dialog& dialog, int x, int y)
{
    XSizeHints* hints = XAllocSizeHints();
    if (hints != nullptr) {
        hints->flags = USPosition | PPosition | PSize | PMinSize | PMaxSize | PWinGravity;
        hints->x = x;
        hints->y = y;
        hints->width = hints->min_width = hints->max_width = dialog.width;
        hints->height = hints->min_height = hints->max_height = dialog.height;
        hints->win_gravity = CenterGravity;
        XSetWMNormalHints(dialog.display, dialog.window, hints);
        XFree(hints);
    }
    const long functionsMoveClose = 4 | 32;
    const long decorationsBorderTitleMenu = 2 | 8 | 16;
    long motifHints[5] = {1 | 2, functionsMoveClose, decorationsBorderTitleMenu, 0, 0};
    const Atom motif = XInternAtom(dialog.display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(dialog.display, dialog.window, motif, motif, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(motifHints), 5);
}

void setWindowManagerHints(Dialog& dialog)
{
    XWMHints* wmHints = XAllocWMHints();
    if (wmHints != nullptr) {
        wmHints->flags = InputHint | StateHint;
        wmHints->input = True;
        wmHints->initial_state = NormalState;
        XSetWMHints(dialog.display, dialog.window, wmHints);
        XFree(wmHints);
    }
    XClassHint* classHint = XAllocClassHint();
    if (classHint != nullptr) {
        char name[] = "zorvex";
        char className[] = "Zorvex";
        classHint->res_name = name;
        classHint->res_class = className;
        XSetClassHint(dialog.display, dialog.window, classHint);
        XFree(classHint);
    }
    dialog.wmProtocols = XInternAtom(dialog.display, "WM_PROTOCOLS", False);
    dialog.wmDeleteWindow = XInternAtom(dialog.display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(dialog.display, dialog.window, &dialog.wmDeleteWindow, 1);
    setAtomProperty(dialog, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG");
}

void createWindow(Dialog& dialog, const char* caption)
{
    const int screen = DefaultScreen(dialog.display);
    const int x = (DisplayWidth(dialog.display, screen) - dialog.width) / 2;
    const int y = (DisplayHeight(dialog.display, screen) - dialog.height) / 2;
    dialog.window = XCreateSimpleWindow(dialog.display, RootWindow(dialog.display, screen), x, y,
                                        static_cast<unsigned>(dialog.width), static_cast<unsigned>(dialog.height),
                                        0, dialog.colors.text, dialog.colors.background);
    XSelectInput(dialog.display, dialog.window,
                 ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
    setTitle(dialog, caption);
    setFixedSize(dialog, x, y);
    setWindowManagerHints(dialog);
    dialog.gc = XCreateGC(dialog.display, dialog.window, 0, nullptr);
    if (dialog.font != nullptr)
        XSetFont(dialog.display, dialog.gc, dialog.font->fid);
}

void drawIcon(Dialog& dialog)
{
    Display* display = dialog.display;
    XSetForeground(display, dialog.gc, dialog.colors.iconDisc);
    XFillArc(display, dialog.window, dialog.gc, iconX, iconY, iconSize, iconSize, 0, 360 * 64);
    // The "i" is drawn as shapes, so the icon does not depend on a font.
    XSetForeground(display, dialog.gc, dialog.colors.iconMark);
    const int centreX = iconX + iconSize / 2;
    XFillArc(display, dialog.window, dialog.gc, centreX - 3, iconY + 8, 6, 6, 0, 360 * 64);
    XFillRectangle(display, dialog.window, dialog.gc, centreX - 3, iconY + 17, 6, 15);
}

void drawText(Dialog& dialog)
{
    if (dialog.font == nullptr)
        return;
    XSetForeground(dialog.display, dialog.gc, dialog.colors.text);
    int baseline = dialog.textTop + dialog.font->ascent;
    for (const std::string& line : dialog.lines) {
        XDrawString(dialog.display, dialog.window, dialog.gc, textX, baseline, line.c_str(),
                    static_cast<int>(line.size()));
        baseline += lineHeight(dialog);
    }
}

void drawButton(Dialog& dialog)
{
    Display* display = dialog.display;
    const int left = buttonLeft(dialog);
    const int top = buttonTop(dialog);
    XSetForeground(display, dialog.gc, dialog.buttonArmed ? dialog.colors.buttonPressed : dialog.colors.buttonFace);
    XFillRectangle(display, dialog.window, dialog.gc, left, top, buttonWidth, buttonHeight);
    XSetForeground(display, dialog.gc, dialog.colors.buttonBorder);
    XDrawRectangle(display, dialog.window, dialog.gc, left, top, buttonWidth - 1, buttonHeight - 1);
    // OK is the only button, so it always has the focus: a 2-pixel ring just inside the border.
    XSetForeground(display, dialog.gc, dialog.colors.focusRing);
    XSetLineAttributes(display, dialog.gc, 2, LineSolid, CapButt, JoinMiter);
    XDrawRectangle(display, dialog.window, dialog.gc, left + 2, top + 2, buttonWidth - 5, buttonHeight - 5);
    XSetLineAttributes(display, dialog.gc, 0, LineSolid, CapButt, JoinMiter);
    if (dialog.font == nullptr)
        return;
    const std::string label = "OK";
    const int offset = dialog.buttonArmed ? 1 : 0;
    const int labelX = left + (buttonWidth - textWidth(dialog, label)) / 2 + offset;
    const int labelY = top + (buttonHeight + dialog.font->ascent - dialog.font->descent) / 2 + offset;
    XSetForeground(display, dialog.gc, dialog.colors.text);
    XDrawString(display, dialog.window, dialog.gc, labelX, labelY, label.c_str(), static_cast<int>(label.size()));
}

void draw(Dialog& dialog)
{
    drawIcon(dialog);
    drawText(dialog);
    drawButton(dialog);
}

// The box must never end the game over a cosmetic failure: Xlib's default handler exits on any
// protocol error (a focus request that arrives after the window became unviewable, a drawing
// request racing an outside XKillClient). The handler is process-wide, so it is swapped only
// while the box is up; GLUT's connection is not read during that time.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// Without a window manager nobody gives the box the keyboard, so it takes it itself.
void takeFocus(Dialog& dialog)
{
    XSetInputFocus(dialog.display, dialog.window, RevertToParent, CurrentTime);
}

void onKey(Dialog& dialog, XKeyEvent& event)
{
    const KeySym key = XLookupKeysym(&event, 0);
    if (key == XK_Return || key == XK_KP_Enter || key == XK_space || key == XK_Escape)
        dialog.dismissed = true;
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
        onKey(dialog, event.xkey);
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
    XFreeGC(display, dialog.gc);
    if (dialog.font != nullptr)
        XFreeFont(display, dialog.font);
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
    Dialog dialog;
    dialog.display = XOpenDisplay(nullptr);
    if (dialog.display == nullptr) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        std::fflush(stderr);
        return;
    }
    const XErrorHandler previousHandler = XSetErrorHandler(ignoreXError);
    dialog.font = loadFont(dialog.display);
    dialog.lines = splitLines(toLatin1(text));
    allocColors(dialog);
    computeLayout(dialog);
    createWindow(dialog, caption);
    XMapRaised(dialog.display, dialog.window);
    while (!dialog.dismissed) {
        XEvent event{};
        XNextEvent(dialog.display, &event);
        handleEvent(dialog, event);
    }
    release(dialog);
    XSetErrorHandler(previousHandler);
}
