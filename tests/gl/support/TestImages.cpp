#include "TestImages.h"

#include <stb_image_write.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

uint32_t crc32(const unsigned char* bytes, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendBigEndian32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

uint32_t readBigEndian32(const unsigned char* bytes)
{
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

void appendChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    appendBigEndian32(out, static_cast<uint32_t>(data.size()));
    std::vector<unsigned char> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    appendBigEndian32(out, crc32(typed.data(), typed.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<unsigned char> zlibStored(const std::vector<unsigned char>& data)
{
    std::vector<unsigned char> out = {0x78, 0x01};
    size_t offset = 0;
    do {
        const size_t length = std::min<size_t>(65535, data.size() - offset);
        const bool last = offset + length == data.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<unsigned char>(length & 0xFF));
        out.push_back(static_cast<unsigned char>(length >> 8));
        out.push_back(static_cast<unsigned char>(~length & 0xFF));
        out.push_back(static_cast<unsigned char>((~length >> 8) & 0xFF));
        out.insert(out.end(), data.begin() + static_cast<long>(offset), data.begin() + static_cast<long>(offset + length));
        offset += length;
    } while (offset < data.size());
    uint32_t a = 1;
    uint32_t b = 0;
    for (unsigned char byte : data) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    appendBigEndian32(out, (b << 16) | a);
    return out;
}

unsigned char colourType(int channels)
{
    static const unsigned char types[5] = {0, 0, 4, 2, 6};
    return types[channels];
}

std::vector<unsigned char> header(uint32_t width, uint32_t height, unsigned char depth, unsigned char type)
{
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> ihdr;
    appendBigEndian32(ihdr, width);
    appendBigEndian32(ihdr, height);
    ihdr.insert(ihdr.end(), {depth, type, 0, 0, 0});
    appendChunk(png, "IHDR", ihdr);
    return png;
}

void appendToVector(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<unsigned char> encodePng8(int width, int height, int channels, const std::vector<unsigned char>& samples)
{
    std::vector<unsigned char> out;
    stbi_write_png_to_func(appendToVector, &out, width, height, channels, samples.data(), width * channels);
    return out;
}

std::vector<unsigned char> encodePng16(int width, int height, int channels, const std::vector<uint16_t>& samples)
{
    std::vector<unsigned char> png =
        header(static_cast<uint32_t>(width), static_cast<uint32_t>(height), 16, colourType(channels));
    std::vector<unsigned char> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int i = 0; i < width * channels; ++i) {
            const uint16_t sample = samples[static_cast<size_t>(y * width * channels + i)];
            raw.push_back(static_cast<unsigned char>(sample >> 8));
            raw.push_back(static_cast<unsigned char>(sample & 0xFF));
        }
    }
    appendChunk(png, "IDAT", zlibStored(raw));
    appendChunk(png, "IEND", {});
    return png;
}

std::vector<unsigned char> encodePngHeaderOnly(uint32_t width, uint32_t height)
{
    return header(width, height, 8, 2);
}

std::vector<unsigned char> withDeclaredSize(const std::vector<unsigned char>& png, uint32_t width, uint32_t height)
{
    std::vector<unsigned char> ihdr;
    appendBigEndian32(ihdr, width);
    appendBigEndian32(ihdr, height);
    ihdr.insert(ihdr.end(), png.begin() + 24, png.begin() + 29);  // depth, colour type and the rest
    std::vector<unsigned char> out(png.begin(), png.begin() + 8);
    appendChunk(out, "IHDR", ihdr);
    out.insert(out.end(), png.begin() + 33, png.end());
    return out;
}

std::vector<unsigned char> splitImageData(const std::vector<unsigned char>& png, size_t pieceSize)
{
    std::vector<unsigned char> out(png.begin(), png.begin() + 8);
    for (size_t at = 8; at + 12 <= png.size();) {
        const size_t length = readBigEndian32(&png[at]);
        const std::string type(&png[at + 4], &png[at + 8]);
        const unsigned char* data = &png[at + 8];
        const size_t step = type == "IDAT" ? pieceSize : std::max<size_t>(length, 1);
        size_t piece = 0;
        do {
            const size_t size = std::min(step, length - piece);
            appendChunk(out, type.c_str(), std::vector<unsigned char>(data + piece, data + piece + size));
            piece += size;
        } while (piece < length);
        at += 12 + length;
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::vector<unsigned char> readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<unsigned char> readFuzzerFind(const std::string& name)
{
    return readFile(std::string(ZORVEX_SOURCE_DIR) + "/tests/gl/render/data/" + name);
}
