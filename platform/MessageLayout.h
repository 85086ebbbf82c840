// The inside of the message box, laid out for the desktop's resolution: the information icon at
// the left, the text beside it (centred on the icon while it is short), OK at the bottom right.
// Every length is its 96-dpi length scaled by dpi / 96, so the icon and the button grow with the
// text; the text's own size comes from the font's metrics.
#pragma once
#include "platform/ScreenGeometry.h"

// What the layout needs of a font, in pixels; both zero where no font could be opened.
struct FontMetrics {
    int ascent = 0;
    int descent = 0;
};

// Positions are relative to the box's top-left corner.
struct MessageLayout {
    int width = 0;
    int height = 0;
    ScreenRect icon;      // the disc
    ScreenRect iconDot;   // the i's dot, itself a disc
    ScreenRect iconStem;  // the i's stem
    int textX = 0;
    int firstBaseline = 0;
    int lineHeight = 0;
    ScreenRect button;
    int ringWidth = 0;  // the width of the focus ring, which is drawn that far inside the button's border
};

// The desktop's resolution as toolkits take it: the Xft.dpi resource's value (null where it is
// unset), and 96 where it is unset or no sensible resolution, since the screen size that X
// servers report is often made up.
double dpiFromResource(const char* value);

// How wide a line of text may be: a comfortable reading width, and no wider than fits beside the
// icon on a monitor `monitorWidth` pixels wide; but never less than the smallest box holds.
int textWidthLimit(double dpi, int monitorWidth);

// The box for `lineCount` lines of text, the widest of them `widestLine` pixels wide.
MessageLayout layOutMessage(double dpi, const FontMetrics& font, int lineCount, int widestLine);
