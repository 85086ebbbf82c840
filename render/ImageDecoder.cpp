// Decodes PNG and JPEG into tightly packed 8-bit pixels.
// Pure CPU work: safe to call without a GL context, and on any bytes at all.
#include "render/ImageDecoder.h"

#include "render/ImageScreen.h"

#include <stb_image.h>

#include <climits>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

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
    if (stbi_info_from_memory(bytes, length, &width, &height, &fileChannels) == 0 || !fitsTexture(width, height))
        return DecodedImage();
    unsigned char* pixels = stbi_load_from_memory(bytes, length, &width, &height, &fileChannels, channels);
    return adopt(pixels, width, height, channels);
}
