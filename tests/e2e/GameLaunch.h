// How the end-to-end tests start the game's programs: the Linux build directly, or the Windows
// build through Wine. Each test program links the one launch it runs with (NativeLaunch.cpp, or
// WineLaunch.cpp for the Wine tests), so the same tests play either build.
#pragma once
#include <string>
#include <vector>

struct GameLaunch {
    std::vector<std::string> launcher;  // put before the program's path: nothing, or Wine
    std::string game;                   // the game itself
    std::string emptyLevelGame;         // the game with its level emptied, which wins at once
    bool windowsLineEnds = false;       // a Windows console program ends its lines with "\r\n"

    // What a program that prints `text` leaves in its redirected standard output.
    std::string consoleText(const std::string& text) const
    {
        std::string converted;
        for (char c : text) {
            if (windowsLineEnds && c == '\n')
                converted += '\r';
            converted += c;
        }
        return converted;
    }
};

const GameLaunch& gameLaunch();
