// The frame's game work: the paddle motion, the ten sub-steps of `update` with the wall
// reflections, and the lost-ball and win rules.
#include "GameFixture.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool isAlive(const GameObject& brick)
{
    return brick.alive;
}

class SimulationTest : public GameTest {
protected:
    // One brick, far from every path used below, so that no call ends in a win.
    void keepOneBrickAway() { level.bricks = {box(glm::vec2(0.0f, 590.0f), glm::vec2(1.0f, 1.0f), 0.0f)}; }
};

// With sub-steps of 0.25 s a velocity of 40 moves the ball exactly 10 pixels per sub-step.

TEST_F(SimulationTest, ExactWallTouchesReflect)
{
    keepOneBrickAway();
    deltaTime = 0.25f;
    // Left and top at once: (10, 10) reaches (0, 0) in the first sub-step and bounces; nine more
    // sub-steps end at (90, 90). Touching not counted would bounce one step later, at (80, 80).
    placeBall({10.0f, 10.0f}, {-40.0f, -40.0f});
    game.update(true);
    EXPECT_EQ(ball->position, glm::vec2(90.0f, 90.0f));
    EXPECT_EQ(ball->velocity, glm::vec2(40.0f, 40.0f));

    // Right: 572 + 10 puts the right edge on x = 600, then nine steps back to 492.
    placeBall({572.0f, 400.0f}, {40.0f, 0.0f});
    game.update(true);
    EXPECT_EQ(ball->position, glm::vec2(492.0f, 400.0f));
    EXPECT_EQ(ball->velocity, glm::vec2(-40.0f, 0.0f));
}

TEST_F(SimulationTest, AWallPutsTheBallBackOnIt)
{
    keepOneBrickAway();
    deltaTime = 0.25f;
    placeBall({5.0f, 5.0f}, {-40.0f, -40.0f});  // first sub-step at (-5, -5), set to (0, 0)
    game.update(true);
    EXPECT_EQ(ball->position, glm::vec2(90.0f, 90.0f));

    placeBall({587.0f, 400.0f}, {40.0f, 0.0f});  // right edge at 615 after one step, set back to 582
    game.update(true);
    EXPECT_EQ(ball->position, glm::vec2(492.0f, 400.0f));
}

TEST_F(SimulationTest, AReflectionOnlyNegates)
{
    keepOneBrickAway();
    deltaTime = 0.25f;
    // Outside the field and moving in: -20 → -10, set to 0 and turned to -40; -10 again, set to 0
    // and turned to +40; eight free steps end at 80.
    placeBall({-20.0f, 400.0f}, {40.0f, 0.0f});
    game.update(true);
    EXPECT_EQ(ball->position, glm::vec2(80.0f, 400.0f));
    EXPECT_EQ(ball->velocity, glm::vec2(40.0f, 0.0f));
}

TEST_F(SimulationTest, BallIsLostOnlyWhenItsTopEdgeReachesTheBottom)
{
    deltaTime = 0.25f;
    game.started = true;
    placeBall({50.0f, 580.0f}, {0.0f, 4.0f});  // ends at 590: 8 pixels of it still inside
    game.update(true);
    EXPECT_EQ(ball->position, glm::vec2(50.0f, 590.0f));
    EXPECT_TRUE(game.started);

    placeBall({50.0f, 595.0f}, {0.0f, 2.0f});  // ends exactly at 600
    game.update(true);
    EXPECT_EQ(ball->position, glm::vec2(291.0f, 510.0f));
    EXPECT_FALSE(game.started);
}

