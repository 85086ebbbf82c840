// Winning: a level with no brick left shows the message box, and dismissing it ends the game.
#include "GameChecks.h"
#include "GameProcess.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(WinMessage, AnEmptyLevelShowsTheBoxAndReturnEndsTheGameWithStatusZero)
{
    GameFolder folder;
    GameProcess game(folder, gameLaunch().emptyLevelGame);
    const WindowId box = game.waitForWindow(15000ms, "^Zorvex$");
    EXPECT_TRUE(boxWaitsAndReturnEndsWithStatus(game, box, 0));
    EXPECT_EQ(game.standardOutput(), "");
}
