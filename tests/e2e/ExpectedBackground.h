// The background as it should look on screen: background.jpg decoded here and stretched over
// the 600 × 600 field, sampled with linear filtering and repeat wrapping as the game's
// texture is. The GPU rounds its filter weights, so a screen pixel matches when each channel
// lies within the range of the texels around its sample point, widened by a tolerance.
#pragma once
#include "Image.h"

#include <string>

class ExpectedBackground {
public:
    // Throws std::runtime_error if the file can't be decoded.
    explicit ExpectedBackground(const std::string& path) : picture_(loadImageFile(path)) {}

    // (x, y) are field pixels, which are also window pixels while the window has its start size.
    bool matches(Rgb pixel, int x, int y, int tolerance = 8) const;
    // The accepted range at (x, y), for failure messages.
    std::string describe(int x, int y) const;

private:
    struct Range {
        Rgb low;
        Rgb high;
    };
    Range rangeAt(int x, int y) const;

    Image picture_;
};

// The play field's size in pixels and the window's size at start.
constexpr int fieldSize = 600;
