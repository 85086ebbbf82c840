// Image files that tests make for themselves: 8-bit through stb_image_write, and 16-bit PNGs,
// which stb_image_write can't make, through a small encoder of our own. Needs no GL.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A PNG file of 8-bit samples (1 grey, 2 grey + alpha, 3 RGB, 4 RGBA), rows top first.
std::vector<unsigned char> encodePng8(int width, int height, int channels, const std::vector<unsigned char>& samples);

// A PNG file of 16-bit samples, same channel meanings, rows top first.
std::vector<unsigned char> encodePng16(int width, int height, int channels, const std::vector<uint16_t>& samples);

// The signature and an IHDR chunk (8-bit RGB) claiming width × height, and nothing else.
std::vector<unsigned char> encodePngHeaderOnly(uint32_t width, uint32_t height);

// The same PNG claiming width × height, its image data left as it was: more or less than the
// image needs.
std::vector<unsigned char> withDeclaredSize(const std::vector<unsigned char>& png, uint32_t width, uint32_t height);

// The same PNG with its image data cut into IDAT chunks of at most `pieceSize` bytes.
std::vector<unsigned char> splitImageData(const std::vector<unsigned char>& png, size_t pieceSize);

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> readFile(const std::string& path);  // empty if it can't be read
// An input the decoder fuzzer found, kept in tests/gl/render/data; empty if it can't be read.
std::vector<unsigned char> readFuzzerFind(const std::string& name);
