// The Windows build, started through Wine: the tests' wrapper has set up the prefix, and a
// Windows console program ends its lines with "\r\n".
#include "GameLaunch.h"

const GameLaunch& gameLaunch()
{
    static const GameLaunch launch{{ZORVEX_WINE}, ZORVEX_WINDOWS_GAME, ZORVEX_WINDOWS_EMPTY_LEVEL_GAME, true};
    return launch;
}
