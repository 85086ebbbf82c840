// The box's inside at the desktop's resolution: worked examples at 96 and 192 dpi with the
// metrics of DejaVu Sans at 10 points (ascent 13 and descent 4 pixels at 96 dpi, 25 and 7 at 192).
#include "platform/MessageLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void expectRect(const ScreenRect& rect, int x, int y, int width, int height, const char* what)
{
    EXPECT_EQ(rect.x, x) << what;
    EXPECT_EQ(rect.y, y) << what;
    EXPECT_EQ(rect.width, width) << what;
    EXPECT_EQ(rect.height, height) << what;
}

// "Level 1 Complete" / "Thanks for playing!" (126 pixels wide at 96 dpi): the text block is
// centred on the icon's middle, and the box keeps its smallest size. At 192 dpi every length
// doubles, and the text's own come from the font.
TEST(MessageLayout, TheWinMessageAt96And192Dpi)
{
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(std::to_string(96 * scale) + " dpi");
        const FontMetrics font = scale == 1 ? FontMetrics{13, 4} : FontMetrics{25, 7};
        const MessageLayout layout = layOutMessage(96.0 * scale, font, 2, 126 * scale);
        const auto s = [scale](int pixels) { return pixels * scale; };
        EXPECT_EQ(layout.width, s(320));
        EXPECT_EQ(layout.height, s(140));
        expectRect(layout.icon, s(20), s(24), s(40), s(40), "icon");
        expectRect(layout.iconDot, s(37), s(32), s(6), s(6), "the i's dot");
        expectRect(layout.iconStem, s(37), s(41), s(6), s(15), "the i's stem");
        EXPECT_EQ(layout.textX, s(76));
        EXPECT_EQ(layout.lineHeight, font.ascent + font.descent + s(2));
        // Two lines of 19 (or 36) pixels about the icon's middle at 44 (or 88).
        EXPECT_EQ(layout.firstBaseline, (scale == 1 ? 25 : 52) + font.ascent);
        expectRect(layout.button, s(224), s(98), s(80), s(28), "OK");
        EXPECT_EQ(layout.ringWidth, s(2));
    }
}

// The driver message's four lines, the widest 419 pixels: the box grows to hold them, with the
// margins kept, and OK stays at its bottom right.
TEST(MessageLayout, GrowsForALongText)
{
    const MessageLayout layout = layOutMessage(96.0, {13, 4}, 4, 419);
    EXPECT_EQ(layout.width, 76 + 419 + 16);
    EXPECT_EQ(layout.firstBaseline, 16 + 13) << "the text starts at the top margin";
    EXPECT_EQ(layout.height, 16 + 4 * 19 + 16 + 28 + 14);
    expectRect(layout.button, 511 - 16 - 80, 150 - 14 - 28, 80, 28, "OK");
}

TEST(MessageLayout, WithoutAFontLinesKeepAHeight)
{
    EXPECT_EQ(layOutMessage(96.0, {}, 2, 0).lineHeight, 14);
    EXPECT_EQ(layOutMessage(192.0, {}, 2, 0).lineHeight, 28);
    EXPECT_EQ(layOutMessage(144.0, {}, 2, 0).lineHeight, 21);
}

TEST(MessageLayout, TextWidthLimitIsAReadingWidthWithinTheMonitor)
{
    EXPECT_EQ(textWidthLimit(96.0, 1920), 480);
    EXPECT_EQ(textWidthLimit(96.0, 400), 400 - 92) << "the icon's 76 pixels and the right margin's 16 taken";
    EXPECT_EQ(textWidthLimit(96.0, 200), 320 - 92) << "never less than the smallest box holds";
    EXPECT_EQ(textWidthLimit(192.0, 3840), 960);
    EXPECT_EQ(textWidthLimit(192.0, 1024), 1024 - 184);
}

TEST(MessageLayout, DpiComesFromXftDpiWhereThatMakesSense)
{
    EXPECT_EQ(dpiFromResource("120.5"), 120.5);
    for (const char* senseless : {static_cast<const char*>(nullptr), "", "big", "0", "-96", "100000"})
        EXPECT_EQ(dpiFromResource(senseless), 96.0) << (senseless ? senseless : "unset");
}

}  // namespace
