// The pixels of a picture that pass some test: how many, and the smallest rectangle holding
// them, its bounds inclusive. Empty (right < left) while none has been added.
#pragma once
#include <algorithm>
#include <climits>

struct PixelBox {
    int left = INT_MAX;
    int top = INT_MAX;
    int right = -1;
    int bottom = -1;
    int count = 0;

    void add(int x, int y)
    {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
        ++count;
    }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};
