#include "GameChecks.h"

#include "Poll.h"
#include "Screenshot.h"

#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <gtest/gtest.h>
#include <thread>

Image waitUntilTakingKeys(WindowId window, std::chrono::milliseconds limit)
{
    const PictureWait drawn = waitForPicture(window, limit, [](const Image& shot) { return !isAllBlack(shot); });
    if (!drawn.satisfied)
        throw std::runtime_error("the game's window stays black");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return drawn.last;
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
