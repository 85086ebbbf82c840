// The paddle, the bricks and (through BallObject) the ball: axis-aligned, textured, tinted rectangles.
#pragma once
#include "render/QuadRenderer.h"
#include "render/Texture.h"
#include <glm/glm.hpp>
#include <vector>

class GameObject {
public:
    glm::vec2 position{0.0f, 0.0f};  // top-left corner in field pixels (y grows downwards)
    glm::vec2 size{1.0f, 1.0f};
    glm::vec2 velocity{0.0f, 0.0f};  // field pixels per second
    glm::vec3 color{1.0f, 1.0f, 1.0f};
    float rotation = 0.0f;           // radians; nothing in the game turns an object
    float column = 0.0f;             // a brick's grid column, read by the collision pass
    bool alive = true;               // false once a brick is destroyed
    Texture texture;                 // a copy of an asset store entry; never released here
    std::vector<GameObject> bricks;  // empty except in `level`

    GameObject();
    GameObject(glm::vec2 position, glm::vec2 size, Texture texture, glm::vec3 color, glm::vec2 velocity,
               float column);

    // Draws the object whether or not it is alive: skipping destroyed bricks is the caller's task.
    virtual void draw(QuadRenderer& renderer);
};

// The ball: size is always (2 × radius, 2 × radius), so position + radius is its centre.
class BallObject final : public GameObject {
public:
    float radius = 0.0f;

    BallObject(glm::vec2 position, float radius, glm::vec2 velocity, Texture texture);
};
