#include "render/DecoderBudget.h"

#include <cstdlib>
#include <cstring>

DecoderBudget decoderBudget;

void startDecoderBudget(std::size_t limit)
{
    decoderBudget = DecoderBudget();
    decoderBudget.limit = limit;
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

}  // namespace

void* budgetedAllocate(std::size_t size)
{
    return grant(size) ? std::calloc(1, size) : nullptr;
}

void* budgetedReallocate(void* block, std::size_t oldSize, std::size_t newSize)
{
    if (newSize > oldSize && !grant(newSize - oldSize))
        return nullptr;
    auto* grown = static_cast<unsigned char*>(std::realloc(block, newSize));
    if (grown != nullptr && newSize > oldSize)
        std::memset(grown + oldSize, 0, newSize - oldSize);
    return grown;
}

void budgetedFree(void* block)
{
    std::free(block);
}
