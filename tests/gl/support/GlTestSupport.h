// What the GL tests share: a 600 × 600 double-buffered GLUT window made current before the
// first test (with the game's fixed state: back-face culling and alpha blending), pixel
// read-back in field coordinates (origin top left, y down), the sprite program built from
// the game's own shader files. Pixels are read from the back buffer,
// after drawing and without swapping.
#pragma once
#include "render/ShaderProgram.h"

#include "Assets.h"
#include "Files.h"
#include "PixelBox.h"
#include "ScratchFolder.h"

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
PixelBox coverageOfField();

// The projection start-up sets, written out from its figures: field pixels, y downwards.
glm::mat4 fieldProjection();

// Builds the program from assets/vertex.txt and assets/fragment.txt, makes it current and
// gives it the sampler unit 0 and the field projection, as start-up does.
ShaderProgram spriteProgram();

// Makes `folder` the working directory until the object goes.
class WorkingDirectory {
public:
    std::filesystem::path previous;
    explicit WorkingDirectory(const std::filesystem::path& folder);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;
};
