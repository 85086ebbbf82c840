#include "game/GameObject.h"

GameObject::GameObject() = default;

GameObject::GameObject(glm::vec2 position, glm::vec2 size, Texture texture, glm::vec3 color, glm::vec2 velocity,
                       float column)
    : position(position), size(size), velocity(velocity), color(color), column(column), texture(texture)
{
}

void GameObject::draw(QuadRenderer& renderer)
{
    renderer.drawQuad(texture, position, size, rotation, color);
}

BallObject::BallObject(glm::vec2 position, float radius, glm::vec2 velocity, Texture texture)
    : GameObject(position, glm::vec2(radius + radius, radius + radius), texture, glm::vec3(1.0f, 1.0f, 1.0f),
                 velocity, 0.0f),
      radius(radius)
{
}
