// Textures and the asset store: what gets stored, the GL state a store leaves behind, and
// images of unusual layouts shown on screen pixel for pixel.
#include "render/AssetStore.h"
#include "render/QuadRenderer.h"

#include "support/GlTestSupport.h"
#include "ImageFiles.h"

#include <gtest/gtest.h>

namespace {

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

// A texture stored under `key` with a name of its own and no image: 0 × 0, `format` both ways,
// the default sampling.
void expectNewEmptyTexture(const Texture& texture, const std::string& key, GLuint before, GLenum format)
{
    EXPECT_NE(texture.textureId, 0u);
    EXPECT_NE(texture.textureId, before);
    EXPECT_EQ(AssetStore::textures.at(key).textureId, texture.textureId);
    EXPECT_EQ(texture.width, 0);
    EXPECT_EQ(texture.height, 0);
    EXPECT_EQ(texture.internalFormat, format);
    EXPECT_EQ(texture.imageFormat, format);
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

// Stores the image the way the game does, from a file: here one in a scratch folder.
Texture storeImage(const std::vector<unsigned char>& file, bool hasAlpha, const std::string& key)
{
    const ScratchFolder folder;
    const std::string path = folder.write("image.png", std::string(file.begin(), file.end())).string();
    return AssetStore::storeTextureFromFile(path.c_str(), hasAlpha, key);
}

TEST(AssetStoreTextureFor, UnknownKeyCreatesAndKeepsAnEmptyTexture)
{
    AssetStore::textures.erase("never stored");  // a repeated run starts afresh
    const GLuint before = freshName();
    const size_t entries = AssetStore::textures.size();

    const Texture first = AssetStore::textureFor("never stored");
    const Texture second = AssetStore::textureFor("never stored");

    expectNewEmptyTexture(first, "never stored", before, GL_RGB);
    EXPECT_EQ(second.textureId, first.textureId);
    EXPECT_EQ(AssetStore::textures.size(), entries + 1);
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
    const char* const missing = "/nonexistent/zorvex/nothing here.png";
    for (const bool hasAlpha : {true, false}) {
        const GLenum format = hasAlpha ? GL_RGBA : GL_RGB;
        const std::string key = hasAlpha ? "missing with alpha" : "missing without alpha";
        const GLuint before = freshName();
        SCOPED_TRACE(key);

        testing::internal::CaptureStdout();
        const Texture texture = AssetStore::storeTextureFromFile(missing, hasAlpha, key);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

        expectNewEmptyTexture(texture, key, before, format);
        EXPECT_EQ(levelParameterOf(texture.textureId, GL_TEXTURE_WIDTH), 0);
    }
}

TEST(AssetStoreStoreTexture, LeavesTheImageDefinedAndNothingBoundOrChanged)
{
    const std::vector<unsigned char> rgba = encodePng8(6, 5, 4, std::vector<unsigned char>(6 * 5 * 4, 200));
    const GLuint other = freshName();
    glBindTexture(GL_TEXTURE_2D, other);

    const Texture texture = storeImage(rgba, true, "state check");

    EXPECT_EQ(integerOf(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(integerOf(GL_UNPACK_ALIGNMENT), 4);
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
    const std::vector<unsigned char> grey = encodePng8(4, 4, 1, std::vector<unsigned char>(16, 90));

    const Texture first = storeImage(grey, false, "replaced");
    const Texture second = storeImage(grey, false, "replaced");

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

// Colours that differ in every channel from pixel to pixel and row to row: width × height
// RGB pixels, rows top first.
std::vector<unsigned char> colourPattern(int width, int height)
{
    std::vector<unsigned char> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rgb.push_back(static_cast<unsigned char>(40 + 37 * x + 71 * y + 23 * c));
    return rgb;
}

ShownImage rgbImage(int width, int height, bool hasAlpha)
{
    const std::vector<unsigned char> rgb = colourPattern(width, height);
    return {"rgb", encodePng8(width, height, 3, rgb), hasAlpha, width, height, rgb};
}

// The red of the colour pattern, as greys.
ShownImage greyImage(int width, int height)
{
    const std::vector<unsigned char> colours = colourPattern(width, height);
    std::vector<unsigned char> grey;
    std::vector<unsigned char> rgb;
    for (size_t i = 0; i < colours.size(); i += 3) {
        grey.push_back(colours[i]);
        rgb.insert(rgb.end(), 3, colours[i]);
    }
    return {"grey", encodePng8(width, height, 1, grey), false, width, height, rgb};
}

// 16 bits a channel: the high byte is the 8-bit value expected, the low byte something else
// (half of it), so that taking the wrong byte shows while any rounding agrees.
ShownImage sixteenBitImage(int width, int height)
{
    const std::vector<unsigned char> rgb = colourPattern(width, height);
    std::vector<uint16_t> samples;
    for (size_t pixel = 0; pixel < rgb.size(); pixel += 3) {
        for (size_t i = pixel; i < pixel + 3; ++i)
            samples.push_back(static_cast<uint16_t>(rgb[i] * 256 + rgb[i] / 2));
        samples.push_back(0xFFFF);
    }
    return {"16-bit rgba", encodePng16(width, height, 4, samples), true, width, height, rgb};
}

ShownImage rgbaImageWithoutAlpha(int width, int height)
{
    const std::vector<unsigned char> rgb = colourPattern(width, height);
    std::vector<unsigned char> samples;
    for (size_t pixel = 0; pixel < rgb.size(); pixel += 3) {
        samples.insert(samples.end(), rgb.begin() + pixel, rgb.begin() + pixel + 3);
        const size_t x = pixel / 3 % width;
        samples.push_back(static_cast<unsigned char>(255 - x));  // dropped: the texture is RGB
    }
    return {"rgba stored without alpha", encodePng8(width, height, 4, samples), false, width, height, rgb};
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
    static inline QuadRenderer* renderer = nullptr;

    // Stores the image from a file, draws it at its own size and compares every pixel.
    void expectShownExactly(const ShownImage& image)
    {
        const Texture texture = storeImage(image.file, image.hasAlpha, image.name);
        ASSERT_EQ(texture.width, image.width);
        ASSERT_EQ(texture.height, image.height);

        const int left = 31;
        const int top = 17;
        glClear(GL_COLOR_BUFFER_BIT);
        renderer->drawQuad(texture, glm::vec2(left, top), glm::vec2(image.width, image.height), 0.0f, glm::vec3(1.0f));
        const Image field = readField();
        int wrong = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                for (int c = 0; c < 3; ++c) {
                    const int shown = field.rgb[static_cast<size_t>(((top + y) * fieldSize + left + x) * 3 + c)];
                    const int expected = image.expectedRgb[static_cast<size_t>((y * image.width + x) * 3 + c)];
                    if (std::abs(shown - expected) > 1 && wrong++ < 5)
                        ADD_FAILURE() << image.name << ": pixel (" << x << ", " << y << ") channel " << c
                                      << " shows " << shown << ", expected " << expected;
                }
        EXPECT_EQ(wrong, 0) << image.name;
        glDeleteTextures(1, &texture.textureId);
    }
};

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
