// Image files that tests make for themselves: ordinary 8-bit PNGs and JPEGs through
// stb_image_write, and the PNGs it cannot make, written chunk by chunk: 16 bits per channel,
// a palette, a header claiming a picture far larger than its data, and files patched after
// the fact. Byte offsets into these files are part of the tests, so the layout stays fixed:
// signature, IHDR, any extra chunks, one IDAT of stored deflate blocks, IEND.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// 8-bit PNG or JPEG (quality 90) of tightly packed samples with 1 to 4 channels (1 grey,
// 2 grey + alpha, 3 RGB, 4 RGBA), rows top first. Throws std::runtime_error if it can't.
Bytes encodePng8(int width, int height, int channels, const Bytes& samples);
Bytes encodeJpeg(int width, int height, int channels, const Bytes& samples);
// A PNG file of 16-bit samples, same channel meanings, rows top first.
Bytes encodePng16(int width, int height, int channels, const std::vector<uint16_t>& samples);

// A smooth, colourful test pattern: width × height pixels of `channels` bytes.
Bytes testPattern(int width, int height, int channels);
Bytes greyPng(int width, int height);
// Colour type 6 (RGBA) with 16 bits per channel, the test pattern with detail below 8 bits.
Bytes rgba16Png(int width, int height);
// Colour type 3 (indexed): four palette entries, with a transparency chunk.
Bytes palettePng(int width, int height);
// A valid signature and IHDR for an 8-bit RGBA picture of width × height, followed by a
// tiny IDAT that holds a few bytes, nowhere near the picture the header announces.
Bytes oversizedPng(uint32_t width, uint32_t height);
Bytes rgbJpeg(int width, int height);
// The signature and an IHDR chunk (8-bit RGB) claiming width × height, and nothing else.
Bytes encodePngHeaderOnly(uint32_t width, uint32_t height);

// The same PNG claiming width × height, its image data left as it was: more or less than the
// image needs.
Bytes withDeclaredSize(const Bytes& png, uint32_t width, uint32_t height);
// The same PNG with its image data cut into IDAT chunks of at most `pieceSize` bytes.
Bytes splitImageData(const Bytes& png, size_t pieceSize);

Bytes randomBytes(size_t count, uint32_t seed);
// The first `keep` bytes.
Bytes truncated(const Bytes& bytes, size_t keep);
