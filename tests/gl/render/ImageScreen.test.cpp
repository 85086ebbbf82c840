// Only PNG and JPEG reach the decoder, no JPEG whose Huffman tables the decoder would overrun
// or use undefined or whose components no scan fills, and no PNG whose image data could not
// fill the buffer its header makes the decoder ask for. Each case starts from a file the
// decoder reads fine, so a refusal can only come from the screen.
#include "render/ImageDecoder.h"
#include "render/ImageScreen.h"

#include "Assets.h"
#include "Files.h"
#include "ImageFiles.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// For the formats the decoder knows but the game refuses, which the support's writer has no use for.
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

const std::vector<unsigned char> png = encodePng8(16, 16, 3, pixels);
const std::vector<unsigned char> jpeg = encodeJpeg(16, 16, 3, pixels);

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

bool accepted(const std::vector<unsigned char>& file)
{
    return isAcceptedImage(file.data(), file.size());
}

TEST(ImageScreen, PngAndJpegPass)
{
    EXPECT_TRUE(accepted(png));
    EXPECT_TRUE(decodes(png));
    EXPECT_TRUE(accepted(jpeg));
    EXPECT_TRUE(decodes(jpeg));
}

TEST(ImageScreen, OtherFormatsTheDecoderKnowsAreRefused)
{
    std::vector<unsigned char> bmp;
    stbi_write_bmp_to_func(appendBytes, &bmp, 16, 16, 3, pixels.data());
    std::vector<unsigned char> tga;
    stbi_write_tga_to_func(appendBytes, &tga, 16, 16, 3, pixels.data());
    EXPECT_FALSE(accepted(bmp));
    EXPECT_FALSE(decodes(bmp));
    EXPECT_FALSE(decodes(tga));
}

// The first table of the first DHT segment claims 16 × 17 = 272 values: more than the 256 the
// decoder has room for.
TEST(ImageScreen, AHuffmanTableOfMoreThan256ValuesIsRefused)
{
    std::vector<unsigned char> file = jpeg;
    const std::size_t table = findMarker(file, 0xC4) + 4;
    for (std::size_t k = 1; k <= 16; ++k)
        file[table + k] = 17;
    EXPECT_FALSE(accepted(file));
    EXPECT_FALSE(decodes(file));
}

// The scan's first component asks for DC and AC tables 3, which the file never defines.
TEST(ImageScreen, AScanUsingAnUndefinedTableIsRefused)
{
    std::vector<unsigned char> file = jpeg;
    const std::size_t scan = findMarker(file, 0xDA);
    file[scan + 6] = 0x33;
    EXPECT_FALSE(accepted(file));
    EXPECT_FALSE(decodes(file));
}

// The first quantisation table is filed as table 2, so the luma component's table 0 is never defined.
TEST(ImageScreen, AFrameUsingAnUndefinedQuantisationTableIsRefused)
{
    std::vector<unsigned char> file = jpeg;
    const std::size_t tables = findMarker(file, 0xDB);
    ASSERT_EQ(file[tables + 4], 0x00);
    file[tables + 4] = 0x02;
    EXPECT_FALSE(accepted(file));
    EXPECT_FALSE(decodes(file));
}

// stb_image as it comes, without the game's screen and budget in front of it.
bool plainDecoderReads(const std::vector<unsigned char>& file)
{
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 3);
    stbi_image_free(pixels);
    return pixels != nullptr;
}

