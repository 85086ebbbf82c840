#include "GlTestSupport.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

namespace {

// Opens the window the way the game does, once for the whole test program.
class GlWindowEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        int argc = 1;
        char name[] = "zorvex-gl-tests";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
        glutInitWindowSize(fieldSize, fieldSize);
        glutCreateWindow("Zorvex_OOP");
        glewInit();
        glEnable(GL_CULL_FACE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    }
};

}  // namespace

Image readField()
{
    // A row at a time, as GL counts rows from the bottom; a single row is never padded for
    // the pack alignment.
    Image field(fieldSize, fieldSize);
    for (int y = 0; y < fieldSize; ++y)
        glReadPixels(0, fieldSize - 1 - y, fieldSize, 1, GL_RGB, GL_UNSIGNED_BYTE, &field.rgb[y * fieldSize * 3]);
    return field;
}

GLint integerOf(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

ShaderProgram spriteProgram()
{
    // The projection start-up sets, written out from its figures: field pixels, y downwards.
    glm::mat4 projection(0.0f);
    projection[0] = glm::vec4(2.0f / 600.0f, 0.0f, 0.0f, 0.0f);
    projection[1] = glm::vec4(0.0f, -2.0f / 600.0f, 0.0f, 0.0f);
    projection[2] = glm::vec4(0.0f, 0.0f, -1.0f, 0.0f);
    projection[3] = glm::vec4(-1.0f, 1.0f, 0.0f, 1.0f);
    ShaderProgram program;
    program.build(readText(sourceAsset("vertex.txt")).c_str(), readText(sourceAsset("fragment.txt")).c_str());
    program.activate();
    program.setUniformInt("image", 0);
    program.setUniformMat4("projection", projection);
    return program;
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GlWindowEnvironment);
    return RUN_ALL_TESTS();
}
