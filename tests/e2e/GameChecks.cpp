#include "GameChecks.h"

#include "FieldLayout.h"
#include "Poll.h"
#include "Screenshot.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <gtest/gtest.h>
#include <thread>

Image waitUntilTakingKeys(WindowId window, std::chrono::milliseconds limit)
{
    const PictureWait drawn = waitForPicture(window, limit, [](const Image& shot) { return !isAllBlack(shot); });
    if (!drawn.satisfied)
        throw std::runtime_error("the game's window stays black");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // The first picture may have been caught while it was being put on the screen, half old and
    // half new; every later frame of a level that has not started is the same picture.
    return captureWindow(window);
}

bool staysRunningFor(GameProcess& game, std::chrono::milliseconds duration)
{
    return !pollUntil(duration, [&] { return !game.isRunning(); });
}

bool isAllBlack(const Image& picture)
{
    for (uint8_t value : picture.rgb)
        if (value != 0)
            return false;
    return true;
}

void keepScreenshot(const Image& picture, const std::string& label)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "picture";
    for (char& c : name)
        if (c == '/')
            c = '_';
    const std::filesystem::path folder(ZORVEX_E2E_OUTPUT_DIR);
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / (name + "-" + label + ".png");
    if (savePng(picture, path.string()))
        std::cout << "picture kept as " << path.string() << "\n";
}

int countNotBackground(const Image& picture, const ExpectedBackground& background, const PixelRect& area, int offsetY)
{
    int count = 0;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x) {
            const int windowY = y + offsetY;
            if (x < 0 || x >= picture.width || windowY < 0 || windowY >= picture.height)
                continue;
            if (!background.matches(picture.at(x, windowY), x, y))
                ++count;
        }
    return count;
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
