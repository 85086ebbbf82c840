// What a window manager may do to the game's window: resize it, or ask it to close.
#include "Assets.h"
#include "ExpectedBackground.h"
#include "FieldLayout.h"
#include "GameChecks.h"
#include "RunningGameTest.h"
#include "Keyboard.h"
#include "Screenshot.h"
#include "Windows.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// The field keeps its 600 × 600 pixels at the window's lower-left corner whatever the window's
// size: window row y shows field row y − (height − 600). Checks a few background points of
// the open rows below the bricks, and that any margin above or to the right is black.
::testing::AssertionResult showsFieldUnscaled(const Image& shot, const ExpectedBackground& background)
{
    const int offsetY = shot.height - fieldSize;
    int checked = 0;
    for (int y = layout::openRowsTop + 5; y < layout::openRowsBottom; y += 40)
        for (int x = 7; x < fieldSize && x < shot.width; x += 53) {
            const int windowY = y + offsetY;
            if (windowY < 0 || windowY >= shot.height)
                continue;
            ++checked;
            if (!background.matches(shot.at(x, windowY), x, y))
                return ::testing::AssertionFailure()
                       << "field pixel (" << x << ", " << y << ") at window (" << x << ", " << windowY << ") is "
                       << toString(shot.at(x, windowY)) << ", expected " << background.describe(x, y);
        }
    if (checked == 0)
        return ::testing::AssertionFailure() << "no open field row is visible";
    for (int y = 0; y < shot.height; y += 7)
        for (int x = 0; x < shot.width; x += 7)
            if ((y < offsetY || x >= fieldSize) && !isBlack(shot.at(x, y)))
                return ::testing::AssertionFailure() << "the margin at (" << x << ", " << y << ") is "
                                                     << toString(shot.at(x, y)) << ", not black";
    return ::testing::AssertionSuccess();
}

// Presses space (which releases a waiting ball and changes nothing in play) and waits for the
// picture to change.
bool keepsMoving(WindowId window)
{
    const Image before = captureWindow(window);
    pressKeys(window, {"space"});
    return waitForChange(window, before, 3000ms).satisfied;
}

class WindowManagement : public RunningGameTest {};

}  // namespace

TEST_F(WindowManagement, ResizedSmallerOrLargerTheGameKeepsDrawingTheFieldUnscaled)
{
    const ExpectedBackground background(sourceAsset("background.jpg").string());
    startAndTakeFirstPicture();

    const struct {
        int width;
        int height;
    } sizes[] = {{480, 400}, {700, 660}};
    for (const auto& size : sizes) {
        SCOPED_TRACE("window " + std::to_string(size.width) + " x " + std::to_string(size.height));
        resize(window, size.width, size.height);
        const PictureWait redrawn = waitForPicture(window, 5000ms, [&](const Image& shot) {
            return shot.width == size.width && shot.height == size.height && showsFieldUnscaled(shot, background);
        });
        EXPECT_TRUE(redrawn.satisfied) << showsFieldUnscaled(redrawn.last, background).message();
        if (!redrawn.satisfied)
            keepScreenshot(redrawn.last, std::to_string(size.width) + "x" + std::to_string(size.height));
    }
    EXPECT_TRUE(keepsMoving(window)) << "nothing moves in the larger window";
    resize(window, 480, 400);
    EXPECT_TRUE(keepsMoving(window)) << "nothing moves in the smaller window";

    EXPECT_TRUE(game->isRunning());
    quit();
}

TEST_F(WindowManagement, ACloseRequestEndsTheGameWithoutACrash)
{
    startAndTakeFirstPicture();

    // A window manager sends WM_DELETE_WINDOW only to windows that ask for it.
    ASSERT_TRUE(acceptsCloseRequests(window)) << "the window doesn't list WM_DELETE_WINDOW in WM_PROTOCOLS";
    requestClose(window);
    const ProcessEnd end = game->waitForExit(5000ms);
    ASSERT_TRUE(end.ended) << "the game is still running after the close request";
    // GLUT ends the process itself (exit status 0) unless told to return from its main loop,
    // after which the game releases its GL objects and returns 1. A signal would be a crash.
    EXPECT_TRUE(end.exited) << end.describe();
    EXPECT_TRUE(end.code == 0 || end.code == 1) << end.describe();
    ::testing::Test::RecordProperty("exit_status_after_close", end.code);
    std::cout << "after the close request: " << end.describe() << "\n";
    EXPECT_EQ(game->standardOutput(), "");
}
