// Textures and the asset store: what gets stored, the GL state a store leaves behind, and
// images of unusual layouts shown on screen pixel for pixel.
#include "render/AssetStore.h"
#include "render/QuadRenderer.h"

#include "support/GlTestSupport.h"
#include "ImageFiles.h"

#include <gtest/gtest.h>

namespace {

GLint boundTexture()
{
    GLint binding = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
    return binding;
}

GLint parameterOf(GLuint texture, GLenum parameter)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint levelParameterOf(GLuint texture, GLenum parameter)
{
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

void expectDefaultSampling(const Texture& texture)
{
    EXPECT_EQ(texture.wrapS, static_cast<GLenum>(GL_REPEAT));
    EXPECT_EQ(texture.wrapT, static_cast<GLenum>(GL_REPEAT));
    EXPECT_EQ(texture.minFilter, static_cast<GLenum>(GL_LINEAR));
    EXPECT_EQ(texture.magFilter, static_cast<GLenum>(GL_LINEAR));
}

GLuint freshName()
{
    GLuint name = 0;
    glGenTextures(1, &name);
    return name;
}

TEST(AssetStoreTextureFor, UnknownKeyCreatesAndKeepsAnEmptyTexture)
{
    AssetStore::textures.erase("never stored");  // a repeated run starts afresh
    const GLuint before = freshName();
    const size_t entries = AssetStore::textures.size();

    const Texture first = AssetStore::textureFor("never stored");
    const Texture second = AssetStore::textureFor("never stored");

    EXPECT_NE(first.textureId, 0u);
    EXPECT_NE(first.textureId, before);
    EXPECT_EQ(second.textureId, first.textureId);
    EXPECT_EQ(AssetStore::textures.size(), entries + 1);
    EXPECT_EQ(AssetStore::textures.at("never stored").textureId, first.textureId);
    EXPECT_EQ(first.width, 0);
    EXPECT_EQ(first.height, 0);
    EXPECT_EQ(first.internalFormat, static_cast<GLenum>(GL_RGB));
    EXPECT_EQ(first.imageFormat, static_cast<GLenum>(GL_RGB));
    expectDefaultSampling(first);
}

TEST(AssetStoreProgramFor, UnknownKeyKeepsAnEntryNamingNoProgram)
{
    AssetStore::shaderPrograms.erase("never built");
    const size_t entries = AssetStore::shaderPrograms.size();
    EXPECT_EQ(AssetStore::programFor("never built").programId, 0u);
    EXPECT_EQ(AssetStore::shaderPrograms.size(), entries + 1);
    EXPECT_EQ(AssetStore::shaderPrograms.count("never built"), 1u);
}

TEST(AssetStoreStoreTexture, MissingFileStoresAnEmptyTextureSilently)
{
    ScratchFolder folder;
    const std::string missing = (folder.path / "nothing here.png").string();
    for (const bool hasAlpha : {true, false}) {
        const GLenum format = hasAlpha ? GL_RGBA : GL_RGB;
        const std::string key = hasAlpha ? "missing with alpha" : "missing without alpha";
        const GLuint before = freshName();

        testing::internal::CaptureStdout();
        const Texture texture = AssetStore::storeTextureFromFile(missing.c_str(), hasAlpha, key);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

        EXPECT_NE(texture.textureId, 0u);
        EXPECT_NE(texture.textureId, before);
        EXPECT_EQ(AssetStore::textures.at(key).textureId, texture.textureId);
        EXPECT_EQ(texture.width, 0);
        EXPECT_EQ(texture.height, 0);
        EXPECT_EQ(texture.internalFormat, format);
        EXPECT_EQ(texture.imageFormat, format);
        expectDefaultSampling(texture);
        EXPECT_EQ(levelParameterOf(texture.textureId, GL_TEXTURE_WIDTH), 0);
    }
}

TEST(AssetStoreStoreTexture, LeavesTheImageDefinedAndNothingBoundOrChanged)
{
    ScratchFolder folder;
    const std::string path = (folder.path / "rgba.png").string();
    ASSERT_TRUE(writeFile(path, encodePng8(6, 5, 4, std::vector<unsigned char>(6 * 5 * 4, 200))));
    const GLuint other = freshName();
    glBindTexture(GL_TEXTURE_2D, other);

    const Texture texture = AssetStore::storeTextureFromFile(path.c_str(), true, "state check");

    EXPECT_EQ(boundTexture(), 0);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
    EXPECT_EQ(texture.width, 6);
    EXPECT_EQ(texture.height, 5);
    EXPECT_EQ(levelParameterOf(texture.textureId, GL_TEXTURE_WIDTH), 6);
    EXPECT_EQ(levelParameterOf(texture.textureId, GL_TEXTURE_HEIGHT), 5);
    EXPECT_EQ(levelParameterOf(texture.textureId, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(parameterOf(texture.textureId, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameterOf(texture.textureId, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(parameterOf(texture.textureId, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(parameterOf(texture.textureId, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}

TEST(AssetStoreStoreTexture, StoringUnderAKnownKeyReplacesTheEntryAndKeepsTheOldTexture)
{
    ScratchFolder folder;
    const std::string path = (folder.path / "grey.png").string();
    ASSERT_TRUE(writeFile(path, encodePng8(4, 4, 1, std::vector<unsigned char>(16, 90))));

    const Texture first = AssetStore::storeTextureFromFile(path.c_str(), false, "replaced");
    const Texture second = AssetStore::storeTextureFromFile(path.c_str(), false, "replaced");

    EXPECT_NE(second.textureId, first.textureId);
    EXPECT_EQ(AssetStore::textures.at("replaced").textureId, second.textureId);
    EXPECT_EQ(glIsTexture(first.textureId), GL_TRUE);
}

// An image file and what it must look like on screen, drawn at its own size.
struct ShownImage {
    std::string name;
    std::vector<unsigned char> file;
    bool hasAlpha = false;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> expectedRgb;  // rows top first
};

// Colours that differ in every channel from pixel to pixel and row to row.
unsigned char sampleValue(int x, int y, int channel)
{
    return static_cast<unsigned char>(40 + 37 * x + 71 * y + 23 * channel);
}

ShownImage rgbImage(int width, int height, bool hasAlpha)
{
    ShownImage image{"rgb", {}, hasAlpha, width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                image.expectedRgb.push_back(sampleValue(x, y, c));
    image.file = encodePng8(width, height, 3, image.expectedRgb);
    return image;
}

ShownImage greyImage(int width, int height)
{
    ShownImage image{"grey", {}, false, width, height, {}};
    std::vector<unsigned char> grey;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            grey.push_back(sampleValue(x, y, 0));
            for (int c = 0; c < 3; ++c)
                image.expectedRgb.push_back(grey.back());
        }
    image.file = encodePng8(width, height, 1, grey);
    return image;
}

// 16 bits a channel: the high byte is the 8-bit value expected, the low byte something else
// (half of it), so that taking the wrong byte shows while any rounding agrees.
ShownImage sixteenBitImage(int width, int height)
{
    ShownImage image{"16-bit rgba", {}, true, width, height, {}};
    std::vector<uint16_t> samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const unsigned char high = sampleValue(x, y, c);
                samples.push_back(static_cast<uint16_t>(high * 256 + high / 2));
                image.expectedRgb.push_back(high);
            }
            samples.push_back(0xFFFF);
        }
    image.file = encodePng16(width, height, 4, samples);
    return image;
}

ShownImage rgbaImageWithoutAlpha(int width, int height)
{
    ShownImage image{"rgba stored without alpha", {}, false, width, height, {}};
    std::vector<unsigned char> samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                samples.push_back(sampleValue(x, y, c));
                image.expectedRgb.push_back(samples.back());
            }
            samples.push_back(static_cast<unsigned char>(255 - x));  // dropped: the texture is RGB
        }
    image.file = encodePng8(width, height, 4, samples);
    return image;
}

// A kind of image file: the images of that kind to show.
struct ImageKind {
    const char* name;
    std::vector<ShownImage> (*images)();
};

void PrintTo(const ImageKind& kind, std::ostream* out)
{
    *out << kind.name;
}

class ImagesOnScreen : public testing::TestWithParam<ImageKind> {
public:
    static void SetUpTestSuite() { renderer = new QuadRenderer(spriteProgram()); }
    static void TearDownTestSuite()
    {
        glDeleteProgram(renderer->program.programId);
        delete renderer;
        renderer = nullptr;
    }
    static QuadRenderer* renderer;

    // Stores the image from a file, draws it at its own size and compares every pixel.
    void expectShownExactly(const ShownImage& image)
    {
        ScratchFolder folder;
        const std::string path = (folder.path / "image.png").string();
        ASSERT_TRUE(writeFile(path, image.file));
        const Texture texture = AssetStore::storeTextureFromFile(path.c_str(), image.hasAlpha, image.name);
        ASSERT_EQ(texture.width, image.width);
        ASSERT_EQ(texture.height, image.height);

        const int left = 31;
        const int top = 17;
        clearField();
        renderer->drawQuad(texture, glm::vec2(static_cast<float>(left), static_cast<float>(top)),
                           glm::vec2(static_cast<float>(image.width), static_cast<float>(image.height)), 0.0f,
                           glm::vec3(1.0f, 1.0f, 1.0f));
        const std::vector<unsigned char> field = readField();
        int wrong = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                for (int c = 0; c < 3; ++c) {
                    const int shown = field[static_cast<size_t>(((top + y) * fieldSize + left + x) * 3 + c)];
                    const int expected = image.expectedRgb[static_cast<size_t>((y * image.width + x) * 3 + c)];
                    if (std::abs(shown - expected) > 1 && wrong++ < 5)
                        ADD_FAILURE() << image.name << ": pixel (" << x << ", " << y << ") channel " << c
                                      << " shows " << shown << ", expected " << expected;
                }
        EXPECT_EQ(wrong, 0) << image.name;
        glDeleteTextures(1, &texture.textureId);
    }
};

QuadRenderer* ImagesOnScreen::renderer = nullptr;

TEST_P(ImagesOnScreen, ShowPixelForPixel)
{
    for (const ShownImage& image : GetParam().images())
        expectShownExactly(image);
}

INSTANTIATE_TEST_SUITE_P(
    AssetStore, ImagesOnScreen,
    testing::Values(
        // Rows of 5 × 3 bytes don't fill a multiple of 4 bytes: shows whether rows are read tightly packed.
        ImageKind{"OddWidthRgbImageShowsUprightAndUnsheared", [] { return std::vector{rgbImage(5, 3, false)}; }},
        ImageKind{"GreyImageShowsInGrey", [] { return std::vector{greyImage(7, 4)}; }},
        ImageKind{"SixteenBitImageIsReducedToEightBits", [] { return std::vector{sixteenBitImage(6, 3)}; }},
        ImageKind{"ChannelCountOfTheFileNeverDecidesHowManyBytesAreRead",
                  [] { return std::vector{rgbImage(5, 4, true), rgbaImageWithoutAlpha(5, 4)}; }}),
    [](const testing::TestParamInfo<ImageKind>& info) { return std::string(info.param.name); });

}  // namespace
