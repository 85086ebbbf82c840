#include "render/ImageScreen.h"

#include <stb_image.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr unsigned char markerPrefix = 0xFF;
constexpr unsigned char startOfImage = 0xD8;
constexpr unsigned char endOfImage = 0xD9;
constexpr unsigned char baselineFrame = 0xC0;
constexpr unsigned char progressiveFrame = 0xC2;
constexpr unsigned char quantisationTables = 0xDB;
constexpr unsigned char huffmanTables = 0xC4;
constexpr unsigned char startOfScan = 0xDA;
constexpr unsigned maxHuffmanValues = 256;  // the decoder's tables hold no more

// The largest side a GL texture is guaranteed to take on the machines we run on, and a
// bound on the whole picture (64 MB as RGBA).
constexpr long long maxImageSide = 16384;
constexpr long long maxImagePixels = 4096LL * 4096LL;

constexpr std::size_t pngSignatureSize = 8;
constexpr std::size_t chunkFraming = 12;  // length, type and CRC around a chunk's data
constexpr std::size_t pngHeaderSize = 13;

bool isPng(const unsigned char* bytes, std::size_t size)
{
    static const unsigned char signature[pngSignatureSize] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size < pngSignatureSize)
        return false;
    for (std::size_t i = 0; i < pngSignatureSize; ++i)
        if (bytes[i] != signature[i])
            return false;
    return true;
}

unsigned readBigEndian16(const unsigned char* bytes)
{
    return static_cast<unsigned>(bytes[0]) << 8 | bytes[1];
}

std::uint32_t readBigEndian32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(readBigEndian16(bytes)) << 16 | readBigEndian16(bytes + 2);
}

struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    unsigned depth = 0;
    unsigned channels = 0;  // samples a pixel holds before any palette is applied; 0 if unknown
    bool interlaced = false;
};

PngHeader readPngHeader(const unsigned char* data)
{
    static const unsigned channelsOfType[7] = {1, 0, 3, 1, 2, 0, 4};
    PngHeader header;
    header.width = readBigEndian32(data);
    header.height = readBigEndian32(data + 4);
    header.depth = data[8];
    header.channels = data[9] < 7 ? channelsOfType[data[9]] : 0;
    header.interlaced = data[12] == 1;
    return header;
}

// The sizes and sample layouts the decoder reads, no larger than a texture.
bool isDecodablePngHeader(const PngHeader& header)
{
    const unsigned depth = header.depth;
    const bool knownDepth = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    return knownDepth && header.channels != 0 && fitsTexture(header.width, header.height);
}

bool isChunk(const unsigned char* type, const char* name)
{
    for (int i = 0; i < 4; ++i)
        if (type[i] != static_cast<unsigned char>(name[i]))
            return false;
    return true;
}

struct PngChunks {
    PngHeader header;
    std::vector<unsigned char> imageData;  // the IDAT chunks joined, as the decoder joins them
};

// Walks the chunks up to IEND, as the decoder does. The decoder sizes its buffer for an IDAT
// chunk from the length that chunk declares, before it looks for the bytes: every chunk must
// lie within the file. Apple's CgBI variant (raw deflate), which no tool of ours writes, is
// refused rather than inflated a second way.
bool readPngChunks(const unsigned char* bytes, std::size_t size, PngChunks& png)
{
    std::size_t at = pngSignatureSize;
    while (size - at >= chunkFraming) {
        const std::size_t length = readBigEndian32(bytes + at);
        const unsigned char* type = bytes + at + 4;
        const unsigned char* data = bytes + at + 8;
        if (length > size - at - chunkFraming || isChunk(type, "CgBI"))
            return false;
        if (isChunk(type, "IEND"))
            return true;
        const bool first = at == pngSignatureSize;
        if (first != isChunk(type, "IHDR") || (first && length != pngHeaderSize))
            return false;
        if (first)
            png.header = readPngHeader(data);
        if (isChunk(type, "IDAT"))
            png.imageData.insert(png.imageData.end(), data, data + length);
        at += chunkFraming + length;
    }
    return false;
}

// The bytes of one row as the decoder unfilters them: the samples padded to a whole byte,
// after the filter byte.
std::uint64_t pngRowBytes(std::uint64_t width, const PngHeader& header)
{
    return 1 + (width * header.channels * header.depth + 7) / 8;
}

