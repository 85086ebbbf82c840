// The Linux build, started directly.
#include "GameLaunch.h"

const GameLaunch& gameLaunch()
{
    static const GameLaunch launch{{}, ZORVEX_EXECUTABLE, ZORVEX_EMPTY_LEVEL_EXECUTABLE};
    return launch;
}
