#include "platform/FontX11.h"

#include <X11/Xft/Xft.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// The usual desktop text size; Xft turns it into pixels at the desktop's resolution.
const double textPoints = 10.0;
// What the core fonts are tried at, at 96 dpi, before the "fixed" alias, which is on nearly
// every X server, if only as a built-in font.
const int corePixels = 14;
const char* const coreFontPatterns[] = {
    "-*-helvetica-medium-r-normal--%d-*-*-*-p-*-iso8859-1",
    "-*-*-medium-r-normal--%d-*-*-*-p-*-iso8859-1",
};

static_assert(sizeof(FcChar32) == sizeof(std::uint32_t) && static_cast<FcChar32>(-1) > 0,
              "Xft takes code points as 32-bit unsigned integers");

// fontconfig's default sans-serif; antialiasing, hinting and the like follow the desktop's settings.
class XftMessageFont : public MessageFont {
public:
    XftMessageFont(Display* display, XftFont* font, const XftColor& color)
        : display_(display), font_(font), color_(color)
    {
    }
    ~XftMessageFont() override
    {
        if (draw_ != nullptr)
            XftDrawDestroy(draw_);
        const int screen = DefaultScreen(display_);
        XftColorFree(display_, DefaultVisual(display_, screen), DefaultColormap(display_, screen), &color_);
        XftFontClose(display_, font_);
    }

    FontMetrics metrics() const override { return {font_->ascent, font_->descent}; }

    int width(const CodePoints& text) const override
    {
        if (text.empty())
            return 0;
        XGlyphInfo extents{};
        XftTextExtents32(display_, font_, text.data(), static_cast<int>(text.size()), &extents);
        return std::max(static_cast<int>(extents.xOff), static_cast<int>(extents.width) - extents.x);
    }

    void draw(Window window, GC, int x, int baseline, const CodePoints& text) override
    {
        if (draw_ == nullptr) {
            const int screen = DefaultScreen(display_);
            draw_ = XftDrawCreate(display_, window, DefaultVisual(display_, screen), DefaultColormap(display_, screen));
        }
        if (draw_ != nullptr && !text.empty())
            XftDrawString32(draw_, &color_, font_, x, baseline, text.data(), static_cast<int>(text.size()));
    }

private:
    Display* display_;
    XftFont* font_;
    XftColor color_;
    XftDraw* draw_ = nullptr;  // made for the window the first text is drawn in
};

// Core fonts speak Latin-1.
class CoreMessageFont : public MessageFont {
public:
    CoreMessageFont(Display* display, XFontStruct* font) : display_(display), font_(font) {}
    ~CoreMessageFont() override { XFreeFont(display_, font_); }

    FontMetrics metrics() const override { return {font_->ascent, font_->descent}; }

    int width(const CodePoints& text) const override
    {
        const std::string latin1 = toLatin1(text);
        return XTextWidth(font_, latin1.c_str(), static_cast<int>(latin1.size()));
    }

    void draw(Window window, GC gc, int x, int baseline, const CodePoints& text) override
    {
        const std::string latin1 = toLatin1(text);
        XSetFont(display_, gc, font_->fid);
        XDrawString(display_, window, gc, x, baseline, latin1.c_str(), static_cast<int>(latin1.size()));
    }

private:
    Display* display_;
    XFontStruct* font_;
};

class NoFont : public MessageFont {
public:
    FontMetrics metrics() const override { return {}; }
    int width(const CodePoints&) const override { return 0; }
    void draw(Window, GC, int, int, const CodePoints&) override {}
};

std::unique_ptr<MessageFont> openXftFont(Display* display, double dpi, const char* textColor)
{
    const int screen = DefaultScreen(display);
    XftFont* font = XftFontOpen(display, screen, FC_FAMILY, FcTypeString, "sans-serif", FC_SIZE, FcTypeDouble,
                                textPoints, FC_DPI, FcTypeDouble, dpi, nullptr);
    if (font == nullptr)
        return nullptr;
    XftColor color{};
    if (!XftColorAllocName(display, DefaultVisual(display, screen), DefaultColormap(display, screen), textColor,
                           &color)) {
        XftFontClose(display, font);
        return nullptr;
    }
    return std::make_unique<XftMessageFont>(display, font, color);
}

std::unique_ptr<MessageFont> openCoreFont(Display* display, double dpi)
{
    const int pixels = static_cast<int>(std::lround(corePixels * dpi / 96.0));
    for (const char* pattern : coreFontPatterns) {
        char name[128];
        std::snprintf(name, sizeof name, pattern, pixels);
        if (XFontStruct* font = XLoadQueryFont(display, name))
            return std::make_unique<CoreMessageFont>(display, font);
    }
    if (XFontStruct* font = XLoadQueryFont(display, "fixed"))
        return std::make_unique<CoreMessageFont>(display, font);
    return nullptr;
}

}  // namespace

std::unique_ptr<MessageFont> openMessageFont(Display* display, double dpi, const char* textColor)
{
    if (std::unique_ptr<MessageFont> font = openXftFont(display, dpi, textColor))
        return font;
    if (std::unique_ptr<MessageFont> font = openCoreFont(display, dpi))
        return font;
    return std::make_unique<NoFont>();
}
