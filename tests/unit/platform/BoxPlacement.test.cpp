// Where the box goes: over the game's window, on the monitor that holds it. Two monitors of
// 1920 × 1080 side by side unless a test says otherwise; the game's frame is its 600 × 600
// window with openbox's frame (1, 1, 20 and 5 pixels), and the box's 320 × 140 with the same.
#include "platform/BoxPlacement.h"

#include <gtest/gtest.h>

namespace {

const ScreenRect left{0, 0, 1920, 1080};
const ScreenRect right{1920, 0, 1920, 1080};
const std::vector<ScreenRect> twoMonitors{left, right};
const ScreenRect wideScreen{0, 0, 3840, 1080};
const FrameExtents openbox{1, 1, 20, 5};
const int boxWidth = 322;
const int boxHeight = 165;

ScreenRect gameFrameAt(int x, int y) { return {x, y, 602, 625}; }

// The monitor and the box's top-left corner for a game whose frame is at (x, y).
struct Placed {
    ScreenRect monitor;
    ScreenPoint box;
};
Placed placeForGameAt(int x, int y, const std::vector<ScreenRect>& monitors = twoMonitors)
{
    const ScreenRect game = gameFrameAt(x, y);
    const ScreenRect monitor = chooseMonitor(game, {0, 0}, monitors, wideScreen);
    return {monitor, placeBox(boxWidth, boxHeight, game, monitor)};
}

#define EXPECT_AT(point, expectedX, expectedY) \
    do {                                       \
        EXPECT_EQ((point).x, expectedX);       \
        EXPECT_EQ((point).y, expectedY);       \
    } while (false)

TEST(BoxPlacement, AFrameReachesPastItsWindowOnEverySide)
{
    const ScreenRect frame = framed({100, 120, 600, 600}, openbox);
    EXPECT_EQ(frame.x, 99);
    EXPECT_EQ(frame.y, 100);
    EXPECT_EQ(frame.width, 602);
    EXPECT_EQ(frame.height, 625);
}

TEST(BoxPlacement, CentresOnTheGameOnEitherMonitor)
{
    // The game's centre is (401, 412): the box's frame goes 161 left of it and 82 above.
    const Placed onLeft = placeForGameAt(100, 100);
    EXPECT_EQ(onLeft.monitor.x, 0);
    EXPECT_AT(onLeft.box, 240, 330);

    const Placed onRight = placeForGameAt(2500, 300);
    EXPECT_EQ(onRight.monitor.x, 1920);
    EXPECT_AT(onRight.box, 2640, 530);
}

// The game straddles the seam with 220 columns on the left monitor and 382 on the right: the
// box keeps to the right one, as near to the game's centre (2001, 412) as it can.
TEST(BoxPlacement, KeepsToTheMonitorThatHoldsMostOfAGameAcrossTheSeam)
{
    const Placed across = placeForGameAt(1700, 100);
    EXPECT_EQ(across.monitor.x, 1920);
    EXPECT_AT(across.box, 1920, 330);

    const Placed mostlyLeft = placeForGameAt(1500, 100);
    EXPECT_EQ(mostlyLeft.monitor.x, 0);
    EXPECT_AT(mostlyLeft.box, 1920 - boxWidth, 330);
}

TEST(BoxPlacement, KeepsOnTheMonitorWhenTheGameIsPartlyOffTheScreen)
{
    // Only the game's top-right corner is on the left monitor; its centre, (-99, 1112), is not.
    const Placed offBottomLeft = placeForGameAt(-400, 800);
    EXPECT_EQ(offBottomLeft.monitor.x, 0);
    EXPECT_AT(offBottomLeft.box, 0, 1080 - boxHeight);

    const Placed offTop = placeForGameAt(3000, -500);
    EXPECT_EQ(offTop.monitor.x, 1920);
    EXPECT_AT(offTop.box, 3140, 0);
}

TEST(BoxPlacement, AGameOffEveryMonitorSendsTheBoxToTheNearestOne)
{
    const Placed farRight = placeForGameAt(5000, 100);
    EXPECT_EQ(farRight.monitor.x, 1920);
    EXPECT_AT(farRight.box, 3840 - boxWidth, 330);
}

// Without RandR the screen is the one monitor: the box is centred on the game even where it
// then straddles what may be a seam.
TEST(BoxPlacement, WithoutRandRTheScreenIsTheMonitor)
{
    const Placed across = placeForGameAt(1700, 100, {});
    EXPECT_EQ(across.monitor.width, 3840);
    EXPECT_AT(across.box, 1840, 330);
}

TEST(BoxPlacement, WithoutAGameTheBoxGoesToTheMiddleOfThePointersMonitor)
{
    const ScreenRect monitor = chooseMonitor(std::nullopt, {2500, 300}, twoMonitors, wideScreen);
    EXPECT_EQ(monitor.x, 1920);
    EXPECT_AT(placeBox(boxWidth, boxHeight, std::nullopt, monitor), 1920 + 960 - 161, 540 - 82);

    // Monitors of different heights leave a strip of the screen on none: the nearest one is taken.
    const std::vector<ScreenRect> unequal{left, {1920, 0, 1280, 1024}};
    EXPECT_EQ(chooseMonitor(std::nullopt, {2000, 1050}, unequal, {0, 0, 3200, 1080}).x, 1920);
    EXPECT_EQ(chooseMonitor(std::nullopt, {1900, 1079}, unequal, {0, 0, 3200, 1080}).x, 0);
}

TEST(BoxPlacement, ABoxLargerThanItsMonitorKeepsItsTopLeftCornerOnIt)
{
    EXPECT_AT(placeBox(2500, 1200, gameFrameAt(2500, 300), right), 1920, 0);
}

// Monitors stacked one above the other, the game on the lower one near its top edge.
TEST(BoxPlacement, WorksForMonitorsAboveOneAnother)
{
    const std::vector<ScreenRect> stacked{{0, 0, 1280, 1024}, {0, 1024, 1920, 1080}};
    const ScreenRect game = gameFrameAt(100, 1000);
    const ScreenRect monitor = chooseMonitor(game, {0, 0}, stacked, {0, 0, 1920, 2104});
    EXPECT_EQ(monitor.y, 1024);
    EXPECT_AT(placeBox(boxWidth, boxHeight, game, monitor), 240, 1230);
}

}  // namespace
