// A whole frame as the display callback runs it (paddle motion, update, the 53 draws, the
// swap), in the game's real window, against a floor measured in the same run: the same 53
// draws issued by a bare loop with everything looked up beforehand (the program, the uniform
// locations, the textures, the model matrices). The same GL calls reach the driver either way,
// except the two uniform-location lookups by name per draw; the difference between the two is
// the game's own overhead. Every frame ends with glFinish, so the driver's rendering counts.
//
// Also reports the start-up as the program sees it from inside: from the start of main
// through startGame and the first frame, finished.
//
// Run it under an X server (scripts/bench uses tests/with-xvfb.sh), from the folder that
// holds the game's shaders and images. Output: one "name value" line per figure.
#include "app/Callbacks.h"
#include "app/Startup.h"
#include "Relaunch.h"
#include "game/Collision.h"
#include "game/GameController.h"
#include "game/Level.h"
#include "render/AssetStore.h"
#include "render/QuadRenderer.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsOf(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Wall time, the CPU time of the whole process (the driver renders on threads of its own) and
// the CPU time of the main thread, which runs the game.
struct Spent {
    double wall = 0.0;
    double processCpu = 0.0;
    double mainThreadCpu = 0.0;
    double longestWall = 0.0;
    long frames = 0;
};

template <typename Frame>
void timeFrames(Spent& spent, int count, Frame&& frame)
{
    for (int i = 0; i < count; ++i) {
        const auto wallStart = Clock::now();
        const double processStart = secondsOf(CLOCK_PROCESS_CPUTIME_ID);
        const double threadStart = secondsOf(CLOCK_THREAD_CPUTIME_ID);
        frame();
        glFinish();
        const double wall = secondsSince(wallStart);
        spent.wall += wall;
        spent.processCpu += secondsOf(CLOCK_PROCESS_CPUTIME_ID) - processStart;
        spent.mainThreadCpu += secondsOf(CLOCK_THREAD_CPUTIME_ID) - threadStart;
        spent.longestWall = std::max(spent.longestWall, wall);
        ++spent.frames;
    }
}

// The 16 frames after a relaunch draw all 53 rectangles: the ball does not reach the bricks
// before y = 300.
constexpr int framesPerLaunch = 16;

// The frame's 53 rectangles, everything that drawQuad looks up or builds done once here.
struct PreparedDraw {
    GLuint texture = 0;
    glm::mat4 model{1.0f};
    glm::vec3 color{1.0f, 1.0f, 1.0f};
};

std::vector<PreparedDraw> prepareDraws()
{
    std::vector<PreparedDraw> draws;
    const glm::vec2 field(static_cast<float>(game.width), static_cast<float>(game.height));
    draws.push_back({AssetStore::textures["background"].textureId, quadModelMatrix({0.0f, 0.0f}, field, 0.0f),
                     glm::vec3(1.0f, 1.0f, 1.0f)});
    const auto add = [&draws](const GameObject& object) {
        draws.push_back({object.texture.textureId, quadModelMatrix(object.position, object.size, object.rotation),
                         object.color});
    };
    add(*paddle);
    for (const GameObject& brick : level.bricks)
        add(brick);
    add(*ball);
    return draws;
}

// The indices that the renderer hands to glDrawElements as a client-side array.
const GLuint quadIndices[6] = {1, 3, 0, 1, 2, 3};

}  // namespace

int main(int argc, char** argv)
{
    const auto mainStart = Clock::now();
    startGame(&argc, argv);
    const double startGameSeconds = secondsSince(mainStart);
    onDisplay();
    glFinish();
    const double firstFrameSeconds = secondsSince(mainStart);
    std::printf("startup_startGame_ms %.3f\n", startGameSeconds * 1e3);
    std::printf("startup_first_frame_ms %.3f\n", firstFrameSeconds * 1e3);

    relaunch();
    const std::vector<PreparedDraw> draws = prepareDraws();
    const GLuint program = renderer->program.programId;
    const GLint modelLocation = glGetUniformLocation(program, "model");
    const GLint colorLocation = glGetUniformLocation(program, "spriteColor");
    const GLuint vertexArray = renderer->quadVertexArray;
    const auto floorFrame = [&]() {
        glClear(GL_COLOR_BUFFER_BIT);
        for (const PreparedDraw& draw : draws) {
            glUseProgram(program);
            glUniformMatrix4fv(modelLocation, 1, GL_FALSE, &draw.model[0][0]);
            glUniform3f(colorLocation, draw.color.x, draw.color.y, draw.color.z);
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, draw.texture);
            glBindVertexArray(vertexArray);
            glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, quadIndices);
            glBindVertexArray(0);
        }
        glutSwapBuffers();
    };

    // Warm up both paths (the driver compiles its shader variants on first use), then
    // alternate blocks of the two so that whatever else the machine does falls on both alike.
    constexpr int framesPerBlock = framesPerLaunch * 6;
    constexpr int blocks = 11;  // 1,056 frames of each
    Spent warmUp;
    for (int i = 0; i < 2; ++i) {
        timeFrames(warmUp, framesPerLaunch, onDisplay);
        relaunch();
        timeFrames(warmUp, framesPerLaunch, floorFrame);
    }
    Spent gameFrames;
    Spent floorFrames;
    bool fullLevel = true;
    for (int block = 0; block < blocks; ++block) {
        for (int launch = 0; launch < framesPerBlock / framesPerLaunch; ++launch) {
            relaunch();
            timeFrames(gameFrames, framesPerLaunch, onDisplay);
            fullLevel = fullLevel && game.started &&
                        std::all_of(level.bricks.begin(), level.bricks.end(),
                                    [](const GameObject& brick) { return brick.alive; });
        }
        timeFrames(floorFrames, framesPerBlock, floorFrame);
    }
    if (!fullLevel || draws.size() != 53) {
        std::fprintf(stderr, "frame_benchmark: the measured frames did not all draw 53 rectangles\n");
        return 1;
    }

    const auto perFrameMs = [](double seconds, long frames) { return seconds * 1e3 / static_cast<double>(frames); };
    std::printf("frames_each %ld\n", gameFrames.frames);
    std::printf("frame_wall_ms %.4f\n", perFrameMs(gameFrames.wall, gameFrames.frames));
    std::printf("frame_cpu_ms %.4f\n", perFrameMs(gameFrames.processCpu, gameFrames.frames));
    std::printf("frame_main_thread_cpu_ms %.4f\n", perFrameMs(gameFrames.mainThreadCpu, gameFrames.frames));
    std::printf("frame_longest_wall_ms %.4f\n", gameFrames.longestWall * 1e3);
    std::printf("floor_wall_ms %.4f\n", perFrameMs(floorFrames.wall, floorFrames.frames));
    std::printf("floor_cpu_ms %.4f\n", perFrameMs(floorFrames.processCpu, floorFrames.frames));
    std::printf("floor_main_thread_cpu_ms %.4f\n", perFrameMs(floorFrames.mainThreadCpu, floorFrames.frames));
    std::printf("floor_longest_wall_ms %.4f\n", floorFrames.longestWall * 1e3);
    return 0;
}