TEST_F(SimulationTest, LossRebuildsAndResetsAfterTheTenSubSteps)
{
    deltaTime = 0.25f;
    game.started = true;
    paddle->position = glm::vec2(10.0f, 528.0f);
    paddle->size = glm::vec2(50.0f, 5.0f);
    level.bricks[3].alive = false;
    level.bricks[44].alive = false;
    hitHistory = {3, 4};
    paddleVelocity = leftStep;

    // Below the field after the first sub-step; a test per sub-step would relaunch the ball
    // from its reset position in the nine that follow.
    placeBall({50.0f, 599.0f}, {0.0f, 40.0f});
    game.update(true);

    ASSERT_EQ(level.bricks.size(), 50u);
    for (const GameObject& brick : level.bricks)
        EXPECT_TRUE(brick.alive);
    EXPECT_EQ(level.bricks[49].position, glm::vec2(540.0f, 240.0f));
    EXPECT_TRUE(hitHistory.empty());
    EXPECT_EQ(paddle->position, glm::vec2(240.0f, 528.0f));
    EXPECT_EQ(paddle->size, glm::vec2(120.0f, 12.0f));
    EXPECT_EQ(ball->position, glm::vec2(291.0f, 510.0f));
    EXPECT_EQ(ball->velocity, startVelocity);
    EXPECT_EQ(ball->size, glm::vec2(18.0f, 18.0f));
    EXPECT_EQ(ball->radius, 9.0f);
    EXPECT_FALSE(game.started);
    EXPECT_EQ(game.state, Active);
    EXPECT_EQ(paddleVelocity, 0.0f);

    // Every later relaunch has the same velocity again.
    game.started = true;
    placeBall({500.0f, 599.0f}, {30.0f, 40.0f});
    game.update(true);
    EXPECT_EQ(ball->velocity, startVelocity);
    EXPECT_EQ(ball->position, glm::vec2(291.0f, 510.0f));
}

TEST_F(SimulationTest, LosingTheBallWithTheLastBrickRebuildsInsteadOfWinning)
{
    deltaTime = 0.25f;
    level.bricks = {box(glm::vec2(50.0f, 585.0f), glm::vec2(20.0f, 10.0f), 0.0f)};
    // The first sub-step puts the centre at (59, 589), inside the brick: it is destroyed without
    // a bounce and the ball goes on down, out of the field.
    placeBall({50.0f, 570.0f}, {0.0f, 40.0f});
    game.update(true);  // an exit here fails the test program
    EXPECT_EQ(game.state, Active);
    ASSERT_EQ(level.bricks.size(), 50u);
    EXPECT_TRUE(level.bricks[0].alive);
}

TEST_F(SimulationTest, WaitingBallStaysAndTouchingThePaddleIsNoHit)
{
    hitHistory = {4};  // a paddle hit would empty it
    paddleVelocity = rightStep;
    for (int frame = 0; frame < 5; ++frame) {
        movePaddle();
        game.update(false);
    }
    EXPECT_EQ(ball->position, glm::vec2(291.0f, 510.0f));
    EXPECT_EQ(ball->velocity, startVelocity);
    EXPECT_EQ(hitHistory, std::vector<uint32_t>{4});
    EXPECT_GT(paddle->position.x, 320.0f);  // the paddle moved on without the ball

    // The collision pass still runs: a brick under the waiting ball is destroyed.
    level.bricks.push_back(box(glm::vec2(280.0f, 500.0f), glm::vec2(40.0f, 20.0f), 4.0f));
    game.update(false);
    EXPECT_FALSE(level.bricks.back().alive);
}

TEST_F(SimulationTest, PaddleStepThatCrossesAnEdgeIsTakenBack)
{
    paddle->position.x = 5.0f;
    paddleVelocity = leftStep;
    for (int frame = 0; frame < 3; ++frame) {
        movePaddle();
        EXPECT_EQ(paddle->position.x, 5.0f);
    }
    paddle->position.x = 10.0f;  // a step ending at 0 is still inside
    paddleVelocity = -10.0f;
    movePaddle();
    EXPECT_EQ(paddle->position.x, 0.0f);
    // The right bound is 600 - 0.99 × 120 = 481.2: a step ending at 480 is still inside.
    paddle->position.x = 470.0f;
    paddleVelocity = 10.0f;
    movePaddle();
    EXPECT_EQ(paddle->position.x, 480.0f);
    movePaddle();
    EXPECT_EQ(paddle->position.x, 480.0f);
    EXPECT_EQ(paddle->position.y, 528.0f);
}

TEST_F(SimulationTest, HeldArrowsBringThePaddleToRestIn14Frames)
{
    struct Case {
        float step;
        float after13;
        float rest;
    };
    // Left: 240 - 14 × 16.666666 ≈ 6.67; the 15th step would end at ≈ -10.
    // Right: 240 + 14 × 16.666666 ≈ 473.33 < 481.2 = 600 - 0.99 × 120; the 15th would end at ≈ 490.
    for (const Case c : {Case{leftStep, 23.33f, 6.67f}, Case{rightStep, 456.67f, 473.33f}}) {
        SCOPED_TRACE(c.step < 0.0f ? "left" : "right");
        paddle->position.x = 240.0f;
        paddleVelocity = c.step;
        for (int frame = 0; frame < 13; ++frame)
            movePaddle();
        EXPECT_NEAR(paddle->position.x, c.after13, 0.01f);
        movePaddle();
        const float rest = paddle->position.x;
        EXPECT_NEAR(rest, c.rest, 0.01f);
        for (int frame = 0; frame < 20; ++frame)
            movePaddle();
        EXPECT_EQ(paddle->position.x, rest);
    }
}

