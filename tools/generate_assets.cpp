// Draws the game's four images and writes them into a folder, and the game's icon, made of the
// same art, into a second one:
//   generate_assets <assets folder> [<icons folder>]
// The output is committed in assets/ and packaging/icons/; run this again only to change the
// pictures.
// Everything is computed from fixed numbers (no clock, no rand), so a run is reproducible.
// Edges are anti-aliased by supersampling each pixel on a regular grid.
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

Colour mix(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scaled(Colour c, float k)
{
    return {c.r * k, c.g * k, c.b * k};
}

Colour rgb(int r, int g, int b)
{
    return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f, static_cast<float>(b) / 255.0f};
}

float clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

float smoothstep(float edge0, float edge1, float x)
{
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

unsigned char toByte(float v)
{
    return static_cast<unsigned char>(std::lround(clamp01(v) * 255.0f));
}

// An 8-bit image being drawn, rows top first.
struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<unsigned char> bytes;

    Image(int w, int h, int c) : width(w), height(h), channels(c), bytes(static_cast<size_t>(w * h * c), 0) {}

    void set(int x, int y, Colour c, float alpha)
    {
        unsigned char* p = &bytes[static_cast<size_t>((y * width + x) * channels)];
        p[0] = toByte(c.r);
        p[1] = toByte(c.g);
        p[2] = toByte(c.b);
        if (channels == 4)
            p[3] = toByte(alpha);
    }
};

// Small deterministic generator for the star field.
struct Lcg {
    uint32_t state = 12345u;
    float next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777216.0f;
    }
};

// ---- background.jpg: 600 × 600, a deep night-blue to violet field with a faint grid and stars.

Image drawBackground()
{
    const int size = 600;
    Image image(size, size, 3);
    const Colour top = rgb(8, 10, 32);
    const Colour bottom = rgb(34, 12, 52);
    std::vector<Colour> field(static_cast<size_t>(size * size));
    for (int y = 0; y < size; ++y) {
        const float t = static_cast<float>(y) / static_cast<float>(size - 1);
        for (int x = 0; x < size; ++x) {
            Colour c = mix(top, bottom, t);
            // Darker towards the corners, so the eye rests on the middle of the field.
            const float dx = (static_cast<float>(x) - 299.5f) / 300.0f;
            const float dy = (static_cast<float>(y) - 299.5f) / 300.0f;
            c = scaled(c, 1.0f - 0.35f * std::min(1.0f, 0.5f * (dx * dx + dy * dy)));
            // A faint grid on the brick pitch (60 px), soft so that it survives JPEG without ringing.
            const float gx = std::fabs(std::fmod(static_cast<float>(x) + 0.5f, 60.0f) - 30.0f);
            const float gy = std::fabs(std::fmod(static_cast<float>(y) + 0.5f, 60.0f) - 30.0f);
            const float line = std::max(smoothstep(27.5f, 30.0f, gx), smoothstep(27.5f, 30.0f, gy));
            c = mix(c, rgb(60, 50, 110), 0.18f * line);
            field[static_cast<size_t>(y * size + x)] = c;
        }
    }
    Lcg random;
    for (int i = 0; i < 150; ++i) {
        const float sx = random.next() * static_cast<float>(size);
        const float sy = random.next() * static_cast<float>(size);
        const float brightness = 0.25f + 0.6f * random.next() * random.next();
        const float radius = 0.6f + 0.9f * random.next() * random.next();
        const Colour tint = mix(rgb(200, 210, 255), rgb(255, 240, 220), random.next());
        for (int y = std::max(0, static_cast<int>(sy) - 3); y <= std::min(size - 1, static_cast<int>(sy) + 3); ++y)
            for (int x = std::max(0, static_cast<int>(sx) - 3); x <= std::min(size - 1, static_cast<int>(sx) + 3);
                 ++x) {
                const float d = std::hypot(static_cast<float>(x) + 0.5f - sx, static_cast<float>(y) + 0.5f - sy);
                const float glow = brightness * std::exp(-(d * d) / (radius * radius));
                Colour& c = field[static_cast<size_t>(y * size + x)];
                c = mix(c, tint, clamp01(glow));
            }
    }
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.set(x, y, field[static_cast<size_t>(y * size + x)], 1.0f);
    return image;
}

// ---- block.png: 64 × 64 RGB (64 × 3 bytes per row, a multiple of 4). Light grey with a bevel
// and a dark outline, so that a pure red, green or blue tint reads as a solid, outlined brick.

