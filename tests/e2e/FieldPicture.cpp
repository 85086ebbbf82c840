// The desktop's first-picture checks and paddle reading, for screenshots taken elsewhere (the web
// tests' browser). For each PNG named prints one line of JSON: what differs from the picture a
// level starts with ([] if nothing), the paddle's left edge on its middle row (-1 if not seen),
// and the share of the resting ball's disc that shows background. Exits 2 if a file can't be read.
#include "ExpectedBackground.h"
#include "FieldLayout.h"
#include "GameChecks.h"
#include "GameFolder.h"

#include <cmath>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The share of the resting ball's inscribed disc (the face has transparent corners) that shows
// the background.
double ballPlaceShowsBackground(const Image& shot, const ExpectedBackground& background)
{
    const double cx = layout::ball.x + layout::ball.width / 2.0;
    const double cy = layout::ball.y + layout::ball.height / 2.0;
    int disc = 0;
    int shown = 0;
    for (int y = layout::ball.y; y < layout::ball.y + layout::ball.height; ++y)
        for (int x = layout::ball.x; x < layout::ball.x + layout::ball.width; ++x)
            if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= 7.0) {
                ++disc;
                shown += background.matches(shot.at(x, y), x, y) ? 1 : 0;
            }
    return static_cast<double>(shown) / disc;
}

// As tests/e2e/GamePictureTest.cpp checks the desktop's first picture.
std::vector<std::string> startFaults(const Image& shot, const ExpectedBackground& background)
{
    if (shot.width != fieldSize || shot.height != fieldSize)
        return {"the picture is " + std::to_string(shot.width) + " x " + std::to_string(shot.height)};
    std::vector<std::string> faults;
    for (int y : {302, 340, 380, 420, 460, 505, 515, 534, 545, 575, 598})
        for (int x = 2; x < fieldSize; x += 27)
            if (!layout::paddle.grownBy(2).contains(x, y) && !layout::ball.grownBy(2).contains(x, y) &&
                !background.matches(shot.at(x, y), x, y) && faults.size() < 3)
                faults.push_back("(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + toString(shot.at(x, y)) +
                                 ", not the background " + background.describe(x, y));
    if (const ::testing::AssertionResult bricks = showsBricksInTheirStripes(shot); !bricks)
        faults.push_back(bricks.message());
    if (countNotBackground(shot, background, layout::paddle) * 2 < layout::paddle.width * layout::paddle.height)
        faults.push_back("the paddle covers less than half its rectangle");
    if (ballPlaceShowsBackground(shot, background) > 0.5)
        faults.push_back("the ball covers less than half its disc");
    const PixelRect surroundings{220, 490, 160, 70};
    int outside = 0;
    for (int y = surroundings.y; y < surroundings.y + surroundings.height; ++y)
        for (int x = surroundings.x; x < surroundings.x + surroundings.width; ++x)
            if (!layout::paddle.grownBy(1).contains(x, y) && !layout::ball.grownBy(1).contains(x, y) &&
                !background.matches(shot.at(x, y), x, y))
                ++outside;
    if (outside != 0)
        faults.push_back(std::to_string(outside) + " pixels around the paddle and the ball aren't background");
    return faults;
}

}  // namespace

int main(int argc, char** argv)
{
    const ExpectedBackground background{GameFolder::sourceAsset("background.jpg").string()};
    for (int i = 1; i < argc; ++i) {
        Image shot;
        try {
            shot = loadImageFile(argv[i]);
        } catch (const std::exception& error) {
            std::cerr << error.what() << "\n";
            return 2;
        }
        // The texts hold no quotes or backslashes.
        std::cout << "{\"startFaults\": [";
        const std::vector<std::string> faults = startFaults(shot, background);
        for (size_t f = 0; f < faults.size(); ++f)
            std::cout << (f ? ", \"" : "\"") << faults[f] << "\"";
        const bool field = shot.width == fieldSize && shot.height == fieldSize;
        std::cout << "], \"paddleLeftEdge\": "
                  << (field ? paddleLeftEdge(shot, background, layout::paddle.y + layout::paddle.height / 2) : -1)
                  << ", \"ballPlaceShowsBackground\": " << (field ? ballPlaceShowsBackground(shot, background) : 0.0)
                  << "}" << std::endl;
    }
    return 0;
}
