// Image files decoded into 8-bit pixels, top row first, with exactly the channel count
// that the texture format needs, ready for upload. Needs no GL context. Only PNG and JPEG
// are decoded (see ImageScreen.h). Input that can't be decoded, and images wider or taller than 16384 pixels or larger than 4096 × 4096 in all
// (refused from the header alone), give an empty image.
#pragma once
#include <cstddef>

class DecodedImage {
public:
    int width = 0;   // 0 × 0 with null pixels when the file could not be opened or decoded
    int height = 0;
    int channels = 0;
    unsigned char* pixels = nullptr;  // width × height × channels bytes, tightly packed

    DecodedImage() = default;
    ~DecodedImage();
    DecodedImage(DecodedImage&& other) noexcept;
    DecodedImage& operator=(DecodedImage&& other) noexcept;
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;
};

// The channel count a texture stored with or without alpha is uploaded with.
inline int channelsFor(bool hasAlpha) { return hasAlpha ? 4 : 3; }

DecodedImage decodeImageFile(const char* path, int channels);
DecodedImage decodeImageMemory(const unsigned char* bytes, std::size_t size, int channels);
