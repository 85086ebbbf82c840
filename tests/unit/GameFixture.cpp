#include "GameFixture.h"

#include "GameStart.h"

void resetGame()
{
    startLikeTheGame(startVelocity);
}

GameObject box(glm::vec2 position, glm::vec2 size, float column)
{
    return GameObject(position, size, Texture(), glm::vec3(1.0f, 0.0f, 0.0f), glm::vec2(0.0f, 0.0f), column);
}

void placeBallCentre(float x, float y)
{
    ball->position = glm::vec2(x - 9.0f, y - 9.0f);
}
