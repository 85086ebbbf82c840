// The key callbacks: space releases the ball, the arrows set the paddle's per-frame
// displacement only while the ball is in play, Escape ends the process.
#include "GameFixture.h"
#include "app/Callbacks.h"

namespace {

constexpr unsigned char escape = 27;
constexpr unsigned char space = 32;
constexpr int leftArrow = 100;   // GLUT_KEY_LEFT
constexpr int upArrow = 101;     // GLUT_KEY_UP
constexpr int rightArrow = 102;  // GLUT_KEY_RIGHT

using CallbacksTest = GameTest;

TEST_F(CallbacksTest, ArrowsDoNothingBeforeSpaceAndOtherKeysNeverStart)
{
    onSpecialKey(leftArrow, 0, 0);
    onSpecialKey(rightArrow, 0, 0);
    EXPECT_EQ(paddleVelocity, 0.0f);

    onKeyboard('a', 0, 0);
    onKeyboard('\r', 0, 0);
    EXPECT_FALSE(game.started);

    onKeyboard(space, 0, 0);
    EXPECT_TRUE(game.started);
    onKeyboard(space, 0, 0);  // a second space does not toggle
    EXPECT_TRUE(game.started);
    onKeyboard('a', 0, 0);  // nor does any other key once in play
    EXPECT_TRUE(game.started);
}

TEST_F(CallbacksTest, ArrowsSetOneSixtiethOfTheSpeedPerFrameAndTheLastOneDecides)
{
    game.started = true;
    onSpecialKey(leftArrow, 0, 0);
    EXPECT_EQ(paddleVelocity, leftStep);
    EXPECT_NEAR(paddleVelocity, -16.666667f, 1e-5f);
    onSpecialKey(rightArrow, 0, 0);  // left still held: the right arrow wins
    EXPECT_EQ(paddleVelocity, rightStep);

    onSpecialKey(upArrow, 0, 0);
    onSpecialKeyUp(upArrow, 0, 0);
    EXPECT_EQ(paddleVelocity, rightStep);

    onSpecialKeyUp(leftArrow, 0, 0);  // releasing the other arrow still stops the paddle
    EXPECT_EQ(paddleVelocity, 0.0f);

    onSpecialKey(leftArrow, 0, 0);
    onSpecialKeyUp(rightArrow, 0, 0);
    EXPECT_EQ(paddleVelocity, 0.0f);
}

TEST_F(CallbacksTest, ArrowsFollowThePaddleSpeedSetting)
{
    game.started = true;
    game.paddleSpeed = 90.0f;
    onSpecialKey(rightArrow, 0, 0);
    EXPECT_EQ(paddleVelocity, 3.0f);
    onSpecialKey(leftArrow, 0, 0);
    EXPECT_EQ(paddleVelocity, -3.0f);
}

TEST_F(CallbacksTest, ReleaseWhileWaitingKeepsTheVelocity)
{
    paddleVelocity = rightStep;
    onSpecialKeyUp(rightArrow, 0, 0);
    onSpecialKeyUp(leftArrow, 0, 0);
    EXPECT_EQ(paddleVelocity, rightStep);
    onSpecialKey(leftArrow, 0, 0);
    EXPECT_EQ(paddleVelocity, rightStep);
}

TEST_F(CallbacksTest, PaddleWaitsWithTheBallAfterALossWithAnArrowHeld)
{
    onKeyboard(space, 0, 0);
    onSpecialKey(rightArrow, 0, 0);
    placeBall({50.0f, 599.0f}, {0.0f, 400.0f});  // lost within the next frame
    advanceFrame();
    ASSERT_FALSE(game.started);

    // The release comes while the ball waits, and so is ignored.
    onSpecialKeyUp(rightArrow, 0, 0);
    for (int frame = 0; frame < 30; ++frame)
        advanceFrame();
    EXPECT_EQ(paddle->position.x, 240.0f);
    onKeyboard(space, 0, 0);
    movePaddle();
    EXPECT_EQ(paddle->position.x, 240.0f);
}

using CallbacksDeathTest = GameTest;

TEST_F(CallbacksDeathTest, EscapeEndsTheProcessWithStatusZeroInEveryState)
{
    for (const bool started : {false, true}) {
        game.started = started;
        EXPECT_EXIT(
            {
                allowExit();
                onKeyboard(escape, 0, 0);
            },
            ::testing::ExitedWithCode(0), "")
            << (started ? "with the ball in play" : "before the ball is released");
    }
}

}  // namespace