Colour blockColour(float x, float y, float size)
{
    const float outline = 1.5f;
    const float bevel = 6.0f;
    const float right = size - x;
    const float bottom = size - y;
    const float edge = std::min(std::min(x, y), std::min(right, bottom));
    if (edge < outline)
        return rgb(60, 60, 60);
    if (edge < outline + bevel) {
        // Lit from the top left: the top and left faces are light, the bottom and right ones dark.
        const bool lit = std::min(x, y) < std::min(right, bottom);
        return lit ? rgb(255, 255, 255) : rgb(135, 135, 135);
    }
    // The face: a soft vertical gradient with a little sheen near the top.
    const float t = (y - outline - bevel) / (size - 2.0f * (outline + bevel));
    Colour face = mix(rgb(236, 236, 236), rgb(200, 200, 200), t);
    return mix(face, rgb(250, 250, 250), 0.5f * (1.0f - smoothstep(0.0f, 0.25f, t)));
}

Image drawBlock()
{
    const int size = 64;
    const int samples = 4;
    Image image(size, size, 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Colour sum;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const float px = static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / samples;
                    const float py = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / samples;
                    const Colour c = blockColour(px, py, static_cast<float>(size));
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            image.set(x, y, scaled(sum, 1.0f / (samples * samples)), 1.0f);
        }
    return image;
}

// ---- Shapes with a transparent outside. The colour of a transparent pixel is that of the
// nearest inside point, so linear filtering shows no dark fringe at the edge.

// Distance to the capsule of the paddle (negative inside): a bar with round ends.
float capsuleDistance(float x, float y, float width, float height)
{
    const float radius = 0.5f * height;
    const float cx = std::min(std::max(x, radius), width - radius);
    return std::hypot(x - cx, y - radius) - radius;
}

// ---- paddle.png: 240 × 24 RGBA, twice the size it is drawn at, so that every screen pixel
// is the exact average of 2 × 2 texels. Cool silver, a bright highlight along the top.

Colour paddleColour(float x, float y, float width, float height)
{
    const float t = y / height;
    Colour body = mix(rgb(226, 234, 248), rgb(120, 134, 160), smoothstep(0.15f, 1.0f, t));
    const float highlight = std::exp(-std::pow((t - 0.24f) / 0.08f, 2.0f));
    body = mix(body, rgb(255, 255, 255), 0.8f * highlight);
    // A thin darker rim gives the shape an edge against light bricks.
    const float d = capsuleDistance(x, y, width, height);
    return mix(body, rgb(70, 82, 110), smoothstep(-2.5f, -0.5f, d));
}

Image drawPaddle()
{
    const int width = 240;
    const int height = 24;
    const int samples = 4;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    Image image(width, height, 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Colour sum;
            int inside = 0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const float px = static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / samples;
                    const float py = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / samples;
                    if (capsuleDistance(px, py, w, h) > 0.0f)
                        continue;
                    const Colour c = paddleColour(px, py, w, h);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                    ++inside;
                }
            const float cx = static_cast<float>(x) + 0.5f;
            const float cy = static_cast<float>(y) + 0.5f;
            const Colour colour = inside > 0 ? scaled(sum, 1.0f / static_cast<float>(inside))
                                             : paddleColour(std::min(std::max(cx, h * 0.5f), w - h * 0.5f),
                                                            cy, w, h);
            image.set(x, y, colour, static_cast<float>(inside) / (samples * samples));
        }
    return image;
}

// ---- awesomeface_01.png: 36 × 36 RGBA, twice the ball's 18-pixel size for the same reason
// as the paddle: a larger image would lose its eyes and smile to a filter that takes only
// four texels. A yellow disc with dark eyes and a smile, transparent outside.

constexpr float faceSize = 36.0f;

