// UTF-8 text as the Unicode code points that a font draws.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// 32 bits wide, as Xft takes them.
using CodePoints = std::vector<std::uint32_t>;

// Decodes a zero-terminated UTF-8 string. Every byte that starts no well-formed sequence (a
// stray continuation byte, an overlong or cut-off sequence, a surrogate, a code point past
// U+10FFFF) becomes one U+FFFD, so that any input gives a text.
CodePoints decodeUtf8(const char* utf8);

// For fonts that speak Latin-1: code points past U+00FF become '?'.
std::string toLatin1(const CodePoints& text);
