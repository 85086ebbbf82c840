// The game as a program: its window, its keys, its exit status and its standard output.
#include "FrameCounter.h"
#include "GameChecks.h"
#include "RunningGameTest.h"
#include "Keyboard.h"
#include "Screenshot.h"
#include "Windows.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

class GameWindow : public RunningGameTest {};

TEST_F(GameWindow, OpensItsWindowAndEndsWithStatusZeroOnEscape)
{
    // The title is matched exactly.
    startAndTakeFirstPicture();

    // The game asks for its place and size; a window manager puts its frame's corner there.
    const WindowGeometry geometry = windowGeometry(window);
    EXPECT_EQ(geometry.width, 600);
    EXPECT_EQ(geometry.height, 600);
    const WindowGeometry frame = frameGeometry(window);
    EXPECT_EQ(frame.x, 100);
    EXPECT_EQ(frame.y, 100);
    quit();
}

TEST_F(GameWindow, OtherKeysLeaveItRunningAndSpaceSetsTheBallGoing)
{
    const Image first = startAndTakeFirstPicture();

    // Ordinary keys other than space start nothing: the picture stays as it is.
    pressKeys(window, {"a", "b", "x", "Return", "BackSpace", "1"});
    EXPECT_TRUE(framesGoBy(window, 10)) << "the game stopped drawing after the keys";
    EXPECT_TRUE(game->isRunning());
    const Image still = captureWindow(window);
    EXPECT_TRUE(sameInside(first, still, {0, 0, still.width, still.height}))
        << "the picture changed before space was pressed";

    // Space sets the ball going; more keys, space among them, change nothing about that.
    pressKeys(window, {"space"});
    pressKeys(window, {"a", "b", "space", "z", "Tab"});
    const PictureWait moved = waitForChange(window, still, 3000ms);
    EXPECT_TRUE(moved.satisfied) << "nothing moved after space";
    // And it keeps redrawing: a later frame differs again.
    const PictureWait movedAgain = waitForChange(window, moved.last, 3000ms);
    EXPECT_TRUE(movedAgain.satisfied) << "the picture stopped changing";

    EXPECT_TRUE(staysRunningFor(*game, 1000ms)) << "the game ended without Escape";
    quit();
}

// Mesa's indirect GLX offers no more than OpenGL 1.4, like Windows' own renderer offers 1.1:
// the shader entry points are then missing, and the game must say so instead of crashing.
TEST_F(GameWindow, ADriverWithoutOpenGL33IsNamedInABoxAndEndsTheGameWithStatusOne)
{
    // Xvfb runs with +iglx.
    game = std::make_unique<GameProcess>(folder, gameLaunch().game, std::vector<std::string>{"LIBGL_ALWAYS_INDIRECT=1"});
    const WindowId box = game->waitForWindow(15000ms, "^Zorvex$");
    keepScreenshot(captureWindow(box), "box");
    EXPECT_TRUE(boxWaitsAndReturnEndsWithStatus(*game, box, 1));
    EXPECT_EQ(game->standardOutput(), "");
    const std::string expectedStart = gameLaunch().consoleText(
        "Zorvex needs OpenGL 3.3 or later. This computer's driver offers:\nOpenGL version: ");
    // Under Wine, freeglut's own complaints about the display may come first.
    const std::string errors = game->standardError();
    const std::size_t start = errors.find(expectedStart);
    ASSERT_NE(start, std::string::npos) << errors;
    EXPECT_NE(errors.find(gameLaunch().consoleText("\nRenderer: "), start), std::string::npos) << errors;
}
