#include "RunningGameTest.h"

#include "GameChecks.h"

Image RunningGameTest::startAndTakeFirstPicture()
{
    game = std::make_unique<GameProcess>(folder);
    window = game->waitForWindow();
    return waitUntilTakingKeys(window);
}

void RunningGameTest::quit()
{
    EXPECT_TRUE(endsWithStatusZeroOnEscape(*game, window));
    EXPECT_EQ(game->standardOutput(), "");
}