// The decoder turns every component of the frame into pixels, also one that no scan has filled
// (in a progressive file, that no first DC scan has started): the picture is then whatever memory
// held. The game's background without its scan; the test JPEG's scan without its third component;
// a progressive seed whose first DC scan is marked as a refinement. What the plain decoder makes of
// the last depends on that memory too (its refinement scans read the coefficients), so only the
// first two are shown to decode without the screen.
TEST(ImageScreen, AJpegWithAComponentNoScanFillsIsRefused)
{
    const std::vector<unsigned char> unscanned =
        readFile(std::string(ZORVEX_SOURCE_DIR) + "/tests/gl/render/data/unscanned-components.jpg");
    std::vector<unsigned char> twoOfThree = jpeg;
    const std::size_t scan = findMarker(twoOfThree, 0xDA);
    ASSERT_EQ(twoOfThree[scan + 4], 3);
    twoOfThree[scan + 3] -= 2;
    twoOfThree[scan + 4] = 2;
    twoOfThree.erase(twoOfThree.begin() + static_cast<std::ptrdiff_t>(scan + 9),
                     twoOfThree.begin() + static_cast<std::ptrdiff_t>(scan + 11));
    std::vector<unsigned char> noFirstDc = readFile(std::string(ZORVEX_SOURCE_DIR) + "/fuzz/corpus/progressive.jpg");
    const std::size_t firstDc = findMarker(noFirstDc, 0xDA) + 4 + 1 + 2 * 3;
    ASSERT_EQ(noFirstDc[firstDc], 0);      // Ss
    ASSERT_EQ(noFirstDc[firstDc + 2], 1);  // Ah 0, Al 1
    noFirstDc[firstDc + 2] = 0x11;
    EXPECT_TRUE(plainDecoderReads(unscanned));
    EXPECT_TRUE(plainDecoderReads(twoOfThree));
    EXPECT_FALSE(accepted(unscanned));
    EXPECT_FALSE(accepted(twoOfThree));
    EXPECT_FALSE(accepted(noFirstDc));
}

// The decoder sizes its buffer for an IDAT chunk from the length the chunk declares, before it
// looks for the bytes. These two files from the fuzzer declare 1.5 GB and 318 MB: the decoder's
// budget turns the request down (DecoderMemory.test.cpp).
TEST(ImageScreen, AChunkRunningPastTheEndOfTheFileIsRefused)
{
    std::vector<unsigned char> file = png;
    ASSERT_EQ(std::string(file.begin() + 37, file.begin() + 41), "IDAT");
    file[33] = 0x5C;
    EXPECT_FALSE(decodes(file));
    for (const char* name : {"slow-inflate-6x6.png", "slow-unit-104b.bin"}) {
        const std::vector<unsigned char> find = readFuzzerFind(name);
        ASSERT_FALSE(find.empty()) << name;
        EXPECT_FALSE(decodes(find)) << name;
    }
}

// A download cut short in the CRC of the chunk before IEND: the chunk's data are all there, its
// last 1 to 4 bytes are not. A chunk walk that forgets the CRC would step past the end of the file.
TEST(ImageScreen, AFileEndingInsideAChunksCrcIsRefused)
{
    for (const std::string name : {"paddle.png", "awesomeface_01.png", "block.png"}) {
        const std::vector<unsigned char> whole = readFile(sourceAsset(name).string());
        ASSERT_GT(whole.size(), 12u) << name;
        const std::size_t iend = whole.size() - 12;
        ASSERT_EQ(std::string(whole.begin() + iend + 4, whole.begin() + iend + 8), "IEND") << name;
        for (std::size_t missing = 1; missing <= 4; ++missing) {
            // Its own allocation, so that AddressSanitizer sees a read past the end.
            const std::vector<unsigned char> cut(whole.begin(), whole.begin() + iend - missing);
            EXPECT_FALSE(decodes(cut)) << name << " without the last " << missing << " bytes of a CRC";
        }
    }
}

// Image data may run on past the last row, as some encoders write it, but must fill every row.
// The same image data under a header one row shorter or longer than its own.
TEST(ImageScreen, ImageDataMayHoldSpareBytesButMustFillTheImage)
{
    const std::vector<unsigned char> png = encodePng8(16, 17, 1, std::vector<unsigned char>(16 * 17, 40));
    EXPECT_TRUE(decodes(withDeclaredSize(png, 16, 17)));
    EXPECT_TRUE(decodes(withDeclaredSize(png, 16, 16)));
    EXPECT_FALSE(decodes(withDeclaredSize(png, 16, 18)));
}

