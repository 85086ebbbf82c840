#include "ExpectedBackground.h"

#include <algorithm>
#include <cmath>

ExpectedBackground::Range ExpectedBackground::rangeAt(int x, int y) const
{
    // The pixel centre in texel coordinates, where texel i has its centre at i + 0.5.
    const double u = (x + 0.5) / fieldSize * picture_.width - 0.5;
    const double v = (y + 0.5) / fieldSize * picture_.height - 0.5;
    const int i0 = static_cast<int>(std::floor(u));
    const int j0 = static_cast<int>(std::floor(v));
    // Repeat wrapping, also for the texels before the first.
    const auto wrap = [](int index, int size) { return ((index % size) + size) % size; };
    Range range{{255, 255, 255}, {0, 0, 0}};
    for (int j = j0; j <= j0 + 1; ++j)
        for (int i = i0; i <= i0 + 1; ++i) {
            const Rgb texel = picture_.at(wrap(i, picture_.width), wrap(j, picture_.height));
            range.low = {std::min(range.low.r, texel.r), std::min(range.low.g, texel.g), std::min(range.low.b, texel.b)};
            range.high = {std::max(range.high.r, texel.r), std::max(range.high.g, texel.g),
                          std::max(range.high.b, texel.b)};
        }
    return range;
}

bool ExpectedBackground::matches(Rgb pixel, int x, int y, int tolerance) const
{
    const Range range = rangeAt(x, y);
    const auto within = [tolerance](int value, int low, int high) {
        return value >= low - tolerance && value <= high + tolerance;
    };
    return within(pixel.r, range.low.r, range.high.r) && within(pixel.g, range.low.g, range.high.g) &&
           within(pixel.b, range.low.b, range.high.b);
}

std::string ExpectedBackground::describe(int x, int y) const
{
    const Range range = rangeAt(x, y);
    return "between " + toString(range.low) + " and " + toString(range.high);
}
