// The decoder's allocator: a budget for one decode at a time, and zero-filled blocks.
#include "render/DecoderBudget.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool allZero(const unsigned char* bytes, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

TEST(DecoderBudget, GrantsUpToTheLimitAndNoFurther)
{
    startDecoderBudget(1000);
    void* first = budgetedAllocate(600);
    void* rest = budgetedAllocate(400);  // exactly what is left
    ASSERT_NE(first, nullptr);
    ASSERT_NE(rest, nullptr);
    EXPECT_FALSE(decoderBudget.refused);
    EXPECT_EQ(budgetedAllocate(1), nullptr);
    EXPECT_TRUE(decoderBudget.refused);
    EXPECT_EQ(decoderBudget.used, 1000u);
    // Freeing gives nothing back: the budget bounds all that one decode asks for.
    budgetedFree(first);
    EXPECT_EQ(budgetedAllocate(1), nullptr);
    budgetedFree(rest);
}

TEST(DecoderBudget, AGrowingBlockCostsItsGrowthAndARefusalKeepsIt)
{
    startDecoderBudget(1000);
    auto* block = static_cast<unsigned char*>(budgetedAllocate(500));
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xAB, 500);
    block = static_cast<unsigned char*>(budgetedReallocate(block, 500, 1000));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(decoderBudget.used, 1000u);
    EXPECT_EQ(budgetedReallocate(block, 1000, 1001), nullptr);
    EXPECT_EQ(block[499], 0xAB);  // still the caller's, whole
    EXPECT_TRUE(allZero(block + 500, 500));
    block = static_cast<unsigned char*>(budgetedReallocate(block, 1000, 10));  // shrinking is free
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(decoderBudget.used, 1000u);
    budgetedFree(block);
}

TEST(DecoderBudget, EachDecodeStartsAfresh)
{
    startDecoderBudget(100);
    void* earlier = budgetedAllocate(100);
    ASSERT_NE(earlier, nullptr);
    startDecoderBudget(100);
    EXPECT_FALSE(decoderBudget.refused);
    void* later = budgetedAllocate(100);
    EXPECT_NE(later, nullptr);
    budgetedFree(earlier);  // a picture of the earlier decode, freed during this one
    EXPECT_EQ(decoderBudget.used, 100u);
    budgetedFree(later);
}

// What the decoder leaves behind on a failure goes with the decode (the sanitizer run would
// report it lost otherwise); its picture stays, the caller's to free.
TEST(DecoderBudget, AFinishedDecodeFreesAllButItsPicture)
{
    startDecoderBudget(1000);
    auto* picture = static_cast<unsigned char*>(budgetedAllocate(10));
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(budgetedAllocate(20), nullptr);
    ASSERT_EQ(decoderBudget.held.size(), 2u);
    finishDecoderBudget(picture);
    EXPECT_TRUE(decoderBudget.held.empty());
    picture[9] = 1;
    budgetedFree(picture);
}

// A freed block that held other bytes is what the heap hands out next.
TEST(DecoderBudget, BlocksComeZeroFilled)
{
    constexpr std::size_t size = 4096;
    startDecoderBudget(3 * size);
    auto* used = static_cast<unsigned char*>(budgetedAllocate(size));
    ASSERT_NE(used, nullptr);
    std::memset(used, 0xCD, size);
    budgetedFree(used);
    auto* fresh = static_cast<unsigned char*>(budgetedAllocate(size));
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(allZero(fresh, size));
    fresh = static_cast<unsigned char*>(budgetedReallocate(fresh, size, 2 * size));
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(allZero(fresh, 2 * size));
    budgetedFree(fresh);
}

}  // namespace
