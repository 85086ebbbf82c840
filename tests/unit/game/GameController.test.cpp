// The launch velocity drawn at start-up and the bound on the number of brick rows.
#include "GameFixture.h"

#include <cmath>

namespace {

TEST(LaunchVelocityTest, WorkedExamplesToTheLastFloat)
{
    const glm::vec2 straightUp = launchVelocity(250, 350);
    EXPECT_EQ(straightUp.x, 0.0f);
    EXPECT_EQ(straightUp.y, -350.0f);

    const glm::vec2 upLeft = launchVelocity(0, 0);
    EXPECT_EQ(upLeft.x, -247.48737f);
    EXPECT_EQ(upLeft.y, -247.48737f);

    const glm::vec2 upRight = launchVelocity(0, 700);
    EXPECT_EQ(upRight.x, 247.48737f);
    EXPECT_EQ(upRight.y, -247.48737f);

    const glm::vec2 flatLeft = launchVelocity(250, 0);
    EXPECT_EQ(flatLeft.x, -336.53342f);
    EXPECT_EQ(flatLeft.y, -96.152405f);
}

TEST(LaunchVelocityTest, OnlyTheResiduesMod251AndMod701Count)
{
    EXPECT_EQ(launchVelocity(250 + 251 * 1000, 350 + 701 * 1000), launchVelocity(250, 350));
    EXPECT_EQ(launchVelocity(251 * 7, 701 * 3 + 700), launchVelocity(0, 700));
    EXPECT_EQ(launchVelocity(2147483647, 2147483647), launchVelocity(2147483647 % 251, 2147483647 % 701));
}

TEST(LaunchVelocityTest, EveryResiduePairPointsUpwardsWithLength350)
{
    // tan(angle above the horizontal) = |y| / |x| >= 100 / 350 at the flattest launch.
    const double minimumTangent = 100.0 / 350.0;
    for (int r1 = 0; r1 < 251; ++r1) {
        for (int r2 = 0; r2 < 701; ++r2) {
            const glm::vec2 v = launchVelocity(r1, r2);
            ASSERT_LT(v.y, 0.0f) << r1 << ", " << r2;
            const double length = std::sqrt(double(v.x) * v.x + double(v.y) * v.y);
            ASSERT_NEAR(length, 350.0, 1e-3) << r1 << ", " << r2;
            ASSERT_GE(-double(v.y), minimumTangent * std::fabs(double(v.x)) - 1e-3) << r1 << ", " << r2;
        }
    }
}

TEST(ClampFilledRowsTest, KeepsOneGridRowFree)
{
    GameController controller;
    controller.filledRows = 10;
    controller.clampFilledRows();
    EXPECT_EQ(controller.filledRows, 9u);

    controller.filledRows = 4000000000u;
    controller.clampFilledRows();
    EXPECT_EQ(controller.filledRows, 9u);

    controller.filledRows = 9;
    controller.clampFilledRows();
    EXPECT_EQ(controller.filledRows, 9u);

    controller.filledRows = 5;
    controller.clampFilledRows();
    EXPECT_EQ(controller.filledRows, 5u);
}

}  // namespace
