// What the decoder asks for, as its budget counts it: no file may get much more than its own
// size and the image it declares. The fuzzer's two slow finds asked for 1.5 GB and 318 MB, and
// a few kilobytes of deflate could ask for megabytes.
#include "render/DecoderBudget.h"
#include "render/ImageDecoder.h"
#include "render/ImageScreen.h"

#include "Files.h"
#include "ImageFiles.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// What a decode of `file` was granted; 0 where the decoder never ran.
std::size_t grantedFor(const std::vector<unsigned char>& file)
{
    startDecoderBudget(0);
    decodeImageMemory(file.data(), file.size(), 4);
    return decoderBudget.used;
}

// Four times the file and the image at 16-bit RGBA with a filter byte a row, and the
// decoder's own state (a JPEG decoder's tables, about 18 KB).
std::size_t allowance(const std::vector<unsigned char>& file, std::size_t width, std::size_t height)
{
    return 4 * (file.size() + 8 * width * height + height) + 64 * 1024;
}

TEST(DecoderMemory, NoFileAsksForMuchMoreThanItsSizeAndItsImage)
{
    const std::vector<unsigned char> image = encodePng8(16, 16, 1, std::vector<unsigned char>(16 * 16, 0));
    ASSERT_GT(grantedFor(image), 16u * 16u);  // the budget counts the decode's blocks
    const std::vector<unsigned char> inflate = readFuzzerFind("slow-inflate-6x6.png");
    const std::vector<unsigned char> palette = readFuzzerFind("slow-unit-104b.bin");
    const std::vector<unsigned char> bomb =  // 10 KB of deflate, a megabyte of pixels
        withDeclaredSize(encodePng8(1024, 1024, 1, std::vector<unsigned char>(1024 * 1024, 0)), 16, 16);
    ASSERT_FALSE(inflate.empty() || palette.empty());
    EXPECT_LE(grantedFor(inflate), allowance(inflate, 6, 6));
    EXPECT_LE(grantedFor(palette), allowance(palette, 5, 6));
    EXPECT_LE(grantedFor(bomb), allowance(bomb, 16, 16));
    EXPECT_TRUE(decoderBudget.refused);
}

// 92 bytes that declare a 6 × 6 picture and then a data chunk of 1.5 GB: nothing in the file's
// first bytes is wrong, and the decoder asks for the chunk's size before it looks for the bytes.
TEST(DecoderMemory, ADataChunkLargerThanTheFileIsRefusedWhereTheDecoderAsksForIt)
{
    const std::vector<unsigned char> find = readFuzzerFind("slow-inflate-6x6.png");
    ASSERT_TRUE(isAcceptedImage(find.data(), find.size()));
    EXPECT_LE(grantedFor(find), allowance(find, 6, 6));
    EXPECT_TRUE(decoderBudget.refused);
    EXPECT_EQ(decodeImageMemory(find.data(), find.size(), 4).pixels, nullptr);
}

// From the fuzzer: a 6 × 1 16-bit grey PNG whose image data runs on for hundreds of bytes. The
// budget refuses the last block, the 8-bit copy of the picture, and the decoder then keeps the
// 16-bit one it was to copy from; the budget frees it when the decode ends.
TEST(DecoderMemory, AFailedDecodeLeavesNoBlockBehind)
{
    const std::vector<unsigned char> find = readFuzzerFind("leak-16-bit-conversion.png");
    ASSERT_FALSE(find.empty());
    EXPECT_EQ(decodeImageMemory(find.data(), find.size(), 4).pixels, nullptr);
    EXPECT_TRUE(decoderBudget.refused);
    EXPECT_TRUE(decoderBudget.held.empty());
}

// Too large for a texture: refused before any of the image is asked for, though the file goes
// on into image data that the decoder would inflate into a buffer of the declared size.
TEST(DecoderMemory, ImagesLargerThanATextureAskForNoImage)
{
    const std::vector<unsigned char> small = encodePng8(16, 16, 3, std::vector<unsigned char>(16 * 16 * 3, 7));
    for (const auto& [width, height] : {std::pair<uint32_t, uint32_t>{100000, 100000}, {8192, 8192}, {16384, 1025}}) {
        const std::vector<unsigned char> file = withDeclaredSize(small, width, height);
        EXPECT_LE(grantedFor(file), allowance(file, 0, 0)) << width << " x " << height;
    }
}

}  // namespace
