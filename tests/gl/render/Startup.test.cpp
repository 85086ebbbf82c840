// The asset store after the game's real start-up, run from the folder that holds the
// game's shaders and images: what start-up stores, the background draw, and the release.
#include "game/GameController.h"
#include "game/Level.h"
#include "render/AssetStore.h"
#include "render/ImageDecoder.h"

#include "support/GlTestSupport.h"

#include <array>
#include <gtest/gtest.h>
#include <stb_image.h>

namespace {

// Start-up runs once per process, as in the game; this is what it wrote to standard output.
const std::string& startUpOnce()
{
    static const std::string output = [] {
        const WorkingDirectory inAssets(assetsFolder());
        testing::internal::CaptureStdout();
        game.init();
        return testing::internal::GetCapturedStdout();
    }();
    return output;
}

struct StoredImage {
    const char* key;
    const char* file;
    GLenum format;
};

const StoredImage storedImages[] = {
    {"paddle", "paddle.png", GL_RGBA},
    {"face", "awesomeface_01.png", GL_RGBA},
    {"block", "block.png", GL_RGB},
    {"background", "background.jpg", GL_RGB},
};

// An image file's width, height and channel count, from its header.
std::array<int, 3> infoOf(const char* file)
{
    std::array<int, 3> info{};
    stbi_info(sourceAsset(file).string().c_str(), &info[0], &info[1], &info[2]);
    return info;
}

// Made during static initialisation, long before any GL context.
TEST(StartUp, TextureBuiltBeforeAnyContextNamesNothing)
{
    EXPECT_EQ(level.texture.textureId, 0u);
}

TEST(StartUp, StoresTheSpriteProgramAndTheFourTexturesSilently)
{
    EXPECT_EQ(startUpOnce(), "");

    ASSERT_EQ(AssetStore::shaderPrograms.size(), 1u);
    const ShaderProgram sprite = AssetStore::shaderPrograms.at("sprite");
    EXPECT_EQ(glIsProgram(sprite.programId), GL_TRUE);
    EXPECT_EQ(renderer->program.programId, sprite.programId);

    ASSERT_EQ(AssetStore::textures.size(), 4u);
    for (const StoredImage& image : storedImages) {
        const Texture& texture = AssetStore::textures.at(image.key);
        const auto [width, height, channels] = infoOf(image.file);
        EXPECT_EQ(glIsTexture(texture.textureId), GL_TRUE) << image.key;
        EXPECT_EQ(texture.width, width) << image.key;
        EXPECT_EQ(texture.height, height) << image.key;
        EXPECT_EQ(texture.internalFormat, image.format) << image.key;
        EXPECT_EQ(texture.imageFormat, image.format) << image.key;
    }
    EXPECT_EQ(paddle->texture.textureId, AssetStore::textures.at("paddle").textureId);
    EXPECT_EQ(ball->texture.textureId, AssetStore::textures.at("face").textureId);
}

// The files themselves: the channels their texture formats read, RGB rows filling whole
// 4-byte words, and the background at the field's size.
TEST(StartUp, ImageFilesHaveTheLayoutTheirFormatsExpect)
{
    for (const StoredImage& image : storedImages) {
        const auto [width, height, channels] = infoOf(image.file);
        EXPECT_EQ(channels, image.format == GL_RGBA ? 4 : 3) << image.file;
        if (image.format == GL_RGB) {
            EXPECT_EQ(width * 3 % 4, 0) << image.file;
        }
    }
    const auto [width, height, channels] = infoOf("background.jpg");
    EXPECT_EQ(width, 600);
    EXPECT_EQ(height, 600);
}

// The display callback's first draw: the background image over the whole field, pixel for pixel.
TEST(StartUp, BackgroundDrawShowsTheWholeImageOverTheWholeField)
{
    startUpOnce();
    const DecodedImage image = decodeImageFile((assetsFolder() / "background.jpg").string().c_str(), 3);
    ASSERT_EQ(image.width, fieldSize);
    ASSERT_EQ(image.height, fieldSize);

    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    renderer->drawQuad(AssetStore::textureFor("background"), glm::vec2(0.0f, 0.0f), glm::vec2(game.width, game.height),
                       0.0f, glm::vec3(1.0f, 1.0f, 1.0f));

    const Image field = readField();
    int wrong = 0;
    for (size_t i = 0; i < field.rgb.size(); ++i)
        if (std::abs(field.rgb[i] - image.pixels[i]) > 1)
            ++wrong;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(AssetStore::textures.size(), 4u);  // looking up a stored key inserts nothing
}

// Runs last: it deletes what the other tests draw with.
TEST(StartUp, ReleaseAllDeletesEveryProgramAndTextureAndKeepsTheEntries)
{
    startUpOnce();
    const GLuint sprite = AssetStore::shaderPrograms.at("sprite").programId;

    AssetStore::releaseAll();
    glUseProgram(0);  // a current program is only deleted once it stops being current

    EXPECT_EQ(glIsProgram(sprite), GL_FALSE);
    for (const auto& entry : AssetStore::textures)
        EXPECT_EQ(glIsTexture(entry.second.textureId), GL_FALSE) << entry.first;
    EXPECT_EQ(AssetStore::shaderPrograms.size(), 1u);
    EXPECT_EQ(AssetStore::textures.size(), 4u);
}

}  // namespace
