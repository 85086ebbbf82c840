#include "GameStart.h"

#include "game/Collision.h"
#include "game/GameController.h"

void startLikeTheGame(glm::vec2 ballVelocity)
{
    // Start-up's own steps, but for those that need a GL context (the shader program, the four
    // textures and the renderer) and the launch velocity, which the test chooses instead of rand().
    game = GameController();
    game.loadSettings();
    game.ballVelocity = ballVelocity;
    game.createPaddleAndBall();
    game.clampFilledRows();
    game.buildLevel();
    // What a process starts with, which a test before this one may have changed.
    hitHistory.clear();
    paddleVelocity = 0.0f;
    // Set by every frame before it is read; tests that call `update` on its own need it too.
    deltaTime = 1.0f / 300.0f;
}
