// The quad renderer on screen: where a rectangle lands, how it turns, what culling removes,
// and the GL state a draw leaves behind.
#include "render/QuadRenderer.h"

#include "support/GlTestSupport.h"
#include "PixelBox.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace {

const glm::vec3 white(1.0f, 1.0f, 1.0f);

// A texture of the given RGB texels, rows top first, made without the asset store.
Texture textureOf(int width, int height, const std::vector<unsigned char>& rgb)
{
    Texture texture;
    texture.width = width;
    texture.height = height;
    texture.upload(rgb.data());
    return texture;
}

// The pixels of the field that are not black, and their bounding box.
PixelBox coverageOfField()
{
    const Image field = readField();
    PixelBox coverage;
    for (int y = 0; y < fieldSize; ++y)
        for (int x = 0; x < fieldSize; ++x)
            if (!isBlack(field.at(x, y)))
                coverage.add(x, y);
    return coverage;
}

// The field's lit pixels: exactly the rectangle from (left, top) to (right, bottom), inclusive.
void expectCoverage(int left, int top, int right, int bottom)
{
    const PixelBox coverage = coverageOfField();
    EXPECT_EQ(coverage.left, left);
    EXPECT_EQ(coverage.right, right);
    EXPECT_EQ(coverage.top, top);
    EXPECT_EQ(coverage.bottom, bottom);
    EXPECT_EQ(coverage.count, (right - left + 1) * (bottom - top + 1));
}

class QuadRendererOnScreen : public testing::Test {
public:
    static void SetUpTestSuite()
    {
        renderer = std::make_unique<QuadRenderer>(spriteProgram());
        whiteTexture = std::make_unique<Texture>(textureOf(1, 1, {255, 255, 255}));
    }
    static void TearDownTestSuite()
    {
        glDeleteProgram(renderer->program.programId);
        renderer.reset();
        glDeleteTextures(1, &whiteTexture->textureId);
        whiteTexture.reset();
    }
    void SetUp() override { glClear(GL_COLOR_BUFFER_BIT); }

    static inline std::unique_ptr<QuadRenderer> renderer;
    static inline std::unique_ptr<Texture> whiteTexture;
};

TEST_F(QuadRendererOnScreen, UnturnedRectangleCoversExactlyItsPixels)
{
    renderer->drawQuad(*whiteTexture, glm::vec2(100.0f, 200.0f), glm::vec2(120.0f, 12.0f), 0.0f, white);

    expectCoverage(100, 200, 219, 211);
    const Image field = readField();
    EXPECT_EQ(field.at(100, 200), (Rgb{255, 255, 255}));
    EXPECT_EQ(field.at(219, 211), (Rgb{255, 255, 255}));
}

TEST_F(QuadRendererOnScreen, ColourTintsTheImage)
{
    renderer->drawQuad(*whiteTexture, glm::vec2(10.0f, 10.0f), glm::vec2(20.0f, 20.0f), 0.0f,
                       glm::vec3(1.0f, 0.5f, 0.25f));

    const Rgb shown = readField().at(20, 20);
    EXPECT_EQ(shown.r, 255);
    EXPECT_NEAR(shown.g, 128, 1);
    EXPECT_NEAR(shown.b, 64, 1);
}

// The paddle's rectangle turned a quarter clockwise about its centre (300, 534).
TEST_F(QuadRendererOnScreen, QuarterTurnIsClockwiseAboutTheCentre)
{
    // Red on the left half, blue on the right half of the image.
    const Texture halves = textureOf(4, 1, {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255});
    const float quarterTurn = static_cast<float>(std::acos(-1.0) / 2.0);

    renderer->drawQuad(halves, glm::vec2(240.0f, 528.0f), glm::vec2(120.0f, 12.0f), quarterTurn, white);

    expectCoverage(294, 474, 305, 593);
    // Turned clockwise on screen, the left end points up.
    const Image field = readField();
    EXPECT_EQ(field.at(300, 504), (Rgb{255, 0, 0}));
    EXPECT_EQ(field.at(300, 563), (Rgb{0, 0, 255}));
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

    const Image field = readField();
    EXPECT_EQ(std::count(field.rgb.begin(), field.rgb.end(), 255), static_cast<long>(field.rgb.size()));
}

TEST_F(QuadRendererOnScreen, TopRowOfTheImageIsAtTheTop)
{
    const Texture rows = textureOf(1, 2, {0, 255, 0, 0, 0, 255});  // green over blue

    renderer->drawQuad(rows, glm::vec2(50.0f, 60.0f), glm::vec2(1.0f, 2.0f), 0.0f, white);

    const Image field = readField();
    EXPECT_EQ(field.at(50, 60), (Rgb{0, 255, 0}));
    EXPECT_EQ(field.at(50, 61), (Rgb{0, 0, 255}));
    glDeleteTextures(1, &rows.textureId);
}

TEST_F(QuadRendererOnScreen, DrawUsesUnitZeroAndLeavesProgramAndTextureInPlace)
{
    const Texture red = textureOf(1, 1, {255, 0, 0});
    glUseProgram(0);
    glActiveTexture(GL_TEXTURE3);

    renderer->drawQuad(red, glm::vec2(0.0f, 0.0f), glm::vec2(10.0f, 10.0f), 0.0f, white);

    EXPECT_EQ(readField().at(5, 5), (Rgb{255, 0, 0}));
    EXPECT_EQ(integerOf(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(integerOf(GL_TEXTURE_BINDING_2D)), red.textureId);
    EXPECT_EQ(static_cast<GLuint>(integerOf(GL_CURRENT_PROGRAM)), renderer->program.programId);
    EXPECT_EQ(integerOf(GL_VERTEX_ARRAY_BINDING), 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &red.textureId);
}

TEST_F(QuadRendererOnScreen, VertexArrayHoldsTheUnitQuad)
{
    glBindVertexArray(renderer->quadVertexArray);
    GLint buffers[2] = {};
    for (GLuint attribute = 0; attribute < 2; ++attribute) {
        const auto attributeInteger = [attribute](GLenum name) {
            GLint value = -1;
            glGetVertexAttribiv(attribute, name, &value);
            return value;
        };
        EXPECT_EQ(attributeInteger(GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE) << attribute;
        EXPECT_EQ(attributeInteger(GL_VERTEX_ATTRIB_ARRAY_SIZE), 2) << attribute;
        EXPECT_EQ(attributeInteger(GL_VERTEX_ATTRIB_ARRAY_TYPE), GL_FLOAT) << attribute;
        EXPECT_EQ(attributeInteger(GL_VERTEX_ATTRIB_ARRAY_NORMALIZED), GL_FALSE) << attribute;
        EXPECT_EQ(attributeInteger(GL_VERTEX_ATTRIB_ARRAY_STRIDE), 16) << attribute;
        void* offset = nullptr;
        glGetVertexAttribPointerv(attribute, GL_VERTEX_ATTRIB_ARRAY_POINTER, &offset);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(offset), 8u * attribute) << attribute;
        buffers[attribute] = attributeInteger(GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING);
    }
    const GLint elementBuffer = integerOf(GL_ELEMENT_ARRAY_BUFFER_BINDING);
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
        const QuadRenderer another(renderer->program);
        vertexArray = another.quadVertexArray;
        EXPECT_EQ(integerOf(GL_ARRAY_BUFFER_BINDING), 0);
        EXPECT_EQ(glIsVertexArray(vertexArray), GL_TRUE);
    }
    EXPECT_EQ(glIsVertexArray(vertexArray), GL_FALSE);
}

}  // namespace
