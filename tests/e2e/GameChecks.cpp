#include "GameChecks.h"

#include "FieldLayout.h"
#include "FrameCounter.h"
#include "Keyboard.h"
#include "Poll.h"
#include "Screenshot.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <gtest/gtest.h>

namespace {

bool isAllBlack(const Image& picture)
{
    return std::all_of(picture.rgb.begin(), picture.rgb.end(), [](uint8_t value) { return value == 0; });
}

// Pixels of `area` that don't show the background, leaving out those inside any of `leftOut`.
int countNotBackground(const Image& picture, const ExpectedBackground& background, const PixelRect& area,
                       std::initializer_list<PixelRect> leftOut = {})
{
    int count = 0;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x) {
            const bool inLeftOut =
                std::any_of(leftOut.begin(), leftOut.end(), [&](const PixelRect& rect) { return rect.contains(x, y); });
            if (!inLeftOut && !background.matches(picture.at(x, y), x, y))
                ++count;
        }
    return count;
}

}  // namespace

void waitForFirstTick(WindowId window, std::chrono::milliseconds limit)
{
    if (!framesGoBy(window, framesBeforeFirstTick + 1, limit))
        throw std::runtime_error("the game stopped drawing frames before its first tick");
}

Image waitUntilTakingKeys(WindowId window, std::chrono::milliseconds limit)
{
    const PictureWait drawn = waitForPicture(window, limit, [](const Image& shot) { return !isAllBlack(shot); });
    if (!drawn.satisfied)
        throw std::runtime_error("the game's window stays black");
    waitForFirstTick(window, limit);
    // The first picture may have been caught while it was being put on the screen, half old and
    // half new; every later frame of a level that has not started is the same picture.
    return captureWindow(window);
}

::testing::AssertionResult endsWithStatusZeroOnEscape(GameProcess& game, WindowId window)
{
    pressKeys(window, {"Escape"});
    const ProcessEnd end = game.waitForExit(std::chrono::milliseconds(2000));
    if (!end.exitedWith(0))
        return ::testing::AssertionFailure() << "after Escape: " << end.describe();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult boxWaitsAndReturnEndsWithStatus(GameProcess& game, WindowId box, int status)
{
    if (!staysRunningFor(game, std::chrono::milliseconds(500)))
        return ::testing::AssertionFailure() << "the game ended before the box was dismissed";
    pressKeys(box, {"Return"});
    // Under Wine the game takes longer to end.
    const ProcessEnd end = game.waitForExit(std::chrono::milliseconds(10000));
    if (!end.exitedWith(status))
        return ::testing::AssertionFailure() << "after Return in the box: " << end.describe();
    return ::testing::AssertionSuccess();
}

bool staysRunningFor(GameProcess& game, std::chrono::milliseconds duration)
{
    return !pollUntil(duration, [&] { return !game.isRunning(); });
}

void keepScreenshot(const Image& picture, const std::string& label)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "picture";
    std::replace(name.begin(), name.end(), '/', '_');
    const std::filesystem::path folder(ZORVEX_E2E_OUTPUT_DIR);
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / (name + "-" + label + ".png");
    if (savePng(picture, path.string()))
        std::cout << "picture kept as " << path.string() << "\n";
}

::testing::AssertionResult showsBricksInTheirStripes(const Image& picture)
{
    // The brick texture may have dark parts: a few points across each brick.
    const int offsets[] = {2, 16, 30, 44, 57};
    std::ostringstream wrong;
    for (int row = 0; row < layout::brickRows; ++row)
        for (int column = 0; column < layout::brickColumns; ++column) {
            const PixelRect cell = layout::brick(row, column);
            const layout::Tint tint = layout::brickTint(row, column);
            int brightest = 0;
            int strayLight = 0;
            for (int dy : offsets)
                for (int dx : offsets) {
                    const Rgb pixel = picture.at(cell.x + dx, cell.y + dy);
                    brightest = std::max(brightest, layout::tinted(pixel, tint));
                    strayLight = std::max(strayLight, layout::strongestUntinted(pixel, tint));
                }
            if (strayLight > 3 || brightest < 40)
                wrong << " the brick in row " << row << ", column " << column << " should be " << layout::name(tint)
                      << " and its centre is " << toString(picture.at(cell.x + 30, cell.y + 30)) << ";";
        }
    if (!wrong.str().empty())
        return ::testing::AssertionFailure() << "bricks out of their stripes:" << wrong.str();
    return ::testing::AssertionSuccess();
}

int paddleLeftEdge(const Image& picture, const ExpectedBackground& background, int row)
{
    int run = 0;
    for (int x = 0; x < fieldSize && x < picture.width; ++x) {
        run = background.matches(picture.at(x, row), x, row) ? 0 : run + 1;
        if (run == 3)
            return x - 2;
    }
    return -1;
}

double ballPlaceShowsBackground(const Image& picture, const ExpectedBackground& background)
{
    const double cx = layout::ball.x + layout::ball.width / 2.0;
    const double cy = layout::ball.y + layout::ball.height / 2.0;
    int disc = 0;
    int shown = 0;
    for (int y = layout::ball.y; y < layout::ball.y + layout::ball.height; ++y)
        for (int x = layout::ball.x; x < layout::ball.x + layout::ball.width; ++x)
            if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= 7.0) {
                ++disc;
                shown += background.matches(picture.at(x, y), x, y) ? 1 : 0;
            }
    return static_cast<double>(shown) / disc;
}

std::vector<std::string> startPictureFaults(const Image& picture, const ExpectedBackground& background)
{
    if (picture.width != fieldSize || picture.height != fieldSize)
        return {"the picture is " + std::to_string(picture.width) + " x " + std::to_string(picture.height)};
    std::vector<std::string> faults;
    // Between the bricks and the ball, beside the paddle and below it.
    for (int y : {302, 340, 380, 420, 460, 505, 515, 534, 545, 575, 598})
        for (int x = 2; x < fieldSize; x += 27)
            if (!layout::paddle.grownBy(2).contains(x, y) && !layout::ball.grownBy(2).contains(x, y) &&
                !background.matches(picture.at(x, y), x, y) && faults.size() < 5)
                faults.push_back("(" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                                 toString(picture.at(x, y)) + ", not the background " + background.describe(x, y));
    if (const ::testing::AssertionResult bricks = showsBricksInTheirStripes(picture); !bricks)
        faults.push_back(bricks.message());
    if (countNotBackground(picture, background, layout::paddle) * 2 < layout::paddle.width * layout::paddle.height)
        faults.push_back("the paddle covers less than half its rectangle");
    if (ballPlaceShowsBackground(picture, background) > 0.5)
        faults.push_back("the ball covers less than half its disc");
    const PixelRect surroundings{220, 490, 160, 70};
    const int outside =
        countNotBackground(picture, background, surroundings, {layout::paddle.grownBy(1), layout::ball.grownBy(1)});
    if (outside != 0)
        faults.push_back(std::to_string(outside) + " pixels around the paddle and the ball aren't background");
    return faults;
}
