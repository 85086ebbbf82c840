// Winning: a level with no brick left shows the message box, and dismissing it ends the game.
// The box is the game's own dialog: over the game's window, on its monitor, with the focus.
#include "GameChecks.h"
#include "GameProcess.h"
#include "Keyboard.h"
#include "Poll.h"
#include "Windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct Centre {
    int x = 0;
    int y = 0;
};

Centre centreOf(const WindowGeometry& rect) { return {rect.x + rect.width / 2, rect.y + rect.height / 2}; }

bool contains(const WindowGeometry& outer, const WindowGeometry& inner)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

// The box's frame is centred on the game's frame, give or take what the box cannot know before a
// window manager frames it: its own frame, which it takes to be the game's.
bool centredOn(const WindowGeometry& box, const WindowGeometry& game)
{
    const Centre boxCentre = centreOf(box);
    const Centre gameCentre = centreOf(game);
    return std::abs(boxCentre.x - gameCentre.x) <= 2 && std::abs(boxCentre.y - gameCentre.y) <= 3;
}

std::string describe(const WindowGeometry& rect)
{
    return std::to_string(rect.width) + " x " + std::to_string(rect.height) + " at (" + std::to_string(rect.x) +
           ", " + std::to_string(rect.y) + ")";
}

}  // namespace

TEST(WinMessage, AnEmptyLevelShowsTheBoxAndReturnEndsTheGameWithStatusZero)
{
    GameFolder folder;
    GameProcess game(folder, gameLaunch().emptyLevelGame);
    const WindowId box = game.waitForWindow(15000ms, "^Zorvex$");
    EXPECT_TRUE(boxWaitsAndReturnEndsWithStatus(game, box, 0));
    EXPECT_EQ(game.standardOutput(), "");
}

TEST(WinMessage, TheBoxIsAModalDialogOfTheGameOnItsMonitorAndTakesTheKeys)
{
    GameFolder folder;
    GameProcess game(folder, gameLaunch().emptyLevelGame);
    const WindowId box = game.waitForWindow(15000ms, "^Zorvex$");
    const WindowId gameWindow = game.waitForWindow(15000ms, gameWindowTitle);

    EXPECT_EQ(windowProperty(box, "WM_TRANSIENT_FOR").longs(), std::vector<long>{static_cast<long>(gameWindow)});
    EXPECT_TRUE(listsAtom(box, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG"));
    EXPECT_TRUE(listsAtom(box, "_NET_WM_STATE", "_NET_WM_STATE_MODAL"));

    // A window manager may still be framing the box when it first shows.
    const WindowGeometry gameFrame = frameGeometry(gameWindow);
    WindowGeometry boxFrame;
    pollUntil(2000ms, [&] { return centredOn(boxFrame = frameGeometry(box), gameFrame); });
    std::cout << "the game's frame is " << describe(gameFrame) << ", the box's " << describe(boxFrame) << "\n";
    EXPECT_TRUE(centredOn(boxFrame, gameFrame)) << "the box " << describe(boxFrame) << ", the game "
                                                << describe(gameFrame);
    const Centre gameCentre = centreOf(gameFrame);
    const std::vector<WindowGeometry> all = monitors();
    const auto gameMonitor = std::find_if(all.begin(), all.end(), [&](const WindowGeometry& monitor) {
        return contains(monitor, {gameCentre.x, gameCentre.y, 1, 1});
    });
    ASSERT_NE(gameMonitor, all.end()) << "the game is on no monitor";
    EXPECT_TRUE(contains(*gameMonitor, boxFrame)) << "the box leaves the game's monitor " << describe(*gameMonitor);

    // Nobody but the box itself, and a window manager, gives it the focus.
    ASSERT_TRUE(pollUntil(5000ms, [&] { return focusedWindow() == box; })) << "the box has no focus";
    ASSERT_NO_THROW(pressKeysWhereFocused({"Return"}));
    const ProcessEnd end = game.waitForExit(10000ms);
    EXPECT_TRUE(end.exitedWith(0)) << "after Return: " << end.describe();
}

TEST(WinMessage, TheCloseButtonDismissesTheBoxAndEndsTheGameWithStatusZero)
{
    GameFolder folder;
    GameProcess game(folder, gameLaunch().emptyLevelGame);
    const WindowId box = game.waitForWindow(15000ms, "^Zorvex$");
    ASSERT_TRUE(acceptsCloseRequests(box));
    ASSERT_NO_THROW(requestClose(box));
    const ProcessEnd end = game.waitForExit(10000ms);
    EXPECT_TRUE(end.exitedWith(0)) << "after the close request: " << end.describe();
}