// The game's paddle with its image data deflated again with 64 spare bytes after the last row.
TEST(ImageScreen, ThePaddleWithSpareImageDataIsThePaddle)
{
    const std::string source = ZORVEX_SOURCE_DIR;
    const std::vector<unsigned char> spare = readFile(source + "/tests/gl/render/data/valid-spare-image-data.png");
    const std::vector<unsigned char> paddle = readFile(sourceAsset("paddle.png").string());
    ASSERT_FALSE(spare.empty() || paddle.empty());
    const DecodedImage decoded = decodeImageMemory(spare.data(), spare.size(), 4);
    const DecodedImage original = decodeImageMemory(paddle.data(), paddle.size(), 4);
    ASSERT_NE(decoded.pixels, nullptr);
    ASSERT_NE(original.pixels, nullptr);
    ASSERT_EQ(decoded.width, original.width);
    ASSERT_EQ(decoded.height, original.height);
    EXPECT_EQ(std::memcmp(decoded.pixels, original.pixels, std::size_t(original.width) * original.height * 4), 0);
}

// A few bytes under a header of a texture's size: at deflate's best ratio, 1032 bytes per byte,
// they cannot hold its rows, and the decoder would first ask for a buffer of that size: 134 MB
// for the 16-bit RGBA seed, a 92-byte file.
TEST(ImageScreen, ImageDataTooShortToFillItsHeaderIsRefused)
{
    const std::vector<unsigned char> seed = readFile(std::string(ZORVEX_SOURCE_DIR) + "/fuzz/corpus/rgba16.png");
    ASSERT_FALSE(seed.empty());
    EXPECT_FALSE(accepted(withDeclaredSize(seed, 4096, 4096)));
    EXPECT_TRUE(accepted(withDeclaredSize(seed, 64, 64)));
}

TEST(ImageScreen, ImageDataSplitOverSeveralChunksPasses)
{
    const std::vector<unsigned char> split = splitImageData(png, 16);
    ASSERT_GE(split.size(), png.size() + 3 * 12);  // four chunks at least
    EXPECT_TRUE(accepted(split));
    EXPECT_TRUE(decodes(split));
}

// What a PNG inflates to depends on its bit depth, colour type and interlacing: the fuzzer's
// seeds have them all, and every one of them must still pass.
TEST(ImageScreen, EveryPngSeedOfTheFuzzerPasses)
{
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ZORVEX_SOURCE_DIR) / "fuzz/corpus")) {
        if (entry.path().extension() != ".png")
            continue;
        EXPECT_TRUE(decodes(readFile(entry.path().string()))) << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 15);
}

// ---- where a JPEG's Huffman tables are, and where they are not ----

// A segment: its marker, then its length (which counts itself) and `payload`.
std::vector<unsigned char> segment(unsigned char marker, const std::vector<unsigned char>& payload)
{
    const std::size_t length = payload.size() + 2;
    std::vector<unsigned char> out{0xFF, marker, static_cast<unsigned char>(length >> 8),
                                   static_cast<unsigned char>(length & 0xFF)};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::vector<unsigned char> inserted(std::vector<unsigned char> file, std::size_t at,
                                    const std::vector<unsigned char>& bytes)
{
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin(), bytes.end());
    return file;
}

// FF C4, then what a table of 16 × 32 = 512 values would start with: were it taken for a DHT,
// the decoder could not hold it.
std::vector<unsigned char> bytesLikeAnOversizedTable()
{
    std::vector<unsigned char> bytes{'n', 'o', 't', 'e', 0xFF, 0xC4, 0x00, 0x40, 0x00};
    bytes.insert(bytes.end(), 16, 0x20);
    bytes.insert(bytes.end(), 20, 'x');
    return bytes;
}

// A DHT segment whose one table claims 16 × 17 = 272 values, more than the decoder holds.
std::vector<unsigned char> oversizedHuffmanSegment()
{
    std::vector<unsigned char> table{0x10};
    table.insert(table.end(), 16, 17);
    table.insert(table.end(), 272, 0);
    return segment(0xC4, table);
}

