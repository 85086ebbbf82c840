#include "render/ImageScreen.h"

#include <cstddef>
#include <cstdint>

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
constexpr std::size_t pngHeaderSize = 13;
constexpr std::size_t pngHeaderChunkEnd = pngSignatureSize + 8 + pngHeaderSize + 4;
// Deflate turns at best two bits into 258 bytes.
constexpr std::uint64_t maxDeflateRatio = 1032;

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

// The fewest bytes the image data of a PNG with this IHDR can inflate to: its samples, with no
// filter bytes and no padding; 0 for a layout the decoder does not read or a size no texture has.
std::uint64_t leastPngImageBytes(const unsigned char* header)
{
    static const unsigned channelsOfType[7] = {1, 0, 3, 1, 2, 0, 4};  // a palette image holds indices
    const std::uint64_t width = readBigEndian32(header);
    const std::uint64_t height = readBigEndian32(header + 4);
    const unsigned depth = header[8];
    const unsigned channels = header[9] < 7 ? channelsOfType[header[9]] : 0;
    const bool knownDepth = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    return knownDepth && fitsTexture(width, height) ? width * height * channels * depth / 8 : 0;
}

// The decoder sizes the buffer it inflates into from the header alone, before it inflates a
// byte: a few bytes that declare a texture's size would have it ask for up to 134 MB. Image
// data that cannot fill that buffer even at deflate's best is refused here; what the decoder
// asks for after that is bounded by its budget (DecoderBudget.h). The header is read where it
// must stand, first, so Apple's CgBI variant (a chunk of its own before IHDR), which no tool of
// ours writes, is refused too.
bool isSafePng(const unsigned char* bytes, std::size_t size)
{
    if (!isPng(bytes, size) || size < pngHeaderChunkEnd || readBigEndian32(bytes + pngSignatureSize) != pngHeaderSize)
        return false;
    const unsigned char* type = bytes + pngSignatureSize + 4;
    if (type[0] != 'I' || type[1] != 'H' || type[2] != 'D' || type[3] != 'R')
        return false;
    const std::uint64_t least = leastPngImageBytes(type + 4);
    return least != 0 && least <= size * maxDeflateRatio;
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

// What the walk has met so far: the tables defined, the frame's components, and which of those
// a scan has filled.
struct JpegSoFar {
    bool dc[4] = {};
    bool ac[4] = {};
    bool quantisation[4] = {};
    // The id and quantisation table of each frame component, from the frame header.
    unsigned frameIds[4] = {};
    unsigned frameQuantisation[4] = {};
    unsigned frameComponents = 0;
    bool scanned[4] = {};
};

// Records the tables of one DQT segment: 64 entries of 8 or 16 bits each.
void recordQuantisationTables(const unsigned char* segment, std::size_t length, JpegSoFar& seen)
{
    std::size_t table = 0;
    while (table < length) {
        const unsigned precision = segment[table] >> 4;
        const unsigned id = segment[table] & 15;
        if (id <= 3)
            seen.quantisation[id] = true;
        table += 1 + 64 * (precision != 0 ? 2 : 1);
    }
}

// Records the id and quantisation table of each component of a frame header, none filled yet.
void recordFrame(const unsigned char* segment, std::size_t length, JpegSoFar& seen)
{
    if (length < 6)
        return;
    seen.frameComponents = segment[5] < 4 ? segment[5] : 4;
    for (unsigned c = 0; c < seen.frameComponents; ++c) {
        seen.frameIds[c] = 6 + 3 * c < length ? segment[6 + 3 * c] : 0;
        seen.frameQuantisation[c] = 8 + 3 * c < length ? segment[8 + 3 * c] : 0;
    }
    for (bool& scanned : seen.scanned)
        scanned = false;
}

// The decoder fills a component's samples only in the scans that name it, and in a progressive
// file only a first DC scan (Ss = 0, Ah = 0) starts them; it turns every component into pixels
// all the same. A scan names a component by its id, which the decoder looks up as it does here:
// the first frame component with that id.
// A scan header that scanTablesDefined has let through.
void recordScannedComponents(const unsigned char* segment, bool progressive, JpegSoFar& seen)
{
    const unsigned components = segment[0];
    const std::size_t spectral = 1 + 2 * static_cast<std::size_t>(components);
    const bool startsSamples = !progressive || (segment[spectral] == 0 && segment[spectral + 2] >> 4 == 0);
    for (unsigned k = 0; k < components && startsSamples; ++k) {
        unsigned c = 0;
        while (c < seen.frameComponents && seen.frameIds[c] != segment[1 + 2 * k])
            ++c;
        if (c < seen.frameComponents)
            seen.scanned[c] = true;
    }
}

bool everyComponentScanned(const JpegSoFar& seen)
{
    for (unsigned c = 0; c < seen.frameComponents; ++c)
        if (!seen.scanned[c])
            return false;
    return true;
}

// The decoder scales every component by its quantisation table, seen or not.
bool frameQuantisationDefined(const JpegSoFar& seen)
{
    for (unsigned c = 0; c < seen.frameComponents; ++c) {
        const unsigned id = seen.frameQuantisation[c];
        if (id <= 3 && !seen.quantisation[id])
            return false;
    }
    return true;
}

// Records the tables of one DHT segment; ids the decoder rejects itself are left out.
void recordTables(const unsigned char* segment, std::size_t length, JpegSoFar& seen)
{
    std::size_t table = 0;
    while (table + 16 < length) {
        const unsigned tableClass = segment[table] >> 4;
        const unsigned id = segment[table] & 15;
        if (tableClass <= 1 && id <= 3)
            (tableClass == 0 ? seen.dc : seen.ac)[id] = true;
        table += 17 + huffmanValueCount(segment + table + 1, length - table - 1);
    }
}

// A scan may use only tables seen before it. A progressive DC refinement scan uses no Huffman
// table and a progressive AC scan no DC table.
bool scanTablesDefined(const unsigned char* segment, std::size_t length, bool progressive,
                       const JpegSoFar& seen)
{
    if (length < 1 || !frameQuantisationDefined(seen))
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
        if ((needsDc && !seen.dc[dcId]) || (needsAc && !seen.ac[acId]))
            return false;
    }
    return true;
}

// Walks the markers in stream order, as the decoder does: over each segment by its length, so the
// bytes inside APPn and COM segments (Exif, ICC profiles, comments) are never taken for markers,
// and over entropy-coded data, where a data byte FF is followed by 00. Every DHT segment that the
// decoder reads must fit it, and every scan may use only tables seen before it. Where the
// decoder would stop first (an unknown marker, a stray byte, a restart marker outside a scan) the
// walk goes on, so it checks a superset of what the decoder reads.
bool jpegSegmentsAreSafe(const unsigned char* bytes, std::size_t size)
{
    JpegSoFar seen;
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
            recordFrame(segment, segmentLength, seen);
        if (marker == quantisationTables)
            recordQuantisationTables(segment, segmentLength, seen);
        if (marker == huffmanTables && !huffmanTablesFit(bytes, size, i + 2))
            return false;
        if (marker == huffmanTables)
            recordTables(segment, segmentLength, seen);
        if (marker == startOfScan && !scanTablesDefined(segment, segmentLength, progressive, seen))
            return false;
        if (marker == startOfScan)
            recordScannedComponents(segment, progressive, seen);
        i += 2 + length;
    }
    return everyComponentScanned(seen);
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