// What the image data must inflate to: an interlaced image holds seven smaller images, one
// after another, each with rows of its own.
std::uint64_t pngRawSize(const PngHeader& header)
{
    if (!header.interlaced)
        return pngRowBytes(header.width, header) * header.height;
    static const unsigned firstX[7] = {0, 4, 0, 2, 0, 1, 0};
    static const unsigned firstY[7] = {0, 0, 4, 0, 2, 0, 1};
    static const unsigned stepX[7] = {8, 8, 4, 4, 2, 2, 1};
    static const unsigned stepY[7] = {8, 8, 8, 4, 4, 2, 2};
    std::uint64_t total = 0;
    for (int pass = 0; pass < 7; ++pass) {
        const std::uint64_t width = (header.width + stepX[pass] - 1 - firstX[pass]) / stepX[pass];
        const std::uint64_t height = (header.height + stepY[pass] - 1 - firstY[pass]) / stepY[pass];
        if (width != 0 && height != 0)
            total += pngRowBytes(width, header) * height;
    }
    return total;
}

// The decoder inflates into a buffer of the image's size and doubles it for as long as the
// stream yields more: a few kilobytes of deflate can ask for megabytes. Its inflater, run here
// first into a buffer of exactly that size that it may not grow, fails on a stream that yields
// more; one that yields less the decoder would refuse anyway.
bool inflatesToImage(const std::vector<unsigned char>& compressed, std::uint64_t rawSize)
{
    // Deflate turns at best two bits into 258 bytes: a few bytes that declare a large image
    // can't fill it, and are refused before a buffer of its size is asked for.
    constexpr std::uint64_t maxDeflateRatio = 1032;
    if (compressed.empty() || compressed.size() > INT_MAX || rawSize > INT_MAX ||
        rawSize > compressed.size() * maxDeflateRatio)
        return false;
    const std::unique_ptr<char[]> raw(new (std::nothrow) char[rawSize]);
    if (!raw)
        return false;
    const int inflated = stbi_zlib_decode_buffer(raw.get(), static_cast<int>(rawSize),
                                                 reinterpret_cast<const char*>(compressed.data()),
                                                 static_cast<int>(compressed.size()));
    return inflated >= 0 && static_cast<std::uint64_t>(inflated) == rawSize;
}

bool isSafePng(const unsigned char* bytes, std::size_t size)
{
    PngChunks png;
    return isPng(bytes, size) && readPngChunks(bytes, size, png) && isDecodablePngHeader(png.header) &&
           inflatesToImage(png.imageData, pngRawSize(png.header));
}

// The values a Huffman table of `bytes` (its 16 code-length counts) holds; counts cut off by the
// end of the data count as 0, which can only let the decoder fail on its own.
unsigned huffmanValueCount(const unsigned char* bytes, std::size_t available)
{
    unsigned total = 0;
    for (std::size_t k = 0; k < 16 && k < available; ++k)
        total += bytes[k];
    return total;
}

// Whether every table of the DHT segment whose length field is at `at` fits the decoder. It reads
// tables for as long as the declared length is not used up, wherever their counts take it: the last
// may run past the segment's end, and so its counts are read from the file, not from the segment.
bool huffmanTablesFit(const unsigned char* bytes, std::size_t size, std::size_t at)
{
    long remaining = static_cast<long>(readBigEndian16(bytes + at)) - 2;
    std::size_t table = at + 2;
    while (remaining > 0 && table < size) {
        const unsigned values = huffmanValueCount(bytes + table + 1, size - table - 1);
        if (values > maxHuffmanValues)
            return false;
        remaining -= 17 + static_cast<long>(values);
        table += 17 + values;
    }
    return true;
}

struct DefinedTables {
    bool dc[4] = {};
    bool ac[4] = {};
    bool quantisation[4] = {};
    // The quantisation table of each frame component, from the frame header.
    unsigned frameQuantisation[4] = {};
    unsigned frameComponents = 0;
};

// Records the tables of one DQT segment: 64 entries of 8 or 16 bits each.
void recordQuantisationTables(const unsigned char* segment, std::size_t length, DefinedTables& defined)
{
    std::size_t table = 0;
    while (table < length) {
        const unsigned precision = segment[table] >> 4;
        const unsigned id = segment[table] & 15;
        if (id <= 3)
            defined.quantisation[id] = true;
        table += 1 + 64 * (precision != 0 ? 2 : 1);
    }
}

// Records which quantisation table each component of a frame header uses.
void recordFrame(const unsigned char* segment, std::size_t length, DefinedTables& defined)
{
    if (length < 6)
        return;
    defined.frameComponents = segment[5] < 4 ? segment[5] : 4;
    for (unsigned c = 0; c < defined.frameComponents; ++c)
        defined.frameQuantisation[c] = 8 + 3 * c < length ? segment[8 + 3 * c] : 0;
}

