// Which bytes reach the image decoder. The game's images are PNG and JPEG: every other format
// the decoder knows is refused, and so is a JPEG stream whose Huffman tables the decoder
// (stb_image 2.27, as Debian ships it) would overrun, or whose Huffman or quantisation tables
// it would use before they are defined: it reads and writes out of bounds on such files, or
// computes with whatever the heap held. A PNG is refused unless every chunk lies within the
// file, its size fits a texture and its image data inflates to exactly what that size needs:
// the decoder sizes its buffers from what the file declares, so a few bytes could otherwise
// ask it for gigabytes.
#pragma once
#include <cstddef>

bool isAcceptedImage(const unsigned char* bytes, std::size_t size);

// Whether a picture of that many pixels is one we make a texture of: at most 16384 a side
// and 4096 × 4096 in all.
bool fitsTexture(long long width, long long height);
