// What the player sees: the background, the striped bricks, the paddle and the ball where a
// level starts, and what the keys do to them.
#include "ExpectedBackground.h"
#include "FieldLayout.h"
#include "GameChecks.h"
#include "GameProcess.h"
#include "Screenshot.h"
#include "Xdotool.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;

namespace {

class GamePicture : public ::testing::Test {
protected:
    // Starts the game and waits for its first drawn frame and its first tick.
    Image startAndTakeFirstPicture()
    {
        game = std::make_unique<GameProcess>(folder);
        window = game->waitForWindow();
        return waitUntilTakingKeys(window);
    }

    void quit()
    {
        xdotool::pressKeys(window, {"Escape"});
        const ProcessEnd end = game->waitForExit(2000ms);
        EXPECT_TRUE(end.exitedWith(0)) << "after Escape: " << end.describe();
        EXPECT_EQ(game->standardOutput(), "");
    }

    GameFolder folder;
    ExpectedBackground background{GameFolder::sourceAsset("background.jpg").string()};
    std::unique_ptr<GameProcess> game;
    WindowId window = 0;
};

// Pixels of the ball's inscribed disc (the face has transparent corners).
template <typename Check>
int countInBallDisc(Check check)
{
    const double cx = layout::ball.x + layout::ball.width / 2.0;
    const double cy = layout::ball.y + layout::ball.height / 2.0;
    int count = 0;
    for (int y = layout::ball.y; y < layout::ball.y + layout::ball.height; ++y)
        for (int x = layout::ball.x; x < layout::ball.x + layout::ball.width; ++x)
            if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= 7.0 && check(x, y))
                ++count;
    return count;
}

int ballDiscSize()
{
    return countInBallDisc([](int, int) { return true; });
}

}  // namespace

TEST_F(GamePicture, StartShowsBackgroundStripedBricksPaddleAndBall)
{
    const Image shot = startAndTakeFirstPicture();
    ASSERT_EQ(shot.width, fieldSize);
    ASSERT_EQ(shot.height, fieldSize);
    bool looksRight = true;

    // The background fills the field wherever nothing else is drawn: between the bricks and
    // the ball, beside the paddle and below it.
    int backgroundMismatches = 0;
    std::ostringstream mismatchDetails;
    const int rows[] = {302, 340, 380, 420, 460, 505, 515, 534, 545, 575, 598};
    for (int y : rows)
        for (int x = 2; x < fieldSize; x += 27) {
            if (layout::paddle.grownBy(2).contains(x, y) || layout::ball.grownBy(2).contains(x, y))
                continue;
            if (!background.matches(shot.at(x, y), x, y)) {
                if (++backgroundMismatches <= 5)
                    mismatchDetails << " (" << x << ", " << y << ") is " << toString(shot.at(x, y)) << ", expected "
                                    << background.describe(x, y) << ";";
            }
        }
    EXPECT_EQ(backgroundMismatches, 0) << "the background doesn't show:" << mismatchDetails.str();
    looksRight = looksRight && backgroundMismatches == 0;

    // Fifty bricks of 60 × 60 from (0, 0), in diagonal red, green and blue stripes.
    const ::testing::AssertionResult bricks = showsBricksInTheirStripes(shot);
    EXPECT_TRUE(bricks);
    looksRight = looksRight && bricks;

    // The paddle and the ball cover the background in their rectangles and nowhere around them.
    const int paddleArea = layout::paddle.width * layout::paddle.height;
    const int paddleCovered = countNotBackground(shot, background, layout::paddle);
    EXPECT_GE(paddleCovered * 2, paddleArea) << "only " << paddleCovered << " of the paddle's " << paddleArea
                                             << " pixels differ from the background";
    const int ballCovered = countInBallDisc([&](int x, int y) { return !background.matches(shot.at(x, y), x, y); });
    EXPECT_GE(ballCovered * 2, ballDiscSize()) << "only " << ballCovered << " of the ball's " << ballDiscSize()
                                               << " central pixels differ from the background";
    const PixelRect surroundings{220, 490, 160, 70};
    int outside = 0;
    for (int y = surroundings.y; y < surroundings.y + surroundings.height; ++y)
        for (int x = surroundings.x; x < surroundings.x + surroundings.width; ++x)
            if (!layout::paddle.grownBy(1).contains(x, y) && !layout::ball.grownBy(1).contains(x, y) &&
                !background.matches(shot.at(x, y), x, y))
                ++outside;
    EXPECT_EQ(outside, 0) << "pixels around the paddle and the ball don't show the background";
    looksRight = looksRight && paddleCovered * 2 >= paddleArea && ballCovered * 2 >= ballDiscSize() && outside == 0;

    if (!looksRight)
        keepScreenshot(shot, "start");
    quit();
}

TEST_F(GamePicture, ArrowsMoveNothingBeforeSpaceAndThePaddleAfter)
{
    const Image first = startAndTakeFirstPicture();

    // Before the ball is released the arrows are ignored: nothing on the field moves.
    xdotool::keyDown(window, "Left");
    std::this_thread::sleep_for(500ms);
    xdotool::keyUp(window, "Left");
    xdotool::keyDown(window, "Right");
    std::this_thread::sleep_for(300ms);
    xdotool::keyUp(window, "Right");
    const Image held = captureWindow(window);
    const int changed = countDifferences(first, held, {0, 0, fieldSize, fieldSize});
    EXPECT_EQ(changed, 0) << "pixels changed while the arrows were held before space";
    if (changed != 0)
        keepScreenshot(held, "arrows-before-space");

    // Space releases the ball: its resting place shows the background again.
    const int middleRow = layout::paddle.y + layout::paddle.height / 2;
    const int edgeAtStart = paddleLeftEdge(held, background, middleRow);
    // The paddle image may have a transparent margin, so its visible edge lies in its left half.
    EXPECT_GE(edgeAtStart, layout::paddle.x - 1) << "the paddle isn't where it starts";
    EXPECT_LT(edgeAtStart, layout::paddle.x + layout::paddle.width / 2) << "the paddle isn't where it starts";
    xdotool::pressKeys(window, {"space"});
    const int disc = ballDiscSize();
    const PictureWait released = waitForPicture(window, 3000ms, [&](const Image& shot) {
        return countInBallDisc([&](int x, int y) { return background.matches(shot.at(x, y), x, y); }) * 10 >= disc * 9;
    });
    EXPECT_TRUE(released.satisfied) << "the ball doesn't leave the paddle after space";

    // Now the left arrow moves the paddle left.
    xdotool::keyDown(window, "Left");
    const PictureWait movedLeft = waitForPicture(window, 3000ms, [&](const Image& shot) {
        const int edge = paddleLeftEdge(shot, background, middleRow);
        return edge >= 0 && edge <= edgeAtStart - 60;
    });
    xdotool::keyUp(window, "Left");
    EXPECT_TRUE(movedLeft.satisfied) << "holding left after space didn't move the paddle left; its left edge is at "
                                     << paddleLeftEdge(movedLeft.last, background, middleRow);
    if (!released.satisfied || !movedLeft.satisfied)
        keepScreenshot(movedLeft.last, "after-space");
    quit();
}
