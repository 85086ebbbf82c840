// The game's globals as start-up leaves them, and its frames of play, without a GL context:
// textures keep the name 0 and are never drawn. For tests and benchmarks that run the game's
// logic on its own.
#pragma once
#include "game/GameController.h"

#include <glm/glm.hpp>

// Settings, the paddle at (240, 528) 120 × 12, the ball at (291, 510) with radius 9 resting on
// it and leaving with `ballVelocity` once released, the 50-brick level, an empty hit history,
// a still paddle, sub-steps of 1/300 s, the game active and the ball not yet released.
void startLikeTheGame(glm::vec2 ballVelocity);

// One frame as the display callback runs it, without the drawing: the paddle's motion while
// the game is active, then the ten sub-steps of the update. Inline: the soak test and the
// benchmarks run it a million times.
inline void playOneFrame()
{
    deltaTime = 1.0f / 300.0f;
    if (game.state == Active)
        movePaddle();
    game.update(game.started);
}
