#include "platform/MessageLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const double baseDpi = 96.0;

// At 96 dpi. The box grows past its smallest size only for long texts.
const int minWidth = 320;
const int minHeight = 140;
const int margin = 16;
const int iconX = 20;
const int iconY = 24;
const int iconSize = 40;
const int iconTextGap = 16;
const int iconMarkWidth = 6;
const int iconDotTop = 8;
const int iconStemTop = 17;
const int iconStemHeight = 15;
const int lineGap = 2;
const int fallbackLineHeight = 14;
const int buttonWidth = 80;
const int buttonHeight = 28;
const int buttonBottomGap = 14;
const int ringWidth = 2;
const int readableWidth = 480;

// A 96-dpi length at the desktop's resolution, never less than one pixel.
struct Scale {
    double factor = 1.0;
    int operator()(int pixels) const { return std::max(1, static_cast<int>(std::lround(pixels * factor))); }
};

Scale scaleFor(double dpi) { return Scale{dpi / baseDpi}; }

}  // namespace

double dpiFromResource(const char* value)
{
    if (value == nullptr)
        return baseDpi;
    char* end = nullptr;
    const double dpi = std::strtod(value, &end);
    return end != value && dpi >= 24 && dpi <= 1000 ? dpi : baseDpi;
}

int textWidthLimit(double dpi, int monitorWidth)
{
    const Scale scaled = scaleFor(dpi);
    const int besideIcon = scaled(iconX) + scaled(iconSize) + scaled(iconTextGap) + scaled(margin);
    return std::max(scaled(minWidth) - besideIcon, std::min(scaled(readableWidth), monitorWidth - besideIcon));
}

MessageLayout layOutMessage(double dpi, const FontMetrics& font, int lineCount, int widestLine)
{
    const Scale scaled = scaleFor(dpi);
    MessageLayout layout;
    layout.icon = {scaled(iconX), scaled(iconY), scaled(iconSize), scaled(iconSize)};
    const int mark = scaled(iconMarkWidth);
    const int markX = layout.icon.x + layout.icon.width / 2 - mark / 2;
    layout.iconDot = {markX, layout.icon.y + scaled(iconDotTop), mark, mark};
    layout.iconStem = {markX, layout.icon.y + scaled(iconStemTop), mark, scaled(iconStemHeight)};

    layout.textX = layout.icon.x + layout.icon.width + scaled(iconTextGap);
    const bool hasFont = font.ascent + font.descent > 0;
    layout.lineHeight = hasFont ? font.ascent + font.descent + scaled(lineGap) : scaled(fallbackLineHeight);
    const int blockHeight = lineCount * layout.lineHeight;
    const int textTop = std::max(scaled(margin), layout.icon.y + layout.icon.height / 2 - blockHeight / 2);
    layout.firstBaseline = textTop + font.ascent;

    layout.button.width = scaled(buttonWidth);
    layout.button.height = scaled(buttonHeight);
    layout.width = std::max(scaled(minWidth), layout.textX + widestLine + scaled(margin));
    layout.height = std::max(scaled(minHeight), textTop + blockHeight + scaled(margin) + layout.button.height +
                                                    scaled(buttonBottomGap));
    layout.button.x = layout.width - scaled(margin) - layout.button.width;
    layout.button.y = layout.height - scaled(buttonBottomGap) - layout.button.height;
    layout.ringWidth = scaled(ringWidth);
    return layout;
}
