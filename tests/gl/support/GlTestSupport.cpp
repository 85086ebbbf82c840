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

Rgb pixelAt(int x, int y)
{
    unsigned char rgba[4] = {};
    glReadPixels(x, fieldSize - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

std::vector<unsigned char> readField()
{
    std::vector<unsigned char> bottomUp(static_cast<size_t>(fieldSize * fieldSize * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, fieldSize, fieldSize, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    std::vector<unsigned char> topDown(bottomUp.size());
    const size_t row = static_cast<size_t>(fieldSize * 3);
    for (size_t y = 0; y < static_cast<size_t>(fieldSize); ++y)
        std::copy_n(&bottomUp[(fieldSize - 1 - y) * row], row, &topDown[y * row]);
    return topDown;
}

void clearField()
{
    glClear(GL_COLOR_BUFFER_BIT);
}

PixelBox coverageOfField()
{
    const std::vector<unsigned char> field = readField();
    PixelBox coverage;
    for (int y = 0; y < fieldSize; ++y)
        for (int x = 0; x < fieldSize; ++x) {
            const unsigned char* p = &field[static_cast<size_t>((y * fieldSize + x) * 3)];
            if (p[0] != 0 || p[1] != 0 || p[2] != 0)
                coverage.add(x, y);
        }
    return coverage;
}

glm::mat4 fieldProjection()
{
    glm::mat4 projection(0.0f);
    projection[0] = glm::vec4(2.0f / 600.0f, 0.0f, 0.0f, 0.0f);
    projection[1] = glm::vec4(0.0f, -2.0f / 600.0f, 0.0f, 0.0f);
    projection[2] = glm::vec4(0.0f, 0.0f, -1.0f, 0.0f);
    projection[3] = glm::vec4(-1.0f, 1.0f, 0.0f, 1.0f);
    return projection;
}

ShaderProgram spriteProgram()
{
    const std::string vertex = readText(assetsFolder() / "vertex.txt");
    const std::string fragment = readText(assetsFolder() / "fragment.txt");
    ShaderProgram program;
    program.build(vertex.c_str(), fragment.c_str());
    program.activate();
    program.setUniformInt("image", 0);
    program.setUniformMat4("projection", fieldProjection());
    return program;
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path& folder) : previous(std::filesystem::current_path())
{
    std::filesystem::current_path(folder);
}

WorkingDirectory::~WorkingDirectory()
{
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GlWindowEnvironment);
    return RUN_ALL_TESTS();
}