std::vector<unsigned char> decodedPixels(const std::vector<unsigned char>& file)
{
    const DecodedImage image = decodeImageMemory(file.data(), file.size(), 3);
    if (image.pixels == nullptr)
        return {};
    return std::vector<unsigned char>(image.pixels, image.pixels + image.width * image.height * 3);
}

// The game's background with one segment put in after SOI, whose payload holds FF C4 and then
// ordinary bytes: an Exif APP1 and an ICC_PROFILE APP2. Metadata is not markers.
TEST(ImageScreen, PhotosWithFfC4InTheirMetadataPass)
{
    const std::string source = ZORVEX_SOURCE_DIR;
    const std::vector<unsigned char> original = decodedPixels(readFile(source + "/assets/background.jpg"));
    ASSERT_EQ(original.size(), 600u * 600u * 3u);
    for (const char* name : {"valid-exif-ffc4.jpg", "valid-icc-ffc4.jpg"}) {
        const std::vector<unsigned char> photo = readFile(source + "/tests/gl/render/data/" + name);
        ASSERT_FALSE(photo.empty()) << name;
        EXPECT_TRUE(accepted(photo)) << name;
        EXPECT_TRUE(decodedPixels(photo) == original) << name;
    }
}

TEST(ImageScreen, FfC4InACommentPasses)
{
    for (const std::size_t at : {std::size_t{2}, findMarker(jpeg, 0xDA), jpeg.size() - 2}) {
        const std::vector<unsigned char> commented = inserted(jpeg, at, segment(0xFE, bytesLikeAnOversizedTable()));
        EXPECT_TRUE(accepted(commented)) << "a comment at " << at;
        EXPECT_TRUE(decodedPixels(commented) == decodedPixels(jpeg)) << "a comment at " << at;
    }
}

// The decoder reads a DHT wherever a marker may stand: after a segment, whatever that holds; after
// fill bytes; between a scan's data and the end. And it reads a table's counts from past the
// segment's end if the length it declares runs out only there. Each of these must be refused.
TEST(ImageScreen, OversizedHuffmanTablesAreFoundWhereverTheDecoderReadsThem)
{
    const std::vector<unsigned char> oversized = oversizedHuffmanSegment();
    const std::vector<unsigned char> fill{0xFF, 0xFF, 0xFF};
    const std::size_t scan = findMarker(jpeg, 0xDA);
    const std::size_t end = jpeg.size() - 2;
    // DHT, length 3: the table starts in the segment and its counts follow it, 16 × 32 = 512.
    std::vector<unsigned char> spilling{0xFF, 0xC4, 0x00, 0x03, 0x10};
    spilling.insert(spilling.end(), 16, 0x20);
    const struct {
        const char* where;
        std::vector<unsigned char> file;
    } cases[] = {
        {"after a comment holding FF D9",
         inserted(inserted(jpeg, scan, oversized), scan, segment(0xFE, {0xFF, 0xD9}))},
        {"after fill bytes", inserted(inserted(jpeg, scan, oversized), scan, fill)},
        {"after the scan", inserted(jpeg, end, oversized)},
        {"after fill bytes after the scan", inserted(inserted(jpeg, end, oversized), end, fill)},
        {"running past its segment", inserted(jpeg, scan, spilling)},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(accepted(c.file)) << c.where;
}

// The fuzzer's JPEG seeds: none of them was refused before the walk, and none is now.
TEST(ImageScreen, EveryJpegSeedOfTheFuzzerPasses)
{
    int seeds = 0;
    const std::filesystem::path corpus = std::filesystem::path(ZORVEX_SOURCE_DIR) / "fuzz/corpus";
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const std::vector<unsigned char> file = readFile(entry.path().string());
        if (file.size() < 2 || file[0] != 0xFF || file[1] != 0xD8)
            continue;
        EXPECT_TRUE(accepted(file)) << entry.path();
        EXPECT_TRUE(decodes(file)) << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 5);
}

}  // namespace