// Colour inside the disc, or nothing outside (returns false).
bool faceColour(float x, float y, Colour& colour)
{
    const float c = 0.5f * faceSize;
    const float radius = c - 0.75f;
    const float dx = x - c;
    const float dy = y - c;
    const float r = std::hypot(dx, dy);
    if (r > radius)
        return false;
    // Yellow, lit from the top left, with an orange rim.
    const float light = clamp01(0.5f - 0.5f * (dx + dy) / (1.414f * radius));
    Colour skin = mix(rgb(242, 170, 20), rgb(255, 226, 70), light);
    skin = mix(skin, rgb(255, 248, 190), 0.6f * std::exp(-std::pow(std::hypot(dx + 6.0f, dy + 7.0f) / 4.0f, 2.0f)));
    skin = mix(skin, rgb(190, 110, 10), smoothstep(radius - 3.0f, radius - 0.5f, r));
    const Colour ink = rgb(58, 34, 12);
    // Eyes: upright ellipses.
    for (float side : {-1.0f, 1.0f}) {
        const float ex = (dx - side * 6.0f) / 2.6f;
        const float ey = (dy + 4.0f) / 3.8f;
        if (ex * ex + ey * ey <= 1.0f) {
            colour = ink;
            return true;
        }
    }
    // Smile: the lower part of a ring around a point just above the centre.
    const float sx = dx;
    const float sy = dy + 1.0f;
    const float ring = std::fabs(std::hypot(sx, sy) - 10.0f);
    if (ring <= 1.4f && sy > 3.5f) {
        colour = ink;
        return true;
    }
    colour = skin;
    return true;
}

// Supersamples a shape: `colourAt(x, y, colour)` gives the colour at a point inside it and
// false outside. A pixel's alpha is the share of its samples inside; one wholly outside takes
// `outside`, so that linear filtering shows no dark fringe.
template <typename ColourAt>
Image drawShape(int width, int height, int samples, Colour outside, ColourAt colourAt)
{
    Image image(width, height, 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Colour sum;
            int inside = 0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    Colour c;
                    const float px = static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / samples;
                    const float py = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / samples;
                    if (!colourAt(px, py, c))
                        continue;
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                    ++inside;
                }
            const Colour colour = inside > 0 ? scaled(sum, 1.0f / static_cast<float>(inside)) : outside;
            image.set(x, y, colour, static_cast<float>(inside) / (samples * samples));
        }
    return image;
}

Image drawFace()
{
    const int size = static_cast<int>(faceSize);
    return drawShape(size, size, 8, rgb(190, 110, 10), faceColour);
}

bool writePng(const std::string& path, const Image& image)
{
    return stbi_write_png(path.c_str(), image.width, image.height, image.channels, image.bytes.data(),
                          image.width * image.channels) != 0;
}

// ---- The icon: a rounded tile of the night field with a red, a green and a blue brick along
// the top, the face in the middle and the paddle below it, drawn at any size from the
// functions above. Coordinates u, v run from 0 to 1 across the tile.

struct IconPart {
    float left, top, width, height;
    bool contains(float u, float v) const { return u >= left && u < left + width && v >= top && v < top + height; }
};
const IconPart iconBricks[3] = {{0.10f, 0.12f, 0.26f, 0.24f}, {0.37f, 0.12f, 0.26f, 0.24f}, {0.64f, 0.12f, 0.26f, 0.24f}};
const Colour iconTints[3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
const IconPart iconFace{0.35f, 0.43f, 0.30f, 0.30f};
const IconPart iconPaddle{0.18f, 0.78f, 0.64f, 0.085f};

// Colour of the tile at (u, v), or nothing outside its rounded corners (returns false).
bool iconColour(float u, float v, Colour& colour)
{
    const float corner = 0.17f;
    const float cu = std::min(std::max(u, corner), 1.0f - corner);
    const float cv = std::min(std::max(v, corner), 1.0f - corner);
    if (std::hypot(u - cu, v - cv) > corner)
        return false;
    colour = mix(rgb(16, 20, 58), rgb(52, 20, 80), v);
    for (int i = 0; i < 3; ++i)
        if (iconBricks[i].contains(u, v)) {
            const IconPart& b = iconBricks[i];
            const Colour c = blockColour((u - b.left) / b.width * 64.0f, (v - b.top) / b.height * 64.0f, 64.0f);
            colour = {c.r * iconTints[i].r, c.g * iconTints[i].g, c.b * iconTints[i].b};
        }
    Colour face;
    if (iconFace.contains(u, v) &&
        faceColour((u - iconFace.left) / iconFace.width * faceSize, (v - iconFace.top) / iconFace.height * faceSize,
                   face))
        colour = face;
    const float px = (u - iconPaddle.left) / iconPaddle.width * 240.0f;
    const float py = (v - iconPaddle.top) / iconPaddle.height * 24.0f;
    if (iconPaddle.contains(u, v) && capsuleDistance(px, py, 240.0f, 24.0f) <= 0.0f)
        colour = paddleColour(px, py, 240.0f, 24.0f);
    return true;
}

Image drawIcon(int size)
{
    const float scale = static_cast<float>(size);
    return drawShape(size, size, 6, rgb(16, 20, 58),
                     [scale](float x, float y, Colour& colour) { return iconColour(x / scale, y / scale, colour); });
}

void appendLittleEndian(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xffu);
}

