// The message's lines: the text split at its line feeds, and long lines wrapped to a width.
#pragma once
#include "platform/Utf8.h"

#include <functional>
#include <vector>

// How wide a line is drawn, in pixels.
using LineWidth = std::function<int(const CodePoints&)>;

// One line per line feed more; a text that ends in a line feed ends in an empty line.
std::vector<CodePoints> splitLines(const CodePoints& text);

// Breaks a line into lines that `width` measures at no more than `maxWidth`: after the last
// word that fits, dropping the spaces at the break; inside a word only where the word alone is
// wider, and then after at least one character, so that any width ends the wrapping.
std::vector<CodePoints> wrapLine(const CodePoints& line, int maxWidth, const LineWidth& width);

// splitLines, then wrapLine on each line.
std::vector<CodePoints> wrapText(const CodePoints& text, int maxWidth, const LineWidth& width);