// The frame moves the paddle before its sub-steps, so the ball meets the paddle where it is drawn.
// Right arrow held: the paddle steps from 240 to 256.66666, its right end from 360 to 376.66666.
// The ball falls straight down with its centre at x = 370, 10 pixels beyond the old right end
// (which it could never touch) and inside the new one. Its first sub-step brings its centre
// from y = 518 to 519.16667, 8.8333 above the paddle's top: a hit 53.333 right of the paddle's
// centre, 444.44 before rescaling, which leaves at (274.97275, -216.54099). Nine more sub-steps
// of (0.91657585, -0.72180331) end at (369.24908, 503.67044). With the sub-steps first the ball
// would fall on through the paddle's row, at (0, 350).
TEST_F(SimulationTest, TheFrameMovesThePaddleBeforeTheBallMeetsIt)
{
    deltaTime = 0.25f;  // the frame sets its own sub-step length
    game.started = true;
    paddleVelocity = rightStep;
    placeBall({361.0f, 509.0f}, {0.0f, 350.0f});
    advanceFrame();
    EXPECT_EQ(deltaTime, 1.0f / 300.0f);
    EXPECT_EQ(paddle->position.x, 256.666656f);
    EXPECT_EQ(ball->velocity, glm::vec2(274.972748f, -216.540985f));
    EXPECT_EQ(ball->position, glm::vec2(369.249084f, 503.670441f));
}

TEST_F(SimulationTest, BallCaughtInThePaddlesRowClimbsOutToTheBricks)
{
    // Its lowest point below the paddle's top edge, the ball is bounced again in every sub-step
    // that it still overlaps the paddle: by the paddle's end as the paddle (moving for three
    // frames) overtakes it, on either side, or by the end of a paddle resting by the left wall.
    struct Case {
        float paddleX;
        float step;
        glm::vec2 position;
        glm::vec2 velocity;
    };
    const Case cases[] = {{240.0f, rightStep, {362.0f, 515.0f}, {100.0f, 330.0f}},
                          {240.0f, leftStep, {220.0f, 515.0f}, {-100.0f, 330.0f}},
                          {6.67f, 0.0f, {0.0f, 525.0f}, {-100.0f, 330.0f}}};
    for (const Case& c : cases) {
        resetGame();
        paddle->position.x = c.paddleX;
        placeBall(c.position, c.velocity);
        game.started = true;
        // Leaving no flatter than 100 in 364 of its speed 344.8, it rises at 94.7 pixels per
        // second or more: 71.3 frames at most from y = 525 to the bricks' bottom face at 300.
        const auto whole = [] { return std::all_of(level.bricks.begin(), level.bricks.end(), isAlive); };
        for (int frame = 0; frame < 75 && whole(); ++frame) {
            paddleVelocity = frame < 3 ? c.step : 0.0f;
            advanceFrame();
            ASSERT_TRUE(game.started) << "paddle step " << c.step;
        }
        EXPECT_FALSE(whole()) << "paddle step " << c.step << ": no brick reached, ball at y " << ball->position.y;
    }
}

using SimulationDeathTest = SimulationTest;

// An update in the death test's child, which may end through exit(); without a display the win
// box only writes its text to standard error.
void updateWithoutDisplay()
{
    allowExit();
    unsetenv("DISPLAY");
    game.update(false);
}

TEST_F(SimulationDeathTest, EmptyLevelWinsOnTheFirstCall)
{
    level.bricks.clear();
    generateLevel(600, 600, 10, 10, 0);
    EXPECT_EXIT(updateWithoutDisplay(), ::testing::ExitedWithCode(0), "");
}

TEST_F(SimulationDeathTest, LevelOfDestroyedBricksWins)
{
    for (GameObject& brick : level.bricks)
        brick.alive = false;
    EXPECT_EXIT(updateWithoutDisplay(), ::testing::ExitedWithCode(0), "");
    level.bricks[49].alive = true;
    game.update(false);  // one brick left: no win
    EXPECT_EQ(game.state, Active);
}

}  // namespace
