// A long game played by an autopilot that keeps the paddle under the ball: every frame keeps
// the ball's speed and keeps it inside the field, and the level is eventually cleared, which
// ends the process with status 0.
#include "GameFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

void violation(const char* what, int frame)
{
    std::fprintf(stderr, "frame %d: %s (ball at %g, %g, velocity %g, %g)\n", frame, what, ball->position.x,
                 ball->position.y, ball->velocity.x, ball->velocity.y);
    std::abort();
}

// Plays until the win ends the process; returns only if the level is not cleared in time.
void playWithAutopilot(int maxFrames)
{
    game.started = true;
    for (int frame = 0; frame < maxFrames; ++frame) {
        // The paddle's centre within 40 pixels of the ball's, on a side that varies from frame
        // to frame so that the paddle sends the ball off at changing angles.
        const float ballCentre = ball->position.x + ball->radius;
        const float aim = 40.0f * std::sin(0.37f * static_cast<float>(frame));
        paddle->position.x = std::clamp(ballCentre + aim - 60.0f, 0.0f, 480.0f);

        advanceFrame();

        const glm::vec2 p = ball->position;
        const glm::vec2 v = ball->velocity;
        if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(v.x) || std::isnan(v.y))
            violation("NaN", frame);
        const double speed = std::sqrt(double(v.x) * v.x + double(v.y) * v.y);
        if (std::fabs(speed - 350.0) >= 0.01)
            violation("speed is not 350", frame);
        if (p.x < 0.0f || p.x + ball->size.x > 600.0f)
            violation("ball outside the side walls", frame);
        if (p.y < 0.0f)
            violation("ball above the top wall", frame);
        if (!game.started)
            violation("ball lost although the paddle was under it", frame);
    }
}

TEST(AutopilotDeathTest, ClearsTheLevelKeepingSpeedAndFieldThenExits)
{
    resetGame();
    EXPECT_EXIT(
        {
            allowExit();
            unsetenv("DISPLAY");
            playWithAutopilot(100000);
            std::fputs("level not cleared\n", stderr);
            std::abort();
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
