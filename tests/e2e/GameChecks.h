// Steps and picture checks that several end-to-end tests share.
#pragma once
#include "ExpectedBackground.h"
#include "GameProcess.h"
#include "Image.h"
#include "WindowId.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The game takes keys from its first frame tick on, 33 ms into its main loop; keys sent
// earlier are lost. Each tick draws a frame, and before the first one the game draws at most
// `framesBeforeFirstTick` (its start, the window's map and its first size, each may ask for
// one): so once more frames than that have reached the window, the game is taking keys.
// Throws std::runtime_error if the frames stop coming first.
constexpr long framesBeforeFirstTick = 4;
void waitForFirstTick(WindowId window, std::chrono::milliseconds limit = std::chrono::milliseconds(10000));

// Waits for the game's first frame on screen (anything but all black), then for its first
// tick, and returns a picture taken then.
// Throws std::runtime_error if the window stays black.
Image waitUntilTakingKeys(WindowId window, std::chrono::milliseconds limit = std::chrono::milliseconds(10000));

// Presses Escape in the game's window: the game must end with status 0 within two seconds.
::testing::AssertionResult endsWithStatusZeroOnEscape(GameProcess& game, WindowId window);

// The game's message box waits for the player, and the game for the box: the game must still
// run half a second after the box is up, then Return in the box must end it with `status`.
::testing::AssertionResult boxWaitsAndReturnEndsWithStatus(GameProcess& game, WindowId box, int status);

// True if the process is still running after `duration` (checked all along).
bool staysRunningFor(GameProcess& game, std::chrono::milliseconds duration);

// Saves a picture under the build tree (tests/e2e/screenshots/<test>-<label>.png) so that a
// failed check can be looked at.
void keepScreenshot(const Image& picture, const std::string& label);

// The fifty bricks of a level, each in its stripe's colour: a tint leaves the other two
// channels black everywhere inside its brick, and its own channel lights up somewhere in it.
::testing::AssertionResult showsBricksInTheirStripes(const Image& picture);

// The leftmost x of the paddle in the picture: the first of three neighbouring pixels of
// field row `row` that aren't background. -1 if there is none.
int paddleLeftEdge(const Image& picture, const ExpectedBackground& background, int row);

// The share of the resting ball's inscribed disc (the face has transparent corners) that shows
// the background.
double ballPlaceShowsBackground(const Image& picture, const ExpectedBackground& background);

// What differs from the picture a level starts with: the background wherever nothing else is
// drawn, the bricks in their stripes, the paddle and the ball covering their places and nothing
// around them. Empty when the picture is right.
std::vector<std::string> startPictureFaults(const Image& picture, const ExpectedBackground& background);
