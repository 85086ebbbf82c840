// Where things are on the field when a level starts, in field pixels (y downwards), and the
// brick colours: fifty 60 × 60 bricks in five rows from the top, tinted in diagonal stripes,
// the paddle centred near the bottom and the ball resting on it.
#pragma once
#include "ExpectedBackground.h"
#include "Image.h"

#include <algorithm>

namespace layout {

constexpr int brickColumns = 10;
constexpr int brickRows = 5;
constexpr int brickSize = fieldSize / brickColumns;  // 60

// In the channels' order: a tint is also the index of its channel in {r, g, b}.
enum class Tint { Red, Green, Blue };

// Brick n (from 1) lies in row (n − 1) div 10 and column (n − 1) mod 10.
inline PixelRect brick(int row, int column)
{
    return {column * brickSize, row * brickSize, brickSize, brickSize};
}

// Red where (row + column) mod 3 is 0, green where it is 1, blue where it is 2.
inline Tint brickTint(int row, int column)
{
    return static_cast<Tint>((row + column) % 3);
}

inline const char* name(Tint tint)
{
    const char* const names[] = {"red", "green", "blue"};
    return names[static_cast<int>(tint)];
}

// The tinted channel, and the two channels that a tint of 0 must leave black.
inline int tinted(Rgb pixel, Tint tint)
{
    const int channels[] = {pixel.r, pixel.g, pixel.b};
    return channels[static_cast<int>(tint)];
}
inline int strongestUntinted(Rgb pixel, Tint tint)
{
    const int channels[] = {pixel.r, pixel.g, pixel.b};
    const int own = static_cast<int>(tint);
    return std::max(channels[(own + 1) % 3], channels[(own + 2) % 3]);
}

// The paddle's start rectangle: width 120, height 12, centred, its top at 0.9 × 600 − 12.
constexpr PixelRect paddle{240, 528, 120, 12};
// The ball at rest: 18 × 18, centred on the paddle, touching its top edge.
constexpr PixelRect ball{291, 510, 18, 18};

// Field rows below the bricks and above the ball: nothing but background at start.
constexpr int openRowsTop = brickRows * brickSize;  // 300
constexpr int openRowsBottom = ball.y;              // 510

}  // namespace layout
