// The game's only drawing primitive: one textured, tinted rectangle in field pixels,
// optionally turned about its own centre, drawn with the "sprite" program.
#pragma once
#include "render/ShaderProgram.h"
#include "render/Texture.h"
#include <glm/glm.hpp>

// Maps the unit square onto the rectangle at `position` of `size`, turned by `rotation`
// radians (clockwise on screen) about its centre.
glm::mat4 quadModelMatrix(glm::vec2 position, glm::vec2 size, float rotation);

class QuadRenderer {
public:
    ShaderProgram program;       // borrowed: the renderer never deletes it
    GLuint quadVertexArray = 0;  // owned: deleted by the destructor

    explicit QuadRenderer(ShaderProgram program);
    ~QuadRenderer();
    QuadRenderer(const QuadRenderer&) = delete;
    QuadRenderer& operator=(const QuadRenderer&) = delete;

    void drawQuad(const Texture& texture, glm::vec2 position, glm::vec2 size, float rotation, glm::vec3 color);
};