// The decoder scales every component by its quantisation table, defined or not.
bool frameQuantisationDefined(const DefinedTables& defined)
{
    for (unsigned c = 0; c < defined.frameComponents; ++c) {
        const unsigned id = defined.frameQuantisation[c];
        if (id <= 3 && !defined.quantisation[id])
            return false;
    }
    return true;
}

// Records the tables of one DHT segment; ids the decoder rejects itself are left out.
void recordTables(const unsigned char* segment, std::size_t length, DefinedTables& defined)
{
    std::size_t table = 0;
    while (table + 16 < length) {
        const unsigned tableClass = segment[table] >> 4;
        const unsigned id = segment[table] & 15;
        if (tableClass <= 1 && id <= 3)
            (tableClass == 0 ? defined.dc : defined.ac)[id] = true;
        table += 17 + huffmanValueCount(segment + table + 1, length - table - 1);
    }
}

// A scan may use only tables defined before it. A progressive DC refinement scan uses no Huffman
// table and a progressive AC scan no DC table.
bool scanTablesDefined(const unsigned char* segment, std::size_t length, bool progressive,
                       const DefinedTables& defined)
{
    if (length < 1 || !frameQuantisationDefined(defined))
        return false;
    const unsigned components = segment[0];
    const std::size_t spectral = 1 + 2 * static_cast<std::size_t>(components);
    if (spectral + 2 >= length)
        return false;
    const unsigned spectralStart = segment[spectral];
    const unsigned approximationHigh = segment[spectral + 2] >> 4;
    const bool needsDc = !progressive || (spectralStart == 0 && approximationHigh == 0);
    const bool needsAc = !progressive || spectralStart != 0;
    for (unsigned c = 0; c < components; ++c) {
        const unsigned dcId = segment[2 + 2 * c] >> 4;
        const unsigned acId = segment[2 + 2 * c] & 15;
        if (dcId > 3 || acId > 3)
            continue;  // the decoder rejects these itself
        if ((needsDc && !defined.dc[dcId]) || (needsAc && !defined.ac[acId]))
            return false;
    }
    return true;
}

// Walks the markers in stream order, as the decoder does: over each segment by its length, so the
// bytes inside APPn and COM segments (Exif, ICC profiles, comments) are never taken for markers,
// and over entropy-coded data, where a data byte FF is followed by 00. Every DHT segment that the
// decoder reads must fit it, and every scan may use only tables defined before it. Where the
// decoder would stop first (an unknown marker, a stray byte, a restart marker outside a scan) the
// walk goes on, so it checks a superset of what the decoder reads.
bool jpegSegmentsAreSafe(const unsigned char* bytes, std::size_t size)
{
    DefinedTables defined;
    bool progressive = false;
    std::size_t i = 2;
    while (i + 1 < size) {
        if (bytes[i] != markerPrefix) {
            ++i;
            continue;
        }
        const unsigned char marker = bytes[i + 1];
        if (marker == markerPrefix) {  // fill byte
            ++i;
            continue;
        }
        // Stuffed data bytes, restart markers and markers without a length.
        if (marker == 0x00 || marker == 0x01 || marker == startOfImage || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2;
            continue;
        }
        if (marker == endOfImage || i + 3 >= size)
            break;
        const std::size_t length = readBigEndian16(bytes + i + 2);
        const unsigned char* segment = bytes + i + 4;
        const std::size_t available = size - (i + 4);
        const std::size_t segmentLength = length < 2 ? 0 : (length - 2 < available ? length - 2 : available);
        if (marker == progressiveFrame)
            progressive = true;
        if (marker >= baselineFrame && marker <= progressiveFrame)
            recordFrame(segment, segmentLength, defined);
        if (marker == quantisationTables)
            recordQuantisationTables(segment, segmentLength, defined);
        if (marker == huffmanTables && !huffmanTablesFit(bytes, size, i + 2))
            return false;
        if (marker == huffmanTables)
            recordTables(segment, segmentLength, defined);
        if (marker == startOfScan && !scanTablesDefined(segment, segmentLength, progressive, defined))
            return false;
        i += 2 + length;
    }
    return true;
}

bool isSafeJpeg(const unsigned char* bytes, std::size_t size)
{
    if (size < 2 || bytes[0] != markerPrefix || bytes[1] != startOfImage)
        return false;
    return jpegSegmentsAreSafe(bytes, size);
}

}  // namespace

bool fitsTexture(long long width, long long height)
{
    return width > 0 && height > 0 && width <= maxImageSide && height <= maxImageSide &&
           width * height <= maxImagePixels;
}

bool isAcceptedImage(const unsigned char* bytes, std::size_t size)
{
    return bytes != nullptr && (isSafePng(bytes, size) || isSafeJpeg(bytes, size));
}
