// The game's globals as start-up leaves them, without a GL context: textures keep the name 0
// and are never drawn. For tests and benchmarks that run the game's logic on its own; they
// play it with the game's own `advanceFrame`.
#pragma once
#include "game/GameController.h"

#include <glm/glm.hpp>

// Settings, the paddle at (240, 528) 120 × 12, the ball at (291, 510) with radius 9 resting on
// it and leaving with `ballVelocity` once released, the 50-brick level, an empty hit history,
// a still paddle, sub-steps of 1/300 s, the game active and the ball not yet released.
void startLikeTheGame(glm::vec2 ballVelocity);
