// Where the box goes: over the game's window, on the monitor that holds it. Two monitors of
// 1920 × 1080 side by side unless a case says otherwise; the game's frame is its 600 × 600
// window with openbox's frame (1, 1, 20 and 5 pixels), and the box's 320 × 140 with the same.
#include "platform/BoxPlacement.h"

#include <gtest/gtest.h>

namespace {

const ScreenRect left{0, 0, 1920, 1080};
const ScreenRect right{1920, 0, 1920, 1080};
const std::vector<ScreenRect> twoMonitors{left, right};
const ScreenRect wideScreen{0, 0, 3840, 1080};
const int boxWidth = 322;
const int boxHeight = 165;

struct Case {
    const char* what;
    ScreenPoint game;  // the top-left corner of the game's frame, 602 × 625
    int monitorX;      // of the monitor chosen
    ScreenPoint box;   // the box frame's top-left corner
    std::vector<ScreenRect> monitors = twoMonitors;
};

TEST(BoxPlacement, CentresOnTheGameAndKeepsToTheMonitorThatHoldsIt)
{
    // The game's centre is 301 right of its corner and 312 below; the box goes 161 left of it
    // and 82 above, unless that leaves the monitor.
    const Case cases[] = {
        {"on the left monitor", {100, 100}, 0, {240, 330}},
        {"on the right monitor", {2500, 300}, 1920, {2640, 530}},
        {"across the seam, 382 of its columns on the right", {1700, 100}, 1920, {1920, 330}},
        {"across the seam, 420 of its columns on the left", {1500, 100}, 0, {1920 - boxWidth, 330}},
        {"off the bottom-left, its top-right corner alone on the left", {-400, 800}, 0, {0, 1080 - boxHeight}},
        {"off the top, on the right", {3000, -500}, 1920, {3140, 0}},
        {"off every monitor: the nearest", {5000, 100}, 1920, {3840 - boxWidth, 330}},
        {"without RandR: the screen, seam or not", {1700, 100}, 0, {1840, 330}, {}},
        {"on the lower of two monitors above one another", {100, 1000}, 0, {240, 1230},
         {{0, 0, 1280, 1024}, {0, 1024, 1920, 1080}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScreenRect game{c.game.x, c.game.y, 602, 625};
        const ScreenRect monitor = chooseMonitor(game, {0, 0}, c.monitors, wideScreen);
        EXPECT_EQ(monitor.x, c.monitorX);
        const ScreenPoint box = placeBox(boxWidth, boxHeight, game, monitor);
        EXPECT_EQ(box.x, c.box.x);
        EXPECT_EQ(box.y, c.box.y);
    }
}

TEST(BoxPlacement, WithoutAGameTheBoxGoesToTheMiddleOfThePointersMonitor)
{
    const ScreenRect monitor = chooseMonitor(std::nullopt, {2500, 300}, twoMonitors, wideScreen);
    EXPECT_EQ(monitor.x, 1920);
    const ScreenPoint box = placeBox(boxWidth, boxHeight, std::nullopt, monitor);
    EXPECT_EQ(box.x, 1920 + 960 - 161);
    EXPECT_EQ(box.y, 540 - 82);

    // Monitors of different heights leave a strip of the screen on none: the nearest one is taken.
    const std::vector<ScreenRect> unequal{left, {1920, 0, 1280, 1024}};
    EXPECT_EQ(chooseMonitor(std::nullopt, {2000, 1050}, unequal, {0, 0, 3200, 1080}).x, 1920);
    EXPECT_EQ(chooseMonitor(std::nullopt, {1900, 1079}, unequal, {0, 0, 3200, 1080}).x, 0);
}

TEST(BoxPlacement, ABoxLargerThanItsMonitorKeepsItsTopLeftCornerOnIt)
{
    const ScreenPoint box = placeBox(2500, 1200, ScreenRect{2500, 300, 602, 625}, right);
    EXPECT_EQ(box.x, 1920);
    EXPECT_EQ(box.y, 0);
}

TEST(BoxPlacement, AFrameReachesPastItsWindowOnEverySide)
{
    const ScreenRect frame = framed({100, 120, 600, 600}, {1, 1, 20, 5});
    EXPECT_EQ(frame.x, 99);
    EXPECT_EQ(frame.y, 100);
    EXPECT_EQ(frame.width, 602);
    EXPECT_EQ(frame.height, 625);
}

}  // namespace
