// The image decoder's memory. Every block the decoder asks for while it decodes one image is
// counted against a budget set for that image from what its header declares, and comes
// zero-filled: a few bytes that declare gigabytes get nothing, and bytes the decoder leaves
// unwritten hold zeros rather than whatever the heap held. The budget also holds on to the
// decode's blocks until the decode ends, since the decoder does not free all of them on every
// failure (stb_image 2.27 keeps a 16-bit picture when the block for its 8-bit copy is refused).
// stb_image reaches these functions through its STBI_MALLOC, STBI_REALLOC_SIZED and STBI_FREE
// hooks (ImageDecoder.cpp). One decode at a time, on one thread.
#pragma once
#include <cstddef>
#include <vector>

class DecoderBudget {
public:
    std::size_t limit = 0;     // bytes this decode may ask for in all; a block is never given back
    std::size_t used = 0;      // bytes asked for and granted so far: new blocks and the growth of old ones
    bool refused = false;      // a request was turned down
    std::vector<void*> held;   // the decode's blocks that are not freed yet
};

extern DecoderBudget decoderBudget;

// Starts counting afresh for the next decode.
void startDecoderBudget(std::size_t limit);
// Ends a decode: every block it still holds is freed but `kept` (its picture, or null), which
// is then the caller's to free.
void finishDecoderBudget(const void* kept);

void* budgetedAllocate(std::size_t size);
// Grows or shrinks `block`, which holds `oldSize` bytes; on a refusal returns null and leaves
// `block` as it was.
void* budgetedReallocate(void* block, std::size_t oldSize, std::size_t newSize);
void budgetedFree(void* block);
