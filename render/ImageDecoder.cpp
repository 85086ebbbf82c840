// Decodes PNG and JPEG into tightly packed 8-bit pixels.
// Pure CPU work: safe to call without a GL context, and on any bytes at all.
#include "render/ImageDecoder.h"

#include "render/DecoderBudget.h"
#include "render/ImageScreen.h"

#include <climits>
#include <cstdio>
#include <utility>
#include <vector>

// The game's own stb_image, private to this file: only its PNG and JPEG decoders, every block
// it asks for taken from the decoder's budget. The build compiles this file with its local
// variables zero-initialised, so that no stack content reaches a picture either (a PNG whose
// pixels index past its palette reads entries the decoder never wrote).
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_MALLOC(size) budgetedAllocate(size)
#define STBI_REALLOC_SIZED(block, oldSize, newSize) budgetedReallocate(block, oldSize, newSize)
#define STBI_FREE(block) budgetedFree(block)
#include <stb_image.h>

namespace {

// What stb_image 2.27 asks for while it decodes one image, every block counted (frees give
// nothing back), for a picture of w × h. Both formats first read the header, which for a JPEG
// means its decoder's record, 18,568 bytes.
constexpr std::size_t headerBudget = 20 * 1024;

// A PNG joins its IDAT chunks in a buffer that starts at 4 KB and doubles: at most twice the
// file. A chunk that declares more than that is refused there, before its bytes are looked for.
// The rows are inflated into a buffer of the size the header gives, at most 8 bytes a pixel
// (16-bit RGBA) and a filter byte a row, which doubles once for spare bytes after the last
// row: 16 bytes a pixel and 2 a row. Then the unfiltered image (8), for an interlaced one a
// second (8) and the seven passes' own (8 together), the conversion to the channels asked for
// (8 at 16 bits) and to 8 bits (4): 52 bytes a pixel. A palette's expansion (4) comes only at
// 8 bits or fewer, where everything else halves.
std::size_t pngBudget(std::size_t width, std::size_t height, std::size_t fileSize)
{
    return 4096 + 2 * fileSize + 52 * width * height + 2 * height;
}

// A JPEG's record and a line buffer for each of up to four components (w + 3 bytes each);
// each component's plane, padded to whole MCUs of up to 32 × 32 pixels, at a byte a sample,
// and in a progressive file its coefficients at 2 bytes a sample, each block with 15 bytes
// for alignment; and the output at up to 4 bytes a pixel.
std::size_t jpegBudget(std::size_t width, std::size_t height)
{
    return headerBudget + 4 * (width + 3) + 4 * 3 * ((width + 32) * (height + 32) + 15) + 4 * width * height;
}

bool isPngSignature(const unsigned char* bytes)
{
    return bytes[0] == 0x89;  // the screen has let nothing through but PNG and JPEG
}

bool validChannels(int channels)
{
    return channels >= 1 && channels <= 4;
}

DecodedImage adopt(unsigned char* pixels, int width, int height, int channels)
{
    DecodedImage image;
    if (pixels == nullptr)
        return image;
    image.pixels = pixels;
    image.width = width;
    image.height = height;
    image.channels = channels;
    return image;
}

}  // namespace

DecodedImage::~DecodedImage()
{
    stbi_image_free(pixels);
}

DecodedImage::DecodedImage(DecodedImage&& other) noexcept
    : width(other.width), height(other.height), channels(other.channels), pixels(other.pixels)
{
    other.width = 0;
    other.height = 0;
    other.channels = 0;
    other.pixels = nullptr;
}

DecodedImage& DecodedImage::operator=(DecodedImage&& other) noexcept
{
    if (this != &other) {
        stbi_image_free(pixels);
        width = std::exchange(other.width, 0);
        height = std::exchange(other.height, 0);
        channels = std::exchange(other.channels, 0);
        pixels = std::exchange(other.pixels, nullptr);
    }
    return *this;
}

DecodedImage decodeImageFile(const char* path, int channels)
{
    if (path == nullptr)
        return DecodedImage();
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return DecodedImage();
    // Read whole, so that the bytes can be screened before the decoder sees them.
    std::vector<unsigned char> bytes;
    unsigned char chunk[64 * 1024];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + count);
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError)
        return DecodedImage();
    return decodeImageMemory(bytes.data(), bytes.size(), channels);
}

DecodedImage decodeImageMemory(const unsigned char* bytes, std::size_t size, int channels)
{
    if (bytes == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX) || !validChannels(channels) ||
        !isAcceptedImage(bytes, size))
        return DecodedImage();
    const int length = static_cast<int>(size);
    int width = 0;
    int height = 0;
    int fileChannels = 0;
    // Checking the header first keeps a file that merely claims a huge size from costing
    // gigabytes and seconds to decode.
    startDecoderBudget(headerBudget);
    const bool known = stbi_info_from_memory(bytes, length, &width, &height, &fileChannels) != 0;
    finishDecoderBudget(nullptr);
    if (!known || !fitsTexture(width, height))
        return DecodedImage();
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    startDecoderBudget(isPngSignature(bytes) ? pngBudget(w, h, size) : jpegBudget(w, h));
    unsigned char* pixels = stbi_load_from_memory(bytes, length, &width, &height, &fileChannels, channels);
    finishDecoderBudget(pixels);
    return adopt(pixels, width, height, channels);
}
