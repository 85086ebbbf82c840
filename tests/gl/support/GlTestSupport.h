// What the GL tests share: a 600 × 600 double-buffered GLUT window made current before the
// first test (with the game's fixed state: back-face culling and alpha blending), pixel
// read-back in field coordinates (origin top left, y down), the sprite program built from
// the game's own shader files. Pixels are read from the back buffer,
// after drawing and without swapping.
#pragma once
#include "render/ShaderProgram.h"

#include "Assets.h"
#include "Files.h"
#include "Image.h"
#include "ScratchFolder.h"

#include <filesystem>

constexpr int fieldSize = 600;

// The whole field as the back buffer holds it, top row first.
Image readField();

// One integer of GL's state, such as a binding.
GLint integerOf(GLenum name);

// Builds the program from assets/vertex.txt and assets/fragment.txt, makes it current and
// gives it the sampler unit 0 and the field projection, as start-up does.
ShaderProgram spriteProgram();

// Makes `folder` the working directory until the object goes.
class WorkingDirectory {
public:
    const std::filesystem::path previous = std::filesystem::current_path();

    explicit WorkingDirectory(const std::filesystem::path& folder) { std::filesystem::current_path(folder); }
    ~WorkingDirectory()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;
};
