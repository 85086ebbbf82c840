// Which bytes reach the image decoder (stb_image 2.27), for the defects of its own that no
// bound on its memory mends. The game's images are PNG and JPEG, and only those are let
// through. A JPEG is refused where the decoder would overrun its Huffman tables, use Huffman or
// quantisation tables before they are defined, or turn a component into pixels that no scan
// has filled: it reads and writes out of bounds on such files, or computes with whatever
// memory held. A PNG is refused unless its header comes first, with a size that fits a texture
// and image data that could fill it: the decoder sizes its first buffer from the header alone.
// What the decoder asks for beyond that is bounded where it allocates (DecoderBudget.h).
#pragma once
#include <cstddef>

bool isAcceptedImage(const unsigned char* bytes, std::size_t size);

// Whether a picture of that many pixels is one we make a texture of: at most 16384 a side
// and 4096 × 4096 in all.
bool fitsTexture(long long width, long long height);
