// The launch velocity drawn at start-up and the bound on the number of brick rows.
#include "GameFixture.h"

#include <cmath>

namespace {

TEST(LaunchVelocityTest, WorkedExamplesToTheLastFloat)
{
    EXPECT_EQ(launchVelocity(250, 350), glm::vec2(0.0f, -350.0f)) << "straight up";
    EXPECT_EQ(launchVelocity(0, 0), glm::vec2(-247.48737f, -247.48737f)) << "up and left";
    EXPECT_EQ(launchVelocity(0, 700), glm::vec2(247.48737f, -247.48737f)) << "up and right";
    EXPECT_EQ(launchVelocity(250, 0), glm::vec2(-336.53342f, -96.152405f)) << "flat to the left";
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
    struct Case {
        unsigned filledRows;
        unsigned clamped;
    };
    GameController controller;
    for (const Case c : {Case{10, 9}, Case{4000000000u, 9}, Case{9, 9}, Case{5, 5}}) {
        controller.filledRows = c.filledRows;
        controller.clampFilledRows();
        EXPECT_EQ(controller.filledRows, c.clamped) << "from " << c.filledRows;
    }
}

}  // namespace
