// The message box's font on X11, behind one small interface: the desktop's antialiased
// sans-serif through Xft; where fontconfig has no font, a core font of the X server; where the
// server has none either, no font at all, and the box shows no text.
#pragma once
#include "platform/MessageLayout.h"
#include "platform/Utf8.h"

#include <X11/Xlib.h>

#include <memory>

class MessageFont {
public:
    virtual ~MessageFont() = default;
    virtual FontMetrics metrics() const = 0;
    // The width the text takes: its advance, or its ink where that reaches further.
    virtual int width(const CodePoints& text) const = 0;
    // Draws in the GC's foreground (a core font) or the font's own text colour (Xft).
    virtual void draw(Window window, GC gc, int x, int baseline, const CodePoints& text) = 0;
};

// A 10-point font at `dpi` on the display's default screen, its text drawn in `textColor` (an
// X colour name such as "#1e1e1e"). It must go before the display connection does.
std::unique_ptr<MessageFont> openMessageFont(Display* display, double dpi, const char* textColor);
