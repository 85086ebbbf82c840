// Only PNG and JPEG reach the decoder, and no JPEG whose Huffman tables the decoder would
// overrun or use undefined. Each case starts from a file the decoder reads fine, so a refusal
// can only come from the screen.
#include "render/ImageDecoder.h"
#include "render/ImageScreen.h"

#include <stb_image_write.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

void appendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

const std::vector<unsigned char> pixels = [] {
    std::vector<unsigned char> rgb(16 * 16 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<unsigned char>(i * 7);
    return rgb;
}();

std::vector<unsigned char> jpeg()
{
    std::vector<unsigned char> out;
    stbi_write_jpg_to_func(appendBytes, &out, 16, 16, 3, pixels.data(), 90);
    return out;
}

std::size_t findMarker(const std::vector<unsigned char>& file, unsigned char marker)
{
    for (std::size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == marker)
            return i;
    ADD_FAILURE() << "no marker " << int(marker);
    return 0;
}

bool decodes(const std::vector<unsigned char>& file)
{
    return decodeImageMemory(file.data(), file.size(), 3).pixels != nullptr;
}

TEST(ImageScreen, PngAndJpegPass)
{
    std::vector<unsigned char> png;
    stbi_write_png_to_func(appendBytes, &png, 16, 16, 3, pixels.data(), 16 * 3);
    EXPECT_TRUE(isAcceptedImage(png.data(), png.size()));
    EXPECT_TRUE(decodes(png));
    const std::vector<unsigned char> good = jpeg();
    EXPECT_TRUE(isAcceptedImage(good.data(), good.size()));
    EXPECT_TRUE(decodes(good));
}

TEST(ImageScreen, OtherFormatsTheDecoderKnowsAreRefused)
{
    std::vector<unsigned char> bmp;
    stbi_write_bmp_to_func(appendBytes, &bmp, 16, 16, 3, pixels.data());
    std::vector<unsigned char> tga;
    stbi_write_tga_to_func(appendBytes, &tga, 16, 16, 3, pixels.data());
    EXPECT_FALSE(isAcceptedImage(bmp.data(), bmp.size()));
    EXPECT_FALSE(decodes(bmp));
    EXPECT_FALSE(decodes(tga));
}

// The first table of the first DHT segment claims 16 × 17 = 272 values: more than the 256 the
// decoder has room for.
TEST(ImageScreen, AHuffmanTableOfMoreThan256ValuesIsRefused)
{
    std::vector<unsigned char> file = jpeg();
    const std::size_t table = findMarker(file, 0xC4) + 4;
    for (std::size_t k = 1; k <= 16; ++k)
        file[table + k] = 17;
    EXPECT_FALSE(isAcceptedImage(file.data(), file.size()));
    EXPECT_FALSE(decodes(file));
}

// The scan's first component asks for DC and AC tables 3, which the file never defines.
TEST(ImageScreen, AScanUsingAnUndefinedTableIsRefused)
{
    std::vector<unsigned char> file = jpeg();
    const std::size_t scan = findMarker(file, 0xDA);
    file[scan + 6] = 0x33;
    EXPECT_FALSE(isAcceptedImage(file.data(), file.size()));
    EXPECT_FALSE(decodes(file));
}

// The first quantisation table is filed as table 2, so the luma component's table 0 is never defined.
TEST(ImageScreen, AFrameUsingAnUndefinedQuantisationTableIsRefused)
{
    std::vector<unsigned char> file = jpeg();
    const std::size_t tables = findMarker(file, 0xDB);
    ASSERT_EQ(file[tables + 4], 0x00);
    file[tables + 4] = 0x02;
    EXPECT_FALSE(isAcceptedImage(file.data(), file.size()));
    EXPECT_FALSE(decodes(file));
}

}  // namespace
