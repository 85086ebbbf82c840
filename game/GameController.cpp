#include "game/GameController.h"

#include "game/Collision.h"
#include "game/Level.h"
#include "render/AssetStore.h"

#include <cmath>
#include <cstdlib>
#include <glm/gtc/matrix_transform.hpp>

// The process-wide game objects, defined together so that they are built and released in a
// known order: at exit the hit history and the level go first, then the renderer (which
// deletes its vertex array), the paddle and the ball.
std::unique_ptr<BallObject> ball;
std::unique_ptr<GameObject> paddle;
std::unique_ptr<QuadRenderer> renderer;
GameObject level;
std::vector<uint32_t> hitHistory;

GameController game;
float paddleVelocity = 0.0f;
float deltaTime = 0.0f;

glm::vec2 launchVelocity(int r1, int r2)
{
    const float y0 = static_cast<float>(r1 % 251 - 350);  // -350..-100: always upwards
    const float x0 = static_cast<float>(r2 % 701 - 350);  // -350..350
    const float lengthSquared = x0 * x0 + y0 * y0;
    const float length = static_cast<float>(std::sqrt(static_cast<double>(lengthSquared)));
    const float k = 1.0f / length;
    return glm::vec2(x0 * k * 350.0f, y0 * k * 350.0f);
}

void GameController::clampFilledRows()
{
    if (filledRows >= brickRows)
        filledRows = brickRows - 1;
}

void GameController::loadSettings()
{
    paddleSize = glm::vec2(120.0f, 12.0f);
    paddleSpeed = 500.0f;
    ballRadius = 9.0f;
}

void GameController::createPaddleAndBall()
{
    const glm::vec2 paddlePosition(static_cast<float>(width) * 0.5f - paddleSize.x * 0.5f,
                                   static_cast<float>(height) * 0.9f - paddleSize.y);
    paddle = std::make_unique<GameObject>(paddlePosition, paddleSize, AssetStore::textureFor("paddle"),
                                          glm::vec3(1.0f, 1.0f, 1.0f), glm::vec2(0.0f, 0.0f), 0.0f);
    // Centred on the paddle, its lowest point touching the paddle's top edge.
    const glm::vec2 ballPosition(paddlePosition.x + paddleSize.x * 0.5f - ballRadius,
                                 paddlePosition.y - 2.0f * ballRadius);
    ball = std::make_unique<BallObject>(ballPosition, ballRadius, ballVelocity, AssetStore::textureFor("face"));
}

void GameController::buildLevel()
{
    level.bricks.clear();
    generateLevel(width, height, brickColumns, brickRows, filledRows);
}

void GameController::init()
{
    loadSettings();

    // Drawn once: every launch of this run, after every lost ball, has the same velocity.
    const int r1 = rand();
    const int r2 = rand();
    ballVelocity = launchVelocity(r1, r2);

    // The sprite program samples unit 0 and maps field pixels, y downwards, onto the window.
    AssetStore::storeProgramFromFiles("sprite");
    ShaderProgram sprite = AssetStore::programFor("sprite");
    sprite.activate();
    sprite.setUniformInt("image", 0);
    sprite.setUniformMat4("projection", glm::ortho(0.0f, static_cast<float>(width), static_cast<float>(height),
                                                   0.0f, -1.0f, 1.0f));

    AssetStore::storeTextureFromFile("paddle.png", true, "paddle");
    AssetStore::storeTextureFromFile("awesomeface_01.png", true, "face");
    AssetStore::storeTextureFromFile("block.png", false, "block");
    AssetStore::storeTextureFromFile("background.jpg", false, "background");

    createPaddleAndBall();
    renderer = std::make_unique<QuadRenderer>(sprite);
    clampFilledRows();
    buildLevel();
}
