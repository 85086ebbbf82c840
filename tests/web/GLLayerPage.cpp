// A page of the web build that draws as the game does and in ways the game does not yet, each a
// case that the web build's filter between the GL layer and WebGL (web/zorvex-gl-library.js) must
// carry out as desktop GL does: textures alternated and repeated, a texture bound to a second unit,
// a second renderer set up after the first has drawn, client-side indices changed in place and of
// other counts and types, a vertex array with an index buffer of its own, uniforms looked up by a
// name whose bytes change and after the program is linked again, and a second program.
// After each case it reads back the colour inside each part it drew and writes one line,
// "case: r,g,b r,g,b ...", which tests/web/GLLayer.test.mjs checks against the colours drawn.
#include "render/QuadRenderer.h"
#include "render/ShaderProgram.h"
#include "render/Texture.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstring>
#include <glm/gtc/matrix_transform.hpp>
#include <string>
#include <vector>

namespace {

constexpr float side = 100.0f;
const glm::vec3 white(1.0f);

// Quad `i` of a case: a row of squares along the top of the 600 × 600 field.
glm::vec2 place(int i)
{
    return glm::vec2(10.0f + 120.0f * static_cast<float>(i), 10.0f);
}

// Where quad `i` shows its first triangle alone (top left) and its second (bottom right).
glm::ivec2 firstHalf(int i)
{
    return glm::ivec2(place(i)) + glm::ivec2(25, 25);
}
glm::ivec2 secondHalf(int i)
{
    return glm::ivec2(place(i)) + glm::ivec2(75, 75);
}

Texture solid(unsigned char r, unsigned char g, unsigned char b)
{
    Texture texture;
    texture.width = 1;
    texture.height = 1;
    const unsigned char texel[3] = {r, g, b};
    texture.upload(texel);
    return texture;
}

// The sprite program as the game sets it up, `projection` aside.
ShaderProgram spriteProgram(const glm::mat4& projection)
{
    ShaderProgram program = loadProgramFromFiles();
    program.activate();
    program.setUniformInt("image", 0);
    program.setUniformMat4("projection", projection);
    return program;
}

// Writes the colours at the field pixels `points` (y downwards) on one line, and clears for the next case.
void report(const char* name, const std::vector<glm::ivec2>& points)
{
    std::string line = name;
    line += ":";
    for (glm::ivec2 point : points) {
        unsigned char rgba[4] = {};
        glReadPixels(point.x, 599 - point.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        line += " " + std::to_string(rgba[0]) + "," + std::to_string(rgba[1]) + "," + std::to_string(rgba[2]);
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    glClear(GL_COLOR_BUFFER_BIT);
}

// Draws quad `i` through the renderer's vertex array from `indices`, as the renderer draws, but
// with indices and a count of the case's own.
void drawIndexed(ShaderProgram& program, QuadRenderer& renderer, const Texture& texture, int i, GLsizei count,
                 GLenum type, const void* indices)
{
    program.activate();
    program.setUniformMat4("model", quadModelMatrix(place(i), glm::vec2(side), 0.0f));
    program.setUniformVec3("spriteColor", 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    glBindVertexArray(renderer.quadVertexArray);
    glDrawElements(GL_TRIANGLES, count, type, indices);
    glBindVertexArray(0);
}

void runCases()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ShaderProgram program = spriteProgram(glm::ortho(0.0f, 600.0f, 600.0f, 0.0f, -1.0f, 1.0f));  // the game's
    QuadRenderer renderer(program);
    const Texture red = solid(255, 0, 0);
    const Texture green = solid(0, 255, 0);
    const Texture blue = solid(0, 0, 255);

    renderer.drawQuad(red, place(0), glm::vec2(side), 0.0f, white);
    renderer.drawQuad(green, place(1), glm::vec2(side), 0.0f, white);
    renderer.drawQuad(green, place(2), glm::vec2(side), 0.0f, white);
    renderer.drawQuad(red, place(3), glm::vec2(side), 0.0f, white);
    report("textures", {firstHalf(0), firstHalf(1), firstHalf(2), firstHalf(3)});

    // Green on unit 1 between a red and a green quad on unit 0; then a quad that samples unit 1.
    renderer.drawQuad(red, place(0), glm::vec2(side), 0.0f, white);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, green.textureId);
    glActiveTexture(GL_TEXTURE0);
    renderer.drawQuad(green, place(1), glm::vec2(side), 0.0f, white);
    program.setUniformInt("image", 1);
    renderer.drawQuad(blue, place(2), glm::vec2(side), 0.0f, white);
    program.setUniformInt("image", 0);
    report("units", {firstHalf(0), firstHalf(1), firstHalf(2)});

    QuadRenderer second(program);
    renderer.drawQuad(red, place(0), glm::vec2(side), 0.0f, white);
    second.drawQuad(green, place(1), glm::vec2(side), 0.0f, white);
    renderer.drawQuad(blue, place(2), glm::vec2(side), 0.0f, white);
    second.drawQuad(red, place(3), glm::vec2(side), 0.0f, white);
    report("renderers", {firstHalf(0), firstHalf(1), firstHalf(2), firstHalf(3)});

    // The same array drawn whole, with its second triangle made the first, whole again, its first
    // three indices alone, whole, and as 16-bit indices.
    GLuint indices[6] = {1, 3, 0, 1, 2, 3};
    drawIndexed(program, renderer, red, 0, 6, GL_UNSIGNED_INT, indices);
    indices[4] = 3;
    indices[5] = 0;
    drawIndexed(program, renderer, red, 1, 6, GL_UNSIGNED_INT, indices);
    indices[4] = 2;
    indices[5] = 3;
    drawIndexed(program, renderer, red, 2, 6, GL_UNSIGNED_INT, indices);
    drawIndexed(program, renderer, red, 3, 3, GL_UNSIGNED_INT, indices);
    const GLushort shortIndices[6] = {1, 3, 0, 1, 2, 3};
    drawIndexed(program, renderer, red, 4, 6, GL_UNSIGNED_SHORT, shortIndices);
    report("indices", {firstHalf(0), secondHalf(0), firstHalf(1), secondHalf(1), firstHalf(2), secondHalf(2),
                       firstHalf(3), secondHalf(3), firstHalf(4), secondHalf(4)});

    // A vertex array whose indices are in a buffer of its own, drawn between the renderer's quads:
    // whole, then from its second triangle's offset.
    const float corners[16] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f,
                               1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f};
    GLuint vertexArray = 0;
    GLuint buffers[2] = {};
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(2, buffers);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, sizeof(corners), corners, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), reinterpret_cast<const void*>(0));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), reinterpret_cast<const void*>(2 * sizeof(float)));
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(indices), indices, GL_STATIC_DRAW);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    const auto drawOwn = [&](int i, GLsizei count, std::size_t offset) {
        program.activate();
        program.setUniformMat4("model", quadModelMatrix(place(i), glm::vec2(side), 0.0f));
        glBindTexture(GL_TEXTURE_2D, green.textureId);
        glBindVertexArray(vertexArray);
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, reinterpret_cast<const void*>(offset));
        glBindVertexArray(0);
    };
    drawOwn(0, 6, 0);
    renderer.drawQuad(red, place(1), glm::vec2(side), 0.0f, white);
    drawOwn(2, 3, 3 * sizeof(GLuint));
    renderer.drawQuad(red, place(3), glm::vec2(side), 0.0f, white);
    report("index buffer", {firstHalf(0), secondHalf(0), firstHalf(1), secondHalf(1), firstHalf(2), secondHalf(2),
                            firstHalf(3), secondHalf(3)});

    // A uniform looked up by a name whose bytes change at one address ("model", then
    // "spriteColor": the tint of a white quad); then the program linked again, which resets its
    // uniforms, set up again and drawn with.
    const glm::mat4 projection = glm::ortho(0.0f, 600.0f, 600.0f, 0.0f, -1.0f, 1.0f);
    const Texture whiteTexture = solid(255, 255, 255);
    const glm::mat4 model = quadModelMatrix(place(0), glm::vec2(side), 0.0f);
    char name[16] = "model";
    program.activate();
    glUniformMatrix4fv(glGetUniformLocation(program.programId, name), 1, GL_FALSE, &model[0][0]);
    std::strcpy(name, "spriteColor");
    glUniform3f(glGetUniformLocation(program.programId, name), 0.0f, 1.0f, 0.0f);
    glBindTexture(GL_TEXTURE_2D, whiteTexture.textureId);
    glBindVertexArray(renderer.quadVertexArray);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, indices);
    glBindVertexArray(0);
    glLinkProgram(program.programId);
    program.activate();
    program.setUniformInt("image", 0);
    program.setUniformMat4("projection", projection);
    renderer.drawQuad(blue, place(1), glm::vec2(side), 0.0f, white);
    report("uniforms", {firstHalf(0), firstHalf(1)});

    // A second program, which mirrors the field left to right, between two quads of the first.
    ShaderProgram mirrored = spriteProgram(glm::ortho(600.0f, 0.0f, 600.0f, 0.0f, -1.0f, 1.0f));
    renderer.drawQuad(red, place(0), glm::vec2(side), 0.0f, white);
    drawIndexed(mirrored, renderer, green, 0, 6, GL_UNSIGNED_INT, indices);
    renderer.drawQuad(blue, place(1), glm::vec2(side), 0.0f, white);
    report("programs", {firstHalf(0), glm::ivec2(600, 0) + glm::ivec2(-1, 1) * firstHalf(0), firstHalf(1)});
}

void onDisplay()
{
    static bool done = false;
    if (!done)
        runCases();
    done = true;
    glutSwapBuffers();
}

}  // namespace

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(600, 600);
    glutCreateWindow("GL layer");
    glewInit();
    glutDisplayFunc(onDisplay);
    glutMainLoop();
    return 1;
}
