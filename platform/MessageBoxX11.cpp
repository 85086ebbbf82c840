// The message box on X11: a small modal dialog drawn with plain Xlib, its text with Xft.
// It opens a display connection of its own, so it neither needs nor disturbs GLUT's.
// The text is in the desktop's sans-serif font, antialiased; where fontconfig has no font, in a
// core font; and where the X server has none either, the box still works, without text.
#include "platform/MessageBox.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

// The usual desktop text size; Xft turns it into pixels at the desktop's resolution.
const double textPoints = 10.0;
const double defaultDpi = 96.0;

// Only where no Xft font opens: tried in order; the "fixed" alias is on nearly every X server,
// if only as a built-in font.
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

// Unicode code points, as Xft draws them.
using Text = std::vector<FcChar32>;

struct Dialog {
    Display* display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    XftFont* xftFont = nullptr;
    XftColor xftText{};  // allocated exactly when xftFont is set
    XftDraw* xftDraw = nullptr;
    XFontStruct* coreFont = nullptr;  // loaded only when there is no Xft font
    Colors colors;
    std::vector<unsigned long> allocatedPixels;
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    std::vector<Text> lines;
    int width = minWidth;
    int height = minHeight;
    int textTop = 0;
    bool buttonArmed = false;  // the pointer went down on OK and has not come up yet
    char heldKeys[32] = {};    // one bit per keycode, set while the key is down, as XQueryKeymap fills it
    bool dismissed = false;
    bool windowGone = false;  // someone else destroyed the window
};

// Every byte that starts no well-formed sequence (a stray continuation byte, an overlong or cut-off
// sequence, a surrogate, a code point past U+10FFFF) becomes one U+FFFD.
Text decodeUtf8(const char* utf8)
{
    static const FcChar32 smallest[] = {0, 0, 0x80, 0x800, 0x10000};  // by sequence length
    Text out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p != 0) {
        const unsigned char lead = *p;
        int length = lead < 0x80 ? 1 : lead < 0xC0 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 0;
        FcChar32 code = length == 1 ? lead : lead & (0x7Fu >> length);
        // A terminating zero is no continuation byte, so this never reads past the string.
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            code = (code << 6) | (p[i] & 0x3Fu);
        }
        if (length == 0 || code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
            out.push_back(0xFFFD);
            ++p;
        } else {
            out.push_back(code);
            p += length;
        }
    }
    return out;
}

// Core fonts speak Latin-1; code points past U+00FF become '?'.
std::string toLatin1(const Text& text)
{
    std::string out;
    for (FcChar32 code : text)
        out += code <= 0xFF ? static_cast<char>(code) : '?';
    return out;
}

std::vector<Text> splitLines(const Text& text)
{
    std::vector<Text> lines(1);
    for (FcChar32 code : text) {
        if (code == '\n')
            lines.emplace_back();
        else
            lines.back().push_back(code);
    }
    return lines;
}

// The desktop's resolution as toolkits take it: Xft.dpi from the X resources, and 96 where they do
// not set it, since the screen size that X servers report is often made up.
double desktopDpi(Display* display)
{
    const char* value = XGetDefault(display, "Xft", "dpi");
    if (value == nullptr)
        return defaultDpi;
    char* end = nullptr;
    const double dpi = std::strtod(value, &end);
    return end != value && dpi >= 24 && dpi <= 1000 ? dpi : defaultDpi;
}

// fontconfig's default sans-serif; antialiasing, hinting and the like follow the desktop's settings.
void openXftFont(Dialog& dialog)
{
    Display* display = dialog.display;
    const int screen = DefaultScreen(display);
    dialog.xftFont = XftFontOpen(display, screen, FC_FAMILY, FcTypeString, "sans-serif", FC_SIZE, FcTypeDouble,
                                 textPoints, FC_DPI, FcTypeDouble, desktopDpi(display), nullptr);
    if (dialog.xftFont == nullptr)
        return;
    const XRenderColor text{0x1e1e, 0x1e1e, 0x1e1e, 0xffff};
    if (!XftColorAllocValue(display, DefaultVisual(display, screen), DefaultColormap(display, screen), &text,
                            &dialog.xftText)) {
        XftFontClose(display, dialog.xftFont);
        dialog.xftFont = nullptr;
    }
}

void loadFont(Dialog& dialog)
{
    openXftFont(dialog);
    if (dialog.xftFont != nullptr)
        return;
    for (const char* name : fontNames)
        if ((dialog.coreFont = XLoadQueryFont(dialog.display, name)) != nullptr)
            return;
}

bool hasFont(const Dialog& dialog) { return dialog.xftFont != nullptr || dialog.coreFont != nullptr; }

