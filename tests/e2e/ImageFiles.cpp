#include "ImageFiles.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

// Our own copy of the writer, with internal linkage: the test program needs nothing else from it.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

void appendToBytes(void* context, void* data, int size)
{
    Bytes& bytes = *static_cast<Bytes*>(context);
    const unsigned char* begin = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), begin, begin + size);
}

void putU32(Bytes& bytes, uint32_t value)
{
    bytes.push_back(static_cast<unsigned char>(value >> 24));
    bytes.push_back(static_cast<unsigned char>(value >> 16));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
    bytes.push_back(static_cast<unsigned char>(value));
}

// The CRC-32 of PNG chunks (reflected polynomial 0xEDB88320), bit by bit: our files are small.
uint32_t crc32Of(const unsigned char* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

// length, type, data, CRC-32 over type and data.
void putChunk(Bytes& png, const char type[4], const Bytes& data)
{
    putU32(png, static_cast<uint32_t>(data.size()));
    const size_t typeStart = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putU32(png, crc32Of(png.data() + typeStart, png.size() - typeStart));
}

// A zlib stream of stored (uncompressed) deflate blocks: valid for every decoder, and needs
// no compression library.
Bytes zlibStored(const Bytes& raw)
{
    Bytes stream = {0x78, 0x01};
    const size_t blockLimit = 65535;
    size_t offset = 0;
    do {
        const size_t length = std::min(blockLimit, raw.size() - offset);
        const bool last = offset + length == raw.size();
        stream.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00: stored
        stream.push_back(static_cast<unsigned char>(length & 0xFF));
        stream.push_back(static_cast<unsigned char>(length >> 8));
        stream.push_back(static_cast<unsigned char>(~length & 0xFF));
        stream.push_back(static_cast<unsigned char>((~length >> 8) & 0xFF));
        stream.insert(stream.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                      raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    uint32_t a = 1;
    uint32_t b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putU32(stream, b << 16 | a);  // Adler-32 of the uncompressed data
    return stream;
}

Bytes ihdr(uint32_t width, uint32_t height, unsigned char bitDepth, unsigned char colourType)
{
    Bytes data;
    putU32(data, width);
    putU32(data, height);
    data.push_back(bitDepth);
    data.push_back(colourType);
    data.push_back(0);  // compression: deflate
    data.push_back(0);  // filter method 0
    data.push_back(0);  // no interlace
    return data;
}

const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

// `rows` holds each scanline behind its filter-type byte.
Bytes assemblePng(const Bytes& header, const std::vector<std::pair<std::string, Bytes>>& before, const Bytes& rows)
{
    Bytes png(pngSignature, pngSignature + 8);
    putChunk(png, "IHDR", header);
    for (const auto& chunk : before)
        putChunk(png, chunk.first.c_str(), chunk.second);
    putChunk(png, "IDAT", zlibStored(rows));
    putChunk(png, "IEND", Bytes());
    return png;
}

}  // namespace

Bytes encodePng(const unsigned char* pixels, int width, int height, int channels)
{
    Bytes bytes;
    if (!stbi_write_png_to_func(appendToBytes, &bytes, width, height, channels, pixels, width * channels))
        throw std::runtime_error("stb_image_write could not encode a PNG");
    return bytes;
}

Bytes encodeJpeg(const unsigned char* pixels, int width, int height, int channels)
{
    Bytes bytes;
    if (!stbi_write_jpg_to_func(appendToBytes, &bytes, width, height, channels, pixels, 90))
        throw std::runtime_error("stb_image_write could not encode a JPEG");
    return bytes;
}

std::vector<unsigned char> testPattern(int width, int height, int channels)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * channels];
            const unsigned char values[4] = {static_cast<unsigned char>(255 * x / (width > 1 ? width - 1 : 1)),
                                             static_cast<unsigned char>(255 * y / (height > 1 ? height - 1 : 1)),
                                             static_cast<unsigned char>(((x / 8 + y / 8) % 2) ? 200 : 60), 255};
            for (int c = 0; c < channels; ++c)
                p[c] = values[c];
        }
    return pixels;
}

Bytes greyPng(int width, int height)
{
    const std::vector<unsigned char> pixels = testPattern(width, height, 1);
    return encodePng(pixels.data(), width, height, 1);
}

Bytes rgba16Png(int width, int height)
{
    const std::vector<unsigned char> pattern = testPattern(width, height, 4);
    Bytes rows;
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 4; ++c) {
                const unsigned char value = pattern[(static_cast<size_t>(y) * width + x) * 4 + c];
                rows.push_back(value);                                 // high byte
                rows.push_back(static_cast<unsigned char>(value ^ 0x5a));  // low byte: detail below 8 bits
            }
    }
    return assemblePng(ihdr(width, height, 16, 6), {}, rows);
}

Bytes palettePng(int width, int height)
{
    const Bytes palette = {255, 255, 255, 200, 40, 40, 40, 160, 60, 30, 30, 200};
    const Bytes transparency = {255, 255, 255, 128};
    Bytes rows;
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);
        for (int x = 0; x < width; ++x)
            rows.push_back(static_cast<unsigned char>((x / 4 + y / 4) % 4));
    }
    return assemblePng(ihdr(width, height, 8, 3), {{"PLTE", palette}, {"tRNS", transparency}}, rows);
}

Bytes oversizedPng(uint32_t width, uint32_t height)
{
    return assemblePng(ihdr(width, height, 8, 6), {}, Bytes(16, 0));
}

Bytes rgbJpeg(int width, int height)
{
    const std::vector<unsigned char> pixels = testPattern(width, height, 3);
    return encodeJpeg(pixels.data(), width, height, 3);
}

Bytes randomBytes(size_t count, uint32_t seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(count);
    for (unsigned char& byte : bytes)
        byte = static_cast<unsigned char>(generator());
    return bytes;
}

Bytes truncated(const Bytes& bytes, size_t keep)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(keep, bytes.size())));
}

bool writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

Bytes readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
