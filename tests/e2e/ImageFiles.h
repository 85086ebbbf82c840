// Image files made by the tests: well-formed PNGs and JPEGs of the kinds the game does not
// expect (grey, 16 bits per channel, palette, odd width), damaged ones, and a PNG whose
// header claims a picture far too large. PNG chunks are written by hand.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// 8-bit PNG or JPEG of tightly packed pixels with 1 to 4 channels, through stb_image_write.
Bytes encodePng(const unsigned char* pixels, int width, int height, int channels);
Bytes encodeJpeg(const unsigned char* pixels, int width, int height, int channels);

// A smooth, colourful test pattern: width × height pixels of `channels` bytes.
std::vector<unsigned char> testPattern(int width, int height, int channels);

Bytes greyPng(int width, int height);
// Colour type 6 (RGBA) with 16 bits per channel.
Bytes rgba16Png(int width, int height);
// Colour type 3 (indexed): four palette entries, with a transparency chunk.
Bytes palettePng(int width, int height);
// A valid signature and IHDR for an 8-bit RGBA picture of width × height, followed by a
// tiny IDAT that holds a few bytes, nowhere near the picture the header announces.
Bytes oversizedPng(uint32_t width, uint32_t height);
Bytes rgbJpeg(int width, int height);

Bytes randomBytes(size_t count, uint32_t seed);
// The first `keep` bytes.
Bytes truncated(const Bytes& bytes, size_t keep);

bool writeFile(const std::string& path, const Bytes& bytes);
Bytes readFile(const std::string& path);
