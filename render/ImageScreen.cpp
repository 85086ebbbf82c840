#include "render/ImageScreen.h"

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

bool isPng(const unsigned char* bytes, std::size_t size)
{
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size < 8)
        return false;
    for (int i = 0; i < 8; ++i)
        if (bytes[i] != signature[i])
            return false;
    return true;
}

unsigned readBigEndian16(const unsigned char* bytes)
{
    return static_cast<unsigned>(bytes[0]) << 8 | bytes[1];
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

// Every table a DHT segment could start, wherever the two marker bytes stand. Outside entropy-coded
// data FF C4 is a marker; inside it a data byte FF is always followed by 00 or a restart marker,
// so the scan misses no table the decoder will read, even if it parses markers differently.
bool allHuffmanTablesFit(const unsigned char* bytes, std::size_t size)
{
    for (std::size_t i = 0; i + 3 < size; ++i) {
        if (bytes[i] != markerPrefix || bytes[i + 1] != huffmanTables)
            continue;
        long remaining = static_cast<long>(readBigEndian16(bytes + i + 2)) - 2;
        std::size_t table = i + 4;
        while (remaining > 0 && table < size) {
            const unsigned values = huffmanValueCount(bytes + table + 1, size - table - 1);
            if (values > maxHuffmanValues)
                return false;
            remaining -= 17 + static_cast<long>(values);
            table += 17 + values;
        }
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

// Walks the markers in stream order, as the decoder does, stepping over entropy-coded data.
bool scansUseDefinedTables(const unsigned char* bytes, std::size_t size)
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
    return allHuffmanTablesFit(bytes, size) && scansUseDefinedTables(bytes, size);
}

}  // namespace

bool isAcceptedImage(const unsigned char* bytes, std::size_t size)
{
    return bytes != nullptr && (isPng(bytes, size) || isSafeJpeg(bytes, size));
}