int fontAscent(const Dialog& dialog)
{
    if (dialog.xftFont != nullptr)
        return dialog.xftFont->ascent;
    return dialog.coreFont != nullptr ? dialog.coreFont->ascent : 0;
}

int fontDescent(const Dialog& dialog)
{
    if (dialog.xftFont != nullptr)
        return dialog.xftFont->descent;
    return dialog.coreFont != nullptr ? dialog.coreFont->descent : 0;
}

int textWidth(const Dialog& dialog, const Text& text)
{
    if (text.empty())
        return 0;
    if (dialog.xftFont != nullptr) {
        XGlyphInfo extents{};
        XftTextExtents32(dialog.display, dialog.xftFont, text.data(), static_cast<int>(text.size()), &extents);
        // The ink of the last letter may reach past its advance; the box holds both.
        return std::max(static_cast<int>(extents.xOff), static_cast<int>(extents.width) - extents.x);
    }
    if (dialog.coreFont != nullptr) {
        const std::string latin1 = toLatin1(text);
        return XTextWidth(dialog.coreFont, latin1.c_str(), static_cast<int>(latin1.size()));
    }
    return 0;
}

int lineHeight(const Dialog& dialog)
{
    if (!hasFont(dialog))
        return fallbackLineHeight;
    return fontAscent(dialog) + fontDescent(dialog) + 2;
}

void drawString(Dialog& dialog, int x, int baseline, const Text& text)
{
    if (text.empty())
        return;
    if (dialog.xftDraw != nullptr) {
        XftDrawString32(dialog.xftDraw, &dialog.xftText, dialog.xftFont, x, baseline, text.data(),
                        static_cast<int>(text.size()));
    } else if (dialog.coreFont != nullptr) {
        const std::string latin1 = toLatin1(text);
        XSetForeground(dialog.display, dialog.gc, dialog.colors.text);
        XDrawString(dialog.display, dialog.window, dialog.gc, x, baseline, latin1.c_str(),
                    static_cast<int>(latin1.size()));
    }
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
    for (const Text& line : dialog.lines)
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
    XStoreName(dialog.display, dialog.window, toLatin1(decodeUtf8(caption)).c_str());
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
                 ExposureMask | KeyPressMask | KeyReleaseMask | KeymapStateMask | ButtonPressMask |
                     ButtonReleaseMask | StructureNotifyMask);
    setTitle(dialog, caption);
    setFixedSize(dialog, x, y);
    setWindowManagerHints(dialog);
    dialog.gc = XCreateGC(dialog.display, dialog.window, 0, nullptr);
    if (dialog.coreFont != nullptr)
        XSetFont(dialog.display, dialog.gc, dialog.coreFont->fid);
    if (dialog.xftFont != nullptr)
        dialog.xftDraw = XftDrawCreate(dialog.display, dialog.window, DefaultVisual(dialog.display, screen),
                                       DefaultColormap(dialog.display, screen));
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
    int baseline = dialog.textTop + fontAscent(dialog);
    for (const Text& line : dialog.lines) {
        drawString(dialog, textX, baseline, line);
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
    const Text label{'O', 'K'};
    const int offset = dialog.buttonArmed ? 1 : 0;
    const int labelX = left + (buttonWidth - textWidth(dialog, label)) / 2 + offset;
    const int labelY = top + (buttonHeight + fontAscent(dialog) - fontDescent(dialog)) / 2 + offset;
    drawString(dialog, labelX, labelY, label);
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

// Without a window manager nobody gives the box the keyboard, so it takes it itself.
void takeFocus(Dialog& dialog)
{
    XSetInputFocus(dialog.display, dialog.window, RevertToParent, CurrentTime);
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
    const int screen = DefaultScreen(display);
    if (dialog.xftDraw != nullptr)
        XftDrawDestroy(dialog.xftDraw);
    if (dialog.xftFont != nullptr) {
        XftColorFree(display, DefaultVisual(display, screen), DefaultColormap(display, screen), &dialog.xftText);
        XftFontClose(display, dialog.xftFont);
    }
    XFreeGC(display, dialog.gc);
    if (dialog.coreFont != nullptr)
        XFreeFont(display, dialog.coreFont);
    if (!dialog.windowGone)
        XDestroyWindow(display, dialog.window);
    if (!dialog.allocatedPixels.empty())
        XFreeColors(display, DefaultColormap(display, screen), dialog.allocatedPixels.data(),
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
    loadFont(dialog);
    dialog.lines = splitLines(decodeUtf8(text));
    allocColors(dialog);
    computeLayout(dialog);
    createWindow(dialog, caption);
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
