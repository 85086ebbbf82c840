#include "GameTest.h"

#include "GameChecks.h"

Image GameTest::startAndTakeFirstPicture()
{
    game = std::make_unique<GameProcess>(folder);
    window = game->waitForWindow();
    return waitUntilTakingKeys(window);
}

void GameTest::quit()
{
    EXPECT_TRUE(endsWithStatusZeroOnEscape(*game, window));
    EXPECT_EQ(game->standardOutput(), "");
}
