// Winning: a level with no brick left shows the message box, and dismissing it ends the game.
#include "GameChecks.h"
#include "GameProcess.h"
#include "Keyboard.h"
#include "Windows.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(WinMessage, AnEmptyLevelShowsTheBoxAndReturnEndsTheGameWithStatusZero)
{
    GameFolder folder;
    GameProcess game(folder, gameLaunch().emptyLevelGame);
    const WindowId box = game.waitForWindow(15000ms, "^Zorvex$");

    // The box waits for the player; the game waits for the box.
    EXPECT_TRUE(staysRunningFor(game, 500ms)) << "the game ended before the box was dismissed";
    pressKeys(box, {"Return"});
    const ProcessEnd end = game.waitForExit(5000ms);
    EXPECT_TRUE(end.exitedWith(0)) << "after Return in the box: " << end.describe();
    EXPECT_EQ(game.standardOutput(), "");
}
