#include "ImageFiles.h"

#include <stb_image_write.h>

#include <algorithm>
#include <random>
#include <stdexcept>

namespace {

const Bytes pngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

void appendToBytes(void* context, void* data, int size)
{
    Bytes& bytes = *static_cast<Bytes*>(context);
    const unsigned char* begin = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), begin, begin + size);
}

void putU32(Bytes& bytes, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<unsigned char>(value >> shift));
}

uint32_t readU32(const unsigned char* bytes)
{
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
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
void putChunk(Bytes& png, const std::string& type, const Bytes& data)
{
    putU32(png, static_cast<uint32_t>(data.size()));
    const size_t typeStart = png.size();
    png.insert(png.end(), type.begin(), type.begin() + 4);
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

unsigned char colourType(int channels)
{
    static const unsigned char types[5] = {0, 0, 4, 2, 6};
    return types[channels];
}

struct Chunk {
    std::string type;
    Bytes data;
};

// `rows` holds each scanline behind its filter-type byte.
Bytes assemblePng(const Bytes& header, const std::vector<Chunk>& before, const Bytes& rows)
{
    Bytes png = pngSignature;
    putChunk(png, "IHDR", header);
    for (const Chunk& chunk : before)
        putChunk(png, chunk.type, chunk.data);
    putChunk(png, "IDAT", zlibStored(rows));
    putChunk(png, "IEND", Bytes());
    return png;
}

}  // namespace

Bytes encodePng8(int width, int height, int channels, const Bytes& samples)
{
    Bytes bytes;
    if (!stbi_write_png_to_func(appendToBytes, &bytes, width, height, channels, samples.data(), width * channels))
        throw std::runtime_error("stb_image_write could not encode a PNG");
    return bytes;
}

Bytes encodeJpeg(int width, int height, int channels, const Bytes& samples)
{
    Bytes bytes;
    if (!stbi_write_jpg_to_func(appendToBytes, &bytes, width, height, channels, samples.data(), 90))
        throw std::runtime_error("stb_image_write could not encode a JPEG");
    return bytes;
}

Bytes encodePng16(int width, int height, int channels, const std::vector<uint16_t>& samples)
{
    Bytes rows;
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // filter: none
        for (int i = 0; i < width * channels; ++i) {
            const uint16_t sample = samples[static_cast<size_t>(y * width * channels + i)];
            rows.push_back(static_cast<unsigned char>(sample >> 8));
            rows.push_back(static_cast<unsigned char>(sample & 0xFF));
        }
    }
    return assemblePng(ihdr(static_cast<uint32_t>(width), static_cast<uint32_t>(height), 16, colourType(channels)), {},
                       rows);
}

Bytes testPattern(int width, int height, int channels)
{
    Bytes pixels(static_cast<size_t>(width) * height * channels);
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
    return encodePng8(width, height, 1, testPattern(width, height, 1));
}

Bytes rgba16Png(int width, int height)
{
    const Bytes pattern = testPattern(width, height, 4);
    std::vector<uint16_t> samples(pattern.size());
    // The high byte from the pattern, the low byte detail below 8 bits.
    for (size_t i = 0; i < pattern.size(); ++i)
        samples[i] = static_cast<uint16_t>(pattern[i] << 8 | (pattern[i] ^ 0x5a));
    return encodePng16(width, height, 4, samples);
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
    return assemblePng(ihdr(static_cast<uint32_t>(width), static_cast<uint32_t>(height), 8, 3),
                       {{"PLTE", palette}, {"tRNS", transparency}}, rows);
}

Bytes oversizedPng(uint32_t width, uint32_t height)
{
    return assemblePng(ihdr(width, height, 8, 6), {}, Bytes(16, 0));
}

Bytes rgbJpeg(int width, int height)
{
    return encodeJpeg(width, height, 3, testPattern(width, height, 3));
}

Bytes encodePngHeaderOnly(uint32_t width, uint32_t height)
{
    Bytes png = pngSignature;
    putChunk(png, "IHDR", ihdr(width, height, 8, 2));
    return png;
}

Bytes withDeclaredSize(const Bytes& png, uint32_t width, uint32_t height)
{
    Bytes header = ihdr(width, height, 0, 0);
    std::copy(png.begin() + 24, png.begin() + 29, header.begin() + 8);  // depth, colour type and the rest
    Bytes out(png.begin(), png.begin() + 8);
    putChunk(out, "IHDR", header);
    out.insert(out.end(), png.begin() + 33, png.end());
    return out;
}

Bytes splitImageData(const Bytes& png, size_t pieceSize)
{
    Bytes out(png.begin(), png.begin() + 8);
    for (size_t at = 8; at + 12 <= png.size();) {
        const size_t length = readU32(&png[at]);
        const std::string type(&png[at + 4], &png[at + 8]);
        const unsigned char* data = &png[at + 8];
        const size_t step = type == "IDAT" ? pieceSize : std::max<size_t>(length, 1);
        size_t piece = 0;
        do {
            const size_t size = std::min(step, length - piece);
            putChunk(out, type, Bytes(data + piece, data + piece + size));
            piece += size;
        } while (piece < length);
        at += 12 + length;
    }
    return out;
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