// One image of a Windows icon file: a 32-bit bottom-up bitmap with an all-clear AND mask (the
// alpha channel does the masking), or for 256 pixels a PNG, as Windows expects.
std::string iconEntryData(const Image& image)
{
    std::string data;
    if (image.width >= 256) {
        stbi_write_png_to_func(
            [](void* context, void* bytes, int size) {
                static_cast<std::string*>(context)->append(static_cast<const char*>(bytes), static_cast<size_t>(size));
            },
            &data, image.width, image.height, 4, image.bytes.data(), image.width * 4);
        return data;
    }
    const uint32_t maskRowBytes = static_cast<uint32_t>((image.width + 31) / 32 * 4);
    appendLittleEndian(data, 40, 4);  // BITMAPINFOHEADER
    appendLittleEndian(data, static_cast<uint32_t>(image.width), 4);
    appendLittleEndian(data, static_cast<uint32_t>(image.height * 2), 4);  // colour rows and mask rows
    appendLittleEndian(data, 1, 2);
    appendLittleEndian(data, 32, 2);
    for (int i = 0; i < 6; ++i)
        appendLittleEndian(data, 0, 4);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x) {
            const unsigned char* p = &image.bytes[static_cast<size_t>((y * image.width + x) * 4)];
            data += {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0]), static_cast<char>(p[3])};
        }
    data.append(maskRowBytes * static_cast<uint32_t>(image.height), '\0');
    return data;
}

bool writeIco(const std::string& path, const std::vector<Image>& images)
{
    std::string header;
    appendLittleEndian(header, 0, 2);
    appendLittleEndian(header, 1, 2);  // an icon, not a cursor
    appendLittleEndian(header, static_cast<uint32_t>(images.size()), 2);
    std::string body;
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (const Image& image : images) {
        const std::string data = iconEntryData(image);
        header += static_cast<char>(image.width >= 256 ? 0 : image.width);  // 0 stands for 256
        header += static_cast<char>(image.height >= 256 ? 0 : image.height);
        appendLittleEndian(header, 0, 2);  // no palette
        appendLittleEndian(header, 1, 2);
        appendLittleEndian(header, 32, 2);
        appendLittleEndian(header, static_cast<uint32_t>(data.size()), 4);
        appendLittleEndian(header, offset, 4);
        offset += static_cast<uint32_t>(data.size());
        body += data;
    }
    std::ofstream file(path, std::ios::binary);
    file << header << body;
    return static_cast<bool>(file.flush());
}

// The Linux desktop takes one PNG per size, and the web page's manifest 192 and 512; Windows one
// .ico holding every size it shows.
bool writeIcons(const std::string& folder)
{
    std::map<int, Image> icons;
    for (int size : {16, 32, 48, 64, 128, 192, 256, 512})
        icons.emplace(size, drawIcon(size));
    bool ok = true;
    for (int size : {48, 64, 128, 192, 256, 512})
        ok = writePng(folder + "zorvex-" + std::to_string(size) + ".png", icons.at(size)) && ok;
    return writeIco(folder + "zorvex.ico", {icons.at(16), icons.at(32), icons.at(48), icons.at(256)}) && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <assets folder> [<icons folder>]\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const Image background = drawBackground();
    bool ok = stbi_write_jpg((folder + "background.jpg").c_str(), background.width, background.height, 3,
                             background.bytes.data(), 90) != 0;
    ok = writePng(folder + "block.png", drawBlock()) && ok;
    ok = writePng(folder + "paddle.png", drawPaddle()) && ok;
    ok = writePng(folder + "awesomeface_01.png", drawFace()) && ok;
    if (!ok) {
        std::fprintf(stderr, "generate_assets: could not write every image into %s\n", argv[1]);
        return 1;
    }
    if (argc == 3 && !writeIcons(std::string(argv[2]) + "/")) {
        std::fprintf(stderr, "generate_assets: could not write every icon into %s\n", argv[2]);
        return 1;
    }
    return 0;
}
