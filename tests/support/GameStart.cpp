#include "GameStart.h"

#include "game/Collision.h"
#include "game/GameController.h"
#include "game/Level.h"

#include <memory>

void startLikeTheGame(glm::vec2 ballVelocity)
{
    game = GameController();
    game.paddleSize = glm::vec2(120.0f, 12.0f);
    game.paddleSpeed = 500.0f;
    game.ballRadius = 9.0f;
    game.ballVelocity = ballVelocity;
    paddle = std::make_unique<GameObject>(glm::vec2(240.0f, 528.0f), game.paddleSize, Texture(),
                                          glm::vec3(1.0f, 1.0f, 1.0f), glm::vec2(0.0f, 0.0f), 0.0f);
    ball = std::make_unique<BallObject>(glm::vec2(291.0f, 510.0f), game.ballRadius, ballVelocity, Texture());
    game.clampFilledRows();
    level.bricks.clear();
    generateLevel(game.width, game.height, game.brickColumns, game.brickRows, game.filledRows);
    hitHistory.clear();
    paddleVelocity = 0.0f;
    deltaTime = 1.0f / 300.0f;
    game.state = Active;
}
