// The decoder over a copy of stb_image that notes every block it asks for: no file may ask for
// much more than its own size and the image it declares. The fuzzer's two slow finds asked
// for 1.5 GB and 318 MB, and a few kilobytes of deflate could ask for megabytes.
#include "render/ImageDecoder.h"

#include "Files.h"
#include "ImageFiles.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

extern "C" std::size_t largestStbRequest();
extern "C" void forgetStbRequests();

namespace {

std::size_t largestRequest(const std::vector<unsigned char>& file)
{
    forgetStbRequests();
    decodeImageMemory(file.data(), file.size(), 4);
    return largestStbRequest();
}

// Four times the file and the image at 16-bit RGBA with a filter byte a row, and the
// decoder's own state (a JPEG decoder's tables, about 18 KB, even for a PNG).
std::size_t allowance(const std::vector<unsigned char>& file, std::size_t width, std::size_t height)
{
    return 4 * (file.size() + 8 * width * height + height) + 64 * 1024;
}

TEST(DecoderMemory, NoFileAsksForMuchMoreThanItsSizeAndItsImage)
{
    const std::vector<unsigned char> image = encodePng8(16, 16, 1, std::vector<unsigned char>(16 * 16, 0));
    ASSERT_GT(largestRequest(image), 16u * 16u);  // the noting copy is the one decoding
    const std::vector<unsigned char> inflate = readFuzzerFind("slow-inflate-6x6.png");
    const std::vector<unsigned char> palette = readFuzzerFind("slow-unit-104b.bin");
    const std::vector<unsigned char> bomb =  // 10 KB of deflate, a megabyte of pixels
        withDeclaredSize(encodePng8(1024, 1024, 1, std::vector<unsigned char>(1024 * 1024, 0)), 16, 16);
    ASSERT_FALSE(inflate.empty() || palette.empty());
    EXPECT_LE(largestRequest(inflate), allowance(inflate, 6, 6));
    EXPECT_LE(largestRequest(palette), allowance(palette, 5, 6));
    EXPECT_LE(largestRequest(bomb), allowance(bomb, 16, 16));
}

// Too large for a texture: refused before any of the image is asked for, though the file goes
// on into image data that the decoder would inflate into a buffer of the declared size.
TEST(DecoderMemory, ImagesLargerThanATextureAskForNoImage)
{
    const std::vector<unsigned char> small = encodePng8(16, 16, 3, std::vector<unsigned char>(16 * 16 * 3, 7));
    for (const auto& [width, height] : {std::pair<uint32_t, uint32_t>{100000, 100000}, {8192, 8192}, {16384, 1025}}) {
        const std::vector<unsigned char> file = withDeclaredSize(small, width, height);
        EXPECT_LE(largestRequest(file), allowance(file, 0, 0)) << width << " x " << height;
    }
}

}  // namespace
