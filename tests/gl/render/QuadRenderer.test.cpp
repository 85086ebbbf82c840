// The quad renderer on screen: where a rectangle lands, how it turns, what culling removes,
// and the GL state a draw leaves behind.
#include "render/QuadRenderer.h"

#include "support/GlTestSupport.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

const glm::vec3 white(1.0f, 1.0f, 1.0f);

// A texture of `width` × 1 texels with the given RGB colours, made without the asset store.
Texture stripTexture(const std::vector<unsigned char>& rgb)
{
    Texture texture;
    texture.width = static_cast<GLint>(rgb.size() / 3);
    texture.height = 1;
    texture.upload(rgb.data());
    return texture;
}

class QuadRendererOnScreen : public testing::Test {
public:
    static void SetUpTestSuite()
    {
        program = spriteProgram();
        renderer = new QuadRenderer(program);
        whiteTexture = new Texture(stripTexture({255, 255, 255}));
    }
    static void TearDownTestSuite()
    {
        delete renderer;
        renderer = nullptr;
        glDeleteTextures(1, &whiteTexture->textureId);
        delete whiteTexture;
        whiteTexture = nullptr;
        glDeleteProgram(program.programId);
    }
    void SetUp() override { clearField(); }

    static ShaderProgram program;
    static QuadRenderer* renderer;
    static Texture* whiteTexture;
};

ShaderProgram QuadRendererOnScreen::program;
QuadRenderer* QuadRendererOnScreen::renderer = nullptr;
Texture* QuadRendererOnScreen::whiteTexture = nullptr;

TEST_F(QuadRendererOnScreen, UnturnedRectangleCoversExactlyItsPixels)
{
    renderer->drawQuad(*whiteTexture, glm::vec2(100.0f, 200.0f), glm::vec2(120.0f, 12.0f), 0.0f, white);

    const PixelBox coverage = coverageOfField();
    EXPECT_EQ(coverage.left, 100);
    EXPECT_EQ(coverage.right, 219);
    EXPECT_EQ(coverage.top, 200);
    EXPECT_EQ(coverage.bottom, 211);
    EXPECT_EQ(coverage.count, 120 * 12);
    EXPECT_EQ(pixelAt(100, 200), (Rgb{255, 255, 255}));
    EXPECT_EQ(pixelAt(219, 211), (Rgb{255, 255, 255}));
}

TEST_F(QuadRendererOnScreen, ColourTintsTheImage)
{
    renderer->drawQuad(*whiteTexture, glm::vec2(10.0f, 10.0f), glm::vec2(20.0f, 20.0f), 0.0f,
                       glm::vec3(1.0f, 0.5f, 0.25f));

    const Rgb shown = pixelAt(20, 20);
    EXPECT_EQ(shown[0], 255);
    EXPECT_NEAR(shown[1], 128, 1);
    EXPECT_NEAR(shown[2], 64, 1);
}

// The paddle's rectangle turned a quarter clockwise about its centre (300, 534).
TEST_F(QuadRendererOnScreen, QuarterTurnIsClockwiseAboutTheCentre)
{
    // Red on the left half, blue on the right half of the image.
    const Texture halves = stripTexture({255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255});
    const float quarterTurn = static_cast<float>(std::acos(-1.0) / 2.0);

    renderer->drawQuad(halves, glm::vec2(240.0f, 528.0f), glm::vec2(120.0f, 12.0f), quarterTurn, white);

    const PixelBox coverage = coverageOfField();
    EXPECT_EQ(coverage.left, 294);
    EXPECT_EQ(coverage.right, 305);
    EXPECT_EQ(coverage.top, 474);
    EXPECT_EQ(coverage.bottom, 593);
    EXPECT_EQ(coverage.count, 12 * 120);
    // Turned clockwise on screen, the left end points up.
    EXPECT_EQ(pixelAt(300, 504), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixelAt(300, 563), (Rgb{0, 0, 255}));
    glDeleteTextures(1, &halves.textureId);
}

TEST_F(QuadRendererOnScreen, MirroredRectangleIsCulled)
{
    renderer->drawQuad(*whiteTexture, glm::vec2(300.0f, 300.0f), glm::vec2(-120.0f, 12.0f), 0.0f, white);
    renderer->drawQuad(*whiteTexture, glm::vec2(300.0f, 300.0f), glm::vec2(120.0f, -12.0f), 0.0f, white);

    EXPECT_EQ(coverageOfField().count, 0);
}

