// Ball against brick and paddle: the hit test with its direction and offset, the brick response
// with the neighbour rule of the hit history, and the paddle's steering.
#include "GameFixture.h"

#include <cmath>

namespace {

float speed(glm::vec2 v)
{
    return static_cast<float>(std::sqrt(double(v.x) * v.x + double(v.y) * v.y));
}

class CollisionTest : public GameTest {
protected:
    // The bottom-row brick of the game's level at column 2: (120, 240) to (180, 300).
    void onlyBrickAt120By240() { level.bricks = {box(glm::vec2(120.0f, 240.0f), glm::vec2(60.0f, 60.0f), 2.0f)}; }
};

TEST_F(CollisionTest, PaddleSteersByTheContactPointToTheLastFloat)
{
    struct Case {
        float centreX;
        glm::vec2 before;
        glm::vec2 after;
    };
    const Case cases[] = {
        {300.0f, {100.0f, 330.0f}, {0.0f, -344.81876f}},
        {330.0f, {0.0f, 350.0f}, {203.43338f, -284.8067f}},
        {360.0f, {0.0f, 350.0f}, {286.7312f, -200.71182f}},
        {240.0f, {-247.48737f, 247.48737f}, {-313.67752f, -155.26244f}},
    };
    for (const Case& c : cases) {
        placeBallCentre(c.centreX, 524.0f);  // 4 pixels into the paddle's top edge at y = 528
        ball->velocity = c.before;
        hitHistory = {1};
        game.resolveCollisions();
        EXPECT_EQ(ball->velocity.x, c.after.x) << "centre x " << c.centreX;
        EXPECT_EQ(ball->velocity.y, c.after.y) << "centre x " << c.centreX;
        EXPECT_EQ(ball->position, glm::vec2(c.centreX - 9.0f, 515.0f));  // the paddle hit moves nothing
        EXPECT_TRUE(hitHistory.empty());
    }
}

TEST_F(CollisionTest, PaddleHitBeyondItsEndStillSendsTheBallUp)
{
    // Centre 5 pixels right of the paddle's end: before rescaling x is 65 / 60 × 500, more than
    // the 500 at the end itself, so after it more than the 286.7312 of a hit at the end.
    placeBallCentre(365.0f, 524.0f);
    ball->velocity = glm::vec2(0.0f, 350.0f);
    game.resolveCollisions();
    EXPECT_GT(ball->velocity.x, 286.7312f);
    EXPECT_LT(ball->velocity.y, 0.0f);
    EXPECT_NEAR(speed(ball->velocity), 350.0f, 1e-3f);

    // Coming up from below it still leaves upward.
    placeBallCentre(300.0f, 545.0f);
    ball->velocity = glm::vec2(40.0f, -300.0f);
    game.resolveCollisions();
    EXPECT_EQ(ball->velocity.x, 0.0f);
    EXPECT_LT(ball->velocity.y, 0.0f);
}

TEST_F(CollisionTest, FlatBallLeavesNoFlatterThanTheFlattestLaunch)
{
    // A level ball at 350, met right or left of the centre, rescales to (±350, 0) and is lifted
    // to the direction of the launch (±350, -100): 350 × (±350, -100) / √132500, its speed kept.
    const double rise = 350.0 * 100.0 / std::sqrt(132500.0);
    const double across = 350.0 * 350.0 / std::sqrt(132500.0);
    for (float side : {1.0f, -1.0f}) {
        placeBallCentre(300.0f + 30.0f * side, 524.0f);
        ball->velocity = glm::vec2(-350.0f * side, 0.0f);  // the contact's side decides, not the ball's way
        game.resolveCollisions();
        EXPECT_FLOAT_EQ(ball->velocity.x, static_cast<float>(across * side));
        EXPECT_FLOAT_EQ(ball->velocity.y, static_cast<float>(-rise));
        EXPECT_NEAR(speed(ball->velocity), 350.0f, 1e-4f);
    }
    // Met level at the exact centre there is no direction left to rescale: straight up, no NaN.
    placeBallCentre(300.0f, 524.0f);
    ball->velocity = glm::vec2(350.0f, 0.0f);
    game.resolveCollisions();
    EXPECT_EQ(ball->velocity, glm::vec2(0.0f, -350.0f));
}

TEST_F(CollisionTest, HitsOnTheBottomAndLeftFacesWithDepth4)
{
    onlyBrickAt120By240();
    placeBallCentre(150.0f, 305.0f);
    HitResult hit = findBallHit(level.bricks[0]);
    EXPECT_TRUE(hit.hit);
    EXPECT_EQ(hit.direction, Up);
    EXPECT_EQ(hit.offset, glm::vec2(0.0f, -5.0f));
    ball->velocity = glm::vec2(20.0f, -340.0f);
    game.resolveCollisions();
    EXPECT_FALSE(level.bricks[0].alive);
    EXPECT_EQ(hitHistory, std::vector<uint32_t>{2});
    EXPECT_EQ(ball->velocity, glm::vec2(20.0f, 340.0f));
    EXPECT_EQ(ball->position, glm::vec2(141.0f, 292.0f));  // centre (150, 301)

    onlyBrickAt120By240();
    hitHistory.clear();
    placeBallCentre(115.0f, 270.0f);
    hit = findBallHit(level.bricks[0]);
    EXPECT_TRUE(hit.hit);
    EXPECT_EQ(hit.direction, Right);
    EXPECT_EQ(hit.offset, glm::vec2(5.0f, 0.0f));
    ball->velocity = glm::vec2(340.0f, 20.0f);
    game.resolveCollisions();
    EXPECT_FALSE(level.bricks[0].alive);
    EXPECT_EQ(ball->velocity, glm::vec2(-340.0f, 20.0f));
    EXPECT_EQ(ball->position, glm::vec2(102.0f, 261.0f));  // centre (111, 270)
}

TEST_F(CollisionTest, DiagonalCornerTiesGoToTheLowerCode)
{
    onlyBrickAt120By240();
    placeBallCentre(115.0f, 235.0f);  // above-left of the top-left corner
    EXPECT_EQ(findBallHit(level.bricks[0]).direction, Down);
    placeBallCentre(185.0f, 305.0f);  // below-right of the bottom-right corner
    EXPECT_EQ(findBallHit(level.bricks[0]).direction, Left);
    placeBallCentre(185.0f, 235.0f);  // above-right of the top-right corner
    EXPECT_EQ(findBallHit(level.bricks[0]).direction, Down);
    placeBallCentre(115.0f, 305.0f);  // below-left of the bottom-left corner
    EXPECT_EQ(findBallHit(level.bricks[0]).direction, Right);

    // The Down tie bounces vertically and moves the ball towards the brick's middle, not away:
    // offset (5, 5), depth 9 - 5 = 4 downwards.
    placeBallCentre(115.0f, 235.0f);
    ball->velocity = glm::vec2(100.0f, 100.0f);
    game.resolveCollisions();
    EXPECT_EQ(ball->velocity, glm::vec2(100.0f, -100.0f));
    EXPECT_EQ(ball->position, glm::vec2(106.0f, 230.0f));
}

TEST_F(CollisionTest, TouchingIsNoHit)
{
    onlyBrickAt120By240();
    const glm::vec2 touchingCentres[] = {{150.0f, 309.0f}, {111.0f, 270.0f}, {189.0f, 240.0f}, {150.0f, 231.0f}};
    for (const glm::vec2& centre : touchingCentres) {
        placeBallCentre(centre.x, centre.y);
        const HitResult hit = findBallHit(level.bricks[0]);
        EXPECT_FALSE(hit.hit);
        EXPECT_EQ(static_cast<int>(hit.direction), 0);
        EXPECT_EQ(hit.offset, glm::vec2(0.0f, 0.0f));
        game.resolveCollisions();
        EXPECT_TRUE(level.bricks[0].alive);
        EXPECT_TRUE(hitHistory.empty());
    }
}

TEST_F(CollisionTest, CentreInsideOrOnTheEdgeDestroysWithoutABounce)
{
    const glm::vec2 centres[] = {{150.0f, 270.0f}, {150.0f, 300.0f}};
    for (const glm::vec2& centre : centres) {
        onlyBrickAt120By240();
        hitHistory.clear();
        placeBallCentre(centre.x, centre.y);
        EXPECT_EQ(findBallHit(level.bricks[0]).direction, NoDirection);
        ball->velocity = glm::vec2(123.0f, -77.0f);
        game.resolveCollisions();
        EXPECT_FALSE(level.bricks[0].alive);
        EXPECT_EQ(hitHistory, std::vector<uint32_t>{2});
        EXPECT_EQ(ball->velocity, glm::vec2(123.0f, -77.0f));
        EXPECT_EQ(ball->position, glm::vec2(centre.x - 9.0f, centre.y - 9.0f));
    }
}

TEST_F(CollisionTest, SecondVerticalHitInAnAdjacentColumnKeepsTheVerticalVelocity)
{
    // Bottom faces of the game level's row 4 (y 240..300): column c spans 60c..60c + 60.
    struct Case {
        glm::vec2 secondCentre;
        uint32_t secondColumn;
        bool kept;
    };
    const Case cases[] = {
        {{330.0f, 305.0f}, 5, true},   // column 4 then 5
        {{210.0f, 305.0f}, 3, true},   // column 4 then 3
        {{390.0f, 305.0f}, 6, false},  // not adjacent
        {{270.0f, 245.0f}, 4, false},  // same column, row 3 above the destroyed brick
    };
    for (const Case& c : cases) {
        resetGame();
        ball->velocity = glm::vec2(0.0f, -350.0f);
        placeBallCentre(270.0f, 305.0f);
        game.resolveCollisions();
        ASSERT_EQ(ball->velocity.y, 350.0f);

        placeBallCentre(c.secondCentre.x, c.secondCentre.y);
        game.resolveCollisions();
        ASSERT_EQ(hitHistory, (std::vector<uint32_t>{4, c.secondColumn}));
        EXPECT_EQ(ball->velocity.y, c.kept ? 350.0f : -350.0f) << "second column " << c.secondColumn;
        EXPECT_EQ(ball->velocity.x, 0.0f);

        // A third vertical hit, in a later pass, negates whatever the columns.
        const float before = ball->velocity.y;
        placeBallCentre(510.0f, 305.0f);
        game.resolveCollisions();
        EXPECT_EQ(ball->velocity.y, -before);
        EXPECT_EQ(hitHistory.size(), 3u);
    }
}

TEST_F(CollisionTest, SideHitsInOneColumnBothNegate)
{
    // Left faces of column 2 in rows 3 and 4 (x = 120), hit one after the other.
    ball->velocity = glm::vec2(300.0f, 10.0f);
    level.bricks[31].alive = false;  // clear the way: column 1 of rows 3 and 4
    level.bricks[41].alive = false;
    placeBallCentre(115.0f, 270.0f);
    game.resolveCollisions();
    EXPECT_EQ(ball->velocity.x, -300.0f);
    placeBallCentre(115.0f, 210.0f);
    game.resolveCollisions();
    EXPECT_EQ(ball->velocity.x, 300.0f);
    EXPECT_EQ(hitHistory, (std::vector<uint32_t>{2, 2}));
}

TEST_F(CollisionTest, HistoryIsEmptiedAfterThePassThatAddsTheFourthEntry)
{
    const float centresX[] = {30.0f, 150.0f, 270.0f, 390.0f};  // columns 0, 2, 4, 6 of row 4
    const size_t sizes[] = {1, 2, 3, 0};
    for (int pass = 0; pass < 4; ++pass) {
        placeBallCentre(centresX[pass], 305.0f);
        game.resolveCollisions();
        EXPECT_EQ(hitHistory.size(), sizes[pass]) << "after pass " << pass + 1;
    }
    for (int brick = 40; brick < 48; brick += 2)
        EXPECT_FALSE(level.bricks[brick].alive);
}

TEST_F(CollisionTest, PaddleHitInTheSamePassEmptiesTheHistoryAfterTheBricks)
{
    // A narrow brick standing on the paddle's left half, x 270..290, y 500..540. The ball's
    // centre (295, 524) hits its right face (Left, depth 4), is moved to (299, 524) and then
    // overlaps the paddle by 4.
    level.bricks = {box(glm::vec2(270.0f, 500.0f), glm::vec2(20.0f, 40.0f), 3.0f)};
    hitHistory = {7};
    placeBallCentre(295.0f, 524.0f);
    ball->velocity = glm::vec2(-210.0f, 280.0f);
    game.resolveCollisions();
    EXPECT_FALSE(level.bricks[0].alive);
    EXPECT_TRUE(hitHistory.empty());
    EXPECT_EQ(ball->position, glm::vec2(290.0f, 515.0f));
    EXPECT_LT(ball->velocity.y, 0.0f);
    EXPECT_LT(ball->velocity.x, 0.0f);  // centre 1 pixel left of the paddle's centre
    EXPECT_NEAR(speed(ball->velocity), 350.0f, 1e-3f);
}

TEST_F(CollisionTest, SeamHitDestroysBothBricksAndTheBallLeavesUpwards)
{
    // Columns 2 and 3 side by side, seam at x = 180, top faces at y = 240. Centre (175, 232):
    // only the left brick is overlapped (offset (0, 8): Down, depth 1; the right one is
    // √(5² + 8²) ≈ 9.43 away). Moved down to (175, 233) it overlaps the right one by
    // 9 - √(5² + 7²) ≈ 0.40, again Down (7 > 5); that is the second entry, one column over.
    level.bricks = {box(glm::vec2(120.0f, 240.0f), glm::vec2(60.0f, 60.0f), 2.0f),
                    box(glm::vec2(180.0f, 240.0f), glm::vec2(60.0f, 60.0f), 3.0f)};
    placeBallCentre(175.0f, 232.0f);
    ball->velocity = glm::vec2(0.0f, 350.0f);
    game.resolveCollisions();
    EXPECT_FALSE(level.bricks[0].alive);
    EXPECT_FALSE(level.bricks[1].alive);
    EXPECT_EQ(hitHistory, (std::vector<uint32_t>{2, 3}));
    EXPECT_EQ(ball->velocity, glm::vec2(0.0f, -350.0f));
    EXPECT_EQ(ball->position, glm::vec2(166.0f, 226.0f));  // 223 + 1 + (9 - 7)
}

}  // namespace
