// A test that plays the game in a fresh GameFolder: starts it, waits until it takes keys and,
// at the end, quits it with Escape as a player would.
#pragma once
#include "GameChecks.h"
#include "GameFolder.h"
#include "GameProcess.h"
#include "Image.h"
#include "WindowId.h"

#include <gtest/gtest.h>
#include <memory>

class RunningGameTest : public ::testing::Test {
protected:
    // Starts the game and waits for its first drawn frame and its first tick; returns the
    // picture taken then.
    Image startAndTakeFirstPicture()
    {
        game = std::make_unique<GameProcess>(folder);
        window = game->waitForWindow();
        return waitUntilTakingKeys(window);
    }

    // Escape must end the game with status 0, with nothing written on its standard output.
    void quit()
    {
        EXPECT_TRUE(endsWithStatusZeroOnEscape(*game, window));
        EXPECT_EQ(game->standardOutput(), "");
    }

    GameFolder folder;
    std::unique_ptr<GameProcess> game;
    WindowId window = 0;
};