TEST_F(QuadRendererOnScreen, FieldSizedRectangleCoversTheWholeField)
{
    renderer->drawQuad(*whiteTexture, glm::vec2(0.0f, 0.0f), glm::vec2(600.0f, 600.0f), 0.0f, white);

    const std::vector<unsigned char> field = readField();
    EXPECT_EQ(std::count(field.begin(), field.end(), 255), static_cast<long>(field.size()));
}

TEST_F(QuadRendererOnScreen, TopRowOfTheImageIsAtTheTop)
{
    Texture rows;
    rows.width = 1;
    rows.height = 2;
    const unsigned char greenOverBlue[6] = {0, 255, 0, 0, 0, 255};
    rows.upload(greenOverBlue);

    renderer->drawQuad(rows, glm::vec2(50.0f, 60.0f), glm::vec2(1.0f, 2.0f), 0.0f, white);

    EXPECT_EQ(pixelAt(50, 60), (Rgb{0, 255, 0}));
    EXPECT_EQ(pixelAt(50, 61), (Rgb{0, 0, 255}));
    glDeleteTextures(1, &rows.textureId);
}

TEST_F(QuadRendererOnScreen, DrawUsesUnitZeroAndLeavesProgramAndTextureInPlace)
{
    const Texture red = stripTexture({255, 0, 0});
    glUseProgram(0);
    glActiveTexture(GL_TEXTURE3);

    renderer->drawQuad(red, glm::vec2(0.0f, 0.0f), glm::vec2(10.0f, 10.0f), 0.0f, white);

    EXPECT_EQ(pixelAt(5, 5), (Rgb{255, 0, 0}));
    GLint value = -1;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(static_cast<GLuint>(value), red.textureId);
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(static_cast<GLuint>(value), program.programId);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &value);
    EXPECT_EQ(value, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &red.textureId);
}

TEST_F(QuadRendererOnScreen, VertexArrayHoldsTheUnitQuad)
{
    glBindVertexArray(renderer->quadVertexArray);
    GLint buffers[2] = {};
    for (GLuint attribute = 0; attribute < 2; ++attribute) {
        GLint value = 0;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &value);
        EXPECT_EQ(value, GL_TRUE) << attribute;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_SIZE, &value);
        EXPECT_EQ(value, 2) << attribute;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_TYPE, &value);
        EXPECT_EQ(value, GL_FLOAT) << attribute;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, &value);
        EXPECT_EQ(value, GL_FALSE) << attribute;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &value);
        EXPECT_EQ(value, 16) << attribute;
        void* offset = nullptr;
        glGetVertexAttribPointerv(attribute, GL_VERTEX_ATTRIB_ARRAY_POINTER, &offset);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(offset), 8u * attribute) << attribute;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffers[attribute]);
    }
    GLint elementBuffer = -1;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elementBuffer);
    glBindVertexArray(0);
    EXPECT_EQ(elementBuffer, 0);  // the indices are a client-side array
    ASSERT_NE(buffers[0], 0);
    EXPECT_EQ(buffers[1], buffers[0]);

    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(buffers[0]));
    GLint usage = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_USAGE, &usage);
    float vertices[16] = {};
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(vertices), vertices);
    GLint size = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(usage, GL_STATIC_DRAW);
    EXPECT_EQ(size, 64);
    const float expected[16] = {0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 0, 1, 0};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(vertices[i], expected[i]) << i;
}

TEST_F(QuadRendererOnScreen, ConstructionLeavesNoArrayBufferBoundAndDestructionDeletesTheVertexArray)
{
    GLuint vertexArray = 0;
    {
        const QuadRenderer another(program);
        vertexArray = another.quadVertexArray;
        GLint arrayBuffer = -1;
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
        EXPECT_EQ(arrayBuffer, 0);
        EXPECT_EQ(glIsVertexArray(vertexArray), GL_TRUE);
    }
    EXPECT_EQ(glIsVertexArray(vertexArray), GL_FALSE);
}

}  // namespace
