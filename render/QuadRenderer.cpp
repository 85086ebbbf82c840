// Draws one textured, tinted rectangle from a unit quad, placed by a model matrix built on the CPU.
// Needs a compatibility context: the indices are a client-side array.
#include "render/QuadRenderer.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

namespace {

// Corner (x, y) and texture coordinate (u, v) of the unit square: equal at every vertex,
// so image row v = 0 lies at the top edge under the y-down projection.
const float quadVertices[16] = {
    0.0f, 0.0f, 0.0f, 0.0f,
    0.0f, 1.0f, 0.0f, 1.0f,
    1.0f, 1.0f, 1.0f, 1.0f,
    1.0f, 0.0f, 1.0f, 0.0f,
};

// Both triangles run counter-clockwise on screen, so back-face culling keeps them.
const GLuint quadIndices[6] = {1, 3, 0, 1, 2, 3};

constexpr GLsizei vertexStride = 4 * sizeof(float);

// `matrix` times the rotation by `angle` about `axis`, in the general axis-angle form.
// Sine and cosine are taken in double precision and rounded, so the result does not
// depend on the float sin/cos of the C library.
glm::mat4 rotateAbout(const glm::mat4& matrix, float angle, glm::vec3 axis)
{
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    const glm::vec3 a = glm::normalize(axis);
    const glm::vec3 t = (1.0f - c) * a;

    glm::mat3 r(1.0f);
    r[0][0] = c + t.x * a.x;
    r[0][1] = t.x * a.y + s * a.z;
    r[0][2] = t.x * a.z - s * a.y;
    r[1][0] = t.y * a.x - s * a.z;
    r[1][1] = c + t.y * a.y;
    r[1][2] = t.y * a.z + s * a.x;
    r[2][0] = t.z * a.x + s * a.y;
    r[2][1] = t.z * a.y - s * a.x;
    r[2][2] = c + t.z * a.z;

    glm::mat4 result(1.0f);
    for (int column = 0; column < 3; ++column)
        result[column] = matrix[0] * r[column][0] + matrix[1] * r[column][1] + matrix[2] * r[column][2];
    result[3] = matrix[3];
    return result;
}

}  // namespace

glm::mat4 quadModelMatrix(glm::vec2 position, glm::vec2 size, float rotation)
{
    // Read from the last step back: scale the unit square to size, centre it on the origin,
    // turn it, move the centre back and place the corner at position.
    glm::mat4 model(1.0f);
    model = glm::translate(model, glm::vec3(position.x, position.y, 0.0f));
    model = glm::translate(model, glm::vec3(0.5f * size.x, 0.5f * size.y, 0.0f));
    model = rotateAbout(model, rotation, glm::vec3(0.0f, 0.0f, 1.0f));
    model = glm::translate(model, glm::vec3(-0.5f * size.x, -0.5f * size.y, 0.0f));
    model = glm::scale(model, glm::vec3(size.x, size.y, 1.0f));
    return model;
}

QuadRenderer::QuadRenderer(ShaderProgram program) : program(program)
{
    glewInit();
    glGenVertexArrays(1, &quadVertexArray);

    // The buffer lives as long as the process: the vertex array keeps referring to it.
    GLuint vertexBuffer = 0;
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quadVertices), quadVertices, GL_STATIC_DRAW);

    glBindVertexArray(quadVertexArray);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, vertexStride, reinterpret_cast<const void*>(0));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, vertexStride, reinterpret_cast<const void*>(2 * sizeof(float)));
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

QuadRenderer::~QuadRenderer()
{
    glDeleteVertexArrays(1, &quadVertexArray);
}

void QuadRenderer::drawQuad(const Texture& texture, glm::vec2 position, glm::vec2 size, float rotation,
                            glm::vec3 color)
{
    program.activate();
    program.setUniformMat4("model", quadModelMatrix(position, size, rotation));
    program.setUniformVec3("spriteColor", color.x, color.y, color.z);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    glBindVertexArray(quadVertexArray);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, quadIndices);
    glBindVertexArray(0);
}
