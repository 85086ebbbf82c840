// The image decoder without any GL: channel conversion, row order, and bad input.
#include "render/ImageDecoder.h"

#include "ImageFiles.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

DecodedImage decode(const std::vector<unsigned char>& file, int channels)
{
    return decodeImageMemory(file.data(), file.size(), channels);
}

void expectEmpty(const DecodedImage& image)
{
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_EQ(image.pixels, nullptr);
}

// 2 × 2 RGBA: the top row red and green, the bottom row blue and half-transparent white.
const std::vector<unsigned char> quadrants = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
const std::vector<unsigned char> quadrantsPng = encodePng8(2, 2, 4, quadrants);

TEST(ImageDecoder, DeliversTheChannelsAskedForWithRowsTopFirst)
{
    const DecodedImage rgba = decode(quadrantsPng, 4);
    ASSERT_NE(rgba.pixels, nullptr);
    EXPECT_EQ(rgba.width, 2);
    EXPECT_EQ(rgba.height, 2);
    EXPECT_EQ(rgba.channels, 4);
    EXPECT_EQ(std::vector<unsigned char>(rgba.pixels, rgba.pixels + 16), quadrants);

    const DecodedImage rgb = decode(quadrantsPng, 3);
    ASSERT_NE(rgb.pixels, nullptr);
    EXPECT_EQ(rgb.channels, 3);
    EXPECT_EQ(std::vector<unsigned char>(rgb.pixels, rgb.pixels + 12),
              (std::vector<unsigned char>{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
}

TEST(ImageDecoder, GreyAndRgbFilesAreWidenedToTheChannelsAskedFor)
{
    const DecodedImage grey = decode(encodePng8(3, 1, 1, {10, 20, 30}), 3);
    ASSERT_NE(grey.pixels, nullptr);
    EXPECT_EQ(std::vector<unsigned char>(grey.pixels, grey.pixels + 9),
              (std::vector<unsigned char>{10, 10, 10, 20, 20, 20, 30, 30, 30}));

    const DecodedImage rgb = decode(encodePng8(1, 1, 3, {1, 2, 3}), 4);
    ASSERT_NE(rgb.pixels, nullptr);
    EXPECT_EQ(std::vector<unsigned char>(rgb.pixels, rgb.pixels + 4), (std::vector<unsigned char>{1, 2, 3, 255}));
}

TEST(ImageDecoder, FileAndMemoryDecodeAlike)
{
    const ScratchFolder folder;
    const std::string path = folder.write("quadrants.png", std::string(quadrantsPng.begin(), quadrantsPng.end())).string();

    const DecodedImage image = decodeImageFile(path.c_str(), 4);
    ASSERT_NE(image.pixels, nullptr);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(std::vector<unsigned char>(image.pixels, image.pixels + 16), quadrants);
}

TEST(ImageDecoder, UnreadableInputGivesAnEmptyImage)
{
    const std::vector<unsigned char> file = encodePng8(8, 8, 3, std::vector<unsigned char>(8 * 8 * 3, 77));
    const std::vector<unsigned char> garbage(300, 0xA5);

    expectEmpty(decode(truncated(file, file.size() / 2), 3));
    expectEmpty(decode(garbage, 3));
    expectEmpty(decodeImageMemory(nullptr, 100, 3));
    expectEmpty(decodeImageMemory(file.data(), 0, 3));
    expectEmpty(decode(file, 0));
    expectEmpty(decode(file, 5));
    expectEmpty(decodeImageFile("/nonexistent/zorvex/image.png", 3));
    expectEmpty(decodeImageFile(std::filesystem::temp_directory_path().string().c_str(), 3));  // a folder
    expectEmpty(decodeImageFile(nullptr, 3));
}

// GL takes at most 16384 texels a side here, and a picture of more than 4096 × 4096 is more
// than a sprite needs: both are refused before they are decoded.
TEST(ImageDecoder, ImagesLargerThanATextureAreRefused)
{
    const DecodedImage widest = decode(encodePng8(16384, 1, 1, std::vector<unsigned char>(16384, 9)), 3);
    EXPECT_EQ(widest.width, 16384);
    expectEmpty(decode(encodePng8(16385, 1, 1, std::vector<unsigned char>(16385, 9)), 3));
    expectEmpty(decode(encodePng8(1, 16385, 1, std::vector<unsigned char>(16385, 9)), 3));

    // DecoderMemory bounds what refusing them costs.
    expectEmpty(decode(encodePngHeaderOnly(100000, 100000), 4));
    expectEmpty(decode(encodePngHeaderOnly(8192, 8192), 4));
    expectEmpty(decode(encodePngHeaderOnly(16384, 1025), 3));
}

TEST(ImageDecoder, MovingHandsOverThePixels)
{
    DecodedImage source = decode(quadrantsPng, 4);
    const unsigned char* pixels = source.pixels;
    DecodedImage target = std::move(source);
    EXPECT_EQ(target.pixels, pixels);
    EXPECT_EQ(target.width, 2);
    expectEmpty(source);
    target = decode(encodePng8(1, 1, 3, {1, 2, 3}), 3);
    EXPECT_EQ(target.width, 1);
}

}  // namespace
