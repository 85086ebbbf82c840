// What only the Windows build has: the DLLs it needs, and the system's own message box.
#include "ChildProcess.h"
#include "GameChecks.h"
#include "GameProcess.h"
#include "Poll.h"
#include "Xdotool.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <iostream>
#include <set>
#include <sstream>

using namespace std::chrono_literals;

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

std::string lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

// A player's Windows has these and no more: the C and C++ run-times, freeglut and GLEW are
// all inside the executable.
TEST(WindowsExecutable, ImportsOnlyWhatEveryWindowsHasAndRunsInAConsole)
{
    const CommandResult dump = runCommand({ZORVEX_MINGW_OBJDUMP, "-p", ZORVEX_WINDOWS_GAME}, 20000ms);
    ASSERT_TRUE(dump.succeeded()) << dump.errors;

    const std::set<std::string> everyWindowsHas = {"opengl32.dll", "glu32.dll",   "gdi32.dll",  "user32.dll",
                                                   "kernel32.dll", "winmm.dll",   "msvcrt.dll", "advapi32.dll"};
    std::set<std::string> imported;
    const std::string marker = "DLL Name: ";
    for (const std::string& line : lines(dump.output)) {
        const std::size_t at = line.find(marker);
        if (at != std::string::npos)
            imported.insert(lowercase(line.substr(at + marker.size())));
    }
    for (const std::string& dll : imported)
        EXPECT_TRUE(everyWindowsHas.count(dll)) << "zorvex.exe needs " << dll;
    // The game cannot run without these two; an empty list would mean the dump was misread.
    EXPECT_TRUE(imported.count("opengl32.dll") && imported.count("user32.dll"));
    // The console subsystem: started from a console, the shader reports appear there.
    EXPECT_NE(dump.output.find("(Windows CUI)"), std::string::npos);
}

TEST(WindowsMessageBox, AnEmptyLevelShowsTheSystemBoxAndReturnEndsTheGameWithStatusZero)
{
    GameFolder folder;
    GameProcess game(folder, gameLaunch().emptyLevelGame);
    const WindowId box = game.waitForWindow(30000ms, "^Zorvex$");

    // Read from inside Wine, by a program of our own that asks the box for its controls.
    CommandResult texts;
    pollUntil(10000ms, [&] {
        texts = runCommand({ZORVEX_WINE, ZORVEX_WINDOW_TEXTS, "Zorvex"}, 20000ms);
        return texts.succeeded();
    });
    ASSERT_TRUE(texts.succeeded()) << "cannot read the box: " << texts.end.describe() << " " << texts.errors;
    std::cout << "the box shows:\n" << texts.output;
    const std::vector<std::string> shown = lines(texts.output);
    const auto has = [&](const std::string& line) { return std::count(shown.begin(), shown.end(), line) == 1; };
    EXPECT_TRUE(has("class #32770")) << "not a system message box:\n" << texts.output;
    EXPECT_TRUE(has("owner none")) << texts.output;
    EXPECT_TRUE(has("Static Level 1 Complete\\nThanks for playing!")) << texts.output;
    EXPECT_TRUE(has("Button OK")) << "one OK button:\n" << texts.output;
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(), [](const std::string& line) { return line.rfind("Button", 0) == 0; }),
              1)
        << texts.output;
    EXPECT_TRUE(has("icon")) << "no icon:\n" << texts.output;

    // The box waits for the player; the game waits for the box.
    EXPECT_TRUE(staysRunningFor(game, 500ms)) << "the game ended before the box was dismissed";
    xdotool::pressKeys(box, {"Return"});
    const ProcessEnd end = game.waitForExit(10000ms);
    EXPECT_TRUE(end.exitedWith(0)) << "after Return in the box: " << end.describe();
    EXPECT_EQ(game.standardOutput(), "");
}
