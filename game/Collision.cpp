#include "game/Collision.h"

#include "game/GameController.h"
#include "game/Level.h"

#include <cmath>

namespace {

// Lengths sum their squares in single precision and take the root in double precision.
float length(glm::vec2 v)
{
    return static_cast<float>(std::sqrt(static_cast<double>(v.x * v.x + v.y * v.y)));
}

// Tried in HitDirection code order; the first of equal dot products wins.
const glm::vec2 compass[4] = {{0.0f, 1.0f}, {1.0f, 0.0f}, {-1.0f, 0.0f}, {0.0f, -1.0f}};

HitDirection closestDirection(glm::vec2 unit)
{
    float best = -1.0f;
    HitDirection chosen = NoDirection;
    for (int code = 0; code < 4; ++code) {
        const float dot = compass[code].x * unit.x + compass[code].y * unit.y;
        if (dot > best) {
            best = dot;
            chosen = static_cast<HitDirection>(code);
        }
    }
    return chosen;
}

// The second hit after an emptying, in a column next to the first: the ball has run along a
// seam between two bricks, and turning it back twice would send it back where it came from.
bool isAdjacentSecondHit()
{
    if (hitHistory.size() != 2)
        return false;
    const int32_t difference = static_cast<int32_t>(hitHistory[1]) - static_cast<int32_t>(hitHistory[0]);
    return difference == 1 || difference == -1;
}

void bounceOffBrick(const HitResult& hit)
{
    switch (hit.direction) {
    case Down:
    case Up: {
        if (!isAdjacentSecondHit())
            ball->velocity.y = -ball->velocity.y;
        // Towards the brick's middle, not away from it: the seam rule relies on the ball
        // reaching into the neighbouring brick in the same pass.
        const float depth = ball->radius - std::abs(hit.offset.y);
        if (hit.direction == Down)
            ball->position.y = ball->position.y + depth;
        else
            ball->position.y = ball->position.y - depth;
        break;
    }
    case Right:
    case Left: {
        ball->velocity.x = -ball->velocity.x;
        const float depth = ball->radius - std::abs(hit.offset.x);
        if (hit.direction == Right)
            ball->position.x = ball->position.x - depth;
        else
            ball->position.x = ball->position.x + depth;
        break;
    }
    case NoDirection:
        break;
    }
}

// No paddle bounce leaves flatter than the flattest launch, (±350, −100): a ball still overlapping
// the paddle is bounced again every sub-step, and each rescale would flatten it further until it
// slid along the paddle's row for good. This is that launch's rise per unit of speed.
const float flattestRise = 100.0f / length(glm::vec2(350.0f, 100.0f));

// The paddle steers the ball by where it meets it, keeps its speed and always sends it up.
void bounceOffPaddle()
{
    const float half = paddle->size.x * 0.5f;
    const float paddleCentre = paddle->position.x + half;
    const float ballCentre = ball->position.x + ball->radius;
    const float oldSpeed = length(ball->velocity);
    ball->velocity.x = ((ballCentre - paddleCentre) / half) * 100.0f * 5.0f;
    const float newLength = length(ball->velocity);
    if (newLength == 0.0f) {
        // A level ball met at the paddle's exact centre: no direction to rescale, so straight up.
        ball->velocity = glm::vec2(0.0f, -oldSpeed);
        return;
    }
    const float k = 1.0f / newLength;
    ball->velocity.x = k * ball->velocity.x * oldSpeed;
    ball->velocity.y = ball->velocity.y * k * oldSpeed;
    ball->velocity.y = -std::abs(ball->velocity.y);

    const float leastRise = flattestRise * oldSpeed;
    if (std::abs(ball->velocity.y) < leastRise) {
        const float acrossSquared = oldSpeed * oldSpeed - leastRise * leastRise;
        const float across = static_cast<float>(std::sqrt(static_cast<double>(acrossSquared)));
        ball->velocity.x = std::copysign(across, ball->velocity.x);
        ball->velocity.y = -leastRise;
    }
}

}  // namespace

HitResult findBallHit(const GameObject& box)
{
    const glm::vec2 centre(ball->position.x + ball->radius, ball->position.y + ball->radius);
    const glm::vec2 half = box.size * 0.5f;
    const glm::vec2 middle = box.position + half;
    const glm::vec2 away = centre - middle;

    HitResult result;
    // Nearly every test is a miss. A box farther than half its size plus the radius on either
    // axis is one for certain, without waiting on a square root; the margin leaves every case
    // near the boundary to the exact test below.
    const float reach = ball->radius + 0.01f;
    if (std::abs(away.x) > half.x + reach || std::abs(away.y) > half.y + reach)
        return result;

    const glm::vec2 nearest = middle + glm::clamp(away, -half, half);
    const glm::vec2 offset = nearest - centre;
    const float distance = length(offset);
    if (!(ball->radius > distance))
        return result;  // touching is not overlapping
    result.hit = true;
    result.offset = offset;
    result.direction = distance == 0.0f ? NoDirection : closestDirection(offset * (1.0f / distance));
    return result;
}

void GameController::resolveCollisions()
{
    for (GameObject& brick : level.bricks) {
        if (!brick.alive)
            continue;
        const HitResult hit = findBallHit(brick);
        if (!hit.hit)
            continue;
        brick.alive = false;
        hitHistory.push_back(static_cast<uint32_t>(brick.column));
        bounceOffBrick(hit);
    }

    const bool paddleHit = findBallHit(*paddle).hit;
    if (paddleHit)
        bounceOffPaddle();

    if (hitHistory.size() > 3 || paddleHit)
        hitHistory.clear();
}
