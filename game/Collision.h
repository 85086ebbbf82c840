// Ball against box tests, and the hit history that keeps two bricks in adjacent
// columns from both turning the ball back.
#pragma once
#include "game/GameObject.h"
#include <cstdint>
#include <vector>

// Which way the box lies as seen from the ball's centre; codes are tried in this order on a tie.
enum HitDirection : int32_t { NoDirection = -1, Down = 0, Right = 1, Left = 2, Up = 3 };

struct HitResult {
    bool hit = false;
    HitDirection direction = Down;  // code 0 on a miss
    glm::vec2 offset{0.0f, 0.0f};   // the box's point nearest the ball's centre, minus that centre
};

// Column values of the bricks hit since the history was last emptied, in hitting order.
extern std::vector<uint32_t> hitHistory;

// Tests the ball against `box`; a ball that only touches the box is a miss.
HitResult findBallHit(const GameObject& box);
