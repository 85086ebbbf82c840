// The globals of the game as start-up leaves them, rebuilt before every test, without a GL
// context: textures built here keep the name 0 and are never drawn.
#pragma once
#include "game/Collision.h"
#include "game/GameController.h"
#include "game/Level.h"

#include "ExitGuard.h"
#include "GameStart.h"

#include <gtest/gtest.h>
#include <glm/glm.hpp>

#include <iomanip>
#include <ostream>

namespace glm {
// A failed check shows a vector as (x, y) to the last float digit, instead of as its bytes.
inline void PrintTo(const vec2& v, std::ostream* out)
{
    *out << std::setprecision(9) << "(" << v.x << ", " << v.y << ")";
}
}  // namespace glm

// The launch velocity for r1 mod 251 = 250, r2 mod 701 = 0: chosen so that a relaunch with
// any other velocity would show.
inline const glm::vec2 startVelocity{-336.53342f, -96.152405f};

// The paddle's displacement per frame with an arrow held: 500 pixels per second over 30 frames
// per second, divided in single precision.
inline const float leftStep = 500.0f / -30.0f;
inline const float rightStep = 500.0f / 30.0f;

// Settings, paddle at (240, 528) 120 × 12, ball at (291, 510) with radius 9 resting on it,
// the 50-brick level, an empty hit history, a still paddle and sub-steps of 1/300 s.
inline void resetGame()
{
    startLikeTheGame(startVelocity);
}

// A brick-like object (as the level generator builds them) with the given column value.
inline GameObject box(glm::vec2 position, glm::vec2 size, float column)
{
    return GameObject(position, size, Texture(), glm::vec3(1.0f, 0.0f, 0.0f), glm::vec2(0.0f, 0.0f), column);
}

// Puts the ball's centre at (x, y); its radius is 9.
inline void placeBallCentre(float x, float y)
{
    ball->position = glm::vec2(x - 9.0f, y - 9.0f);
}

// Puts the ball's top-left corner at `position`, moving at `velocity`.
inline void placeBall(glm::vec2 position, glm::vec2 velocity)
{
    ball->position = position;
    ball->velocity = velocity;
}

class GameTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
};
