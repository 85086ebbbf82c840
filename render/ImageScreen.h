// Which bytes reach the image decoder. The game's images are PNG and JPEG: every other format
// the decoder knows is refused, and so is a JPEG stream whose Huffman tables the decoder
// (stb_image 2.27, as Debian ships it) would overrun, or would use before they are defined.
// Both faults make it read and write out of bounds on crafted files.
#pragma once
#include <cstddef>

bool isAcceptedImage(const unsigned char* bytes, std::size_t size);
