// Reads screenshots of the field with the desktop tests' own figures and checks, for tests that
// take their pictures elsewhere (the web page in a browser). For each PNG named on the command
// line, prints one line of JSON:
//   {"file": ..., "width": 600, "height": 600,
//    "startFaults": [...],          what differs from the picture a level starts with ([] if none)
//    "paddleLeftEdge": 240,         the paddle's leftmost x on its middle row, -1 if not seen
//    "ballPlaceShowsBackground": 0.02}  the share of the resting ball's disc that shows background
// Exits 0 when every file could be read, 2 otherwise.
#include "ExpectedBackground.h"
#include "FieldLayout.h"
#include "GameChecks.h"
#include "GameFolder.h"

#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c == '\n' ? ' ' : c;
    }
    return out + "\"";
}

// Pixels of the resting ball's inscribed disc (the face has transparent corners) for which
// `check` holds, and the disc's size.
template <typename Check>
int countInBallDisc(Check check)
{
    const double cx = layout::ball.x + layout::ball.width / 2.0;
    const double cy = layout::ball.y + layout::ball.height / 2.0;
    int count = 0;
    for (int y = layout::ball.y; y < layout::ball.y + layout::ball.height; ++y)
        for (int x = layout::ball.x; x < layout::ball.x + layout::ball.width; ++x)
            if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= 7.0 && check(x, y))
                ++count;
    return count;
}

double ballPlaceShowsBackground(const Image& shot, const ExpectedBackground& background)
{
    const int disc = countInBallDisc([](int, int) { return true; });
    return static_cast<double>(countInBallDisc([&](int x, int y) { return background.matches(shot.at(x, y), x, y); })) /
           disc;
}

// The checks of the desktop's first-picture test: background between the bricks and the paddle,
// the bricks in their stripes, the paddle and the ball in their rectangles and nothing around them.
std::vector<std::string> startFaults(const Image& shot, const ExpectedBackground& background)
{
    std::vector<std::string> faults;
    int mismatches = 0;
    const int rows[] = {302, 340, 380, 420, 460, 505, 515, 534, 545, 575, 598};
    for (int y : rows)
        for (int x = 2; x < fieldSize; x += 27)
            if (!layout::paddle.grownBy(2).contains(x, y) && !layout::ball.grownBy(2).contains(x, y) &&
                !background.matches(shot.at(x, y), x, y) && ++mismatches <= 3)
                faults.push_back("(" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                                 toString(shot.at(x, y)) + ", not the background " + background.describe(x, y));

    const ::testing::AssertionResult bricks = showsBricksInTheirStripes(shot);
    if (!bricks)
        faults.push_back(bricks.message());

    const int paddleArea = layout::paddle.width * layout::paddle.height;
    const int paddleCovered = countNotBackground(shot, background, layout::paddle);
    if (paddleCovered * 2 < paddleArea)
        faults.push_back("only " + std::to_string(paddleCovered) + " of the paddle's pixels cover the background");
    if (ballPlaceShowsBackground(shot, background) > 0.5)
        faults.push_back("the ball's place shows mostly background");

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

std::string describe(const std::string& file, const Image& shot, const ExpectedBackground& background)
{
    std::ostringstream json;
    json << "{\"file\": " << quoted(file) << ", \"width\": " << shot.width << ", \"height\": " << shot.height;
    if (shot.width != fieldSize || shot.height != fieldSize) {
        json << ", \"startFaults\": [\"the picture isn't " << fieldSize << " x " << fieldSize << "\"]}";
        return json.str();
    }
    json << ", \"startFaults\": [";
    const std::vector<std::string> faults = startFaults(shot, background);
    for (size_t i = 0; i < faults.size(); ++i)
        json << (i ? ", " : "") << quoted(faults[i]);
    json << "], \"paddleLeftEdge\": "
         << paddleLeftEdge(shot, background, layout::paddle.y + layout::paddle.height / 2)
         << ", \"ballPlaceShowsBackground\": " << ballPlaceShowsBackground(shot, background) << "}";
    return json.str();
}

}  // namespace

int main(int argc, char** argv)
{
    const ExpectedBackground background{GameFolder::sourceAsset("background.jpg").string()};
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        try {
            std::cout << describe(argv[i], loadImageFile(argv[i]), background) << std::endl;
        } catch (const std::exception& error) {
            std::cerr << error.what() << "\n";
            status = 2;
        }
    }
    return argc < 2 ? 2 : status;
}
