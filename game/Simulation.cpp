#include "game/Collision.h"
#include "game/GameController.h"
#include "game/Level.h"
#include "platform/MessageBox.h"

#include <cstdlib>

namespace {
constexpr int subStepsPerFrame = 10;
}

void movePaddle()
{
    const float right = static_cast<float>(game.width) - 0.99f * paddle->size.x;
    float& x = paddle->position.x;
    if (x > -0.1f && x < right)
        x = x + paddleVelocity;
    // A step that reaches either edge is taken back in the same frame.
    if (x <= -0.1f)
        x = x - paddleVelocity;
    if (x >= right)
        x = x - paddleVelocity;
}

void advanceFrame()
{
    deltaTime = 1.0f / 300.0f;
    if (game.state == Active)
        movePaddle();
    game.update(game.started);
}

void GameController::update(bool started)
{
    const float dt = deltaTime;
    const float fieldWidth = static_cast<float>(width);
    for (int step = 0; step < subStepsPerFrame; ++step) {
        if (started) {
            ball->position.x = ball->velocity.x * dt + ball->position.x;
            ball->position.y = ball->velocity.y * dt + ball->position.y;
            if (ball->position.x <= 0.0f) {
                ball->position.x = 0.0f;
                ball->velocity.x = -ball->velocity.x;
            } else if (ball->position.x + ball->size.x >= fieldWidth) {
                ball->position.x = fieldWidth - ball->size.x;
                ball->velocity.x = -ball->velocity.x;
            }
            // There is no bottom wall: below the field the ball is lost.
            if (ball->position.y <= 0.0f) {
                ball->position.y = 0.0f;
                ball->velocity.y = -ball->velocity.y;
            }
        }
        resolveCollisions();
    }

    // Lost only once the ball's top edge has passed the field's bottom edge.
    if (ball->position.y >= static_cast<float>(height))
        resetAfterLoss();

    for (const GameObject& brick : level.bricks)
        if (brick.alive)
            return;
    state = Won;
    showMessageBox("Zorvex", "Level 1 Complete\nThanks for playing!");
    exit(0);
}

void GameController::resetAfterLoss()
{
    buildLevel();
    hitHistory.clear();
    paddle->size = paddleSize;
    paddle->position = glm::vec2(static_cast<float>(width) * 0.5f - paddleSize.x * 0.5f,
                                 static_cast<float>(height) * 0.9f - paddleSize.y);
    ball->position = glm::vec2(paddleSize.x * 0.5f - ballRadius + paddle->position.x,
                               paddle->position.y - (ballRadius + ballRadius));
    ball->velocity = ballVelocity;
    started = false;
    // The arrow's release is ignored while the ball waits, so a paddle left moving would slide
    // away from the waiting ball by itself.
    paddleVelocity = 0.0f;
}
