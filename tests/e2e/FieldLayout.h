// Where things are on the field when a level starts, in field pixels (y downwards), and the
// brick colours: fifty 60 × 60 bricks in five rows from the top, tinted in diagonal stripes,
// the paddle centred near the bottom and the ball resting on it.
#pragma once
#include "ExpectedBackground.h"
#include "Image.h"

namespace layout {

constexpr int brickColumns = 10;
constexpr int brickRows = 5;
constexpr int brickSize = fieldSize / brickColumns;  // 60

enum class Tint { Red, Green, Blue };

// Brick n (from 1) lies in row (n − 1) div 10 and column (n − 1) mod 10.
inline PixelRect brick(int row, int column)
{
    return {column * brickSize, row * brickSize, brickSize, brickSize};
}

// Red where (row + column) mod 3 is 0, green where it is 1, blue where it is 2.
inline Tint brickTint(int row, int column)
{
    switch ((row + column) % 3) {
    case 0:
        return Tint::Red;
    case 1:
        return Tint::Green;
    default:
        return Tint::Blue;
    }
}

inline const char* name(Tint tint)
{
    return tint == Tint::Red ? "red" : tint == Tint::Green ? "green" : "blue";
}

// The tinted channel, and the two channels that a tint of 0 must leave black.
inline int tinted(Rgb pixel, Tint tint)
{
    return tint == Tint::Red ? pixel.r : tint == Tint::Green ? pixel.g : pixel.b;
}
inline int strongestUntinted(Rgb pixel, Tint tint)
{
    switch (tint) {
    case Tint::Red:
        return pixel.g > pixel.b ? pixel.g : pixel.b;
    case Tint::Green:
        return pixel.r > pixel.b ? pixel.r : pixel.b;
    default:
        return pixel.r > pixel.g ? pixel.r : pixel.g;
    }
}

// The paddle's start rectangle: width 120, height 12, centred, its top at 0.9 × 600 − 12.
constexpr PixelRect paddle{240, 528, 120, 12};
// The ball at rest: 18 × 18, centred on the paddle, touching its top edge.
constexpr PixelRect ball{291, 510, 18, 18};

// Field rows below the bricks and above the ball: nothing but background at start.
constexpr int openRowsTop = brickRows * brickSize;  // 300
constexpr int openRowsBottom = ball.y;              // 510

}  // namespace layout
