#include "Image.h"

#include "Files.h"
#include "ImageFiles.h"

#include <algorithm>
#include <cstdlib>
#include <stb_image.h>
#include <stdexcept>

Image::Image(int width, int height) : width(width), height(height), rgb(static_cast<size_t>(width) * height * 3, 0)
{
}

Rgb Image::at(int x, int y) const
{
    const size_t index = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[index], rgb[index + 1], rgb[index + 2]};
}

void Image::set(int x, int y, Rgb colour)
{
    const size_t index = (static_cast<size_t>(y) * width + x) * 3;
    rgb[index] = colour.r;
    rgb[index + 1] = colour.g;
    rgb[index + 2] = colour.b;
}

int countDifferences(const Image& a, const Image& b, const PixelRect& area)
{
    const int left = std::max(area.x, 0);
    const int top = std::max(area.y, 0);
    const int right = std::min({area.x + area.width, a.width, b.width});
    const int bottom = std::min({area.y + area.height, a.height, b.height});
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += a.at(x, y) != b.at(x, y);
    return count;
}

bool sameInside(const Image& a, const Image& b, const PixelRect& area)
{
    return countDifferences(a, b, area) == 0;
}

bool isBlack(Rgb colour, int tolerance)
{
    return colour.r <= tolerance && colour.g <= tolerance && colour.b <= tolerance;
}

std::string toString(Rgb colour)
{
    return "(" + std::to_string(colour.r) + ", " + std::to_string(colour.g) + ", " + std::to_string(colour.b) + ")";
}

Image loadImageFile(const std::string& path)
{
    int width = 0;
    int height = 0;
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (!pixels)
        throw std::runtime_error("cannot decode " + path + ": " + stbi_failure_reason());
    Image image(width, height);
    std::copy(pixels, pixels + image.rgb.size(), image.rgb.begin());
    stbi_image_free(pixels);
    return image;
}

bool savePng(const Image& image, const std::string& path)
{
    return writeFile(path, encodePng8(image.width, image.height, 3, image.rgb));
}
