// Points and rectangles on the X screen, in pixels, y growing downwards.
#pragma once

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// Its top-left corner and its size.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
