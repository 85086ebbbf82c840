// The box's inside at the desktop's resolution: worked examples at 96 and 192 dpi with the
// metrics of DejaVu Sans at 10 points (ascent 13 and descent 4 pixels at 96 dpi, 25 and 7 at 192).
#include "platform/MessageLayout.h"

#include <gtest/gtest.h>

namespace {

void expectRect(const ScreenRect& rect, int x, int y, int width, int height, const char* what)
{
    EXPECT_EQ(rect.x, x) << what;
    EXPECT_EQ(rect.y, y) << what;
    EXPECT_EQ(rect.width, width) << what;
    EXPECT_EQ(rect.height, height) << what;
}

// "Level 1 Complete" / "Thanks for playing!": the text block is centred on the icon, and the
// box keeps its smallest size.
TEST(MessageLayout, TheWinMessageAt96Dpi)
{
    const MessageLayout layout = layOutMessage(96.0, {13, 4}, 2, 126);
    EXPECT_EQ(layout.width, 320);
    EXPECT_EQ(layout.height, 140);
    expectRect(layout.icon, 20, 24, 40, 40, "icon");
    expectRect(layout.iconDot, 37, 32, 6, 6, "the i's dot");
    expectRect(layout.iconStem, 37, 41, 6, 15, "the i's stem");
    EXPECT_EQ(layout.textX, 76);
    EXPECT_EQ(layout.lineHeight, 19);
    EXPECT_EQ(layout.firstBaseline, 25 + 13) << "the two lines' 38 pixels centred on the icon's middle, 44";
    expectRect(layout.button, 224, 98, 80, 28, "OK");
    EXPECT_EQ(layout.ringWidth, 2);
}

// Every length doubles; the text's own come from the font at 192 dpi.
TEST(MessageLayout, TheWinMessageAt192Dpi)
{
    const MessageLayout layout = layOutMessage(192.0, {25, 7}, 2, 252);
    EXPECT_EQ(layout.width, 640);
    EXPECT_EQ(layout.height, 280);
    expectRect(layout.icon, 40, 48, 80, 80, "icon");
    expectRect(layout.iconDot, 74, 64, 12, 12, "the i's dot");
    expectRect(layout.iconStem, 74, 82, 12, 30, "the i's stem");
    EXPECT_EQ(layout.textX, 152);
    EXPECT_EQ(layout.lineHeight, 25 + 7 + 4);
    EXPECT_EQ(layout.firstBaseline, 52 + 25) << "72 pixels of text centred on the icon's middle, 88";
    expectRect(layout.button, 448, 196, 160, 56, "OK");
    EXPECT_EQ(layout.ringWidth, 4);
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
    EXPECT_EQ(dpiFromResource(nullptr), 96.0);
    EXPECT_EQ(dpiFromResource("192"), 192.0);
    EXPECT_EQ(dpiFromResource("120.5"), 120.5);
    EXPECT_EQ(dpiFromResource("big"), 96.0);
    EXPECT_EQ(dpiFromResource(""), 96.0);
    EXPECT_EQ(dpiFromResource("0"), 96.0);
    EXPECT_EQ(dpiFromResource("-96"), 96.0);
    EXPECT_EQ(dpiFromResource("100000"), 96.0);
}

}  // namespace
