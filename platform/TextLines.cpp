#include "platform/TextLines.h"

#include <utility>

namespace {

bool isSpace(std::uint32_t code) { return code == ' '; }

// The longest start of `part` that fits, with at least one character.
std::size_t fittingPrefix(const CodePoints& part, int maxWidth, const LineWidth& width)
{
    std::size_t length = 1;
    while (length < part.size() && width(CodePoints(part.begin(), part.begin() + length + 1)) <= maxWidth)
        ++length;
    return length;
}

}  // namespace

std::vector<CodePoints> splitLines(const CodePoints& text)
{
    std::vector<CodePoints> lines(1);
    for (std::uint32_t code : text) {
        if (code == '\n')
            lines.emplace_back();
        else
            lines.back().push_back(code);
    }
    return lines;
}

std::vector<CodePoints> wrapLine(const CodePoints& line, int maxWidth, const LineWidth& width)
{
    std::vector<CodePoints> lines;
    CodePoints current;
    auto next = line.begin();
    while (next != line.end()) {
        // The spaces before the next word, and the word.
        auto wordStart = next;
        while (wordStart != line.end() && isSpace(*wordStart))
            ++wordStart;
        auto wordEnd = wordStart;
        while (wordEnd != line.end() && !isSpace(*wordEnd))
            ++wordEnd;
        CodePoints longer = current;
        longer.insert(longer.end(), next, wordEnd);
        if (width(longer) <= maxWidth) {
            current = longer;
            next = wordEnd;
        } else if (wordStart == wordEnd) {
            break;  // spaces at the end that do not fit
        } else if (!current.empty() || next != wordStart) {
            if (!current.empty())
                lines.push_back(current);
            current.clear();
            next = wordStart;
        } else {
            const CodePoints word(next, wordEnd);
            const std::size_t length = fittingPrefix(word, maxWidth, width);
            lines.emplace_back(word.begin(), word.begin() + length);
            next += length;
        }
    }
    if (!current.empty() || lines.empty())
        lines.push_back(current);
    return lines;
}

std::vector<CodePoints> wrapText(const CodePoints& text, int maxWidth, const LineWidth& width)
{
    std::vector<CodePoints> lines;
    for (const CodePoints& line : splitLines(text))
        for (CodePoints& wrapped : wrapLine(line, maxWidth, width))
            lines.push_back(std::move(wrapped));
    return lines;
}
