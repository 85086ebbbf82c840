#include "Relaunch.h"

#include "game/Collision.h"
#include "game/GameController.h"
#include "game/Level.h"

void relaunch()
{
    for (GameObject& brick : level.bricks)
        brick.alive = true;
    hitHistory.clear();
    paddle->position = glm::vec2(240.0f, 528.0f);
    ball->position = glm::vec2(291.0f, 510.0f);
    ball->velocity = game.ballVelocity;
    game.started = true;
    paddleVelocity = 0.0f;
}
