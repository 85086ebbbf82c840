// What the GL tests share: a 600 × 600 double-buffered GLUT window made current before the
// first test (with the game's fixed state: back-face culling and alpha blending), pixel
// read-back in field coordinates (origin top left, y down), the sprite program built from
// the game's own shader files, and scratch folders. Pixels are read from the back buffer,
// after drawing and without swapping.
#pragma once
#include "render/ShaderProgram.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

constexpr int fieldSize = 600;

using Rgb = std::array<int, 3>;

// The colour of field pixel (x, y).
Rgb pixelAt(int x, int y);

// The whole field, top row first, 3 bytes a pixel.
std::vector<unsigned char> readField();

void clearField();

// The pixels of the field that are not black, and their bounding box.
struct Coverage {
    int count = 0;
    int left = fieldSize;
    int top = fieldSize;
    int right = -1;  // inclusive
    int bottom = -1;
};
Coverage coverageOfField();

// The projection start-up sets, written out from its figures: field pixels, y downwards.
glm::mat4 fieldProjection();

// Builds the program from assets/vertex.txt and assets/fragment.txt, makes it current and
// gives it the sampler unit 0 and the field projection, as start-up does.
ShaderProgram spriteProgram();

std::string readTextFile(const std::filesystem::path& path);
void writeTextFile(const std::filesystem::path& path, const std::string& text);

// The folder holding the game's shaders and images.
std::filesystem::path assetsFolder();

// A fresh empty folder, removed with everything in it when the object goes.
class ScratchFolder {
public:
    std::filesystem::path path;
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};

// Makes `folder` the working directory until the object goes.
class WorkingDirectory {
public:
    std::filesystem::path previous;
    explicit WorkingDirectory(const std::filesystem::path& folder);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;
};
