#include "render/DecoderBudget.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

DecoderBudget decoderBudget;

void startDecoderBudget(std::size_t limit)
{
    decoderBudget.limit = limit;
    decoderBudget.used = 0;
    decoderBudget.refused = false;
}

void finishDecoderBudget(const void* kept)
{
    for (void* block : decoderBudget.held)
        if (block != kept)
            std::free(block);
    decoderBudget.held.clear();
}

namespace {

// Counts `size` more bytes against the budget, if it has room for them.
bool grant(std::size_t size)
{
    if (size > decoderBudget.limit - decoderBudget.used) {
        decoderBudget.refused = true;
        return false;
    }
    decoderBudget.used += size;
    return true;
}

// Where `block` stands among the held blocks, or the end: a picture of an earlier decode.
std::vector<void*>::iterator findHeld(void* block)
{
    return std::find(decoderBudget.held.begin(), decoderBudget.held.end(), block);
}

}  // namespace

void* budgetedAllocate(std::size_t size)
{
    void* block = grant(size) ? std::calloc(1, size) : nullptr;
    if (block != nullptr)
        decoderBudget.held.push_back(block);
    return block;
}

void* budgetedReallocate(void* block, std::size_t oldSize, std::size_t newSize)
{
    if (newSize > oldSize && !grant(newSize - oldSize))
        return nullptr;
    auto* moved = static_cast<unsigned char*>(std::realloc(block, newSize));
    if (moved == nullptr)
        return nullptr;
    if (newSize > oldSize)
        std::memset(moved + oldSize, 0, newSize - oldSize);
    const auto held = findHeld(block);
    if (block != nullptr && held != decoderBudget.held.end())
        *held = moved;
    else
        decoderBudget.held.push_back(moved);
    return moved;
}

void budgetedFree(void* block)
{
    const auto held = findHeld(block);
    if (block != nullptr && held != decoderBudget.held.end())
        decoderBudget.held.erase(held);
    std::free(block);
}
