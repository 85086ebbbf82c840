// The message's lines: split at line feeds, and wrapped at spaces to a width.
#include "platform/TextLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

CodePoints text(const std::string& ascii) { return CodePoints(ascii.begin(), ascii.end()); }

std::vector<std::string> ascii(const std::vector<CodePoints>& lines)
{
    std::vector<std::string> out;
    for (const CodePoints& line : lines)
        out.emplace_back(line.begin(), line.end());
    return out;
}

// A monospaced font, 10 pixels a character.
const LineWidth tenEach = [](const CodePoints& line) { return static_cast<int>(line.size()) * 10; };

std::vector<std::string> wrapped(const std::string& line, int maxWidth)
{
    return ascii(wrapLine(text(line), maxWidth, tenEach));
}

using Lines = std::vector<std::string>;

TEST(TextLines, SplitsAtEveryLineFeed)
{
    EXPECT_EQ(ascii(splitLines(text("Level 1 Complete\nThanks for playing!"))),
              (Lines{"Level 1 Complete", "Thanks for playing!"}));
    EXPECT_EQ(ascii(splitLines(text("a\n\nb\n"))), (Lines{"a", "", "b", ""}));
    EXPECT_EQ(ascii(splitLines(text(""))), (Lines{""}));
}

TEST(TextLines, WrapsALongLineAfterTheLastWordThatFits)
{
    // 12 characters a line.
    EXPECT_EQ(wrapped("Renderer: llvmpipe (LLVM 15.0.6, 256 bits)", 120),
              (Lines{"Renderer:", "llvmpipe", "(LLVM", "15.0.6, 256", "bits)"}));
    EXPECT_EQ(wrapped("Renderer: llvmpipe (LLVM 15.0.6, 256 bits)", 250),
              (Lines{"Renderer: llvmpipe (LLVM", "15.0.6, 256 bits)"}));
    EXPECT_EQ(wrapped("two  spaces kept", 160), (Lines{"two  spaces kept"}));
    EXPECT_EQ(wrapped("a line that fits", 160), (Lines{"a line that fits"}));
}

TEST(TextLines, DropsTheSpacesAtABreak)
{
    EXPECT_EQ(wrapped("aaaa    bbbb", 60), (Lines{"aaaa", "bbbb"}));
    EXPECT_EQ(wrapped("   aaaa", 50), (Lines{"aaaa"})) << "leading spaces that do not fit";
    EXPECT_EQ(wrapped("  aaaa", 60), (Lines{"  aaaa"})) << "leading spaces that fit";
    EXPECT_EQ(wrapped("aaaa   ", 50), (Lines{"aaaa"})) << "trailing spaces that do not fit";
    EXPECT_EQ(wrapped("   ", 10), (Lines{""}));
}

TEST(TextLines, BreaksInsideAWordOnlyWhereTheWordAloneIsTooWide)
{
    EXPECT_EQ(wrapped("ab GL_ARB_shader_objects cd", 80), (Lines{"ab", "GL_ARB_s", "hader_ob", "jects cd"}));
    // However narrow the width, every line holds a character and the wrapping ends.
    EXPECT_EQ(wrapped("abc d", 0), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(wrapped("", 0), (Lines{""}));
}

TEST(TextLines, WrapsEveryLineOfATextOnItsOwn)
{
    EXPECT_EQ(ascii(wrapText(text("short\nsomewhat longer\n\nend"), 80, tenEach)),
              (Lines{"short", "somewhat", "longer", "", "end"}));
}

// With a font whose letters differ in width, no wrapped line is wider than the limit unless it
// is a single letter, and the words come out as they went in.
TEST(TextLines, NoWrappedLineIsWiderThanTheLimit)
{
    const LineWidth proportional = [](const CodePoints& line) {
        int width = 0;
        for (std::uint32_t code : line)
            width += code == 'm' || code == 'W' ? 14 : code == 'i' || code == 'l' ? 4 : code == ' ' ? 5 : 9;
        return width;
    };
    const std::string line = "Zorvex needs OpenGL 3.3 or later. This computer's driver offers: Mesa Intel(R) "
                             "UHD Graphics 620 (Kabylake GT2) with a WordLongerThanAnyLimitWeTryHere";
    const auto unspaced = [](std::string words) {
        words.erase(std::remove(words.begin(), words.end(), ' '), words.end());
        return words;
    };
    for (int maxWidth = 1; maxWidth < 700; maxWidth += 23) {
        SCOPED_TRACE("limit " + std::to_string(maxWidth));
        std::string words;
        for (const std::string& wrapped : ascii(wrapLine(text(line), maxWidth, proportional))) {
            EXPECT_TRUE(proportional(text(wrapped)) <= maxWidth || wrapped.size() == 1) << wrapped;
            words += wrapped;
        }
        EXPECT_EQ(unspaced(words), unspaced(line));
    }
}

}  // namespace
