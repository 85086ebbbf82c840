// The globals of the game as start-up leaves them, rebuilt before every test, without a GL
// context: textures built here keep the name 0 and are never drawn.
#pragma once
#include "game/Collision.h"
#include "game/GameController.h"
#include "game/Level.h"

#include "ExitGuard.h"

#include <gtest/gtest.h>
#include <glm/glm.hpp>

// The launch velocity for r1 mod 251 = 250, r2 mod 701 = 0: chosen so that a relaunch with
// any other velocity would show.
inline const glm::vec2 startVelocity{-336.53342f, -96.152405f};

// Settings, paddle at (240, 528) 120 × 12, ball at (291, 510) with radius 9 resting on it,
// the 50-brick level, an empty hit history, a still paddle and sub-steps of 1/300 s.
void resetGame();

// A brick-like object (as the level generator builds them) with the given column value.
GameObject box(glm::vec2 position, glm::vec2 size, float column);

// Puts the ball's centre at (x, y); its radius is 9.
void placeBallCentre(float x, float y);


class GameTest : public ::testing::Test {
protected:
    void SetUp() override { resetGame(); }
};
