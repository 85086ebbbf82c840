// An 8-bit RGB picture, top row first: a screenshot of a window or a decoded image file,
// with the few pixel operations the end-to-end checks need.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

inline bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
inline bool operator!=(Rgb a, Rgb b) { return !(a == b); }

// A rectangle of pixels: columns x .. x + width - 1, rows y .. y + height - 1.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    PixelRect grownBy(int margin) const { return {x - margin, y - margin, width + 2 * margin, height + 2 * margin}; }
};

class Image {
public:
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width × height × 3 bytes

    Image() = default;
    Image(int width, int height);

    bool empty() const { return width == 0 || height == 0; }
    Rgb at(int x, int y) const;
    void set(int x, int y, Rgb colour);
};

// Pixels of `area` (clipped to both pictures) that differ between the two.
int countDifferences(const Image& a, const Image& b, const PixelRect& area);
bool sameInside(const Image& a, const Image& b, const PixelRect& area);
bool isBlack(Rgb colour, int tolerance = 0);
std::string toString(Rgb colour);
// How GoogleTest shows a colour in a failed check: "(r, g, b)".
inline void PrintTo(Rgb colour, std::ostream* out) { *out << toString(colour); }

// Decodes a PNG or JPEG file into RGB. Throws std::runtime_error if it can't.
Image loadImageFile(const std::string& path);
// Writes the picture as a PNG, for looking at after a failed check.
bool savePng(const Image& image, const std::string& path);
