// Which bytes reach the image decoder. The game's images are PNG and JPEG: every other format
// the decoder knows is refused, and so is a JPEG stream whose Huffman tables the decoder
// (stb_image 2.27, as Debian ships it) would overrun, or whose Huffman or quantisation tables
// it would use before they are defined: it reads and writes out of bounds on such files, or
// computes with whatever the heap held.
#pragma once
#include <cstddef>

bool isAcceptedImage(const unsigned char* bytes, std::size_t size);
