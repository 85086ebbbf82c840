// What the player sees: the background, the striped bricks, the paddle and the ball where a
// level starts, and what the keys do to them.
#include "Assets.h"
#include "ExpectedBackground.h"
#include "FieldLayout.h"
#include "FrameCounter.h"
#include "GameChecks.h"
#include "RunningGameTest.h"
#include "Keyboard.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class GamePicture : public RunningGameTest {
protected:
    ExpectedBackground background{sourceAsset("background.jpg").string()};
};

}  // namespace

TEST_F(GamePicture, StartShowsBackgroundStripedBricksPaddleAndBall)
{
    // Fifty bricks of 60 × 60 from (0, 0) in diagonal red, green and blue stripes, the background
    // wherever nothing else is drawn, the paddle and the ball where a level starts.
    const Image shot = startAndTakeFirstPicture();
    const std::vector<std::string> faults = startPictureFaults(shot, background);
    for (const std::string& fault : faults)
        ADD_FAILURE() << fault;
    if (!faults.empty())
        keepScreenshot(shot, "start");
    quit();
}

TEST_F(GamePicture, ArrowsMoveNothingBeforeSpaceAndThePaddleAfter)
{
    const Image first = startAndTakeFirstPicture();

    // Before the ball is released the arrows are ignored: nothing on the field moves, however
    // many frames go by while they are held.
    keyDown(window, "Left");
    EXPECT_TRUE(framesGoBy(window, 15)) << "the game stopped drawing while left was held";
    keyUp(window, "Left");
    keyDown(window, "Right");
    EXPECT_TRUE(framesGoBy(window, 10)) << "the game stopped drawing while right was held";
    keyUp(window, "Right");
    EXPECT_TRUE(framesGoBy(window, 2)) << "the game stopped drawing after the arrows";
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
    pressKeys(window, {"space"});
    const PictureWait released = waitForPicture(
        window, 3000ms, [&](const Image& shot) { return ballPlaceShowsBackground(shot, background) >= 0.9; });
    EXPECT_TRUE(released.satisfied) << "the ball doesn't leave the paddle after space";

    // Now the left arrow moves the paddle left.
    keyDown(window, "Left");
    const PictureWait movedLeft = waitForPicture(window, 3000ms, [&](const Image& shot) {
        const int edge = paddleLeftEdge(shot, background, middleRow);
        return edge >= 0 && edge <= edgeAtStart - 60;
    });
    keyUp(window, "Left");
    EXPECT_TRUE(movedLeft.satisfied) << "holding left after space didn't move the paddle left; its left edge is at "
                                     << paddleLeftEdge(movedLeft.last, background, middleRow);
    if (!released.satisfied || !movedLeft.satisfied)
        keepScreenshot(movedLeft.last, "after-space");
    quit();
}
