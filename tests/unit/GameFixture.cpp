#include "GameFixture.h"

#include <memory>

void resetGame()
{
    game = GameController();
    game.paddleSize = glm::vec2(120.0f, 12.0f);
    game.paddleSpeed = 500.0f;
    game.ballRadius = 9.0f;
    game.ballVelocity = startVelocity;
    paddle = std::make_unique<GameObject>(glm::vec2(240.0f, 528.0f), glm::vec2(120.0f, 12.0f), Texture(),
                                          glm::vec3(1.0f, 1.0f, 1.0f), glm::vec2(0.0f, 0.0f), 0.0f);
    ball = std::make_unique<BallObject>(glm::vec2(291.0f, 510.0f), 9.0f, startVelocity, Texture());
    level.bricks.clear();
    generateLevel(600, 600, 10, 10, 5);
    hitHistory.clear();
    paddleVelocity = 0.0f;
    deltaTime = 1.0f / 300.0f;
}

GameObject box(glm::vec2 position, glm::vec2 size, float column)
{
    return GameObject(position, size, Texture(), glm::vec3(1.0f, 0.0f, 0.0f), glm::vec2(0.0f, 0.0f), column);
}

void placeBallCentre(float x, float y)
{
    ball->position = glm::vec2(x - 9.0f, y - 9.0f);
}
