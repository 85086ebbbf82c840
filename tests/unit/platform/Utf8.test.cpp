// Decoding the message's UTF-8: every well-formed sequence, and one U+FFFD for every byte that
// starts none.
#include "platform/Utf8.h"

#include <gtest/gtest.h>

namespace {

const std::uint32_t bad = 0xFFFD;

TEST(Utf8, DecodesSequencesOfEveryLength)
{
    EXPECT_EQ(decodeUtf8("Ok \xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80"),
              (CodePoints{'O', 'k', ' ', 0xFC, ' ', 0x20AC, ' ', 0x1F600}));
    EXPECT_EQ(decodeUtf8("\xF4\x8F\xBF\xBF\xEF\xBF\xBD"), (CodePoints{0x10FFFF, 0xFFFD}));
    EXPECT_EQ(decodeUtf8(""), CodePoints{});
}

TEST(Utf8, ReplacesEachByteThatStartsNoWellFormedSequence)
{
    EXPECT_EQ(decodeUtf8("a\x80" "b"), (CodePoints{'a', bad, 'b'})) << "a stray continuation byte";
    EXPECT_EQ(decodeUtf8("\xC0\x80"), (CodePoints{bad, bad})) << "an overlong zero";
    EXPECT_EQ(decodeUtf8("\xE0\x9F\xBF"), (CodePoints{bad, bad, bad})) << "an overlong U+07FF";
    EXPECT_EQ(decodeUtf8("\xE2\x82" "A"), (CodePoints{bad, bad, 'A'})) << "a sequence cut off by a letter";
    EXPECT_EQ(decodeUtf8("\xF0\x9F\x98"), (CodePoints{bad, bad, bad})) << "a sequence cut off by the end";
    EXPECT_EQ(decodeUtf8("\xED\xA0\x80"), (CodePoints{bad, bad, bad})) << "a surrogate";
    EXPECT_EQ(decodeUtf8("\xF4\x90\x80\x80"), (CodePoints{bad, bad, bad, bad})) << "past U+10FFFF";
    EXPECT_EQ(decodeUtf8("\xF8\x88\x80\x80\x80"), (CodePoints(5, bad))) << "a five-byte lead";
    EXPECT_EQ(decodeUtf8("\xFF" "z"), (CodePoints{bad, 'z'}));
}

TEST(Utf8, Latin1KeepsWhatItCanSayAndMarksTheRest)
{
    EXPECT_EQ(toLatin1(decodeUtf8("Caf\xC3\xA9 \xE2\x82\xAC" "5")), "Caf\xE9 ?5");
}

}  // namespace
