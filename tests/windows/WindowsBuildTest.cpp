// What only the Windows build has: the DLLs it needs, and the system's own message box.
#include "ChildProcess.h"
#include "Files.h"
#include "GameChecks.h"
#include "GameProcess.h"
#include "ImageFiles.h"
#include "Poll.h"
#include "Windows.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <iostream>
#include <set>

using namespace std::chrono_literals;

namespace {

std::string lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

uint32_t littleEndian(const Bytes& bytes, std::size_t at, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
    return value;
}

// The 32 × 32 image of our icon file as ARGB pixels, top row first (the file stores a
// bottom-up BGRA bitmap).
std::vector<uint32_t> iconImage32(const Bytes& ico)
{
    for (uint32_t entry = 0; entry < littleEndian(ico, 4, 2); ++entry) {
        const std::size_t at = 6 + 16 * entry;
        if (ico.at(at) != 32)
            continue;
        const std::size_t bits = littleEndian(ico, at + 12, 4) + 40;
        std::vector<uint32_t> pixels;
        for (int y = 31; y >= 0; --y)
            for (int x = 0; x < 32; ++x) {
                const std::size_t p = bits + static_cast<std::size_t>(y * 32 + x) * 4;
                pixels.push_back(littleEndian(ico, p + 3, 1) << 24 | littleEndian(ico, p, 3));
            }
        return pixels;
    }
    return {};
}

// The 32 × 32 image of a window's _NET_WM_ICON, which holds width, height and ARGB pixels per size.
std::vector<uint32_t> windowIcon32(WindowId window)
{
    const std::vector<long> values = windowProperty(window, "_NET_WM_ICON").longs();
    std::vector<uint32_t> pixels;
    for (std::size_t i = 0; i + 2 <= values.size() && values[i] >= 0 && values[i + 1] >= 0;) {
        const std::size_t size = static_cast<std::size_t>(values[i] * values[i + 1]);
        if (values[i] == 32 && values[i + 1] == 32 && i + 2 + size <= values.size())
            for (std::size_t k = 0; k < size; ++k)
                pixels.push_back(static_cast<uint32_t>(values[i + 2 + k]));
        i += 2 + size;
    }
    return pixels;
}

}  // namespace

// freeglut gives its window the executable's icon resource named GLUT_ICON: ours, pixel for pixel.
TEST(WindowsExecutable, ShowsOurIconOnItsWindow)
{
    const std::vector<uint32_t> expected = iconImage32(readFile(ZORVEX_ICON_FILE));
    ASSERT_EQ(expected.size(), 32u * 32u) << "no 32 x 32 image in " << ZORVEX_ICON_FILE;
    GameFolder folder;
    GameProcess game(folder);
    const WindowId window = game.waitForWindow(30000ms);
    std::vector<uint32_t> shown;
    pollUntil(5000ms, [&] { return (shown = windowIcon32(window)).size() == expected.size(); });
    EXPECT_TRUE(shown == expected) << "the window's 32 x 32 icon is not ours (" << shown.size() << " pixels)";
}

// A player's Windows has these and no more: the C and C++ run-times, freeglut and GLEW are
// all inside the executable.
TEST(WindowsExecutable, ImportsOnlyWhatEveryWindowsHasAndRunsInAConsole)
{
    const CommandResult dump = runCommand({ZORVEX_MINGW_OBJDUMP, "-p", gameLaunch().game}, 20000ms);
    ASSERT_TRUE(dump.succeeded()) << dump.errors;

    const std::set<std::string> everyWindowsHas = {"opengl32.dll", "glu32.dll",   "gdi32.dll",  "user32.dll",
                                                   "kernel32.dll", "winmm.dll",   "msvcrt.dll", "advapi32.dll"};
    std::set<std::string> imported;
    const std::string marker = "DLL Name: ";
    for (const std::string& line : dump.outputLines()) {
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
    const std::vector<std::string> shown = texts.outputLines();
    const auto has = [&](const std::string& line) { return std::count(shown.begin(), shown.end(), line) == 1; };
    EXPECT_TRUE(has("class #32770")) << "not a system message box:\n" << texts.output;
    EXPECT_TRUE(has("owner none")) << texts.output;
    EXPECT_TRUE(has("Static Level 1 Complete\\nThanks for playing!")) << texts.output;
    EXPECT_TRUE(has("Button OK")) << "one OK button:\n" << texts.output;
    const auto isButton = [](const std::string& line) { return line.rfind("Button", 0) == 0; };
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(), isButton), 1) << texts.output;
    EXPECT_TRUE(has("icon")) << "no icon:\n" << texts.output;

    EXPECT_TRUE(boxWaitsAndReturnEndsWithStatus(game, box, 0));
    EXPECT_EQ(game.standardOutput(), "");
}
